#!/usr/bin/env bash
# A dense screen (192 dpi, 2560 x 1600): every window opens at twice its size,
# and the pointer is read back in the game's own pixels, halves rounded as the
# aiming rule says: a drag to x = 413 on the screen aims at x 206.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

e2e_start_xvfb 2560x1600x24 192
e2e_start_game "$1" "${2:-}"
e2e_window Form1 960x672 || e2e_fail "the splash did not open at twice its size"
e2e_pointer "$E2E_WID" 480 300
e2e_button click
e2e_window 'PEGDROP!!!' 1200x906 || e2e_fail "the board did not open at 1200 x 906"
BOARD=$E2E_WID
e2e_pointer "$BOARD" 600 400
xdotool type --delay 50 t
# The chip waits at the top: x 292..308, y 8..24 in the game's pixels.
chip_up() { e2e_shot && [ "$(e2e_count 584 16 34 34 '#C00080')" -ge 200 ]; }
e2e_wait_until 30 chip_up || e2e_fail "no chip at the top after t"
# Its colour along the row through its middle, once at the start (x 300) and
# once aimed: the same picture moved by twice the aim's change.
row=33
start=$(e2e_mean_x "$row" 300 700 '#C00080')
[ -n "$start" ] || e2e_fail "the chip is not on row $row"
e2e_pointer "$BOARD" 600 400
e2e_button down
e2e_pointer "$BOARD" 500 400
e2e_pointer "$BOARD" 413 400
want=$((start + (206 - 300) * 2))
aimed() { e2e_shot && [ "$(e2e_mean_x "$row" 300 700 '#C00080')" = "$want" ]; }
e2e_wait_until 10 aimed ||
  e2e_fail "a drag to 413 left the chip at mean x $(e2e_mean_x "$row" 300 700 '#C00080'), not $want (aim 206)"
echo "board 1200 x 906; a drag to x 413 aims at 206"
