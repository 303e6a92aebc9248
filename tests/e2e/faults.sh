#!/usr/bin/env bash
# The game in a real window with a damaged data folder or no sound device,
# one short game each; every case must play to the top-ten window and leave
# through Exit with status 0:
#  - no sounds/ folder at all;
#  - ding.wav cut to half its bytes (it plays on every mode key);
#  - a read-only data folder: a tournament whose table cannot be saved, and
#    an Exit whose speed cannot be, each told in a message with the stop icon
#    and on stderr. Root writes whatever the mode bits say, so as root the
#    game runs as nobody (setpriv) over a folder it may only read;
#  - top10.dat a directory: a tournament reads an empty table and its
#    rewrite fails, and says so;
#  - no audio device: SDL_AUDIODRIVER names a driver that is not there.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

game=${1:?usage: faults.sh GAME SOUNDS}
sounds=${2:?usage: faults.sh GAME SOUNDS}
[ -d "$sounds" ] || e2e_fail "no sounds at $sounds"
e2e_start_xvfb 1024x768x24
# The game may run as another user: it must reach its data folder.
chmod 755 "$E2E_WORK"

# A fresh data folder with a fast speed, and the cues if asked: fresh_data [with-sounds]
fresh_data() { e2e_fresh_data "$([ "${1:-}" = with-sounds ] && echo "$sounds")"; }

# One fun game of one chip, then Exit: fun_game [NAME=VALUE...]
fun_game() {
  e2e_start_game_in "$game" "$@"
  e2e_open_board f1
  e2e_drop_chips 1
  e2e_exit_game
}

# One tournament, its name prompt answered, then Exit, answering the message
# that each failed save shows (none for ""): tournament TOP10-MESSAGE SPEED-MESSAGE
tournament() {
  e2e_start_game_in "$game"
  e2e_open_board t
  e2e_drop_chips 5
  e2e_answer_prompt Kim
  [ -z "$1" ] || e2e_answer_message "$1"
  e2e_click_exit
  [ -z "$2" ] || e2e_answer_message "$2"
  e2e_wait_exit
}

# The names in the data folder, sorted, on one line.
folder() { find "$E2E_DATA" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort | tr '\n' ' '; }

started=$(e2e_now)

fresh_data
fun_game
echo "e2e: no sounds folder: played to Exit"

fresh_data with-sounds
ding="$E2E_DATA/sounds/ding.wav"
truncate -s $(($(stat -c %s "$ding") / 2)) "$ding"
fun_game
echo "e2e: ding.wav cut to half: played to Exit"

fresh_data with-sounds
printf '"Old",5\r\n' >"$E2E_DATA/top10.dat"
cp "$E2E_DATA/top10.dat" "$E2E_WORK/top10.before"
cp "$E2E_DATA/speed.dat" "$E2E_WORK/speed.before"
chmod -R a+rX "$E2E_DATA"
chmod a-w "$E2E_DATA" "$E2E_DATA/top10.dat" "$E2E_DATA/speed.dat"
[ "$(id -u)" = 0 ] && E2E_RUN_AS=nobody
tournament "Your score could not be saved to top10.dat: Permission denied" \
  "Your speed setting could not be saved to speed.dat: Permission denied"
E2E_RUN_AS=""
cmp -s "$E2E_WORK/top10.before" "$E2E_DATA/top10.dat" || e2e_fail "top10.dat changed in a read-only folder"
cmp -s "$E2E_WORK/speed.before" "$E2E_DATA/speed.dat" || e2e_fail "speed.dat changed in a read-only folder"
[ "$(folder)" = "sounds speed.dat top10.dat " ] || e2e_fail "the read-only folder holds $(folder)"
chmod -R u+w "$E2E_DATA"
echo "e2e: read-only data folder: a tournament played to Exit, both files as they were, both failures told"

fresh_data with-sounds
mkdir "$E2E_DATA/top10.dat"
tournament "Your score could not be saved to top10.dat: Is a directory" ""
if [ ! -d "$E2E_DATA/top10.dat" ] || [ -n "$(ls -A "$E2E_DATA/top10.dat")" ]; then
  e2e_fail "top10.dat is no longer an empty directory"
fi
[ "$(folder)" = "sounds speed.dat top10.dat " ] || e2e_fail "the data folder holds $(folder)"
echo "e2e: top10.dat a directory: a tournament played to Exit"

fresh_data with-sounds
fun_game SDL_AUDIODRIVER=no-such-device
echo "e2e: no audio device: played to Exit"

echo "e2e: every fault case played to Exit in $(e2e_elapsed "$started" "$(e2e_now)") s"
