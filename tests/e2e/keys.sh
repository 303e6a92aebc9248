#!/usr/bin/env bash
# The keys among real windows without a window manager: with the speed window
# holding them, a drag on the board still drops the chip and takes the keys
# to the board; and after the range message, which the speed window raised
# while the top-ten window was the last one shown, Esc closes the speed
# window rather than ending the program from the top-ten window.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

game=${1:?usage: keys.sh GAME [SOUNDS]}
e2e_start_xvfb 1024x768x24
e2e_start_game "$game" "${2:-}"
# A fun game of one chip.
e2e_open_board f1
e2e_pointer "$E2E_BOARD" 300 200
xdotool type --delay 50 s
e2e_window Form1 360x280 || e2e_fail "S on the board opened no speed window"
speed=$E2E_WID
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
e2e_wait_until 10 focused "$speed" || e2e_fail "the speed window did not get the keys when it opened"

# Above the speed window, which lies over the board's middle.
E2E_WID=$E2E_BOARD
e2e_pointer "$E2E_BOARD" 300 40
e2e_button down
e2e_pointer "$E2E_BOARD" 286 40
e2e_pointer "$E2E_BOARD" 306 40
e2e_button up
e2e_wait_until 30 e2e_chip_gone_from_top || e2e_fail "a drag on the board while the speed window held the keys dropped nothing"
e2e_wait_until 10 focused "$E2E_BOARD" || e2e_fail "the press on the board did not take the keys there"
echo "e2e: a drag on the board dropped the chip and took the keys from the speed window"

e2e_window 'PEGDROP!!!' 480x336 || e2e_fail "no top-ten window at the end of the game"
# The board and the top-ten window now cover the speed window: the player
# brings it up, as a task bar would, and clicks into its box.
xdotool windowraise "$speed"
e2e_pointer "$speed" 298 18
e2e_button click
e2e_wait_until 10 focused "$speed" || e2e_fail "a click in the speed window did not give it the keys"
xdotool key Home shift+End
xdotool type --delay 50 501
xdotool key Tab
e2e_window 'Illegal value' || e2e_fail "Tab off 501 gave no \"Illegal value\" message box"
xdotool key Return
message_gone() { ! e2e_find_window "Illegal value"; }
e2e_wait_until 30 message_gone || e2e_fail "Return did not close the message box"
e2e_wait_until 10 focused "$speed" || e2e_fail "the keys went to window $(xdotool getwindowfocus), not back to the speed window"
xdotool key Escape
gone_speed() { ! e2e_find_window Form1 360x280; }
e2e_wait_until 30 gone_speed || e2e_fail "Esc did not close the speed window"
e2e_game_alive
e2e_find_window 'PEGDROP!!!' 480x336 || e2e_fail "the top-ten window went with Esc"
echo "e2e: after the range message the keys were back in the speed window, and Esc closed it alone"
