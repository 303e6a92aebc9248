#!/usr/bin/env bash
# Builds the Windows libraries if need be, then the smoke programs in
# windows/smoke, and runs them under Wine through ctest.
#
#   windows/smoke.sh BUILD_DIR
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
"$here/../tools/build-deps.sh" windows "$1"
build_dir=$(cd "$1" && pwd)

cmake -S "$here/smoke" -B "$build_dir/smoke" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    -DPEGDROP_WIN_DEPS="$build_dir/deps/prefix" -DPEGDROP_WINE_DIR="$build_dir" >/dev/null
cmake --build "$build_dir/smoke" -j "${JOBS:-2}"
ctest --test-dir "$build_dir/smoke" --output-on-failure -V
