#!/usr/bin/env bash
# Each build tool answers --help and --version on stdout with status 0, and
# refuses a wrong argument on stderr with its usage and status 2, before it
# makes anything.
#   answers.sh VERSION TOOL...
set -uo pipefail

version=$1
shift
work=$(mktemp -d "${TMPDIR:-/tmp}/pegdrop-answers.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# run TOOL ARGS...: sets status, out and err.
run() {
  (cd "$work" && "$@") >"$work/out" 2>"$work/err"
  status=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}

for tool in "$@"; do
  tool=$(realpath "$tool")
  name=$(basename "$tool")
  usage="usage: $name OUTDIR | --help | --version"

  run "$tool" --help
  [ "$status" = 0 ] || fail "$name --help exits $status"
  [ "$(head -n 1 <<<"$out")" = "$usage" ] || fail "$name --help begins '$(head -n 1 <<<"$out")'"
  grep -q -- '--version' <<<"$out" || fail "$name --help does not name --version"
  [ -z "$err" ] || fail "$name --help writes to stderr: $err"

  run "$tool" --version
  [ "$status" = 0 ] || fail "$name --version exits $status"
  [ "$out" = "$name $version" ] || fail "$name --version says '$out', not '$name $version'"
  [ -z "$err" ] || fail "$name --version writes to stderr: $err"

  # Wrong: an unknown option, no folder, two folders, an empty one.
  for wrong in "--bogus made" "" "made twice" "''"; do
    eval "run \"\$tool\" $wrong"
    [ "$status" = 2 ] || fail "$name $wrong exits $status, not 2"
    [ -z "$out" ] || fail "$name $wrong writes to stdout: $out"
    [ "$(tail -n 1 <<<"$err")" = "$usage" ] || fail "$name $wrong ends its complaint with '$(tail -n 1 <<<"$err")'"
    [ "$(wc -l <<<"$err")" = 2 ] || fail "$name $wrong says more than the fault and the usage: $err"
  done
done

# Nothing was made by any of the questions or refusals.
for left in "$work"/* "$work"/.[!.]*; do
  case "${left##*/}" in out | err | '*' | '.[!.]*') ;; *) fail "left by a tool: ${left##*/}" ;; esac
done

[ "$failures" = 0 ] && echo "answers: $# tools, all well"
exit $((failures > 0))
