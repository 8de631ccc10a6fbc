#!/usr/bin/env python3
"""Packs the release zip from a build's bin folder.

    make-dist.py BIN VERSION OUT.zip SOURCE-ROOT

The zip holds one folder, Tarnwick-VERSION, with exactly the files a user
needs: the program, the console tool, the two system libraries, the sample
plug-ins, the plug-in SDK, the search plugins, the German interface, the help
pages, README.txt and LICENSE.txt (both with Windows line ends). Anything
else in BIN (tests, helpers, benchmarks, test plug-ins) stays out. A missing
file is an error, as is a binary that still carries a symbol table.
"""
import os
import struct
import sys
import time
import zipfile

BINARIES = ["tarnwick.exe", "tarnwick-cli.exe", "OrvoSysUtils.dll", "OrvoGdiUtils.dll"]

# Folder, the names it must hold, the extensions of further files it may hold.
FOLDERS = [
    ("Plugins", ["SetPriority.dll", "Checksums.dll"], []),
    ("SDK", ["TarnwickPlugin.h"], []),
    ("SearchPlugins", [], [".src", ".png", ".gif", ".jpg", ".ico", ".bmp"]),
    ("Language", ["German_tarnwick.lang", "Language.ini"], []),
    ("Doc", ["en_tarnwick.htm", "de_tarnwick.htm"], []),
]

TEXTS = [("README.txt", "app/release/README.txt"), ("LICENSE.txt", "app/release/LICENSE.txt")]


def fail(message):
    sys.stderr.write("make-dist: %s\n" % message)
    sys.exit(1)


def symbol_table(path):
    """(pointer, count) of the COFF symbol table of a PE file; (0, 0) when stripped."""
    with open(path, "rb") as f:
        data = f.read(4096)
    if len(data) < 0x40 or data[:2] != b"MZ":
        fail("%s is no PE file" % path)
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    if offset + 24 > len(data) or data[offset:offset + 4] != b"PE\0\0":
        fail("%s is no PE file" % path)
    return struct.unpack_from("<II", data, offset + 12)


def collect(bin_dir):
    """[(name in the zip below the top folder, path on disk)] in a fixed order."""
    files = []
    for name in BINARIES:
        files.append((name, os.path.join(bin_dir, name)))
    for folder, required, extensions in FOLDERS:
        source = os.path.join(bin_dir, folder)
        if not os.path.isdir(source):
            fail("%s is missing: build first" % source)
        names = list(required)
        for name in sorted(os.listdir(source)):
            if name not in names and os.path.splitext(name)[1].lower() in extensions:
                names.append(name)
        for name in names:
            files.append((folder + "/" + name, os.path.join(source, name)))
    for name, path in files:
        if not os.path.isfile(path):
            fail("%s is missing: build first" % path)
        if name.lower().endswith((".exe", ".dll", ".lang")) and symbol_table(path) != (0, 0):
            fail("%s is not stripped" % path)
    return files


def windows_text(path, version):
    with open(path, encoding="utf-8") as f:
        text = f.read().replace("@VERSION@", version)
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp1252")


def main():
    if len(sys.argv) != 5:
        sys.stderr.write(__doc__)
        sys.exit(2)
    bin_dir, version, out, root = sys.argv[1:]
    files = collect(bin_dir)
    top = "Tarnwick-%s/" % version
    # One date for every entry; with SOURCE_DATE_EPOCH set the same build
    # gives the same zip.
    stamp = time.localtime(int(os.environ.get("SOURCE_DATE_EPOCH", "0")) or time.time())[:6]
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    temporary = out + ".tmp"
    with zipfile.ZipFile(temporary, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        def add(name, data):
            info = zipfile.ZipInfo(top + name, stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, data)

        for name, path in files:
            with open(path, "rb") as f:
                add(name, f.read())
        for name, source in TEXTS:
            add(name, windows_text(os.path.join(root, source), version))
    os.replace(temporary, out)
    total = sum(os.path.getsize(os.path.join(bin_dir, name)) for name in BINARIES)
    print("make-dist: %s (%d files; the four binaries %d bytes)" % (out, len(files) + len(TEXTS), total))


if __name__ == "__main__":
    main()
