#!/usr/bin/env bash
# Installs the Debian packages a task needs, and only those that are missing.
# Usage: scripts/install-deps.sh run|test|check|package|bench|fuzz|measure|icons|web|windows|windows-test|
#        arm64|arm64-test|release
set -euo pipefail

build=(cmake make g++ pkg-config libsdl2-dev)
# CPack's Debian package: dpkg-shlibdeps works out the dependencies, `file` finds the binaries.
package=(dpkg-dev file)
# Real windows under Xvfb; a deep-colour screen is drawn through OpenGL, in software.
window=(xvfb xauth xdotool imagemagick x11-utils procps libgl1-mesa-dri)
# The Wayland window test: a headless sway, keys typed by wtype, screenshots by grim, its window
# found in sway's tree by jq.
wayland=(sway wtype grim jq)
# The page and its browser tests in the three engines: Chromium, Firefox ESR, and WebKitGTK's
# MiniBrowser with its WebDriver, on an Xvfb display. npm comes inside some Node.js builds;
# Debian's has it apart.
web=(cmake make emscripten nodejs chromium python3)
browsers=(firefox-esr webkit2gtk-driver xvfb xauth)
command -v npm >/dev/null 2>&1 || web+=(npm)
# The Windows program, cross-built (its icon packed by a Python script), and its installer.
windows=(cmake make g++-mingw-w64-x86-64 mingw-w64 nsis python3)
# Running it under Wine in Xvfb: 64-bit Wine alone, no 32-bit part.
wine=(wine wine64 util-linux)
# The desktop program for arm64 and its package: Debian's cross compilers and the arm64 SDL beside
# the machine's own (multiarch). On an arm64 machine the native compilers are the ones wanted.
native_arch=$(dpkg --print-architecture 2>/dev/null || uname -m)
arm64=(cmake make libsdl2-dev:arm64 "${package[@]}" lintian)
if [[ "$native_arch" == arm64 ]]; then
  arm64+=(g++ binutils)
else
  arm64+=(crossbuild-essential-arm64)
fi
# Its tests: GoogleTest and MPFR for arm64 and for this machine's build, whose results the arm64
# build's must match, and elsewhere qemu's user-mode emulator, which runs the arm64 programs with
# the multiarch libraries.
arm64_test=("${arm64[@]}" "${build[@]}" "${window[@]}" libgtest-dev libmpfr-dev libgtest-dev:arm64
            libmpfr-dev:arm64)
[[ "$native_arch" == arm64 ]] || arm64_test+=(qemu-user-static)
# 64-bit Wine runs Windows' x86-64 programs only on an x86-64 machine; elsewhere `make test` leaves
# the Windows tests out.
[[ "$native_arch" == amd64 ]] || wine=()
# A release: every download built, the source tarball made by git, and on x86-64 the arm64 package.
release=("${build[@]}" "${package[@]}" "${web[@]}" "${windows[@]}" git)
[[ "$native_arch" == amd64 ]] && release+=("${arm64[@]}")
# The test that builds a release twice shows a difference the way Debian's reproducible-builds
# work does: diffoscope, which unpacks the packages and zips and shows the rest as hex.
reproducible=(diffoscope-minimal unzip xxd)
case "${1:-run}" in
  run) wanted=("${build[@]}") ;;
  bench) wanted=("${build[@]}" libbenchmark-dev) ;;
  test) wanted=("${release[@]}" "${reproducible[@]}" "${window[@]}" "${wayland[@]}" "${browsers[@]}"
                "${wine[@]}" "${arm64_test[@]}" clang libclang-rt-dev
                libgtest-dev libbenchmark-dev libmpfr-dev desktop-file-utils appstream man-db groff-base lintian) ;;
  check) wanted=("${build[@]}" libgtest-dev libmpfr-dev clang-tidy) ;;
  package) wanted=("${build[@]}" "${package[@]}") ;;
  fuzz) wanted=("${build[@]}" clang libclang-rt-dev) ;;
  measure) wanted=("${build[@]}" "${window[@]}") ;;
  icons) wanted=(librsvg2-bin imagemagick) ;;
  web) wanted=("${web[@]}") ;;
  windows) wanted=("${windows[@]}") ;;
  windows-test) wanted=("${windows[@]}" "${window[@]}" "${wine[@]}") ;;
  arm64) wanted=("${arm64[@]}") ;;
  arm64-test) wanted=("${arm64_test[@]}") ;;
  release) wanted=("${release[@]}") ;;
  *) echo "install-deps: unknown task '$1' (run, test, check, package, bench, fuzz, measure, icons, web, windows, windows-test, arm64, arm64-test or release)" >&2; exit 2 ;;
esac

# A package is installed for the architecture it names (arm64 in libsdl2-dev:arm64), else for this
# machine's; one of every architecture ("all") serves all. With arm64 packages beside the machine's
# own, a name alone matches both.
installed() {
  local arch=$native_arch
  [[ "$1" == *:* ]] && arch=${1#*:}
  dpkg-query -W -f='${Architecture} ${Status}\n' "${1%%:*}" 2>/dev/null |
    grep -qE "^($arch|all) install ok installed$"
}
missing=()
for p in "${wanted[@]}"; do
  installed "$p" || missing+=("$p")
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
# Packages of another architecture come from its package lists, which apt fetches only once dpkg
# knows the architecture.
for p in "${missing[@]}"; do
  arch=${p#*:}
  if [[ "$p" == *:* && "$arch" != "$native_arch" ]] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    "${sudo[@]}" dpkg --add-architecture "$arch"
  fi
done
# Another install running at the same time (a second make, the desktop's updater) holds dpkg's lock
# for a while: wait for it rather than fail.
apt=("${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600)
if ! "${apt[@]}" update -qq || \
   ! "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"; then
  echo "install-deps: could not install ${missing[*]}" >&2
  exit 1
fi
