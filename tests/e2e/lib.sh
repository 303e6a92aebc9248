# shellcheck shell=bash disable=SC2034  # some variables here are for the scripts that source it
# Shared pieces of the end-to-end scripts: a private X server, the game in a
# throw-away data folder, screenshots and waits on what the screen shows.
# Source it from a bash script that runs with `set -euo pipefail`.
#
# Every wait polls the screen and gives up only after a limit of tens of
# seconds, so a busy machine makes a run slower, not a failure; only what the
# game shows for a while of its own (a blink until the next event) must be
# caught within that while.

E2E_NAME=$(basename "${0%.sh}")   # names the failure screenshot
E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/pegdrop-e2e.XXXXXX")
E2E_SHOT="$E2E_WORK/shot.png"     # the last screenshot
E2E_WID=""                        # the window e2e_shot takes
E2E_XVFB_PID=""
E2E_GAME_PID=""                   # the game the waits and window searches are about
E2E_TAG=game                      # names the next game's log and pid files
E2E_DATA=""
E2E_SHOT_AT=""                    # when the last screenshot was taken, as e2e_now
E2E_GAME_PIDS=()                  # every game started, for the clean-up
E2E_POLL=${E2E_POLL:-0.05}        # pause between two tries of a wait

# Kills every game started and the X server and removes the work folder; runs on every exit.
e2e_cleanup() {
  local pid
  for pid in "${E2E_GAME_PIDS[@]}" "$E2E_XVFB_PID"; do
    [ -n "$pid" ] || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  [ -n "${E2E_WATCHDOG_PID:-}" ] && kill "$E2E_WATCHDOG_PID" 2>/dev/null
  rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT
# A signal ends the script through exit, so the EXIT trap still cleans up.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Should the script itself be killed outright, a watchdog ends what it started.
e2e_script_pid=$$
(
  trap '' HUP INT
  nap=""
  trap '[ -n "$nap" ] && kill "$nap"; exit 0' TERM
  while kill -0 "$e2e_script_pid" 2>/dev/null; do
    sleep 1 &
    nap=$!
    wait "$nap" || true
  done
  for f in "$E2E_WORK"/*.pid; do
    [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null
  done
  rm -rf "$E2E_WORK"
) >/dev/null 2>&1 &
E2E_WATCHDOG_PID=$!

# Seconds since the epoch, with fractions: e2e_now
e2e_now() { local t=$EPOCHREALTIME; echo "${t/,/.}"; }

# Seconds from one e2e_now to another, two decimals: e2e_elapsed START END
e2e_elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", b - a }'; }

# Prints the message, the game's output and the Xvfb log, keeps a screenshot, exits 1: e2e_fail MESSAGE
e2e_fail() {
  local keep="${TMPDIR:-/tmp}/pegdrop-e2e-$E2E_NAME-failure.png"
  echo "e2e: FAIL: $*" >&2
  if [ -n "$E2E_WID" ] && xdotool getwindowname "$E2E_WID" >/dev/null 2>&1; then e2e_shot || true; fi
  if [ -s "$E2E_SHOT" ]; then cp "$E2E_SHOT" "$keep" && echo "e2e: screenshot kept in $keep" >&2; fi
  local log
  for log in "$E2E_WORK"/*.log; do
    case $log in */xvfb.log) continue ;; esac
    if [ -s "$log" ]; then echo "e2e: the game's output ($(basename "$log")):" >&2; sed 's/^/  /' "$log" >&2; fi
  done
  if [ -s "$E2E_WORK/xvfb.log" ]; then echo "e2e: Xvfb's output:" >&2; sed 's/^/  /' "$E2E_WORK/xvfb.log" >&2; fi
  exit 1
}

# Fails at once when the game has exited, with its exit status: e2e_game_alive
e2e_game_alive() {
  [ -z "$E2E_GAME_PID" ] && return 0
  kill -0 "$E2E_GAME_PID" 2>/dev/null && return 0
  local status=0
  wait "$E2E_GAME_PID" 2>/dev/null || status=$?
  E2E_GAME_PID=""
  e2e_fail "the game exited (status $status)"
}

# Runs COMMAND until it succeeds, at most SECONDS (whole); returns 1 on time-out: e2e_wait_until SECONDS COMMAND [ARGS...]
e2e_wait_until() {
  local deadline=$((${EPOCHREALTIME/[.,]/} + $1 * 1000000))
  shift
  while :; do
    e2e_game_alive
    "$@" && return 0
    [ "${EPOCHREALTIME/[.,]/}" -gt "$deadline" ] && return 1
    sleep "$E2E_POLL"
  done
}

# Xvfb writes the display number and a newline once it accepts clients.
e2e_xvfb_reported() {
  kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb exited before it was ready"
  grep -q '^[0-9][0-9]*$' "$E2E_WORK/display"
}
e2e_xvfb_answers() { xdotool getdisplaygeometry >/dev/null 2>&1; }

# Starts Xvfb on a display it picks itself, exports DISPLAY, waits until it answers: e2e_start_xvfb [WxHxDEPTH [DPI]]
e2e_start_xvfb() {
  local screen=${1:-1024x768x24} dpi=${2:-96}
  # -noreset: a server that resets when its last client leaves (the probe
  # below) refuses the game for a moment, and SDL then opens no window at all.
  Xvfb -displayfd 3 -screen 0 "$screen" -dpi "$dpi" -nolisten tcp -noreset 3>"$E2E_WORK/display" >"$E2E_WORK/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  echo "$E2E_XVFB_PID" >"$E2E_WORK/xvfb.pid"
  e2e_wait_until 30 e2e_xvfb_reported || e2e_fail "Xvfb did not report a display within 30 s"
  DISPLAY=":$(head -n1 "$E2E_WORK/display")"
  export DISPLAY
  e2e_wait_until 30 e2e_xvfb_answers || e2e_fail "Xvfb on $DISPLAY does not answer"
}

# Starts the game in a fresh data folder E2E_DATA holding a copy of SOUNDS and
# FILEs: e2e_start_game BINARY [SOUNDS [FILE...]]. With E2E_RUNNER set, the
# game is started as E2E_RUNNER BINARY, in the data folder all the same
# (wine_game.sh runs the Windows build from its zip).
e2e_start_game() {
  local game sounds=${2:-}
  game=$(realpath "$1")
  [ -x "$game" ] || { [ -n "${E2E_RUNNER:-}" ] && [ -f "$game" ]; } || e2e_fail "no game at $1"
  E2E_DATA="$E2E_WORK/data"
  mkdir -p "$E2E_DATA"
  if [ -n "$sounds" ] && [ -d "$sounds" ]; then cp -r "$sounds" "$E2E_DATA/sounds"; fi
  if [ $# -gt 2 ]; then cp "${@:3}" "$E2E_DATA/"; fi
  # x11 named: should the display refuse it, the game says so and exits
  # instead of running on in a driver without windows.
  (cd "$E2E_DATA" && SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy exec ${E2E_RUNNER:+"$E2E_RUNNER"} "$game") >"$E2E_WORK/$E2E_TAG.log" 2>&1 &
  e2e_started_game $!
}

# Keeps the pid of a game just started: e2e_started_game PID
e2e_started_game() {
  E2E_GAME_PID=$1
  E2E_GAME_PIDS+=("$1")
  echo "$1" >"$E2E_WORK/$E2E_TAG.pid"
}

# One try of e2e_window: the first shown window of the game E2E_GAME_PID (of
# any program without one) with caption $1 (and size $2) into E2E_FOUND.
e2e_find_window() {
  local w
  local -a whose=()
  # A runner (Wine) owns the windows under a pid of its own.
  [ -n "$E2E_GAME_PID" ] && [ -z "${E2E_RUNNER:-}" ] && whose=(--pid "$E2E_GAME_PID")
  for w in $(xdotool search --all --onlyvisible "${whose[@]}" --name "^$1\$" 2>/dev/null); do
    if [ -z "${2:-}" ] || [ "$(e2e_window_size "$w")" = "$2" ]; then
      E2E_FOUND=$w
      return 0
    fi
  done
  return 1
}

# Waits up to 30 s for a shown window with exactly this caption (and size) and makes it E2E_WID: e2e_window CAPTION [WxH]
e2e_window() {
  E2E_FOUND=""
  e2e_wait_until 30 e2e_find_window "$1" "${2:-}" || return 1
  E2E_WID=$E2E_FOUND
}

# Prints WxH of a window: e2e_window_size WID
e2e_window_size() {
  local WIDTH="" HEIGHT=""
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
  echo "${WIDTH}x${HEIGHT}"
}

# Screenshot of window E2E_WID into E2E_SHOT, and its time into E2E_SHOT_AT; returns 1 if none was taken: e2e_shot
e2e_shot() {
  E2E_SHOT_AT=$(e2e_now)
  # import waits for ever on a window that has gone, hence the time limit.
  timeout 20 import -window "$E2E_WID" "$E2E_WORK/next.png" 2>/dev/null || return 1
  mv -f "$E2E_WORK/next.png" "$E2E_SHOT"
}

# Pixels of exactly COLOUR (#RRGGBB) inside a rectangle of the last shot: e2e_count X Y W H COLOUR
e2e_count() {
  convert "$E2E_SHOT" -crop "$3x$4+$1+$2" +repage -format %c histogram:info:- 2>/dev/null |
    awk -v c="$5" 'BEGIN { c = toupper(c) } { for (i = 1; i <= NF; i++) if (toupper($i) == c) { sub(":", "", $1); n += $1 } }
                   END { print n + 0 }'
}

# Mean x of COLOUR along row Y from X to X+W-1 of the last shot, empty if absent: e2e_mean_x Y X W COLOUR
e2e_mean_x() {
  convert "$E2E_SHOT" -crop "$3x1+$2+$1" +repage txt:- 2>/dev/null |
    awk -F'[,:]' -v c="$4" -v x0="$2" 'BEGIN { c = tolower(c) } tolower($0) ~ c { s += $1; n++ }
                                        END { if (n) printf "%d\n", x0 + s / n + 0.5 }'
}

# Checksum of a rectangle of the last shot: e2e_hash X Y W H
e2e_hash() { convert "$E2E_SHOT" -crop "$3x$4+$1+$2" +repage -format '%#' info: 2>/dev/null; }

# Copies the last shot aside, or brings such a copy back as the last shot: e2e_keep_shot NAME, e2e_use_shot NAME
e2e_keep_shot() { cp "$E2E_SHOT" "$E2E_WORK/kept-$1.png"; }
e2e_use_shot() { cp "$E2E_WORK/kept-$1.png" "$E2E_SHOT"; }

# Adds the look of a rectangle of the last shot to E2E_LOOKS when it is new
# and GUARD (optional) holds on that shot; a failed GUARD sets E2E_LOOKS_SPOILED.
e2e_add_look() {
  local x=$1 y=$2 w=$3 h=$4 hash
  shift 4
  hash=$(e2e_hash "$x" "$y" "$w" "$h")
  [ -n "$hash" ] || return 0
  case " ${E2E_LOOKS[*]} " in *" $hash "*) return 0 ;; esac
  # Only a new look needs the guard: repeats add nothing either way.
  if [ $# -gt 0 ] && ! "$@"; then
    E2E_LOOKS_SPOILED=1
    return 0
  fi
  E2E_LOOKS+=("$hash")
}

# One try of e2e_wait_looks: done when N looks are in or the guard failed.
e2e_one_look() {
  local want=$1
  shift
  e2e_shot || return 1
  e2e_add_look "$@"
  [ "$E2E_LOOKS_SPOILED" = 1 ] || [ "${#E2E_LOOKS[@]}" -ge "$want" ]
}

# Shoots until a rectangle has shown N different looks, at most SECONDS, the
# last shot counting as the first; a new look on a shot where GUARD (a
# command, optional) fails ends it with 1: e2e_wait_looks SECONDS N X Y W H [GUARD...]
e2e_wait_looks() {
  local limit=$1
  shift
  E2E_LOOKS=()
  E2E_LOOKS_SPOILED=0
  # The shot the caller has just taken is one look fewer to wait for.
  if [ -s "$E2E_SHOT" ]; then e2e_add_look "${@:2}"; fi
  if [ "$E2E_LOOKS_SPOILED" = 0 ]; then e2e_wait_until "$limit" e2e_one_look "$@" || return 1; fi
  [ "$E2E_LOOKS_SPOILED" = 0 ]
}

# Moves the pointer to X Y inside window WID (a real pointer motion): e2e_pointer WID X Y
e2e_pointer() { xdotool mousemove --window "$1" "$2" "$3"; }

# Presses, releases or clicks a mouse button where the pointer is, as a device would: e2e_button down|up|click [BUTTON]
e2e_button() {
  # Without --window xdotool sends device events, as a real mouse does; with
  # it, synthetic events straight to one window.
  case $1 in
    down) xdotool mousedown "${2:-1}" ;;
    up) xdotool mouseup "${2:-1}" ;;
    click) xdotool click "${2:-1}" ;;
  esac
}

# ---- Short games for the fault and kill runs

# A fresh data folder E2E_DATA with a copy of SOUNDS (none for "") and the
# fastest speed: e2e_fresh_data SOUNDS
e2e_fresh_data() {
  E2E_DATA="$E2E_WORK/data"
  rm -rf "$E2E_DATA"
  mkdir -p "$E2E_DATA"
  if [ -n "$1" ] && [ -d "$1" ]; then cp -r "$1" "$E2E_DATA/sounds"; fi
  printf '500\r\n' >"$E2E_DATA/speed.dat"
}

# Starts the game in E2E_DATA as the caller laid it out, with extra
# environment, and as the user E2E_RUN_AS when set (setpriv drops root, so
# that file modes deny the game what they deny a player): e2e_start_game_in BINARY [NAME=VALUE...]
e2e_start_game_in() {
  local game
  game=$(realpath "$1")
  shift
  [ -x "$game" ] || e2e_fail "no game at $game"
  local -a as=()
  if [ -n "${E2E_RUN_AS:-}" ]; then
    as=(setpriv --reuid="$(id -u "$E2E_RUN_AS")" --regid="$(id -g "$E2E_RUN_AS")" --clear-groups)
  fi
  (cd "$E2E_DATA" && exec env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$@" "${as[@]}" "$game") >"$E2E_WORK/$E2E_TAG.log" 2>&1 &
  e2e_started_game $!
}

# On a fresh shot of the board: a chip waits at the top (its colour at 292 8 17 17).
e2e_chip_at_top() { e2e_shot && [ "$(e2e_count 292 8 17 17 '#C00080')" -ge 50 ]; }
e2e_chip_gone_from_top() { e2e_shot && [ "$(e2e_count 292 8 17 17 '#C00080')" -eq 0 ]; }

# Clicks the splash and types the mode keys on the board (t, or f and a
# digit), with the board as E2E_WID: e2e_open_board KEYS
e2e_open_board() {
  e2e_window Form1 480x336 || e2e_fail "the splash window did not open"
  e2e_pointer "$E2E_WID" 240 150
  e2e_button click
  e2e_window 'PEGDROP!!!' 600x453 || e2e_fail "the board did not open after a click on the splash"
  E2E_BOARD=$E2E_WID
  # Keys go to the window under the pointer: there is no window manager.
  e2e_pointer "$E2E_BOARD" 300 200
  xdotool type --delay 50 "$1"
  e2e_wait_until 30 e2e_chip_at_top || e2e_fail "no chip at the top after $1"
}

# Drops CHIPS chips from the board's top, each after the last one settled; the
# last one's fall is left to end the game: e2e_drop_chips CHIPS
e2e_drop_chips() {
  local chip
  for chip in $(seq "$1"); do
    E2E_WID=$E2E_BOARD
    e2e_pointer "$E2E_BOARD" 300 150
    e2e_button down
    e2e_pointer "$E2E_BOARD" 286 150
    e2e_pointer "$E2E_BOARD" 306 150
    e2e_button up
    e2e_wait_until 30 e2e_chip_gone_from_top || e2e_fail "chip $chip did not leave the top"
    if [ "$chip" -lt "$1" ]; then
      e2e_wait_until 60 e2e_chip_at_top || e2e_fail "chip $((chip + 1)) did not come to the top"
    fi
  done
}

# Types NAME into the top-ten name prompt and presses Return: e2e_answer_prompt NAME
e2e_answer_prompt() {
  e2e_window PEGDROP 360x128 || e2e_fail "no name prompt after the tournament"
  # Another copy's windows may cover it and hold the keyboard.
  xdotool windowraise "$E2E_WID"
  xdotool windowfocus "$E2E_WID"
  e2e_pointer "$E2E_WID" 180 105
  xdotool type --delay 30 "$1"
  xdotool key Return
}

# One try of e2e_message: a shown window captioned PEGDROP that is not the
# name prompt, into E2E_FOUND.
e2e_find_message() {
  local w
  for w in $(xdotool search --all --onlyvisible --pid "$E2E_GAME_PID" --name '^PEGDROP$' 2>/dev/null); do
    if [ "$(e2e_window_size "$w")" != 360x128 ]; then
      E2E_FOUND=$w
      return 0
    fi
  done
  return 1
}
# On a fresh shot of a message: our stop icon's red disc at 12 12.
e2e_stop_icon() { e2e_shot && [ "$(e2e_count 12 12 32 32 '#E00000')" -ge 200 ]; }

# Waits for a message with the stop icon, checks that the game printed LINE
# on stderr as well, and answers it with Return: e2e_answer_message LINE
e2e_answer_message() {
  E2E_FOUND=""
  e2e_wait_until 30 e2e_find_message || e2e_fail "no message came up for: $1"
  E2E_WID=$E2E_FOUND
  e2e_wait_until 30 e2e_stop_icon || e2e_fail "the message shows no stop icon"
  grep -qxF "pegdrop: $1" "$E2E_WORK/$E2E_TAG.log" || e2e_fail "the game did not print: pegdrop: $1"
  local size
  size=$(e2e_window_size "$E2E_WID")
  e2e_pointer "$E2E_WID" $((${size%x*} / 2)) $((${size#*x} / 2))
  xdotool key Return
}

# Clicks Exit on the top-ten window and waits for the game to end with status 0: e2e_exit_game
e2e_exit_game() {
  e2e_click_exit
  e2e_wait_exit
}

# Clicks Exit on the top-ten window: e2e_click_exit
e2e_click_exit() {
  e2e_window 'PEGDROP!!!' 480x336 || e2e_fail "no top-ten window at the end of the game"
  e2e_pointer "$E2E_WID" 320 309
  e2e_button click
}

# Waits for the game to end after Exit, with status 0: e2e_wait_exit
e2e_wait_exit() {
  local status=0 n
  for n in $(seq 600); do kill -0 "$E2E_GAME_PID" 2>/dev/null || break; sleep 0.05; done
  [ "$n" -lt 600 ] || e2e_fail "the game is still running 30 s after Exit"
  wait "$E2E_GAME_PID" || status=$?
  E2E_GAME_PID=""
  [ "$status" = 0 ] || e2e_fail "the game ended with status $status after Exit"
}
