#!/usr/bin/env bash
# The Windows game from its zip, played through a tournament under Wine in a
# real window on Xvfb, with the same steps and checks as on Linux
# (play_tournament.sh): splash, board, five chips, the name prompt, the
# top-ten window and top10.dat's CR LF lines, Play again, a fun game, and Exit
# with speed.dat written and status 0. Wine's prefix is BUILD_DIR/wine.
#
#   wine_play.sh BUILD_DIR pegdrop-VERSION-win64.zip
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
export PEGDROP_WIN_BUILD=${1:?usage: $0 BUILD_DIR ZIP}
zip=${2:?usage: $0 BUILD_DIR ZIP}
export E2E_RUNNER=$here/wine_game.sh
exec "$here/play_tournament.sh" "$zip"
