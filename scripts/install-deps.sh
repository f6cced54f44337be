#!/usr/bin/env bash
# Installs the Debian packages a task needs, and only those that are missing.
# Usage: scripts/install-deps.sh run|test|package|bench|fuzz|measure|icons|web|windows|windows-test|release
set -euo pipefail

build=(cmake make g++ pkg-config libsdl2-dev)
# CPack's Debian package: dpkg-shlibdeps works out the dependencies, `file` finds the binaries.
package=(dpkg-dev file)
# Real windows under Xvfb; a deep-colour screen is drawn through OpenGL, in software.
window=(xvfb xauth xdotool imagemagick x11-utils procps libgl1-mesa-dri)
# The Wayland window test: a headless sway, keys typed by wtype, screenshots by grim, its window
# found in sway's tree by jq.
wayland=(sway wtype grim jq)
# The page and its browser tests. npm comes inside some Node.js builds; Debian's has it apart.
web=(cmake make emscripten nodejs chromium python3)
command -v npm >/dev/null 2>&1 || web+=(npm)
# The Windows program, cross-built (its icon packed by a Python script), and its installer.
windows=(cmake make g++-mingw-w64-x86-64 mingw-w64 nsis python3)
# Running it under Wine in Xvfb: 64-bit Wine alone, no 32-bit part.
wine=(wine wine64 util-linux)
# A release: every download built, the source tarball made by git.
release=("${build[@]}" "${package[@]}" "${web[@]}" "${windows[@]}" git)
# The test that builds a release twice shows a difference the way Debian's reproducible-builds
# work does: diffoscope, which unpacks the packages and zips and shows the rest as hex.
reproducible=(diffoscope-minimal unzip xxd)
case "${1:-run}" in
  run) wanted=("${build[@]}") ;;
  bench) wanted=("${build[@]}" libbenchmark-dev) ;;
  test) wanted=("${release[@]}" "${reproducible[@]}" "${window[@]}" "${wayland[@]}" "${wine[@]}"
                clang libclang-rt-dev
                libgtest-dev libbenchmark-dev libmpfr-dev desktop-file-utils appstream man-db groff-base lintian) ;;
  package) wanted=("${build[@]}" "${package[@]}") ;;
  fuzz) wanted=("${build[@]}" clang libclang-rt-dev) ;;
  measure) wanted=("${build[@]}" "${window[@]}") ;;
  icons) wanted=(librsvg2-bin imagemagick) ;;
  web) wanted=("${web[@]}") ;;
  windows) wanted=("${windows[@]}") ;;
  windows-test) wanted=("${windows[@]}" "${window[@]}" "${wine[@]}") ;;
  release) wanted=("${release[@]}") ;;
  *) echo "install-deps: unknown task '$1' (run, test, package, bench, fuzz, measure, icons, web, windows, windows-test or release)" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  echo "install-deps: missing packages (${missing[*]}) and no apt-get here; install them by hand (SDL2 2.26+, CMake, a C++20 compiler)" >&2
  exit 1
fi
if [[ $(id -u) -eq 0 ]]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "install-deps: missing packages (${missing[*]}); run as root or install sudo" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Another install running at the same time (a second make, the desktop's updater) holds dpkg's lock
# for a while: wait for it rather than fail.
apt=("${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600)
if ! "${apt[@]}" update -qq || \
   ! "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"; then
  echo "install-deps: could not install ${missing[*]}" >&2
  exit 1
fi
