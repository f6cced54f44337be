#!/usr/bin/env bash
# Gathers a release's downloads into one folder with their checksums in SHA256SUMS: the source
# tarball of the commit (in a clone; an unpacked tarball has no commit to make one from) and the
# downloads the builds have made, given by their paths. `make release` and `make dist` run it.
# Usage: scripts/release.sh DIST-FOLDER VERSION DOWNLOAD...
set -euo pipefail
export LC_ALL=C  # the checksums in byte order of the names
dist=${1:?usage: scripts/release.sh DIST-FOLDER VERSION DOWNLOAD...}
version=${2:?usage: scripts/release.sh DIST-FOLDER VERSION DOWNLOAD...}
shift 2
cd "$(dirname "$0")/.."

rm -rf "$dist"
mkdir -p "$dist"
cp "$@" "$dist/"

# git archive dates every file with the commit's time and writes that time into
# packaging/source-date-epoch, so that a build of the tarball stamps what a build of the clone
# does; gzip -n leaves out the tarball's own name and time.
if [[ "$(git rev-parse --show-toplevel 2>/dev/null)" == "$PWD" ]]; then
  git diff --quiet HEAD ||
    echo "release: the downloads hold changes that are not committed, and the source tarball does not" >&2
  git archive --format=tar --prefix="gravity-$version/" HEAD | gzip -9n >"$dist/gravity-$version.tar.gz"
else
  echo "release: not a git clone, so no source tarball" >&2
fi

(cd "$dist" && sha256sum -- * >SHA256SUMS)
ls -l "$dist"
