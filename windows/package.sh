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
# sources tools/build-deps.sh windows unpacked, whose own licence texts go in. The zip is
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

# One licence file a component: its own licence texts, one after another.
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

# A font's own licence from Debian's record of it: the copyright and licence
# of its files ("Files: *"), without the record's own fields and indents.
font_licence() {
    [ -f "$1" ] || fail "no licence text at $1"
    awk '
        /^Files: \*$/ { fonts = 1; next }
        !fonts { next }
        /^$/ { exit }
        /^Copyright:/ {
            sub(/^Copyright:[ \t]*/, "")
            field = "copyright"
            if ($0 != "") print "Copyright " $0
            next
        }
        /^License:/ { field = "licence"; print ""; next }
        /^[^ \t]/ { next }
        {
            sub(/^[ \t]/, "")
            if ($0 == ".") $0 = ""
            if ($0 == "") { if (field == "licence") print; next }
            print (field == "copyright" && tolower($0) !~ /copyright/ ? "Copyright " : "") $0
        }
    ' "$1" | crlf >"$stage/licences/$2.txt"
    grep -q . "$stage/licences/$2.txt" || fail "no licence for fonts in $1"
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
mingw=$(one_dir 'mingw-w64-[0-9]*')
licence Pegdrop "$source_dir/LICENSE"
licence SDL2 "$sdl2/LICENSE.txt"
licence SDL2_ttf "$sdl2_ttf/LICENSE.txt"
# FreeType's choice of two licences, and both; the game takes it under the FTL.
licence FreeType "$freetype/LICENSE.TXT" "$freetype/docs/FTL.TXT" "$freetype/docs/GPLv2.TXT"
font_licence /usr/share/doc/fonts-dseg/copyright DSEG
font_licence /usr/share/doc/fonts-liberation2/copyright Liberation
# The C run-time and threads of mingw-w64, and GCC's libgcc and libstdc++
# under the GCC Runtime Library Exception, all linked into pegdrop.exe. The
# exception's text is GCC's own, as every Debian GCC carries it in its record.
licence MinGW-w64 "$mingw/COPYING.MinGW-w64-runtime/COPYING.MinGW-w64-runtime.txt" \
    "$mingw/mingw-w64-libraries/winpthreads/COPYING"
gcc_exception=$out/package/gcc-runtime-exception.txt
sed -n '/^GCC RUNTIME LIBRARY EXCEPTION$/,/requirements of the license of GCC\.$/p' \
    /usr/share/doc/gcc-12-base/copyright >"$gcc_exception"
[ "$(wc -l <"$gcc_exception")" -gt 40 ] || fail "no GCC Runtime Library Exception in /usr/share/doc/gcc-12-base/copyright"
licence GCC-runtime "$gcc_exception" /usr/share/common-licenses/GPL-3

# Same bytes from the same files: no times or owners of this machine inside.
find "$stage" -exec touch -h -d "@${SOURCE_DATE_EPOCH:-1767225600}" {} +
(cd "$stage" && find . -type f | LC_ALL=C sort | sed 's|^\./||' | TZ=UTC zip -q -X -D "$zip.part" -@)
mv "$zip.part" "$zip"

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION4="$version.0" \
    -DSTAGE="$stage" -DICON="$ico" -DOUTFILE="$setup.part" "$here/pegdrop.nsi" >"$out/package/makensis.log" 2>&1 ||
    { cat "$out/package/makensis.log" >&2; fail "makensis failed"; }
mv "$setup.part" "$setup"
echo "windows/package.sh: $zip, $setup"
