#!/usr/bin/env bash
# Packs what a Windows player downloads, from a Windows build folder:
#   OUT/pegdrop-VERSION-win64.zip    unpacked anywhere, pegdrop.exe plays there
#   OUT/pegdrop-VERSION-setup.exe    installs for the player alone (pegdrop.nsi)
#
#   windows/package.sh OUT VERSION EXE SOUNDS FONTS ICO README DEPS_SRC
#
# SOUNDS holds the cues, FONTS the .ttf files the game looks for beside
# itself, ICO the installer's icon, README the player's README.txt (LF; it is
# packed with CR LF, as Notepad has always read it), DEPS_SRC the library
# sources tools/build-deps.sh windows unpacked, whose licences go in. The zip is
# laid out in OUT/package/pegdrop-VERSION-win64/, which the installer packs too.
set -euo pipefail

if [ $# -ne 8 ]; then
    echo "usage: $0 OUT VERSION EXE SOUNDS FONTS ICO README DEPS_SRC" >&2
    exit 2
fi
out=$1 version=$2 exe=$3 sounds=$4 fonts=$5 ico=$6 readme=$7 deps_src=$8
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
name=pegdrop-$version-win64
stage=$out/package/$name
zip=$out/$name.zip
setup=$out/pegdrop-$version-setup.exe

fail() {
    echo "windows/package.sh: $*" >&2
    exit 1
}
for tool in zip makensis; do
    command -v "$tool" >/dev/null || fail "$tool is missing (Debian package: $([ "$tool" = zip ] && echo zip || echo nsis))"
done

# Text for Windows: every line ends in CR LF, whatever it ended in before.
crlf() { sed 's/\r*$/\r/' "$@"; }

# The one source of a licence text; fails naming it when it is not there.
licence_part() {
    [ -f "$1" ] || fail "no licence text at $1"
    crlf "$1"
}

# One licence file a component: its own licence first, then Debian's record
# of every file's copyright and licence in the source that was built.
licence() {
    local file=$stage/licences/$1.txt
    shift
    : >"$file"
    local part
    for part in "$@"; do
        [ -s "$file" ] && printf '\r\n----------------------------------------------------------------------\r\n\r\n' >>"$file"
        licence_part "$part" >>"$file"
    done
}

one_dir() { # the only folder matching a pattern under DEPS_SRC
    # shellcheck disable=SC2206 # the pattern is meant to expand
    local found=("$deps_src"/$1)
    if [ ${#found[@]} -ne 1 ] || [ ! -d "${found[0]}" ]; then fail "not one source folder $deps_src/$1"; fi
    echo "${found[0]}"
}

rm -rf "$stage" "$zip" "$setup"
mkdir -p "$stage/sounds" "$stage/fonts" "$stage/licences"

cp "$exe" "$stage/pegdrop.exe"
cues=("$sounds"/*.wav)
[ -f "${cues[0]}" ] || fail "no cues in $sounds"
cp "${cues[@]}" "$stage/sounds/"
faces=("$fonts"/*.ttf)
[ -f "${faces[0]}" ] || fail "no fonts in $fonts"
cp "${faces[@]}" "$stage/fonts/"
crlf "$readme" >"$stage/README.txt"

sdl2=$(one_dir 'libsdl2-[0-9]*')
sdl2_ttf=$(one_dir 'libsdl2-ttf-[0-9]*')
freetype=$(one_dir 'freetype-[0-9]*')
licence Pegdrop "$source_dir/LICENSE"
licence SDL2 "$sdl2/LICENSE.txt" "$sdl2/debian/copyright"
licence SDL2_ttf "$sdl2_ttf/LICENSE.txt" "$sdl2_ttf/debian/copyright"
licence FreeType "$freetype/docs/FTL.TXT" "$freetype/debian/copyright"
licence DSEG /usr/share/doc/fonts-dseg/copyright
licence Liberation /usr/share/doc/fonts-liberation2/copyright
# The C run-time and threads of mingw-w64, and GCC's libgcc and libstdc++
# under the GCC Runtime Library Exception, all linked into pegdrop.exe.
licence MinGW-w64 /usr/share/doc/mingw-w64-x86-64-dev/copyright
licence GCC-runtime /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright

# Same bytes from the same files: no times or owners of this machine inside.
find "$stage" -exec touch -h -d "@${SOURCE_DATE_EPOCH:-1767225600}" {} +
(cd "$stage" && find . -type f | LC_ALL=C sort | sed 's|^\./||' | TZ=UTC zip -q -X -D "$zip.part" -@)
mv "$zip.part" "$zip"

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION4="$version.0" \
    -DSTAGE="$stage" -DICON="$ico" -DOUTFILE="$setup.part" "$here/pegdrop.nsi" >"$out/package/makensis.log" 2>&1 ||
    { cat "$out/package/makensis.log" >&2; fail "makensis failed"; }
mv "$setup.part" "$setup"
echo "windows/package.sh: $zip, $setup"
