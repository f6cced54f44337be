# `cmake --install` puts exactly the listed files in place, and the desktop entry, metainfo,
# manual page and icons among them pass the checks desktops and distributions apply to them.
# Usage: bash test_installed_tree.sh <build-folder> <version>
source "$(dirname "$0")/../require_tools.sh"
require_tools cmake desktop-file-validate appstreamcli man identify

build=${1:?usage: bash $0 <build-folder> <version>}
version=${2:?usage: bash $0 <build-folder> <version>}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || fail "cmake --install: $(tail -5 "$prefix.log")"
rm -f "$prefix.log"
cd "$prefix" || exit 1

id=io.github.gravitytoy.gravity
icon_sizes="16 24 32 48 64 128 256"
expected=$(
  {
    echo bin/gravity
    echo share/applications/$id.desktop
    echo share/doc/gravity/LICENSE
    echo share/doc/gravity/README.md
    for size in $icon_sizes; do echo "share/icons/hicolor/${size}x$size/apps/$id.png"; done
    echo share/icons/hicolor/scalable/apps/$id.svg
    echo share/man/man6/gravity.6
    echo share/metainfo/$id.metainfo.xml
  } | sort
)
installed=$(find . ! -type d | sed 's|^\./||' | sort)
[[ "$installed" == "$expected" ]] ||
  fail "installed files differ from the list (< installed, > listed):
$(diff <(echo "$installed") <(echo "$expected"))"

# The checkers print hints as well as errors; any word from them is a finding.
entry=share/applications/$id.desktop
report=$(desktop-file-validate "$entry" 2>&1) && [[ -z "$report" ]] || fail "desktop-file-validate: $report"
# Validating the tree also ties the metainfo to the desktop entry it launches.
report=$(appstreamcli validate-tree --no-net . 2>&1) || fail "appstreamcli validate-tree: $report"
report=$(appstreamcli validate --no-net share/metainfo/$id.metainfo.xml 2>&1) || fail "appstreamcli validate: $report"
grep -q "<release version=\"$version\"" share/metainfo/$id.metainfo.xml ||
  fail "the metainfo lists no release $version"

# Rendered as man and lintian render it: warnings from groff or man are findings too.
page=share/man/man6/gravity.6
report=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
[[ -z "$report" ]] || fail "man reports: $report"
text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null)
[[ "$text" == *"gravity $version"* ]] || fail "the manual page does not show version $version"
for control in Escape Enter Space T "Page Up" "keypad +" "keypad -" "mouse button"; do
  [[ "$text" == *"$control"* ]] || fail "the manual page does not mention $control"
done

# The entry names the icon installed at every size, and each picture really has its folder's size.
grep -qx "Icon=$id" "$entry" || fail "the desktop entry's icon is not $id: $(grep '^Icon=' "$entry")"
grep -qx "StartupWMClass=gravity" "$entry" ||
  fail "StartupWMClass is not the program's file name, which SDL gives the window as its class"
for size in $icon_sizes; do
  actual=$(identify -format '%wx%h' "share/icons/hicolor/${size}x$size/apps/$id.png" 2>&1)
  [[ "$actual" == "${size}x$size" ]] || fail "the ${size}x$size icon is $actual"
done
echo "ok: $(wc -l <<<"$installed") files installed and valid, version $version"
