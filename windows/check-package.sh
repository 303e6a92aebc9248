#!/usr/bin/env bash
# Checks the zip a Windows player downloads: exactly the game, its cues, its
# fonts, README.txt and the licences, each as built; every text file with
# CR LF line ends; each licence the one its name promises.
#
#   windows/check-package.sh ZIP EXE SOUNDS FONTS
set -euo pipefail

usage="usage: $0 ZIP EXE SOUNDS FONTS"
zip=$(realpath "${1:?$usage}") exe=$(realpath "${2:?$usage}")
sounds=$(realpath "${3:?$usage}") fonts=$(realpath "${4:?$usage}")
work=$(mktemp -d "${TMPDIR:-/tmp}/pegdrop-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail=0
complain() {
    echo "check-package: $*" >&2
    fail=1
}

unzip -q "$zip" -d "$work/zip"
cd "$work/zip"
want=$(
    echo README.txt pegdrop.exe
    for f in "$sounds"/*.wav; do echo "sounds/${f##*/}"; done
    for f in "$fonts"/*.ttf; do echo "fonts/${f##*/}"; done
    for l in DSEG FreeType GCC-runtime Liberation MinGW-w64 Pegdrop SDL2 SDL2_ttf; do echo "licences/$l.txt"; done
)
have=$(find . -type f | sed 's|^\./||')
diff <(tr ' ' '\n' <<<"$want" | LC_ALL=C sort) <(LC_ALL=C sort <<<"$have") >"$work/files.diff" ||
    complain "the zip does not hold what it should (< missing, > extra): $(cat "$work/files.diff")"
cues=("$sounds"/*.wav)
[ ${#cues[@]} = 13 ] || complain "${#cues[@]} cues built, not 13"

cmp -s "$exe" pegdrop.exe || complain "pegdrop.exe is not the one built"
for f in "$sounds"/*.wav; do cmp -s "$f" "sounds/${f##*/}" || complain "sounds/${f##*/} is not the cue built"; done
for f in "$fonts"/*.ttf; do cmp -s "$f" "fonts/${f##*/}" || complain "fonts/${f##*/} is not the font shipped"; done

for t in README.txt licences/*.txt; do
    [ -s "$t" ] || { complain "$t is empty"; continue; }
    # Every line ends in CR LF: no LF without its CR, no CR without its LF.
    lines=$(wc -l <"$t")
    if [ "$(grep -c $'\r$' "$t")" != "$lines" ] || [ "$(tr -cd '\r' <"$t" | wc -c)" != "$lines" ]; then
        complain "$t does not end every line in CR LF"
    fi
done
grep -q '^Pegdrop [0-9.]* for Windows' README.txt || complain "README.txt does not open with the game's name"
# The keys of every window and the controller, as --help has them.
for words in "Ctrl+M" "Ctrl+Plus" "Ctrl+Minus" "Ctrl+0" "F11" "game controller"; do
    grep -qF "$words" README.txt || complain "README.txt does not mention $words"
done

# licence FILE PHRASE: the text names what it is.
licence() { grep -qiF "$2" "licences/$1.txt" || complain "licences/$1.txt lacks '$2'"; }
licence Pegdrop "Permission is hereby granted, free of charge"
licence SDL2 "This software is provided 'as-is'"
licence SDL2_ttf "This software is provided 'as-is'"
licence FreeType "The FreeType Project LICENSE"
licence DSEG "Open Font License (OFL)"
licence Liberation "Open Font License (OFL)"
licence MinGW-w64 "MinGW-w64 runtime licensing"
licence MinGW-w64 "Copyright (c) 2011 mingw-w64 project" # winpthreads
licence GCC-runtime "GCC RUNTIME LIBRARY EXCEPTION"
licence GCC-runtime "GNU GENERAL PUBLIC LICENSE"
# Each library's own text, not Debian's record of its source.
for t in licences/*.txt; do
    ! grep -q '^Format: https\?://www.debian.org/doc/packaging-manuals/copyright-format' "$t" ||
        complain "$t is Debian's copyright record, not the licence"
    ! grep -qi 'debian/\*' "$t" || complain "$t speaks of Debian's packaging"
done

[ $fail -eq 0 ] && echo "check-package: $(wc -l <<<"$have") files as built, the texts in CR LF, each licence in place"
exit $fail
