# The same commit builds the same downloads to the byte. A fresh clone of it, at a deep path, in a
# time zone 13 hours 45 minutes east of UTC and checked out and built under a umask of 077, runs
# `make release`, and its downloads are compared with those `make test` made in this clone
# (build/dist, passed as the second argument). Where this clone has changes not committed, its
# downloads are not the commit's, so a second fresh clone, in UTC, builds them instead. Their
# SHA256SUMS must list the source tarball, the Debian packages for x86-64 and arm64, the Windows zip
# and installer and the page's zip, hold for the files beside them, and be the same. Where they
# differ, the first download that differs is named, with the start of diffoscope's report on it.
# Usage: bash test_reproducible.sh <source-clone> [<its-build/dist>]   (the commit built is its HEAD)
source "$(dirname "$0")/../require_tools.sh"
require_tools git make cmake g++ aarch64-linux-gnu-g++ x86_64-w64-mingw32-g++ makensis emcc python3 \
  dpkg-shlibdeps sha256sum

src=${1:?usage: bash $0 <source-clone>}
# Beside the build it is compared with, on the same filesystem: Debian 13's CPack counts each
# folder's size as the filesystem gives it (4 kB on ext4, a few bytes on tmpfs) into the package's
# Installed-Size.
mkdir -p "$src/build"
work=$(mktemp -d "$src/build/reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
commit=$(git -C "$src" rev-parse HEAD) || fail "$src is not a git clone"

# Clones the commit into $1 and runs `make release` there, as a fresh machine's user would, but
# with the tools already installed; the rest of the environment comes from the caller.
build_release() {
  local clone=$1 start=$SECONDS
  git clone -q --no-checkout "$src" "$clone" && git -C "$clone" checkout -q "$commit" ||
    fail "could not clone $src at $commit"
  (cd "$clone" && env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL -u SOURCE_DATE_EPOCH NO_DEPS=1 make release) \
    >"$clone.log" 2>&1 || fail "make release failed in $clone:
$(tail -30 "$clone.log")"
  echo "measured: make release in $clone took $((SECONDS - start)) s"
}

second=$work/b/a/much/deeper/folder/gravity
mkdir -p "$(dirname "$second")"
(umask 077 && TZ=CHAST-13:45 build_release "$second") || exit 1
dist=${2:-}
if [[ -z "$dist" || -n "$(git -C "$src" status --porcelain --untracked-files=no)" ]]; then
  first=$work/a/gravity
  mkdir -p "$(dirname "$first")"
  TZ=UTC0 build_release "$first"
  dist=$first/build/dist
fi
echo "comparing with $dist"

sums=$dist/SHA256SUMS
downloads=('gravity-*.tar.gz' 'gravity_*_amd64.deb' 'gravity_*_arm64.deb' 'gravity-*-windows-x64.zip'
  'gravity-*-windows-x64-setup.exe' 'gravity-*-web.zip')
for download in "${downloads[@]}"; do
  cut -d' ' -f3- "$sums" | grep -qx -- "${download//\*/.*}" || fail "SHA256SUMS lists no $download:
$(cat "$sums")"
done
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "sha256sum -c SHA256SUMS fails"

while read -r sum name; do
  [[ "$(grep -F "  $name" "$second/build/dist/SHA256SUMS")" == "$sum  $name" ]] && continue
  echo "FAIL: $name differs between the two builds" >&2
  if command -v diffoscope >/dev/null 2>&1; then
    diffoscope --text - "$dist/$name" "$second/build/dist/$name" 2>&1 | head -40 >&2
  fi
  exit 1
done <"$sums"
cmp -s "$sums" "$second/build/dist/SHA256SUMS" ||
  fail "the second build made other downloads: $(diff "$sums" "$second/build/dist/SHA256SUMS")"
echo "ok: both builds of $commit made the same $(wc -l <"$sums") downloads:"
cat "$sums"
