#!/usr/bin/env bash
# Plays one tournament in the real game window under Xvfb, as a person would:
# click the splash, type t, drag and release each of the five chips, and check
# every step on screenshots. Prints how long each descent took.
set -euo pipefail

game=$(realpath "$1")
sounds=${2:-}
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "e2e: FAIL: $*" >&2; [ -f "$work/shot.png" ] && cp "$work/shot.png" /tmp/pegdrop-e2e-failure.png; exit 1; }

for n in $(seq 50 99); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

[ -n "$sounds" ] && [ -d "$sounds" ] && cp -r "$sounds" "$work/sounds"
(cd "$work" && SDL_AUDIODRIVER=dummy exec "$game") &
game_pid=$!

window() { # waits for a window by its exact caption
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}
shot() { import -window "$wid" "$work/shot.png" 2>/dev/null; }
# Pixels of one colour inside a rectangle of the last shot: count X Y W H COLOUR
count() {
  convert "$work/shot.png" -crop "$3x$4+$1+$2" +repage txt:- 2>/dev/null | grep -ci "$5" || true
}
area_hash() { convert "$work/shot.png" -crop "$3x$4+$1+$2" +repage rgb:- 2>/dev/null | md5sum | cut -c1-32; }
chip_x() { # mean x of the chip's fill along its centre row y
  convert "$work/shot.png" -crop "600x1+0+$1" +repage txt:- 2>/dev/null |
    awk -F'[,:]' 'tolower($0) ~ /#c00080/ { s += $1; n++ } END { if (n) printf "%d\n", s / n + 0.5; else print "" }'
}
slot_of() { # landing table of the board
  local x=$1
  if   [ "$x" -le 213 ]; then echo "1 100"; elif [ "$x" -le 237 ]; then echo "2 500"
  elif [ "$x" -le 261 ]; then echo "3 1000"; elif [ "$x" -le 285 ]; then echo "4 0"
  elif [ "$x" -le 309 ]; then echo "5 10000"; elif [ "$x" -le 333 ]; then echo "6 0"
  elif [ "$x" -le 357 ]; then echo "7 1000"; elif [ "$x" -le 381 ]; then echo "8 500"
  else echo "9 100"; fi
}

wid=$(window Form1) || fail "the splash window did not open"
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" = 480 ] && [ "$HEIGHT" = 336 ] || fail "splash is ${WIDTH}x$HEIGHT, not 480x336"
xdotool mousemove --window "$wid" 240 150 click 1
wid=$(window 'PEGDROP!!!') || fail "the board did not open after a click on the splash"
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" = 600 ] && [ "$HEIGHT" = 453 ] || fail "board is ${WIDTH}x$HEIGHT, not 600x453"
sleep 0.3
xdotool mousemove --window "$wid" 300 200
xdotool type --delay 50 t
sleep 0.3
shot
[ "$(count 292 8 17 17 '#C00080')" -gt 50 ] || fail "no chip at the top after t"

total=0
releases=(206 262 300 350 394)
for chip in 1 2 3 4 5; do
  x=${releases[$((chip - 1))]}
  xdotool mousemove --window "$wid" 300 150 mousedown 1
  xdotool mousemove --window "$wid" $((x - 20)) 150 mousemove --window "$wid" "$x" 150
  sleep 0.1
  shot
  [ "$(count $((x - 8)) 8 17 17 '#C00080')" -gt 50 ] || fail "chip $chip did not follow the drag to $x"
  start=$(date +%s.%N)
  xdotool mouseup 1
  # The fall is seen on the way: somewhere in the field, then in a slot.
  seen_mid=0
  landed=""
  for _ in $(seq 400); do
    shot
    # Landed: the chip rests in the slot band and the landing message is up.
    if [ "$(count 190 308 220 17 '#C00080')" -gt 50 ] && [ "$(count 0 400 600 53 '#FFFFFF')" -gt 50 ]; then
      landed=$(date +%s.%N); break
    fi
    [ "$(count 190 60 220 220 '#C00080')" -gt 50 ] && seen_mid=1
    sleep 0.05
  done
  [ -n "$landed" ] || fail "chip $chip never reached a slot"
  [ "$seen_mid" = 1 ] || fail "chip $chip was not seen falling through the pegs"
  printf 'e2e: chip %d released at %d: descent took %.2f s\n' "$chip" "$x" "$(awk -v a="$start" -v b="$landed" 'BEGIN { print b - a }')"
  fx=$(chip_x 316)
  [ -n "$fx" ] || fail "chip $chip: cannot find where it landed"
  read -r slot prize < <(slot_of "$fx")
  # The landed slot blinks: the slot band changes while the chip rests.
  hashes=""
  for _ in 1 2 3 4 5 6; do shot; hashes="$hashes $(area_hash 160 327 280 73)"; sleep 0.12; done
  [ "$(echo "$hashes" | tr ' ' '\n' | sed '/^$/d' | sort -u | wc -l)" -ge 2 ] || fail "slot $slot does not blink"
  total=$((total + prize))
  echo "e2e: chip $chip landed at x=$fx in slot $slot (\$$prize), total \$$total"
  sleep 2.6
  shot
  if [ "$total" -gt 0 ]; then
    # After the last chip the figures blink: one of a few looks must show them.
    shown=0
    for _ in 1 2 3 4; do
      shot
      [ "$(count 61 150 90 23 '#FFE0F0')" -gt 5 ] && { shown=1; break; }
      sleep 0.1
    done
    [ "$shown" = 1 ] || fail "the scoreboard does not show the total after chip $chip"
  else
    [ "$(count 61 150 90 23 '#FFE0F0')" -eq 0 ] || fail "the scoreboard shows figures with nothing won"
  fi
  if [ "$chip" -lt 5 ]; then
    [ "$(count 292 8 17 17 '#C00080')" -gt 50 ] || fail "chip $((chip + 1)) did not come back to the top"
  fi
done

# Game over: the closing message and the chasing slot lights.
[ "$(count 0 400 600 53 '#FFFFFF')" -gt 100 ] || fail "no closing message in the message strip"
hashes=""
for _ in 1 2 3 4 5; do shot; hashes="$hashes $(area_hash 160 327 280 73)"; sleep 0.15; done
[ "$(echo "$hashes" | tr ' ' '\n' | sed '/^$/d' | sort -u | wc -l)" -ge 3 ] || fail "the slot lights do not chase after the game"
kill -0 "$game_pid" 2>/dev/null || fail "the game is no longer running"
echo "e2e: tournament played through, total \$$total"
