#!/usr/bin/env bash
# Installs the Debian packages that the make targets named need, and only those that are missing.
# The Makefile calls it with the targets it was asked for, before anything else runs.
# Usage: scripts/install-deps.sh TARGET...   (the Makefile's targets: run, test, check, web, ...)
set -euo pipefail

native_arch=$(dpkg --print-architecture 2>/dev/null || uname -m)

# ---- What each kind of build and test needs, said once ----
build=(cmake make g++ pkg-config libsdl2-dev)
# The unit tests: GoogleTest, and MPFR, the oracle for the program's own maths.
unit=(libgtest-dev libmpfr-dev)
# The unit tests again, built by clang with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize=(clang libclang-rt-dev)
# CPack's Debian package: dpkg-shlibdeps works out the dependencies, `file` finds the binaries.
package=(dpkg-dev file)
# Real windows under Xvfb, read back with ImageMagick; a deep-colour screen is drawn through
# OpenGL, in software. setpriv (util-linux) runs the Wayland test's tools as another user.
window=(xvfb xauth xdotool imagemagick x11-utils procps libgl1-mesa-dri util-linux)
# The Wayland window test: a headless sway, keys typed by wtype, screenshots by grim, its window
# found in sway's tree by jq.
wayland=(sway wtype grim jq)
# The installed files and the Debian package, checked as a distribution checks them.
package_test=(desktop-file-utils appstream man-db groff-base lintian)
# The page, built by Debian's emscripten; Python serves it and stamps its offline worker.
web=(cmake make emscripten nodejs python3)
# The page's tests in the three engines: Chromium, Firefox ESR, and WebKitGTK's MiniBrowser with
# its WebDriver on an Xvfb display, driven from Node.js. npm comes inside some Node.js builds;
# Debian's has it apart.
browsers=(nodejs chromium firefox-esr webkit2gtk-driver xvfb xauth)
command -v npm >/dev/null 2>&1 || browsers+=(npm)
# The Windows program, cross-built (its icon packed by a Python script), and its installer.
windows=(cmake make g++-mingw-w64-x86-64 mingw-w64 nsis python3)
# Running it under Wine in Xvfb: 64-bit Wine alone, which runs Windows' x86-64 programs only on
# an x86-64 machine (elsewhere `make test` leaves the Windows tests out), and openbox, the window
# manager under which a test resizes its window. flock is util-linux's.
wine=()
[[ "$native_arch" == amd64 ]] && wine=(wine wine64 openbox util-linux "${window[@]}")
# The desktop program for arm64 and its package: Debian's cross compilers and the arm64 SDL beside
# the machine's own (multiarch). On an arm64 machine the native compilers are the ones wanted.
arm64=(cmake make libsdl2-dev:arm64 "${package[@]}")
if [[ "$native_arch" == arm64 ]]; then
  arm64+=(g++ binutils)
else
  arm64+=(crossbuild-essential-arm64)
fi
# Its tests: the unit tests' libraries for arm64, this machine's build whose results the arm64
# build's must match, the window and package tests' tools, and elsewhere qemu's user-mode
# emulator, which runs the arm64 programs with the multiarch libraries.
arm64_test=("${arm64[@]}" libgtest-dev:arm64 libmpfr-dev:arm64 "${build[@]}" "${unit[@]}"
            "${window[@]}" "${package_test[@]}")
[[ "$native_arch" == arm64 ]] || arm64_test+=(qemu-user-static)
# A release: every download built, the source tarball made by git, and on x86-64 the arm64 package.
release=("${build[@]}" "${package[@]}" "${web[@]}" "${windows[@]}" git)
[[ "$native_arch" == amd64 ]] && release+=("${arm64[@]}")
# Its reproducibility test shows a difference the way Debian's reproducible-builds work does:
# diffoscope, which unpacks the packages and zips and shows the rest as hex.
reproducible=("${release[@]}" diffoscope-minimal unzip xxd)

# ---- Each make target's whole set ----
wanted=()
for target in "$@"; do
  case "$target" in
    build | run) wanted+=("${build[@]}") ;;
    package) wanted+=("${build[@]}" "${package[@]}") ;;
    test) wanted+=("${build[@]}" "${unit[@]}" "${sanitize[@]}" "${package[@]}" "${window[@]}"
                   "${wayland[@]}" "${package_test[@]}" "${web[@]}" "${browsers[@]}"
                   "${windows[@]}" "${wine[@]}" "${arm64_test[@]}" "${reproducible[@]}") ;;
    tests) wanted+=("${build[@]}" "${unit[@]}") ;;
    sanitize) wanted+=("${build[@]}" "${unit[@]}" "${sanitize[@]}") ;;
    check) wanted+=("${build[@]}" "${unit[@]}" clang-tidy) ;;
    bench) wanted+=("${build[@]}" libbenchmark-dev) ;;
    fuzz) wanted+=("${build[@]}" "${sanitize[@]}") ;;
    measure | measure-sizes | measure-resizes | measure-wakes | screenshot | animation) wanted+=("${build[@]}" "${window[@]}") ;;
    icons) wanted+=(librsvg2-bin imagemagick) ;;
    web | web-run) wanted+=("${web[@]}") ;;
    web-screenshot | web-measure | browser-deps) wanted+=("${web[@]}" "${browsers[@]}") ;;
    windows) wanted+=("${windows[@]}") ;;
    windows-measure) wanted+=("${windows[@]}" "${wine[@]}") ;;
    arm64) wanted+=("${arm64[@]}") ;;
    arm64-test) wanted+=("${arm64_test[@]}") ;;
    release | dist) wanted+=("${release[@]}") ;;
    clean) ;;
    *) echo "install-deps: no packages known for the target '$target'" >&2; exit 2 ;;
  esac
done

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
  installed "$p" || [[ " ${missing[*]} " == *" $p "* ]] || missing+=("$p")
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
