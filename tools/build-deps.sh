#!/usr/bin/env bash
# Cross-builds the libraries the Windows game and the web page link statically:
# SDL2, FreeType and SDL2_ttf from Debian 12's own source packages, and for
# Windows GoogleTest from the sources Debian's googletest package puts in
# /usr/src/googletest, and the mingw-w64 source package unpacked beside them
# for its licence texts. One recipe for both targets; only the toolchain and
# a few options differ.
#
#   tools/build-deps.sh windows|web BUILD_DIR
#
# Everything lands in BUILD_DIR/deps: the sources in src/, the build trees in
# build/, logs in logs/ and the result in prefix/ (include/, lib/, lib/cmake/,
# lib/pkgconfig/). Each library is built once; a stamp that records how it was
# configured lets the next run skip it, so a second run takes seconds.
#
# The sources come through a private apt setup under BUILD_DIR/deps/apt: its own
# deb-src list for the mirror the machine already uses, its own lists and cache.
# The system's apt sources are left as they are.
#
# Missing Debian packages (windows/debian-packages.txt, web/debian-packages.txt)
# are installed when run as root. JOBS sets the parallel build jobs (2 by default: the machine is shared).
set -euo pipefail

if [ $# -ne 2 ] || { [ "$1" != windows ] && [ "$1" != web ]; }; then
    echo "usage: $0 windows|web BUILD_DIR" >&2
    exit 2
fi

target=$1
root=$(cd "$(dirname "$0")/.." && pwd)
here=$root/$target
mkdir -p "$2"
build_dir=$(cd "$2" && pwd)
deps=$build_dir/deps
prefix=$deps/prefix
target_options=()
case $target in
windows) toolchain=$here/mingw-w64-x86_64.cmake ;;
web)
    toolchain=$here/emscripten.cmake
    sdl2_checks=$here/sdl2-checks.cmake
    target_options=(-DPEGDROP_WEB_DEPS="$prefix")
    # Debian's emcc needs its JavaScript modules from Debian's node folder.
    export NODE_PATH=/usr/share/nodejs
    ;;
esac
jobs=${JOBS:-2}
mkdir -p "$deps/src" "$deps/build" "$deps/logs" "$deps/stamps" "$prefix"
# Two runs on one folder at once would build into each other; the second waits.
exec 9>"$deps/lock"
flock 9

started=$SECONDS
say() { echo "build-deps: $*"; }

# Runs a step with its output in a log, showing the log's end if it fails.
logged() {
    local log=$deps/logs/$1.log
    shift
    if ! "$@" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "build-deps: failed, see $log" >&2
        exit 1
    fi
}

install_missing_packages() {
    local missing=() p
    while read -r p; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$here/debian-packages.txt")
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages; install them with: sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    say "installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

apt_dir=$deps/apt
apt_opts=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State=$apt_dir/state"
    -o "Dir::Cache=$apt_dir/cache"
    # The build folder may be closed to apt's unprivileged download user.
    -o "APT::Sandbox::User=root"
)

# The deb-src twin of every Debian 12 (bookworm) entry the machine already has,
# in either of apt's two formats, so the sources come from the same mirror.
write_private_sources() {
    mkdir -p "$apt_dir/sources.list.d" "$apt_dir/state/lists/partial" \
        "$apt_dir/cache/archives/partial"
    local f
    : >"$apt_dir/sources.list"
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -n -E 's/^[[:space:]]*deb([[:space:]]+(\[[^]]*\][[:space:]]+)?[^[:space:]]+[[:space:]]+bookworm)/deb-src\1/p' \
            "$f" >>"$apt_dir/sources.list"
    done
    rm -f "$apt_dir/sources.list.d/"*.sources
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk '
            function flush() {
                if (stanza != "" && types ~ /(^|[ \t])deb([ \t]|$)/ && suites ~ /bookworm/)
                    printf "%s\n", stanza
                stanza = ""; types = ""; suites = ""
            }
            /^[ \t]*$/ { flush(); next }
            /^#/ { next }
            tolower($1) == "types:" { types = $0; $0 = "Types: deb-src" }
            tolower($1) == "suites:" { suites = $0 }
            { stanza = stanza $0 "\n" }
            END { flush() }
        ' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
    done
    if ! grep -rqs . "$apt_dir/sources.list" "$apt_dir/sources.list.d"; then
        echo "build-deps: no Debian 12 entry in /etc/apt/sources.list{,.d} to take deb-src from" >&2
        exit 1
    fi
}

# Fetches and unpacks one source package into src_dir unless it is already
# here, and checks that it is the upstream version the game was tried with.
fetched_lists=
src_dir=
fetch_source() {
    local package=$1 version=$2
    src_dir=$(find "$deps/src" -mindepth 1 -maxdepth 1 -type d -name "$package-[0-9]*" | head -n 1)
    if [ -z "$src_dir" ]; then
        if [ -z "$fetched_lists" ]; then
            write_private_sources
            logged apt-update apt-get "${apt_opts[@]}" update
            fetched_lists=1
        fi
        say "fetching the $package source package"
        (cd "$deps/src" && logged "source-$package" apt-get "${apt_opts[@]}" source --only-source "$package")
        src_dir=$(find "$deps/src" -mindepth 1 -maxdepth 1 -type d -name "$package-[0-9]*" | head -n 1)
    fi
    case "$(basename "$src_dir")" in
    "$package-$version" | "$package-$version"+*) ;;
    *)
        echo "build-deps: expected $package $version, found '$(basename "$src_dir")'" >&2
        exit 1
        ;;
    esac
}

# Applies the target's own changes to the source in src_dir
# (TARGET/patches/PACKAGE-*.patch) over Debian's. The source folder records
# which were applied; other ones unpack Debian's source again first, and so
# does a run stopped while applying them.
patch_source() {
    local package=$1 patches=() want have dsc p
    shopt -s nullglob
    patches=("$here/patches/$package"-*.patch)
    shopt -u nullglob
    want=
    [ ${#patches[@]} -eq 0 ] || want=$(sha256sum "${patches[@]}" | cut -d' ' -f1 | tr '\n' ' ')
    have=$(cat "$src_dir/.pegdrop-patches" 2>/dev/null || true)
    [ "$want" = "$have" ] && return 0
    if [ -n "$have" ]; then
        dsc=$(find "$deps/src" -maxdepth 1 -name "${package}_*.dsc" | head -n 1)
        say "unpacking the $package source package again"
        rm -rf "$src_dir"
        (cd "$deps/src" && logged "unpack-$package" dpkg-source -x "$(basename "$dsc")" "$(basename "$src_dir")")
    fi
    echo applying >"$src_dir/.pegdrop-patches"
    for p in "${patches[@]}"; do
        say "$package: applying $(basename "$p")"
        logged "patch-$package" patch -d "$src_dir" -p1 --forward -i "$p"
    done
    printf '%s' "$want" >"$src_dir/.pegdrop-patches"
}

# Configures, builds and installs one CMake project into the prefix unless its
# stamp says it was built the same way already. The stamp's text is the recipe:
# the source folder, the toolchain and the options, and the stamps of what it
# links against, so a change to any of them rebuilds it and what depends on it.
cmake_project() {
    local name=$1 src=$2 after=$3
    shift 3
    # The files the recipe reads: a change to one rebuilds.
    local recipe_files=("$toolchain")
    [ "$target" = web ] && recipe_files+=("$sdl2_checks")
    local args=(
        -G Ninja
        -DCMAKE_TOOLCHAIN_FILE="$toolchain"
        -DPEGDROP_WIN_DEPS="$prefix"
        -DCMAKE_INSTALL_PREFIX="$prefix"
        -DCMAKE_INSTALL_LIBDIR=lib
        -DCMAKE_BUILD_TYPE=Release
        -DBUILD_SHARED_LIBS=OFF
        "${target_options[@]}"
        "$@"
    )
    local recipe dep
    recipe=$(
        printf '%s\n' "$src" "$(sha256sum "${recipe_files[@]}" | cut -d' ' -f1)" "$tool_versions" "${args[@]}"
        cat "$src/.pegdrop-patches" 2>/dev/null || true
        for dep in $after; do cat "$deps/stamps/$dep"; done
    )
    if [ -f "$deps/stamps/$name" ] && [ "$(cat "$deps/stamps/$name")" = "$recipe" ]; then
        say "$name: up to date"
        return 0
    fi
    local t0=$SECONDS
    say "$name: building"
    rm -rf "$deps/build/$name" "$deps/stamps/$name"
    logged "$name-configure" cmake -S "$src" -B "$deps/build/$name" "${args[@]}"
    logged "$name-build" cmake --build "$deps/build/$name" -j "$jobs"
    logged "$name-install" cmake --install "$deps/build/$name"
    printf '%s\n' "$recipe" >"$deps/stamps/$name"
    say "$name: built in $((SECONDS - t0)) s"
}

install_missing_packages
# A new compiler or a new googletest package rebuilds everything.
case $target in
windows) tool_versions=$(dpkg-query -W g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest | tr '\t\n' '= ') ;;
web) tool_versions=$(dpkg-query -W emscripten binaryen | tr '\t\n' '= ') ;;
esac

fetch_source libsdl2 2.26.5
patch_source libsdl2
sdl2_src=$src_dir
fetch_source freetype 2.12.1
patch_source freetype
freetype_src=$src_dir
fetch_source libsdl2-ttf 2.20.1
sdl2_ttf_src=$src_dir
if [ "$target" = web ]; then
    fetch_source harfbuzz 6.0.0
    harfbuzz_src=$src_dir
else
    # Not built here (Debian's mingw-w64 packages are the compiler's own): its
    # run-time's licence texts go in the package.
    fetch_source mingw-w64 10.0.0
fi

sdl2_options=(-DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF)
if [ "$target" = web ]; then
    # Each of SDL's 160 configure checks is an emcc run of seconds (half an
    # hour on a loaded machine): web/sdl2-checks.cmake holds their answers
    # for this emscripten, and the few left only compile. No subsystems the
    # page has no use for; what the game uses: video, render, events,
    # timers, audio, joystick and game controller (the Gamepad API). SDL's
    # own iconv: emscripten has no libiconv to link.
    sdl2_options+=(
        -C "$sdl2_checks"
        -DCMAKE_TRY_COMPILE_TARGET_TYPE=STATIC_LIBRARY -DSDL_SYSTEM_ICONV=OFF
        -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_POWER=OFF -DSDL_SENSOR=OFF
        -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_LOADSO=OFF -DSDL_FILESYSTEM=OFF
        -DSDL_DISKAUDIO=OFF -DSDL_DUMMYAUDIO=OFF -DSDL_DUMMYVIDEO=OFF -DSDL_OFFSCREEN=OFF
        -DSDL_ASSEMBLY=OFF -DSDL_THREADS=OFF
    )
fi
cmake_project sdl2 "$sdl2_src" "" "${sdl2_options[@]}"

# Only the font formats the game ships: no compressed fonts, no PNG glyphs.
cmake_project freetype "$freetype_src" "" \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

# Debian's SDL2_ttf source carries no bundled FreeType or HarfBuzz, so it links
# the FreeType built above.
ttf_after="sdl2 freetype"
ttf_shaping=-DSDL2TTF_HARFBUZZ=OFF
if [ "$target" = web ]; then
    # Text is laid out by HarfBuzz, as Debian's SDL2_ttf lays it out on
    # Linux: the page's windows are then the Linux build's pixels.
    cmake_project harfbuzz "$harfbuzz_src" "freetype" \
        -DHB_HAVE_FREETYPE=ON -DHB_HAVE_GLIB=OFF -DHB_HAVE_ICU=OFF -DHB_HAVE_GOBJECT=OFF \
        -DHB_BUILD_SUBSET=OFF -DHB_BUILD_UTILS=OFF -DHB_BUILD_TESTS=OFF
    ttf_after="sdl2 freetype harfbuzz"
    ttf_shaping=-DSDL2TTF_HARFBUZZ=ON
fi
cmake_project sdl2_ttf "$sdl2_ttf_src" "$ttf_after" \
    -DSDL2TTF_VENDORED=OFF "$ttf_shaping" -DSDL2TTF_SAMPLES=OFF

# Win32 threads inside gtest: a pthread build would also need every test
# program compiled with GTEST_HAS_PTHREAD=1, or gtest and its users disagree.
# The page's proof is in the browser; its unit tests are the Linux build's.
if [ "$target" = windows ]; then
    cmake_project googletest /usr/src/googletest "" \
        -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=ON
fi

say "done in $((SECONDS - started)) s; prefix: $prefix"
