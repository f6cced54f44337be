#!/usr/bin/env bash
# Prints the time of the commit this source comes from, in seconds since 1970: the SOURCE_DATE_EPOCH
# every time stamp of a build is set to, so that the same commit builds the same bytes at any time.
# In a source tarball git archive has written it into packaging/source-date-epoch; a clone asks git.
# Prints nothing where neither knows it.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
stamp=$(<packaging/source-date-epoch)
if [[ "$stamp" =~ ^[0-9]+$ ]]; then
  echo "$stamp"
else
  git log -1 --format=%ct 2>/dev/null
fi
