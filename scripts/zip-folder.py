#!/usr/bin/env python3
"""Zips a folder's files so that the zip's bytes depend on nothing but their paths and contents.

Usage: scripts/zip-folder.py OUTPUT.zip FOLDER   (the build runs it for the Windows and web zips)

A zip tool records each file's own time in the builder's time zone, its mode after the builder's
umask and the builder's user and group, so two builds of the same commit would give two zips. Here
the entries come in byte order of their paths, every one dated SOURCE_DATE_EPOCH (the commit's
time; without it the earliest date a zip can hold), with mode 755 where the owner may run the file
and 644 elsewhere, and no extra fields.
"""
import os
import sys
import time
import zipfile

# 1980-01-01 00:00:00 UTC, where the dates of the zip format begin.
ZIP_EARLIEST = 315532800


def files_below(folder):
    paths = []
    for root, _, names in os.walk(folder):
        paths += [os.path.join(root, name) for name in names]
    return sorted(paths, key=lambda path: os.path.relpath(path, folder).encode())


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    output, folder = sys.argv[1:]
    epoch = max(int(os.environ.get("SOURCE_DATE_EPOCH") or ZIP_EARLIEST), ZIP_EARLIEST)
    date_time = time.gmtime(epoch)[:6]
    with zipfile.ZipFile(output, "w") as archive:
        for path in files_below(folder):
            entry = zipfile.ZipInfo(os.path.relpath(path, folder).replace(os.sep, "/"), date_time)
            entry.create_system = 3  # Unix, so that unzip restores the mode
            entry.compress_type = zipfile.ZIP_DEFLATED
            mode = 0o755 if os.stat(path).st_mode & 0o100 else 0o644
            entry.external_attr = (0o100000 | mode) << 16
            with open(path, "rb") as f:
                archive.writestr(entry, f.read(), compresslevel=9)


if __name__ == "__main__":
    main()
