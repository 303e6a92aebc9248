#!/usr/bin/env bash
# Installs the built game into a staging folder and builds the .deb, then
# checks both as a desktop and a player would meet them: every file in its
# place, the desktop entry, metainfo and manual page accepted by their
# validators, the icons at their sizes, and the launcher making the player's
# data folder, mending its sounds/ link, leaving the player's files alone
# and starting the game there; lintian finds nothing to say of the .deb.
# check_install.sh BUILD_DIR VERSION APP_ID SCREENSHOTS_DIR
set -euo pipefail

build=$(realpath "$1")
version=$2
app_id=$3
docs=$(realpath "$4")

work=$(mktemp -d "${TMPDIR:-/tmp}/pegdrop-install.XXXXXX")
game_pid=""
cleanup() {
  if [ -n "$game_pid" ]; then kill -KILL "$game_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
passes=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
pass() { passes=$((passes + 1)); }
# check DESCRIPTION COMMAND...: counts the command's success or failure.
check() {
  local what=$1
  shift
  if "$@" >"$work/check.out" 2>&1; then pass; else
    fail "$what"
    sed 's/^/  /' "$work/check.out" >&2
  fi
}

# The cues the build made: the installed set must be exactly these.
built_cues=$(cd "$build/share/pegdrop/sounds" && ls -- *.wav | sort)
icon_sizes="32 48 64 128 256"
# Under /usr the command is where Debian keeps games.
command=usr/games/pegdrop

# The files a tree rooted at $1 (holding usr/) must have, one a line.
expected_files() {
  echo "$command"
  echo usr/libexec/pegdrop/pegdrop
  echo usr/share/doc/pegdrop/copyright
  echo usr/share/doc/pegdrop/changelog.gz
  echo "usr/share/applications/$app_id.desktop"
  echo "usr/share/metainfo/$app_id.metainfo.xml"
  echo usr/share/man/man6/pegdrop.6.gz
  for s in $icon_sizes; do echo "usr/share/icons/hicolor/${s}x${s}/apps/$app_id.png"; done
  for c in $built_cues; do echo "usr/share/pegdrop/sounds/$c"; done
}

same_lines() { diff <(printf '%s\n' "$1") <(printf '%s\n' "$2"); }

# Nothing but the expected files is installed, and the programs run.
check_files() {
  local root=$1 listed
  listed=$(cd "$root" && find usr -type f | sort)
  check "$root: the installed files are exactly the expected ones" \
    same_lines "$(expected_files | sort)" "$listed"
  check "$root: the launcher is executable" test -x "$root/$command"
  check "$root: the game is executable" test -x "$root/usr/libexec/pegdrop/pegdrop"
}

desktop_entry_is_ours() {
  local f=$1
  grep -qx 'Categories=Game;BoardGame;' "$f" && grep -qx 'Exec=pegdrop' "$f" &&
    grep -qx "Icon=$app_id" "$f" && grep -qx 'Type=Application' "$f"
}

metainfo_is_ours() {
  local f=$1 shot shots=0
  grep -q "<id>$app_id</id>" "$f" || { echo "no id $app_id"; return 1; }
  grep -q "<release version=\"$version\" date=\"[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]\"" "$f" ||
    { echo "no release $version"; return 1; }
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$f" ||
    { echo "does not launch $app_id.desktop"; return 1; }
  # Every screenshot is one of the pictures in docs/, published beside it.
  for shot in $(sed -n 's|.*<image>https://[^<]*/\([^/<]*\.png\)</image>.*|\1|p' "$f"); do
    [ -f "$docs/$shot" ] || { echo "no $shot in $docs"; return 1; }
    shots=$((shots + 1))
  done
  [ "$shots" -ge 4 ] || { echo "only $shots screenshots"; return 1; }
}

# groff reads the page without a single warning, and it is section 6's.
man_page_renders() {
  local page=$1 text
  zcat "$page" | head -n1 | grep -q '^\.TH PEGDROP 6 ' || { echo "no .TH PEGDROP 6"; return 1; }
  text=$(zcat "$page" | groff -man -Tutf8 -ww -P-cbou 2>"$work/groff.err")
  [ ! -s "$work/groff.err" ] || { cat "$work/groff.err"; return 1; }
  grep -q 'NAME' <<<"$text" && grep -q 'top10.dat' <<<"$text" && grep -q 'XDG_DATA_HOME' <<<"$text"
}

icon_is() {
  local file=$1 size=$2 got
  got=$(identify -format '%w %h %[channels]' "$file")
  [ "$got" = "$size $size srgba" ] || { echo "$file: $got, not $size $size srgba"; return 1; }
}

check_metadata() {
  local root=$1 s
  check "$root: desktop-file-validate accepts the entry" \
    desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
  check "$root: the entry is a board game that runs pegdrop with our icon" \
    desktop_entry_is_ours "$root/usr/share/applications/$app_id.desktop"
  check "$root: appstreamcli accepts the metainfo" \
    appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
  check "$root: the metainfo names this version, the entry and the screenshots" \
    metainfo_is_ours "$root/usr/share/metainfo/$app_id.metainfo.xml"
  check "$root: the manual page renders" man_page_renders "$root/usr/share/man/man6/pegdrop.6.gz"
  check "$root: man reads the page" man -l "$root/usr/share/man/man6/pegdrop.6.gz"
  for s in $icon_sizes; do
    check "$root: the ${s}px icon" icon_is "$root/usr/share/icons/hicolor/${s}x${s}/apps/$app_id.png" "$s"
  done
}

# --- The launcher, with a stand-in game that tells where and how it ran. ---

# launch TREE ENV...: runs TREE's launcher with exactly ENV (and PATH), args a and "b c".
launch() {
  local tree=$1
  shift
  rm -f "$work/ran"
  env -i PATH="$PATH" FAKE_OUT="$work/ran" "$@" "$tree/$command" a "b c" >"$work/launch.out" 2>&1
}

ran_in() {
  [ -f "$work/ran" ] || { echo "the game did not run"; cat "$work/launch.out"; return 1; }
  same_lines "$(printf '%s\n' "$1" a "b c")" "$(cat "$work/ran")"
}
links_to() { [ -L "$1" ] && [ "$(readlink -f "$1")" = "$(readlink -f "$2")" ]; }
mode_is() { [ "$(stat -c %a "$1")" = "$2" ]; }
# Same bytes, same inode, same time: the file was not even rewritten.
untouched() { cmp "$1" "$2" && [ "$(stat -c '%i %Y' "$1")" = "$(cat "$2.stat")" ]; }
keep() {
  cp "$1" "$2"
  stat -c '%i %Y' "$1" >"$2.stat"
}

check_launcher() {
  local w h d cues tree
  w=$(mktemp -d "$work/launcher.XXXXXX")
  tree=$w/tree
  cp -a "$1" "$tree"
  # shellcheck disable=SC2016  # the stand-in expands these when it runs
  printf '#!/bin/sh\nprintf "%%s\\n" "$PWD" "$@" >"$FAKE_OUT"\n' >"$tree/usr/libexec/pegdrop/pegdrop"
  cues=$tree/usr/share/pegdrop/sounds

  h=$w/home1
  launch "$tree" HOME="$h"
  d=$h/.local/share/pegdrop
  check "a first run starts the game in ~/.local/share/pegdrop with its arguments" ran_in "$d"
  check "a first run links sounds/ to the installed cues" links_to "$d/sounds" "$cues"
  check "the data folder is the player's alone" mode_is "$d" 700

  h=$w/home2
  launch "$tree" HOME="$h" XDG_DATA_HOME="$w/my data"
  check "XDG_DATA_HOME, even with a space, holds the data folder" ran_in "$w/my data/pegdrop"
  check "nothing is made under HOME when XDG_DATA_HOME is set" test ! -e "$h"
  launch "$tree" XDG_DATA_HOME="$w/my data"
  check "without HOME, XDG_DATA_HOME is enough" ran_in "$w/my data/pegdrop"
  launch "$tree" HOME="$h" XDG_DATA_HOME="relative/share"
  check "a relative XDG_DATA_HOME is ignored" ran_in "$h/.local/share/pegdrop"

  # A player's data from earlier runs, and links left by other copies.
  h=$w/home3
  d=$h/.local/share/pegdrop
  mkdir -p "$d" "$w/old-cues"
  printf '"Ann",12600\r\n' >"$d/top10.dat"
  printf '300\r\n' >"$d/speed.dat"
  keep "$d/top10.dat" "$w/top10.kept"
  keep "$d/speed.dat" "$w/speed.kept"
  ln -s "$w/cleaned-build/sounds" "$d/sounds"
  launch "$tree" HOME="$h"
  check "a broken sounds/ link is pointed at the cues" links_to "$d/sounds" "$cues"
  check "the game starts after the mend" ran_in "$d"
  rm "$d/sounds"
  ln -s "$w/old-cues" "$d/sounds"
  launch "$tree" HOME="$h"
  check "a link to another copy's cues is pointed at these" links_to "$d/sounds" "$cues"
  check "the old cues themselves are left" test -d "$w/old-cues"
  launch "$tree" HOME="$h"
  check "a right link is kept" links_to "$d/sounds" "$cues"
  check "top10.dat is left as it was" untouched "$d/top10.dat" "$w/top10.kept"
  check "speed.dat is left as it was" untouched "$d/speed.dat" "$w/speed.kept"
  check "no temporary link is left behind" same_lines "sounds
speed.dat
top10.dat" "$(ls -A "$d")"

  # A real folder or a file named sounds is the player's.
  rm "$d/sounds"
  mkdir "$d/sounds"
  echo mine >"$d/sounds/ding.wav"
  launch "$tree" HOME="$h"
  check "a real sounds/ folder is kept with its files" grep -qx mine "$d/sounds/ding.wav"
  check "the game starts beside a real sounds/ folder" ran_in "$d"
  rm -r "$d/sounds"
  echo x >"$d/sounds"
  launch "$tree" HOME="$h"
  check "a file named sounds is kept" grep -qx x "$d/sounds"
  check "a file named sounds is reported" grep -q "not a folder" "$work/launch.out"
  check "the game starts beside a file named sounds" ran_in "$d"

  # Run through a link from elsewhere, as from /usr/games or a desktop's bin.
  mkdir -p "$w/links"
  ln -s "$tree/$command" "$w/links/pegdrop"
  rm -f "$work/ran"
  env -i PATH="$PATH" FAKE_OUT="$work/ran" HOME="$w/home4" "$w/links/pegdrop" a "b c" >/dev/null 2>&1
  check "a link to the launcher finds the game" ran_in "$w/home4/.local/share/pegdrop"

  if launch "$tree"; then fail "with neither HOME nor XDG_DATA_HOME the launcher went on"; else pass; fi
  check "with neither HOME nor XDG_DATA_HOME the launcher says why" grep -q "HOME" "$work/launch.out"
  rm "$tree/usr/libexec/pegdrop/pegdrop"
  if launch "$tree" HOME="$w/home5"; then fail "the launcher went on without its game"; else pass; fi
  check "a missing game is reported" grep -q "the game is missing" "$work/launch.out"
}

# --- The real game, started by a launcher: it runs in the data folder. ---

exe_is() { [ "$(readlink "/proc/$game_pid/exe" 2>/dev/null)" = "$1" ]; }

# check_real_game LAUNCHER GAME CUES: the launcher's process becomes GAME.
check_real_game() {
  local launcher=$1 game cues=$3 home=$work/real-home deadline
  game=$(readlink -f "$2")
  rm -rf "$home"
  env -i PATH="$PATH" HOME="$home" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    "$launcher" >"$work/real.out" 2>&1 &
  game_pid=$!
  # The launcher execs the game: its process turns into the game's.
  deadline=$((SECONDS + 30))
  until exe_is "$game"; do
    if ! kill -0 "$game_pid" 2>/dev/null || [ $SECONDS -gt $deadline ]; then break; fi
    sleep 0.05
  done
  check "$launcher: the launcher's process became the game" exe_is "$game"
  check "$launcher: the game's working folder is the data folder" \
    test "$(readlink "/proc/$game_pid/cwd")" = "$home/.local/share/pegdrop"
  check "$launcher: the game's sounds/ reaches the cues" links_to "$home/.local/share/pegdrop/sounds" "$cues"
  kill -KILL "$game_pid" 2>/dev/null || true
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
  if [ "$failures" -gt 0 ] && [ -s "$work/real.out" ]; then sed 's/^/  game: /' "$work/real.out" >&2; fi
  # Asked through the command, the game names the folder the command keeps.
  check "$launcher: --help names the data folder" \
    grep -qx "  $home/.local/share/pegdrop" <(env -i PATH="$PATH" HOME="$home" "$launcher" --help)
}

check_tree() {
  local root=$1
  check_files "$root"
  check_metadata "$root"
  check_launcher "$root"
  check_real_game "$root/$command" "$root/usr/libexec/pegdrop/pegdrop" "$root/usr/share/pegdrop/sounds"
}

# make install into a staging folder.
DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; exit 1; }
check_tree "$work/dest"

# Any other prefix keeps the command in bin, on everyone's PATH, and it still
# finds its game.
DESTDIR="$work/local" cmake --install "$build" --prefix /usr/local >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; exit 1; }
check "under /usr/local the command is in bin" test -x "$work/local/usr/local/bin/pegdrop"
check "under /usr/local nothing is in games" test ! -e "$work/local/usr/local/games"
check_real_game "$work/local/usr/local/bin/pegdrop" "$work/local/usr/local/libexec/pegdrop/pegdrop" \
  "$work/local/usr/local/share/pegdrop/sounds"

# make package: the .deb lists the same files, depends on what the game
# loads, and unpacked it passes the same checks.
cpack -G DEB -B "$work/pkg" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
deb=$(ls "$work"/pkg/pegdrop_*.deb)
check "the .deb lists exactly the installed files" same_lines "$(expected_files | sed 's|^|./|' | sort)" \
  "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libsdl2-2.0-0 libsdl2-ttf-2.0-0 libfontconfig1 fonts-liberation2 fonts-dseg; do
  check "the .deb depends on $p" grep -q "\\b$p\\b" <<<"$depends"
done
check "the .deb is version $version of section games" \
  test "$(dpkg-deb -f "$deb" Version Section)" = "Version: $version
Section: games"
check "lintian finds no error or warning in the .deb" lintian --fail-on error,warning "$deb"
mkdir "$work/deb"
dpkg-deb -x "$deb" "$work/deb"
check_tree "$work/deb"

# make run's launcher: the same data folder, the built cues.
check_real_game "$build/pegdrop-run" "$build/pegdrop" "$build/share/pegdrop/sounds"

echo "install check: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
