#!/usr/bin/env bash
# The pictures in docs/ that the browser's tests compare the page with are
# what the harness makes from today's code (`make screenshots` remakes them).
#   screenshots.sh PEGDROP_SHOT DOCS_DIR
set -uo pipefail

work=$(mktemp -d "${TMPDIR:-/tmp}/pegdrop-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$1" "$work" || exit 1
failures=0
for made in "$work"/*.png; do
  name=${made##*/}
  if ! cmp -s "$made" "$2/$name"; then
    echo "FAIL: docs/$name is not what pegdrop-shot makes now: run make screenshots" >&2
    failures=$((failures + 1))
  fi
done
[ "$failures" = 0 ] && echo "screenshots: $(ls "$work" | wc -l) pictures, as in docs/"
exit $((failures > 0))
