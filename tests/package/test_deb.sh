# The Debian package holds the listed files, depends on the libraries the program links against,
# passes lintian without errors, and the program unpacked from it opens its window with the class
# the desktop entry names and the program's own icon.
# Usage: bash test_deb.sh <path-to-gravity> <package.deb>   (the first only starts the test helpers)
source "$(dirname "$0")/../window/lib.sh" "$@"
require_tools dpkg-deb lintian xprop

deb=${2:?usage: bash $0 <path-to-gravity> <package.deb>}
[[ -f "$deb" ]] || fail "no package at $deb"
[[ "$(basename "$deb")" =~ ^gravity_([0-9.]+)_[a-z0-9]+\.deb$ ]] || fail "unexpected package name $(basename "$deb")"
version=${BASH_REMATCH[1]}

root=$WORK/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb could not unpack $deb"
app=io.github.gravitytoy.gravity
expected=$(
  {
    echo usr/games/gravity
    echo usr/share/applications/$app.desktop
    echo usr/share/doc/gravity/README.md
    echo usr/share/doc/gravity/changelog.gz
    echo usr/share/doc/gravity/copyright
    for size in 16 24 32 48 64 128 256; do echo "usr/share/icons/hicolor/${size}x$size/apps/$app.png"; done
    echo usr/share/icons/hicolor/scalable/apps/$app.svg
    echo usr/share/man/man6/gravity.6.gz
    echo usr/share/metainfo/$app.metainfo.xml
  } | sort
)
contents=$(cd "$root" && find . ! -type d | sed 's|^\./||' | sort)
[[ "$contents" == "$expected" ]] ||
  fail "package contents differ from the list (< packaged, > listed):
$(diff <(echo "$contents") <(echo "$expected"))"

[[ "$(dpkg-deb -f "$deb" Package Version)" == "Package: gravity"$'\n'"Version: $version" ]] ||
  fail "control fields: $(dpkg-deb -f "$deb" Package Version)"
# The dependencies are worked out from the program's shared libraries: SDL 2 and the C and C++
# runtimes, each with a version, and nothing else.
depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | sort | tr '\n' ' ')
[[ "$names" == "libc6 libgcc-s1 libsdl2-2.0-0 libstdc++6 " ]] || fail "Depends: $depends"
[[ "$depends" =~ libsdl2-2\.0-0\ \(\>=\ [0-9.]+\) ]] || fail "Depends has no SDL version: $depends"

lintian --fail-on error "$deb" >"$WORK/lintian" 2>&1
status=$?
grep -v '^running with root privileges' "$WORK/lintian"
((status == 0)) || fail "lintian found errors"

# The unpacked program, with the libraries of this machine.
GRAVITY=$root/usr/games/gravity
open_program
# Docks match the window to the desktop entry through the window's class, and show its icon.
wm_class=$(grep '^StartupWMClass=' "$root/usr/share/applications/$app.desktop" | cut -d= -f2)
class=$(xprop -id "$id" WM_CLASS 2>&1)
[[ "$class" == *"= \"$wm_class\", \"$wm_class\"" ]] || fail "window class: $class; the desktop entry expects $wm_class"
icon=$(xprop -id "$id" _NET_WM_ICON 2>&1 | head -2)
[[ "$icon" == *"Icon (48 x 48)"* ]] || fail "the window has no 48 x 48 icon: $icon"
alive || fail "the packaged program ended on its own"
echo "ok: $(basename "$deb"), $(stat -c %s "$deb") bytes, Depends: $depends; window Form1 of class $wm_class"
