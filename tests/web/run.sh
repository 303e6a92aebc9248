#!/usr/bin/env bash
# Plays the web package's folder in Debian's headless Chromium:
#   tests/web/run.sh FOLDER [SCENARIO...]
# puppeteer-core comes from npm at the version package-lock.json pins.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -f "$here/node_modules/.package-lock.json" ] ||
    [ "$here/package-lock.json" -nt "$here/node_modules/.package-lock.json" ]; then
    (cd "$here" && npm ci --no-audit --no-fund >/dev/null)
fi
exec node "$here/play.mjs" "$@"
