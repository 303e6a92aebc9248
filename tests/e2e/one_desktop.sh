#!/usr/bin/env bash
# PEGDROP_DESKTOP=composited: the windows as pictures on one desktop in a single
# X window of the screen's size, as the browser page shows them. The splash is
# centred with its title bar marked; a click on it opens the board, whose title
# bar takes the mark; T sets a chip at the top; a drag of the title bar moves
# the board, and the chip is dropped at its new place.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

export PEGDROP_DESKTOP=composited
e2e_start_xvfb 1024x768x24 96
e2e_start_game "$1" "${2:-}"
e2e_window Form1 1024x768 || e2e_fail "no desktop captioned Form1 filling the screen"
DESKTOP=$E2E_WID
# The splash (480 x 336) and the board (600 x 453), framed and centred: their
# client areas begin at 272 225 and 212 166, their title bars 18 pixels above.
marked() { [ "$(e2e_count "$1" "$2" 100 6 '#0A246A')" -ge 500 ]; }
splash_up() { e2e_shot && [ "$(e2e_count 0 0 100 100 '#008080')" -eq 10000 ] && marked 500 209; }
e2e_wait_until 30 splash_up || e2e_fail "no marked splash on the plain desktop"
e2e_pointer "$DESKTOP" 512 375
e2e_button click
e2e_window 'PEGDROP!!!' 1024x768 || e2e_fail "the desktop did not take the board's caption after a click on the splash"
board_up() { e2e_shot && marked 500 150; }
e2e_wait_until 30 board_up || e2e_fail "the board's title bar is not marked"
e2e_pointer "$DESKTOP" 512 366
xdotool type --delay 50 t
chip_at() { e2e_shot && [ "$(e2e_count "$1" "$2" 17 17 '#C00080')" -ge 50 ]; }
e2e_wait_until 30 chip_at 504 174 || e2e_fail "no chip at the top after t"
# The title bar, taken at 400 155, is let go 50 pixels right and down.
e2e_pointer "$DESKTOP" 400 155
e2e_button down
e2e_pointer "$DESKTOP" 420 175
e2e_pointer "$DESKTOP" 450 205
e2e_button up
moved() { chip_at 554 224 && [ "$(e2e_count 209 145 40 40 '#008080')" -ge 1500 ]; }
e2e_wait_until 30 moved || e2e_fail "the board did not follow its title bar"
e2e_pointer "$DESKTOP" 562 366
e2e_button down
e2e_pointer "$DESKTOP" 570 366
e2e_button up
gone() { e2e_shot && [ "$(e2e_count 554 224 17 17 '#C00080')" -eq 0 ]; }
e2e_wait_until 30 gone || e2e_fail "the chip was not dropped"
echo "one desktop: splash and board framed and marked, the board dragged by its title bar, a chip dropped"
