#!/usr/bin/env bash
# Checks a built pegdrop.exe as a player gets it: a 64-bit window program (no
# console opens beside it) that imports only DLLs every Windows has, none of
# mingw-w64's own (libstdc++, libgcc, winpthread) and no SDL; and that,
# started from a console, it still answers --version and --help there and
# refuses a wrong argument with the usage and status 2.
#
#   windows/check-exe.sh BUILD_DIR/pegdrop.exe VERSION
#
# The runs go through wine-run.sh with the Wine prefix of the exe's folder.
set -euo pipefail

exe=${1:?usage: $0 PEGDROP.EXE VERSION}
version=${2:?usage: $0 PEGDROP.EXE VERSION}
here=$(cd "$(dirname "$0")" && pwd)
fail=0
complain() {
    echo "check-exe: $*" >&2
    fail=1
}

headers=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" ||
    complain "not a window program: $(grep '^Subsystem' <<<"$headers")"
grep -q '^Magic.*PE32+' <<<"$headers" || complain "not a 64-bit program"
dlls=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
for dll in $dlls; do
    case $dll in
    kernel32.dll | user32.dll | gdi32.dll | winmm.dll | imm32.dll | ole32.dll | oleaut32.dll | \
        version.dll | advapi32.dll | setupapi.dll | shell32.dll | msvcrt.dll | api-ms-win-*.dll) ;;
    *) complain "needs $dll, which Windows does not have" ;;
    esac
done

# The C runtime ends lines with CR LF.
run() { "$here/wine-run.sh" --dir "$(dirname "$exe")" "$exe" "$@" | tr -d '\r'; }
out=$(run --version) || complain "--version exits with $?"
[ "$out" = "pegdrop $version" ] || complain "--version prints '$out'"
out=$(run --help) || complain "--help exits with $?"
grep -q '^usage: pegdrop \[--help | --version\]' <<<"$out" || complain "--help prints '$out'"
# In Windows' words: where Windows keeps the settings, and its separator.
for words in 'kept in %APPDATA%\Pegdrop\settings.' 'sounds from sounds\ there'; do
    grep -qF "$words" <<<"$out" || complain "--help does not say '$words': '$out'"
done
status=0
err=$(run --fast 2>&1 >/dev/null) || status=$?
[ $status -eq 2 ] || complain "a wrong argument exits with $status"
grep -q "unexpected argument '--fast'" <<<"$err" || complain "a wrong argument prints '$err'"

[ $fail -eq 0 ] && echo "check-exe: a 64-bit window program importing $dlls; answers as it should"
exit $fail
