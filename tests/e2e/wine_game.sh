#!/usr/bin/env bash
# Plays the Windows game the way a player does with the zip: unpacked into the
# folder this is started in, pegdrop.exe run there (under Wine, on the X
# display of the caller), so it keeps its files beside itself. The runner of
# wine_play.sh; the exit status is the game's, and the process is the game's
# too (exec), so the caller can wait for it and kill it.
#
#   PEGDROP_WIN_BUILD=BUILD_DIR wine_game.sh pegdrop-VERSION-win64.zip
set -euo pipefail

zip=${1:?usage: PEGDROP_WIN_BUILD=BUILD_DIR $0 ZIP}
[ -n "${PEGDROP_WIN_BUILD:-}" ] || { echo "$0: PEGDROP_WIN_BUILD names no build folder" >&2; exit 2; }
unzip -q -o "$zip"
[ -f pegdrop.exe ] || { echo "$0: no pegdrop.exe in $zip" >&2; exit 1; }
# SDL's Windows video driver; sound through wine-run.sh's null ALSA device.
export SDL_VIDEODRIVER=windows
unset SDL_AUDIODRIVER
exec "$(dirname "$0")/../../windows/wine-run.sh" ./pegdrop.exe
