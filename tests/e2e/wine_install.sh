#!/usr/bin/env bash
# The Windows installer in a fresh Wine prefix, as a player's first install:
# run silently (/S), it puts the game in %LOCALAPPDATA%\Programs\Pegdrop, the
# cues in the data folder %LOCALAPPDATA%\Pegdrop\sounds, a Start-menu shortcut
# that starts the game in the data folder, and an uninstall key. The game is
# then started through that shortcut in a real window on Xvfb and a fun game
# played to Exit, which writes speed.dat in the data folder. The uninstaller,
# run silently, removes the program and keeps top10.dat and speed.dat.
#
#   wine_install.sh SETUP.EXE STAGE VERSION
#
# STAGE is the unpacked zip the installer was made from (windows/package.sh),
# VERSION the one the uninstall key shows (1.3.0).
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

usage="usage: $0 SETUP.EXE STAGE VERSION"
setup=$(realpath "${1:?$usage}")
stage=$(realpath "${2:?$usage}")
version=${3:?$usage}
wine_run="$(cd "$(dirname "$0")/../.." && pwd)/windows/wine-run.sh"
export WINEPREFIX=$E2E_WORK/wine # wine-run.sh --dir $E2E_WORK makes it there
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pegdrop'

win() { "$wine_run" --dir "$E2E_WORK" "$@"; }
# The prefix's Windows processes end before lib.sh removes the work folder.
trap '"$wineserver" -k 2>/dev/null; e2e_cleanup' EXIT
# The installer and uninstaller run with no display, the game on Xvfb's.
unset DISPLAY
# Until every Windows process of the prefix has ended: an NSIS uninstaller
# runs on from a copy of itself in the temporary folder.
settle() { "$wineserver" -w; }
same_files() { # same_files A B: the same names, each with the same bytes
  diff -r "$1" "$2" >/dev/null || e2e_fail "$2 differs from $1: $(diff -rq "$1" "$2" | head -3)"
}

# The target and the working folder of a Windows shortcut (.lnk), a line each,
# read as the shell link format lays them out.
lnk() {
  python3 - "$1" <<'EOF'
import struct, sys
d = open(sys.argv[1], "rb").read()
assert d[:4] == b"L\0\0\0", "not a shell link"
flags = struct.unpack_from("<I", d, 0x14)[0]
pos = 0x4C
if flags & 0x1:  # an item ID list first
    pos += 2 + struct.unpack_from("<H", d, pos)[0]
target = ""
if flags & 0x2:  # LinkInfo: the local path in two pieces
    size, _, info, _, base, _, suffix = struct.unpack_from("<7I", d, pos)
    cstr = lambda at: d[pos + at:d.index(b"\0", pos + at)].decode("latin-1")
    if info & 1:
        target = cstr(base) + cstr(suffix)
    pos += size
found = {}
for bit, name in ((0x4, "name"), (0x8, "relative"), (0x10, "workdir"), (0x20, "args"), (0x40, "icon")):
    if flags & bit:
        n = struct.unpack_from("<H", d, pos)[0]
        width = 2 if flags & 0x80 else 1
        found[name] = d[pos + 2:pos + 2 + n * width].decode("utf-16-le" if width == 2 else "latin-1")
        pos += 2 + n * width
print(target)
print(found.get("workdir", ""))
EOF
}

# ---- Install, silently, into a fresh prefix
started=$(e2e_now)
win "$setup" /S >"$E2E_WORK/setup.log" 2>&1 || e2e_fail "the installer exited with $?: $(cat "$E2E_WORK/setup.log")"
settle
echo "e2e: installed silently into a fresh Wine prefix in $(e2e_elapsed "$started" "$(e2e_now)") s"

local_dirs=("$WINEPREFIX"/drive_c/users/*/AppData/Local)
if [ ${#local_dirs[@]} -ne 1 ] || [ ! -d "${local_dirs[0]}" ]; then e2e_fail "not one %LOCALAPPDATA%: ${local_dirs[*]}"; fi
local_app=${local_dirs[0]}
user=$(basename "$(dirname "$(dirname "$local_app")")")
program=$local_app/Programs/Pegdrop
data=$local_app/Pegdrop
win_local="C:\\users\\$user\\AppData\\Local"
shortcut="$local_app/../Roaming/Microsoft/Windows/Start Menu/Programs/Pegdrop.lnk"

# The program folder holds what the zip holds, but the cues, and the uninstaller.
cmp -s "$stage/pegdrop.exe" "$program/pegdrop.exe" || e2e_fail "no pegdrop.exe as packed in $program"
cmp -s "$stage/README.txt" "$program/README.txt" || e2e_fail "no README.txt as packed in $program"
same_files "$stage/fonts" "$program/fonts"
same_files "$stage/licences" "$program/licences"
[ -f "$program/uninstall.exe" ] || e2e_fail "no uninstall.exe in $program"
[ ! -e "$program/sounds" ] || e2e_fail "the cues went into the program folder"
# The data folder: the cues alone, no table or speed yet.
same_files "$stage/sounds" "$data/sounds"
[ "$(ls "$data")" = sounds ] || e2e_fail "the new data folder holds more than sounds: $(ls "$data")"

[ -f "$shortcut" ] || e2e_fail "no Start-menu shortcut Pegdrop.lnk"
{ read -r target; read -r workdir; } < <(lnk "$shortcut")
[ "$target" = "$win_local\\Programs\\Pegdrop\\pegdrop.exe" ] || e2e_fail "the shortcut starts '$target'"
[ "$workdir" = "$win_local\\Pegdrop" ] || e2e_fail "the shortcut starts in '$workdir', not the data folder"

reg=$(win reg query "$key" 2>&1 | tr -d "\r") || e2e_fail "no uninstall key $key: $reg"
# has_value NAME VALUE: reg prints "    NAME    REG_TYPE    VALUE" a line.
has_value() {
  local got
  got=$(awk -v n="$1" '$1 == n { sub(/^ +[^ ]+ +REG_[A-Z]+ +/, ""); print }' <<<"$reg")
  [ "$got" = "$2" ] || e2e_fail "the uninstall key's $1 is '$got', not '$2'"
}
has_value DisplayName Pegdrop
has_value DisplayVersion "$version"
has_value Publisher "The Pegdrop developers"
has_value InstallLocation "$win_local\\Programs\\Pegdrop"
has_value UninstallString "\"$win_local\\Programs\\Pegdrop\\uninstall.exe\""
# The size Settings > Apps shows: the program's folder and the cues, in KB
# (each folder's sum cut to whole KB, as the installer counts them).
kb() { find "$1" -type f -printf '%s\n' | awk '{ s += $1 } END { print int(s / 1024) }'; }
true_kb=$(( $(kb "$program") + $(kb "$data/sounds") ))
size=$(awk '$1 == "EstimatedSize" { print $3 }' <<<"$reg")
[ -n "$size" ] && [ "$((size))" -eq "$true_kb" ] ||
  e2e_fail "the uninstall key's EstimatedSize is '$size', where the files take $true_kb KB"
echo "e2e: the program, the data folder with its cues, the shortcut and the uninstall key are in place"

# ---- Played from the Start menu: the shortcut's working folder is where the game keeps its files
table="$E2E_WORK/top10.dat"
{ printf '"Ola",10100\r\n'; for _ in 1 2 3 4 5 6 7 8 9; do printf '"",0\r\n'; done; } >"$table"
cp "$table" "$data/top10.dat"
e2e_start_xvfb 1024x768x24
# Started as Explorer starts a shortcut: its target in its working folder.
# (Wine's start.exe opens a .lnk too, but hands back no process to wait for.)
unix_path() { local p=${1#C:\\}; echo "$WINEPREFIX/drive_c/${p//\\//}"; }
(cd "$(unix_path "$workdir")" && SDL_VIDEODRIVER=windows exec "$wine_run" --dir "$E2E_WORK" "$target") \
  >"$E2E_WORK/game.log" 2>&1 &
E2E_GAME_PID=$!
echo "$E2E_GAME_PID" >"$E2E_WORK/game.pid"
# Its windows belong to Wine's own process, not to this pid.
E2E_RUNNER=$wine_run
e2e_open_board f1
e2e_drop_chips 1
# The table read from the data folder: its one row in bright yellow.
e2e_window 'PEGDROP!!!' 480x336 || e2e_fail "no top-ten window after the fun game"
row1_shown() { e2e_shot && [ "$(e2e_count 74 84 259 20 '#FFFF00')" -ge 20 ]; }
e2e_wait_until 30 row1_shown || e2e_fail "the top-ten window does not show the data folder's table"
e2e_exit_game
[ "$(od -An -c "$data/speed.dat" | tr -s ' ')" = " 3 0 0 \r \n" ] ||
  e2e_fail "Exit left no speed.dat of 300 in the data folder: $(ls "$data")"
[ ! -e "$program/speed.dat" ] || e2e_fail "the game wrote speed.dat into the program folder"
cmp -s "$table" "$data/top10.dat" || e2e_fail "a fun game changed top10.dat"
cp "$data/speed.dat" "$E2E_WORK/speed.dat"
echo "e2e: started from the Start menu, the game played in the data folder and wrote speed.dat there"

# ---- Uninstall, silently, as Settings > Apps does: the program goes, the player's files stay
settle
win "$program/uninstall.exe" /S >"$E2E_WORK/uninstall.log" 2>&1 || e2e_fail "the uninstaller exited with $?"
settle
[ ! -e "$program" ] || e2e_fail "the uninstaller left $(find "$program" | head -5)"
[ ! -e "$shortcut" ] || e2e_fail "the uninstaller left the shortcut"
! win reg query "$key" >/dev/null 2>&1 || e2e_fail "the uninstaller left the uninstall key"
[ ! -e "$data/sounds" ] || e2e_fail "the uninstaller left the cues"
cmp -s "$table" "$data/top10.dat" || e2e_fail "the uninstaller did not keep top10.dat"
cmp -s "$E2E_WORK/speed.dat" "$data/speed.dat" || e2e_fail "the uninstaller did not keep speed.dat"
left=$(find "$data" -mindepth 1 -printf '%P\n' | LC_ALL=C sort | xargs)
[ "$left" = "speed.dat top10.dat" ] || e2e_fail "the data folder holds $left"
echo "e2e: uninstalled silently: the program, shortcut, cues and key are gone, top10.dat and speed.dat kept"
echo "e2e: install, play and uninstall took $(e2e_elapsed "$started" "$(e2e_now)") s"
