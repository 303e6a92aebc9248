#!/usr/bin/env bash
# Runs a Windows program under Wine on a machine with no screen and no sound
# card, for tests and smoke runs.
#
#   windows/wine-run.sh --dir BUILD_DIR PROGRAM.exe [ARGS...]
#
# BUILD_DIR (or $PEGDROP_WIN_BUILD) holds the Wine prefix, BUILD_DIR/wine, made
# on the first run (about ten seconds) and reused after, and BUILD_DIR/wine-home,
# the HOME Wine runs with: its .asoundrc gives ALSA a null default device, so
# the program's audio opens where no sound card exists.
#
# Without DISPLAY, SDL_VIDEODRIVER defaults to dummy; with one (Xvfb, say) the
# program opens real windows there. The exit status is the program's.
set -euo pipefail

dir=${PEGDROP_WIN_BUILD:-}
if [ "${1:-}" = --dir ]; then
    dir=${2:?--dir needs a folder}
    shift 2
fi
if [ -z "$dir" ] || [ $# -eq 0 ]; then
    echo "usage: $0 --dir BUILD_DIR PROGRAM.exe [ARGS...]" >&2
    exit 2
fi
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

if [ -x /usr/lib/wine/wine64 ]; then
    wine=/usr/lib/wine/wine64 # Debian's wine wrapper nags about wine32 otherwise
    export WINELOADER=$wine
else
    wine=$(command -v wine64 || command -v wine)
fi

export WINEPREFIX=$dir/wine
export WINEARCH=win64
export HOME=$dir/wine-home
export WINEDEBUG=${WINEDEBUG:--all}
# No prompts to install Mono or Gecko into a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mscoree,mshtml=
if [ -z "${DISPLAY:-}" ]; then
    export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-dummy}
fi

mkdir -p "$HOME"
if [ ! -f "$HOME/.asoundrc" ]; then
    printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
fi

# One run makes the prefix; others started meanwhile wait for it.
exec 9>"$dir/wine.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-run: making the Wine prefix $WINEPREFIX" >&2
    if ! "$wine" wineboot --init >"$dir/wine-boot.log" 2>&1 ||
        ! "${wine%/*}/wineserver" -w >>"$dir/wine-boot.log" 2>&1; then
        rm -rf "$WINEPREFIX"
        echo "wine-run: wineboot failed, see $dir/wine-boot.log" >&2
        exit 1
    fi
fi
flock -u 9
exec 9>&-

exec "$wine" "$@"
