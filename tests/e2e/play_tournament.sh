#!/usr/bin/env bash
# shellcheck disable=SC2034  # the rectangles below are read by name, in has and none
# Plays one tournament in the real game window under Xvfb, as a person would:
# click the splash, type t, drag and release each of the five chips, type a
# name into the top-ten prompt, play again, play a fun game, and exit; every
# step is checked on screenshots and in the data folder. Prints how long each
# descent took.
#
# Nothing here sleeps for the game: every step waits until the screen shows
# what should follow, so neither a busy machine nor the speed of a fall
# decides the outcome.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

# Where things are drawn on the board, as X Y W H in its client area.
TOP=(292 8 17 17)        # a chip waiting at the top
FIELD=(190 25 220 283)   # the peg field below the top row and above the slots
REST=(190 308 220 17)    # a chip resting in a slot
LINE1=(0 402 600 21)     # first line of the message strip
LINE2=(0 425 600 21)     # second line: only the mode prompt and the closing message have one
SCORE=(61 150 90 23)     # the scoreboard's figures
LIGHTS=(160 327 280 73)  # the nine slot lights
CHIP='#C00080'
TEXT='#FFFFFF'
FIGURES='#FFE0F0'

has() { # has RECTANGLE COLOUR MIN: at least MIN pixels of COLOUR there in the last shot
  local -n rect=$1
  [ "$(e2e_count "${rect[@]}" "$2")" -ge "$3" ]
}
none() { # none RECTANGLE COLOUR: not one pixel of COLOUR there in the last shot
  local -n rect=$1
  [ "$(e2e_count "${rect[@]}" "$2")" -eq 0 ]
}
slot_of() { # slot and prize of a resting x
  local x=$1
  if   [ "$x" -le 213 ]; then echo "1 100"; elif [ "$x" -le 237 ]; then echo "2 500"
  elif [ "$x" -le 261 ]; then echo "3 1000"; elif [ "$x" -le 285 ]; then echo "4 0"
  elif [ "$x" -le 309 ]; then echo "5 10000"; elif [ "$x" -le 333 ]; then echo "6 0"
  elif [ "$x" -le 357 ]; then echo "7 1000"; elif [ "$x" -le 381 ]; then echo "8 500"
  else echo "9 100"; fi
}
# From an even release the lattice leaves a chip at a wall line or on a slot centre.
resting_places=" 204 206 228 252 276 300 324 348 372 394 396 "

# Conditions on a fresh shot of the board.
mode_prompt() { e2e_shot && has LINE1 "$TEXT" 20 && has LINE2 "$TEXT" 20; }
chip_at_top() { e2e_shot && has TOP "$CHIP" 50; }
aimed() { e2e_shot && [ "$(e2e_mean_x 16 190 220 "$CHIP")" = "$x" ]; }
# Falling: the message strip is blank for the whole descent, whatever its
# pace, so one shot of a blank strip with the chip below the top shows it.
# Landed: the chip rests in the slot band and the landing message is up.
landed() {
  e2e_shot || return 1
  if [ "$seen_falling" = 0 ] && none LINE1 "$TEXT" && ! has TOP "$CHIP" 50 &&
     { has FIELD "$CHIP" 50 || has REST "$CHIP" 50; }; then
    seen_falling=1
    return 1
  fi
  has REST "$CHIP" 50 && has LINE1 "$TEXT" 20
}
# On the last shot: the chip still rests after its landing, not yet settled.
resting() { has REST "$CHIP" 50 && has LINE1 "$TEXT" 20 && none LINE2 "$TEXT"; }
# Settled with chips left: the next one at the top and the chips-left message.
next_chip() { e2e_shot && has TOP "$CHIP" 50 && ! has REST "$CHIP" 50 && has LINE1 "$TEXT" 20; }
closing_message() { e2e_shot && has LINE2 "$TEXT" 20; }
figures() { e2e_shot && has SCORE "$FIGURES" 30; }
figures_gone() { e2e_shot && none SCORE "$FIGURES"; }

game=${1:?usage: play_tournament.sh GAME [SOUNDS]}
e2e_start_xvfb 1024x768x24
e2e_start_game "$game" "${2:-}"

e2e_window Form1 || e2e_fail "the splash window did not open"
size=$(e2e_window_size "$E2E_WID")
[ "$size" = 480x336 ] || e2e_fail "splash is $size, not 480x336"
e2e_pointer "$E2E_WID" 240 150
e2e_button click
e2e_window 'PEGDROP!!!' || e2e_fail "the board did not open after a click on the splash"
board=$E2E_WID
size=$(e2e_window_size "$board")
[ "$size" = 600x453 ] || e2e_fail "board is $size, not 600x453"

# Before a game: the two-line mode prompt, and the slot lights chase.
e2e_wait_until 30 mode_prompt || e2e_fail "no mode prompt on the board"
e2e_wait_looks 30 3 "${LIGHTS[@]}" || e2e_fail "the slot lights do not chase before a game"

# Keys go to the window under the pointer: there is no window manager.
e2e_pointer "$board" 300 200
xdotool type --delay 50 t
e2e_wait_until 30 chip_at_top || e2e_fail "no chip at the top after t"
none SCORE "$FIGURES" || e2e_fail "the scoreboard shows figures before anything is won"

total=0
releases=(206 262 300 350 394) # 206 and 394 fall straight into slots 1 and 9
for chip in 1 2 3 4 5; do
  x=${releases[$((chip - 1))]}
  e2e_pointer "$board" 300 150
  e2e_button down
  e2e_pointer "$board" $((x - 20)) 150
  e2e_pointer "$board" "$x" 150
  e2e_wait_until 30 aimed || e2e_fail "chip $chip did not follow the drag to $x"
  start=$(e2e_now)
  e2e_button up

  seen_falling=0
  e2e_wait_until 60 landed || e2e_fail "chip $chip never reached a slot"
  landed_at=$E2E_SHOT_AT
  [ "$seen_falling" = 1 ] || e2e_fail "chip $chip was not seen falling through the pegs"
  # The landed slot blinks while the chip rests, until the settlement 2.5 s
  # on: look for it first, and check the landing on its shot afterwards.
  e2e_keep_shot landing
  e2e_wait_looks 30 2 "${LIGHTS[@]}" resting || e2e_fail "the landed slot does not blink while chip $chip rests in it"
  e2e_use_shot landing
  printf 'e2e: chip %d released at %d: descent took %s s\n' "$chip" "$x" "$(e2e_elapsed "$start" "$landed_at")"
  none LINE2 "$TEXT" || e2e_fail "chip $chip: the landing message is not one line"
  fx=$(e2e_mean_x 316 190 220 "$CHIP")
  [ -n "$fx" ] || e2e_fail "chip $chip: cannot find where it landed"
  case $resting_places in *" $fx "*) ;; *) e2e_fail "chip $chip rests at x=$fx, where no descent can end" ;; esac
  read -r slot prize < <(slot_of "$fx")
  # A prize is credited at the settlement, not at the landing.
  if [ "$chip" = 1 ]; then none SCORE "$FIGURES" || e2e_fail "the scoreboard shows figures at the first landing"; fi
  total=$((total + prize))
  echo "e2e: chip $chip landed at x=$fx in slot $slot (\$$prize), total \$$total"

  if [ "$chip" -lt 5 ]; then
    e2e_wait_until 30 next_chip || e2e_fail "chip $((chip + 1)) did not come back to the top"
    none LINE2 "$TEXT" || e2e_fail "the chips-left message after chip $chip is not one line"
  else
    e2e_wait_until 30 closing_message || e2e_fail "no closing message after the last chip"
    has REST "$CHIP" 50 || e2e_fail "the last chip does not stay in its slot"
  fi
  # After the last chip the figures blink: some shot must show them.
  e2e_wait_until 30 figures || e2e_fail "the scoreboard does not show the total after chip $chip"
done

# Game over: the slot lights chase again and the scoreboard blinks. The first
# chip always wins $100, so there are figures to blink.
e2e_wait_looks 30 3 "${LIGHTS[@]}" || e2e_fail "the slot lights do not chase after the game"
e2e_wait_until 30 figures_gone || e2e_fail "the scoreboard does not blink after the game"
e2e_wait_until 30 figures || e2e_fail "the scoreboard figures do not come back in their blink"
# Game end: the restart timer loads the top-ten window, which first asks the
# name for the new entry (any total above $0 makes an empty table).
e2e_window PEGDROP 360x128 || e2e_fail "no name prompt for the top ten after the game"
e2e_game_alive
echo "e2e: tournament played through, total \$$total"

# The name goes into the prompt, over the board; the top-ten window follows.
prompt=$E2E_WID
e2e_pointer "$prompt" 180 105
xdotool type --delay 30 'Dana Q'
xdotool key Return
e2e_window 'PEGDROP!!!' 480x336 || e2e_fail "the top-ten window did not open after the name"
top10=$E2E_WID
NAME1=(74 84 259 20)    # row 1's name: the new entry
SCORE2=(333 104 72 20)  # row 2's score, an old row
BRIGHT='#FFFF00'
DIM='#D0D000'
row1_bright() { e2e_shot && has NAME1 "$BRIGHT" 20 && none NAME1 "$DIM"; }
row1_dim() { e2e_shot && has NAME1 "$DIM" 20 && none NAME1 "$BRIGHT"; }
e2e_wait_until 30 row1_dim || e2e_fail "the new row does not turn dim yellow"
e2e_wait_until 30 row1_bright || e2e_fail "the new row does not turn back to bright yellow"
e2e_wait_until 30 row1_dim || e2e_fail "the new row does not go on flickering"
has SCORE2 "$BRIGHT" 10 && none SCORE2 "$DIM" || e2e_fail "an old row flickers too"
want="$E2E_WORK/top10.want"
{ printf '"Dana Q",%d\r\n' "$total"; for _ in 1 2 3 4 5 6 7 8 9; do printf '"",0\r\n'; done; } >"$want"
cmp -s "$want" "$E2E_DATA/top10.dat" || e2e_fail "top10.dat is not the ranked table: $(od -c "$E2E_DATA/top10.dat" | head -5)"
echo "e2e: the name prompt took the name and top10.dat holds the ranked table"

# Play again: back at the board's mode prompt, the top-ten window gone.
e2e_pointer "$top10" 160 309
e2e_button click
E2E_WID=$board
e2e_wait_until 30 mode_prompt || e2e_fail "Play again did not bring back the mode prompt"
top10_gone() { ! e2e_find_window 'PEGDROP!!!' 480x336; }
e2e_wait_until 30 top10_gone || e2e_fail "the top-ten window stays after Play again"

# A fun game of one chip shows the table but leaves the file as it was.
cp "$E2E_DATA/top10.dat" "$E2E_WORK/top10.before"
e2e_pointer "$board" 300 200
xdotool type --delay 50 f1
e2e_wait_until 30 chip_at_top || e2e_fail "no chip at the top after f1"
x=206
e2e_pointer "$board" 300 150
e2e_button down
e2e_pointer "$board" $((x - 20)) 150
e2e_pointer "$board" "$x" 150
e2e_wait_until 30 aimed || e2e_fail "the fun game's chip did not follow the drag"
e2e_button up
e2e_window 'PEGDROP!!!' 480x336 || e2e_fail "no top-ten window after the fun game"
top10=$E2E_WID
cmp -s "$E2E_WORK/top10.before" "$E2E_DATA/top10.dat" || e2e_fail "a fun game changed top10.dat"
e2e_shot && has NAME1 "$BRIGHT" 20 || e2e_fail "the top-ten window does not show the table after a fun game"

# Exit: every window goes, the program ends with status 0 and speed.dat holds Speed.
e2e_pointer "$top10" 320 309
e2e_button click
game_exited() { ! kill -0 "$E2E_GAME_PID" 2>/dev/null; }
for _ in $(seq 600); do game_exited && break; sleep 0.05; done
game_exited || e2e_fail "the game is still running 30 s after Exit"
status=0
wait "$E2E_GAME_PID" || status=$?
E2E_GAME_PID=""
[ "$status" = 0 ] || e2e_fail "the game ended with status $status after Exit"
[ "$(od -An -c "$E2E_DATA/speed.dat" | tr -s ' ')" = " 3 0 0 \r \n" ] ||
  e2e_fail "speed.dat is not 300 and CR LF: $(od -c "$E2E_DATA/speed.dat")"
echo "e2e: Exit ended the game with status 0 and wrote speed.dat"
