#!/usr/bin/env bash
# The game killed outright (SIGKILL) in a real window, twice: while the
# top-ten name prompt is open, and right after the name is given, while the
# top-ten window ranks and rewrites top10.dat. Each time top10.dat must be the
# old table or the new one, byte for byte, and the next run must read it:
# the first kill's next run is the second tournament, the second kill's is a
# fun game whose top-ten window shows the table before Exit.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

game=${1:?usage: kill_save.sh GAME SOUNDS}
sounds=${2:?usage: kill_save.sh GAME SOUNDS}
e2e_start_xvfb 1024x768x24
e2e_fresh_data "$sounds"
# Ten rows at $0: any total takes row 1, so every tournament asks for a name.
for i in 1 2 3 4 5 6 7 8 9 10; do printf '"Old%d",0\r\n' "$i"; done >"$E2E_DATA/top10.dat"
old="$E2E_WORK/top10.old"
cp "$E2E_DATA/top10.dat" "$old"

kill_game() {
  kill -KILL "$E2E_GAME_PID"
  wait "$E2E_GAME_PID" 2>/dev/null || true
  E2E_GAME_PID=""
}

# Files other than the two and the sounds: temporary files a kill left behind.
strays() { find "$E2E_DATA" -mindepth 1 -maxdepth 1 ! -name sounds ! -name speed.dat ! -name top10.dat -printf '%f '; }

# 1. Killed with the name prompt open: nothing is written yet.
e2e_start_game_in "$game"
e2e_open_board t
e2e_drop_chips 5
e2e_window PEGDROP 360x128 || e2e_fail "no name prompt after the tournament"
kill_game
cmp -s "$old" "$E2E_DATA/top10.dat" || e2e_fail "top10.dat changed under a kill at the name prompt: $(od -c "$E2E_DATA/top10.dat" | head -3)"
[ -z "$(strays)" ] || e2e_fail "a kill at the name prompt left $(strays)"
echo "e2e: killed at the name prompt: top10.dat is the old table, byte for byte"

# 2. The next run ranks the same table; killed right after the name is given.
e2e_start_game_in "$game"
e2e_open_board t
e2e_drop_chips 5
e2e_answer_prompt Kim
kill_game
new_table() { # "Kim" with some total in row 1, then the old rows 1 to 9
  [ "$(sed -n '1p' "$E2E_DATA/top10.dat" | grep -c $'^"Kim",[0-9]*\r$')" = 1 ] &&
    cmp -s <(tail -n +2 "$E2E_DATA/top10.dat") <(head -n 9 "$old")
}
if cmp -s "$old" "$E2E_DATA/top10.dat"; then
  echo "e2e: killed as the name was given: top10.dat is the old table, byte for byte"
elif new_table; then
  echo "e2e: killed as the name was given: top10.dat is the new table, byte for byte"
else
  e2e_fail "top10.dat is neither the old nor the new table after a kill: $(od -c "$E2E_DATA/top10.dat" | head -5)"
fi
[ -z "$(strays)" ] || echo "e2e: note: the kill left $(strays) beside top10.dat"
cp "$E2E_DATA/top10.dat" "$E2E_WORK/top10.after"

# 3. The run after that reads the table whole: a fun game shows its ten rows.
e2e_start_game_in "$game"
e2e_open_board f1
e2e_drop_chips 1
e2e_window 'PEGDROP!!!' 480x336 || e2e_fail "no top-ten window after the fun game"
rows_shown() { # every row's name in bright or dim yellow
  local row
  e2e_shot || return 1
  for row in 0 1 2 3 4 5 6 7 8 9; do
    [ "$(e2e_count 74 $((84 + 20 * row)) 259 20 '#FFFF00')" -ge 10 ] ||
      [ "$(e2e_count 74 $((84 + 20 * row)) 259 20 '#D0D000')" -ge 10 ] || return 1
  done
}
e2e_wait_until 30 rows_shown || e2e_fail "the top-ten window does not show ten named rows"
e2e_exit_game
cmp -s "$E2E_WORK/top10.after" "$E2E_DATA/top10.dat" || e2e_fail "the fun game changed top10.dat"
echo "e2e: the next run read the table whole and played to Exit"
