#!/usr/bin/env bash
# Two copies of the game in one data folder, each in a real window: both play
# a tournament to the name prompt; the first is answered ("Alpha") and saved,
# then the second ("Beta"), which read the table before Alpha was saved. Both
# entries must be in top10.dat, the second copy's top-ten window must show
# both with Beta's row flickering, and both copies leave through Exit.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

game=${1:?usage: two_copies.sh GAME SOUNDS}
sounds=${2:?usage: two_copies.sh GAME SOUNDS}
e2e_start_xvfb 1024x768x24
e2e_fresh_data "$sounds"
# No top10.dat: any total takes a row, so both copies ask for a name.

# On a fresh shot of a top-ten window: row ROW shows a name, bright or dim.
named() {
  local y=$((84 + 20 * ($1 - 1)))
  [ "$(e2e_count 74 "$y" 259 20 '#FFFF00')" -ge 10 ] || [ "$(e2e_count 74 "$y" 259 20 '#D0D000')" -ge 10 ]
}
# Rows 1 to N show names and row N+1 none: rows_named N
rows_named() {
  local row
  e2e_shot || return 1
  for row in $(seq "$1"); do named "$row" || return 1; done
  ! named $(($1 + 1))
}
# Row ROW's name is dim, as a new row's is every other tick: row_dims ROW
row_dims() { e2e_shot && [ "$(e2e_count 74 $((84 + 20 * ($1 - 1))) 259 20 '#D0D000')" -ge 10 ]; }

# Each copy plays its tournament; its name prompt stays open. The second
# copy's windows open over the first's.
E2E_TAG=alpha
e2e_start_game_in "$game"
alpha=$E2E_GAME_PID
e2e_open_board t
e2e_drop_chips 5
e2e_window PEGDROP 360x128 || e2e_fail "no name prompt in the first copy"
E2E_TAG=beta
e2e_start_game_in "$game"
beta=$E2E_GAME_PID
e2e_open_board t
e2e_drop_chips 5
e2e_window PEGDROP 360x128 || e2e_fail "no name prompt in the second copy"
echo "e2e: both copies wait at their name prompts"

E2E_GAME_PID=$alpha
e2e_answer_prompt Alpha
e2e_window 'PEGDROP!!!' 480x336 || e2e_fail "no top-ten window in the first copy"
e2e_wait_until 30 rows_named 1 || e2e_fail "the first copy's table does not show Alpha alone"
grep -q '^"Alpha",' "$E2E_DATA/top10.dat" || e2e_fail "Alpha is not in top10.dat"

E2E_GAME_PID=$beta
e2e_answer_prompt Beta
e2e_window 'PEGDROP!!!' 480x336 || e2e_fail "no top-ten window in the second copy"
e2e_wait_until 30 rows_named 2 || e2e_fail "the second copy's table does not show two names"
grep -q '^"Alpha",' "$E2E_DATA/top10.dat" || e2e_fail "Alpha is gone from top10.dat: $(od -c "$E2E_DATA/top10.dat" | head -5)"
beta_row=$(grep -n '^"Beta",' "$E2E_DATA/top10.dat" | cut -d: -f1)
[ -n "$beta_row" ] || e2e_fail "Beta is not in top10.dat"
e2e_wait_until 30 row_dims "$beta_row" || e2e_fail "Beta's row $beta_row does not flicker"
echo "e2e: Alpha and Beta are both in top10.dat, Beta in row $beta_row"

e2e_exit_game
E2E_GAME_PID=$alpha
e2e_exit_game
[ "$(cat "$E2E_DATA/speed.dat")" = $'500\r' ] || e2e_fail "speed.dat is not whole: $(od -c "$E2E_DATA/speed.dat")"
strays=$(find "$E2E_DATA" -mindepth 1 -maxdepth 1 ! -name sounds ! -name speed.dat ! -name top10.dat -printf '%f ')
[ -z "$strays" ] || e2e_fail "the copies left $strays"
echo "e2e: both copies left through Exit, no lock file left"
