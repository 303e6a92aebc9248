#!/usr/bin/env bash
# The game started where it cannot run honestly: it says why in one line and
# exits with status 1, never running on without a window. Needs no display.
set -uo pipefail
game=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
# In the sanitizer build: what fontconfig keeps for the process is not ours.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# expect NAME STATUS EXPECTED-STDERR -- COMMAND...: runs it with a deadline and
# compares the status and the whole of stderr.
expect() {
  local name=$1 status=$2 want=$3
  shift 4
  local got rc
  # The sound library's reason varies from machine to machine; ours does not.
  got=$(timeout -s KILL 20 "$@" 2>&1 >/dev/null | sed 's/playing silently (.*)$/playing silently (...)/')
  rc=$?
  if [ "$rc" -ne "$status" ] || [ "$got" != "$want" ]; then
    printf 'FAIL %s: status %s (want %s), stderr:\n%s\nwanted:\n%s\n' "$name" "$rc" "$status" "$got" "$want"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

# A display number nothing listens on.
n=87
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done

expect "no DISPLAY" 1 "pegdrop: cannot open a window: no display to show it on (DISPLAY is not set)" -- \
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$game"
expect "no X server" 1 "pegdrop: cannot open a window: cannot connect to the X display \":$n\"" -- \
  env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=":$n" "$game"

# Started in a folder that was deleted, on a machine with no sound card: the
# folder is looked at first, so its line is the only one.
mkdir "$work/gone"
expect "working folder gone, no sound device" 1 \
  "pegdrop: cannot tell which folder it was started in (No such file or directory)" -- \
  bash -c 'cd "$1" && rmdir "$1" && exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=alsa AUDIODEV=hw:97 "$2"' \
  _ "$work/gone" "$game"

# Its arguments: none of its own besides help and version.
expect "--help" 0 "" -- "$game" --help
expect "--version" 0 "" -- "$game" --version
expect "wrong argument" 2 "pegdrop: unexpected argument '--fast'
usage: pegdrop [--help | --version]" -- "$game" --fast
expect "a good argument, then a wrong one" 2 "pegdrop: unexpected argument 'extra'
usage: pegdrop [--help | --version]" -- "$game" --help extra
"$game" --help | head -1 | grep -qx 'usage: pegdrop \[--help | --version\]' || { echo "FAIL --help usage line"; failures=$((failures + 1)); }
# Started by hand, not by the pegdrop command: the files are where it starts.
env -u PEGDROP_DATA_FOLDER "$game" --help | grep -q 'in the folder it is started in' ||
  { echo "FAIL --help does not say the files are in the folder it is started in"; failures=$((failures + 1)); }
said=$("$game" --version)
[ "$said" = "pegdrop $version" ] || { echo "FAIL --version says '$said', not 'pegdrop $version'"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ]
