#!/usr/bin/env bash
# Installs the Debian packages one kind of work needs, when any is missing.
# Without root it names the one command that would do it.
#   install-deps.sh play      building and playing the game: make build, run, install
#   install-deps.sh package   the same and the .deb: make package
#   install-deps.sh test      all of that and every test, benchmark and fuzzer: make test
# A player's set-up stays small: no X server, compiler sanitizers, image tools
# or validators are pulled in until the tests ask for them.
set -euo pipefail

play=(
  cmake make g++ pkg-config
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev libpng-dev libx11-dev
  fonts-liberation2 fonts-dseg
)
# CPack's .deb step reads the binaries with file and finds their libraries'
# packages with dpkg-shlibdeps (dpkg-dev).
package=(dpkg-dev file)
test=(
  # The unit tests, the benchmarks, and the check of the folders' layers.
  googletest libgtest-dev libbenchmark-dev python3
  # A face with Chinese, Japanese and Korean letters, for names in any script.
  fonts-droid-fallback
  # The locale data the test of the thousands separator builds de_DE from.
  locales
  # The real-window tests: an X server, xvfb-run's authority file, input,
  # screenshots and their pixels.
  xvfb xauth xdotool imagemagick
  # The format check, and the fuzzers' compiler and its sanitizer runtimes.
  clang-format-14 clang libclang-rt-14-dev
  # The install check: the desktop entry, metainfo, manual page and the .deb.
  desktop-file-utils appstream groff-base man-db lintian
  # The page's play-through (tests/web): Debian's Chromium, driven from node.
  chromium
)

case "${1:-}" in
  play) packages=("${play[@]}") ;;
  package) packages=("${play[@]}" "${package[@]}") ;;
  test) packages=("${play[@]}" "${package[@]}" "${test[@]}") ;;
  *)
    echo "usage: install-deps.sh play | package | test" >&2
    exit 2
    ;;
esac

missing=()
# npm drives the page's tests; a node that came with its own npm needs no other.
if [ "${1:-}" = test ] && ! command -v npm >/dev/null; then
  missing+=(npm)
fi
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages; install them with: sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
