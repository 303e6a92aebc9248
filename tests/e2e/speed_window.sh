#!/usr/bin/env bash
# shellcheck disable=SC2034  # the rectangles below are read by name, in pixels and below
# The speed window in the real game under Xvfb: S on the board opens it, an
# out-of-range value is refused with a message box, a test run at 500 drops
# the chip down the small board with the buttons greyed, and OK makes 500 the
# board's speed. Prints the wall time of a board descent at 300 and at 500.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

# On the board, as X Y W H in its client area.
TOP=(292 8 17 17)       # a chip waiting at the top
REST=(190 308 220 17)   # a chip resting in a slot
LINE1=(0 402 600 21)    # first line of the message strip
# In the speed window.
START=(172 64 17 17)    # the test chip before a run
FALL=(115 90 130 150)   # the test board below the start, above the end
END=(115 252 130 17)    # where every run ends, y 260
OK_TEXT=(16 252 48 17)  # inside the OK and Cancel buttons: their captions
CANCEL_TEXT=(296 252 48 17)
CHIP='#C00080'
TEXT='#FFFFFF'

# Pixels of COLOUR in a rectangle named by its variable, in the last shot: pixels RECTANGLE COLOUR
pixels() {
  local -n rect=$1
  e2e_count "${rect[@]}" "$2"
}
chip_in() { [ "$(pixels "$1" "$CHIP")" -ge 50 ]; }

chip_at_top() { e2e_shot && chip_in TOP; }
landed() { e2e_shot && chip_in REST && [ "$(pixels LINE1 "$TEXT")" -ge 20 ]; }
next_chip() { e2e_shot && chip_in TOP && ! chip_in REST; }
window_gone() { ! e2e_find_window "$@"; }
# Pixels darker than PERCENT grey in a rectangle of the last shot: below PERCENT RECTANGLE
below() {
  local -n rect=$2
  convert "$E2E_SHOT" -crop "${rect[2]}x${rect[3]}+${rect[0]}+${rect[1]}" +repage -colorspace Gray \
    -threshold "$1%" -negate -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0
}
# A caption is drawn black, or greyed: mid grey with no dark pixel at all.
caption_black() { [ "$(below 25 "$1")" -ge 5 ]; }
caption_grey() { [ "$(below 25 "$1")" -eq 0 ] && [ "$(below 65 "$1")" -ge 5 ]; }
buttons_on() { caption_black OK_TEXT && caption_black CANCEL_TEXT; }
buttons_greyed() { caption_grey OK_TEXT && caption_grey CANCEL_TEXT; }
# A test run: greyed buttons with the chip on its way down are seen on the
# way to the end, where the chip rests at the bottom and the buttons are back.
run_over() {
  e2e_shot || return 1
  if buttons_greyed; then
    seen_greyed=1
    if chip_in FALL; then seen_falling=1; fi
    return 1
  fi
  [ "$seen_greyed" = 1 ] && buttons_on && chip_in END && [ "$(pixels START "$CHIP")" -eq 0 ]
}

# Drops the waiting chip from x 300; TOOK is the seconds until it rests in a slot.
descent() {
  E2E_WID=$board
  e2e_wait_until 30 chip_at_top || e2e_fail "no chip waiting at the top of the board"
  e2e_pointer "$board" 300 150
  e2e_button down
  local start
  start=$(e2e_now)
  e2e_button up
  e2e_wait_until 60 landed || e2e_fail "the chip dropped at speed $1 never reached a slot"
  TOOK=$(e2e_elapsed "$start" "$E2E_SHOT_AT")
}

game=${1:?usage: speed_window.sh GAME [SOUNDS]}
e2e_start_xvfb 1024x768x24
e2e_start_game "$game" "${2:-}"

e2e_window Form1 480x336 || e2e_fail "the splash window did not open"
e2e_pointer "$E2E_WID" 240 150
e2e_button click
e2e_window 'PEGDROP!!!' 600x453 || e2e_fail "the board did not open after a click on the splash"
board=$E2E_WID
# Keys go to the window under the pointer: there is no window manager.
e2e_pointer "$board" 300 200
xdotool type --delay 50 t

# The first chip at the speed from no speed.dat, 300.
descent 300
slow=$TOOK
echo "e2e: descent at speed 300 took $slow s"
E2E_WID=$board
e2e_wait_until 30 next_chip || e2e_fail "the second chip did not come back to the top"

e2e_pointer "$board" 300 200
xdotool type --delay 50 s
e2e_window Form1 360x280 || e2e_fail "S on the board opened no 360x280 speed window"
speed=$E2E_WID
e2e_pointer "$speed" 180 150
xdotool key Home shift+End
xdotool type --delay 50 0
xdotool key Tab
e2e_window 'Illegal value' || e2e_fail "Tab off 0 gave no \"Illegal value\" message box"
dialog=$E2E_WID
read -r w h < <(e2e_window_size "$dialog" | tr x ' ')
e2e_pointer "$dialog" $((w / 2)) $((h / 2))
xdotool key Return
e2e_wait_until 30 window_gone 'Illegal value' || e2e_fail "Return did not close the message box"

# The focus is back in the box; the speed window must still be there.
e2e_find_window Form1 360x280 || e2e_fail "the speed window closed with the message"
E2E_WID=$speed
e2e_pointer "$speed" 180 150
xdotool key Home shift+End
xdotool type --delay 50 500
e2e_shot || e2e_fail "no screenshot of the speed window"
chip_in START || e2e_fail "the test chip does not wait at the top of the test board"
buttons_on || e2e_fail "the speed window's buttons are not enabled before a run"

e2e_pointer "$speed" 180 45 # "Click here to test"
e2e_button click
seen_greyed=0
seen_falling=0
e2e_wait_until 60 run_over || e2e_fail "the test run did not end with the chip at the bottom and the buttons back"
[ "$seen_falling" = 1 ] || e2e_fail "the test chip was not seen falling with the buttons greyed"
echo "e2e: test run at 500 seen falling with the buttons greyed, and ended"

e2e_pointer "$speed" 40 260 # OK
e2e_button click
e2e_wait_until 30 window_gone Form1 360x280 || e2e_fail "OK did not close the speed window"

descent 500
fast=$TOOK
echo "e2e: descent at speed 500 took $fast s"
ratio=$(awk -v a="$slow" -v b="$fast" 'BEGIN { printf "%.2f", a / b }')
echo "e2e: descent at 300 / descent at 500 = $ratio (the counts give 2.20)"
awk -v r="$ratio" 'BEGIN { exit !(r >= 2.2 * 0.75 && r <= 2.2 * 1.25) }' ||
  e2e_fail "the descent at 500 is not 2.2 times faster than at 300 (ratio $ratio)"
e2e_game_alive
echo "e2e: speed window set 500 and the board follows it"
