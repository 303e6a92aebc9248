#!/usr/bin/env bash
# The player's comfort keys on a 1920 x 1080 screen at 96 dpi, where the
# board opens at 600 x 453, over three starts that share one settings folder
# in the work folder; all sound goes to SDL's disk driver, a file per start.
#  - Ctrl+Plus doubles the board and its picture, and a drag to x 413 aims
#    at 206. The next start opens at 2x; Ctrl+0 goes back to 1x, and so does
#    the start after.
#  - A fall is heard; after Ctrl+M one writes only silence, and the next
#    start is muted too: the struck speaker is shown and not a sample heard.
#  - F11 fills the screen with the board at 2x on black, a drag in the
#    screen's pixels aims where it should, and F11 brings the window back.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

game=${1:?usage: comfort.sh GAME SOUNDS}
sounds=${2:?usage: comfort.sh GAME SOUNDS}
[ -d "$sounds" ] || e2e_fail "no sounds at $sounds"
e2e_start_xvfb 1920x1080x24 96
e2e_fresh_data "$sounds"
config="$E2E_WORK/config"
CHIP='#C00080'
BOARD_NAME='PEGDROP!!!'
# SDL's disk driver writes 16-bit stereo at 44.1 kHz, as a card would play it.
SECOND=176400

# Starts the game with sound into WORK/NAME.raw: start SOUND-NAME
start() {
  sound="$E2E_WORK/$1.raw"
  e2e_start_game_in "$game" XDG_CONFIG_HOME="$config" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$sound"
}
# Ends the game as a desktop's logout would, and waits for it.
stop() {
  kill "$E2E_GAME_PID"
  e2e_wait_exit
}
bytes() { stat -c %s "$sound" 2>/dev/null || echo 0; }
# Whether any sample after byte FROM of this start's sound is not silence: heard FROM
heard() { [ "$(tail -c +$(($1 + 1)) "$sound" | tr -d '\000' | wc -c)" -gt 0 ]; }
written() { [ "$(bytes)" -ge "$1" ]; }

# Pixels of the chip's colour around its place at the top (x 292..308, y
# 8..24), at SCALE: chip_pixels SCALE
chip_pixels() { e2e_count $((280 * $1)) 0 $((40 * $1)) $((40 * $1)) "$CHIP"; }
# On a fresh shot, the chip at the top drawn at SCALE: its N1 pixels at 1x, SCALE squared times each.
chip_at() { e2e_shot && [ "$(chip_pixels "$1")" = $((n1 * $1 * $1)) ]; }
# The struck speaker at the board's 10 38, 22 x 22: pixels of COLOUR in it at SCALE: mark_pixels SCALE COLOUR
mark_pixels() { e2e_count $((10 * $1)) $((38 * $1)) $((22 * $1)) $((22 * $1)) "$2"; }
mark_at() {
  e2e_shot && [ "$(mark_pixels "$1" '#000000')" -ge $((30 * $1 * $1)) ] &&
    [ "$(mark_pixels "$1" '#E60000')" -ge $((30 * $1 * $1)) ]
}
# A press at window x FROM, a drag to TO on row Y, the button left down: drag FROM TO Y
drag() {
  e2e_pointer "$board" "$1" "$3"
  e2e_button down
  e2e_pointer "$board" $((($1 + $2) / 2)) "$3"
  e2e_pointer "$board" "$2" "$3"
}
# On a fresh shot, the chip's colour along row Y from X, W wide, has mean x WANT: aimed Y X W WANT
aimed() { e2e_shot && [ "$(e2e_mean_x "$1" "$2" "$3" "$CHIP")" = "$4" ]; }
size_is() { [ "$(e2e_window_size "$board")" = "$1" ]; }

# ---- The first start: 1x; Ctrl+Plus makes it 2x, aims exactly, and a fall is heard.
started=$(e2e_now)
start plain
e2e_open_board t
board=$E2E_BOARD
e2e_shot
n1=$(chip_pixels 1)
[ "$n1" -ge 100 ] || e2e_fail "only $n1 pixels of the chip at the top"
[ "$(mark_pixels 1 '#000000')" = 0 ] || e2e_fail "the struck speaker shows before Ctrl+M"
xdotool key ctrl+plus
e2e_window "$BOARD_NAME" 1200x906 || e2e_fail "Ctrl+Plus left the board at $(e2e_window_size "$board")"
e2e_wait_until 10 chip_at 2 || e2e_fail "the chip is not drawn at 2x: $(chip_pixels 2) pixels, not $((n1 * 4))"
[ -s "$config/pegdrop/settings" ] || e2e_fail "no settings file in the test's own folder"
row=33 # through the chip's middle at 2x
from=$(e2e_mean_x "$row" 300 700 "$CHIP")
[ -n "$from" ] || e2e_fail "the chip is not on row $row"
drag 600 413 400
want=$((from + (206 - 300) * 2))
e2e_wait_until 10 aimed "$row" 300 700 "$want" ||
  e2e_fail "a drag to 413 left the chip at mean x $(e2e_mean_x "$row" 300 700 "$CHIP"), not $want (aim 206)"
# Unmuted, the splash's and the mode key's cues are heard: the silence below can fail.
heard 0 || e2e_fail "no cue was heard before the first drop"
fall=$(bytes)
e2e_button up
e2e_wait_until 30 chip_at 2 || e2e_fail "no next chip at the top after the fall"
heard "$fall" || e2e_fail "the fall wrote only silence, with sound on"
stop
echo "e2e: Ctrl+Plus: board 1200 x 906 at 2x, a drag to 413 aims at 206, the fall is heard"

# ---- The next start remembers 2x; Ctrl+M mutes a fall; Ctrl+0 is 1x again.
start muted
e2e_window Form1 960x672 || e2e_fail "the splash did not open at 2x on the next start"
e2e_pointer "$E2E_WID" 480 300
e2e_button click
e2e_window "$BOARD_NAME" 1200x906 || e2e_fail "the next start did not open the board at 2x"
board=$E2E_WID
e2e_pointer "$board" 600 400
xdotool key ctrl+m
e2e_wait_until 10 mark_at 2 || e2e_fail "Ctrl+M showed no struck speaker"
xdotool type --delay 50 t
e2e_wait_until 30 chip_at 2 || e2e_fail "no chip at the top after t"
# Full screen must show this very picture.
muted_2x=$(e2e_hash 0 0 1200 906)
[ -n "$muted_2x" ] || e2e_fail "no picture of the muted board at 2x"
xdotool key ctrl+0
e2e_window "$BOARD_NAME" 600x453 || e2e_fail "Ctrl+0 left the board at $(e2e_window_size "$board")"
e2e_wait_until 10 chip_at 1 || e2e_fail "after Ctrl+0 the chip is not drawn at 1x"
fall=$(bytes)
E2E_BOARD=$board
e2e_drop_chips 1
e2e_wait_until 30 e2e_chip_at_top || e2e_fail "no next chip at the top after the muted fall"
written $((fall + SECOND)) || e2e_fail "the sound device wrote under a second during the fall"
! heard "$fall" || e2e_fail "the fall was heard after Ctrl+M"
stop
echo "e2e: the next start opened at 2x; after Ctrl+M a fall wrote only silence; Ctrl+0 made it 1x"

# ---- The start after: 1x and still muted; then full screen.
start after
e2e_open_board t
board=$E2E_BOARD
e2e_wait_until 10 mark_at 1 || e2e_fail "the struck speaker is gone after a restart"
# Long enough for the splash's cue and the mode key's.
e2e_wait_until 30 written $((3 * SECOND)) || e2e_fail "the sound device wrote under 3 s of sound"
! heard 0 || e2e_fail "the game was heard after a restart, muted"
echo "e2e: the start after opened at 1x, muted, and not a sample was heard"

xdotool key F11
# The picture lies on whole 2x blocks from the corner, so 87 above becomes 86.
X0=360 Y0=86
e2e_wait_until 10 size_is 1920x1080 || e2e_fail "F11 left the board at $(e2e_window_size "$board"), not 1920 x 1080"
black() { [ "$(e2e_count "$@" '#000000')" = $(($3 * $4)) ]; }
full_screen() {
  e2e_shot && black 0 0 1920 $Y0 && black 0 992 1920 88 && black 0 $Y0 $X0 906 && black 1560 $Y0 $X0 906 &&
    [ "$(e2e_hash $X0 $Y0 1200 906)" = "$muted_2x" ]
}
e2e_wait_until 10 full_screen || e2e_fail "full screen is not the 2x board at $X0 $Y0 on black"
from=$(e2e_mean_x $((Y0 + row)) $((X0 + 300)) 700 "$CHIP")
[ -n "$from" ] || e2e_fail "the chip is not on row $((Y0 + row)) in full screen"
drag $((X0 + 600)) $((X0 + 413)) 400
want=$((from + (206 - 300) * 2))
e2e_wait_until 10 aimed $((Y0 + row)) $((X0 + 300)) 700 "$want" ||
  e2e_fail "a drag to $((X0 + 413)) in full screen left the chip at mean x $(e2e_mean_x $((Y0 + row)) $((X0 + 300)) 700 "$CHIP"), not $want"
xdotool key F11
e2e_wait_until 10 size_is 600x453 || e2e_fail "F11 again left the board at $(e2e_window_size "$board")"
# The button is still down, so the chip follows the pointer, which the
# window has left: it is somewhere along the top.
chip_along_top() { e2e_shot && [ "$(e2e_count 0 0 600 40 "$CHIP")" = "$n1" ]; }
e2e_wait_until 10 chip_along_top || e2e_fail "back in the window, the chip is not drawn at 1x"
echo "e2e: F11 filled the screen with the board at 2x, aimed exactly, and F11 brought the window back"
echo "e2e: every comfort key held, in $(e2e_elapsed "$started" "$(e2e_now)") s"
