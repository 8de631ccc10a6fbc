#!/usr/bin/env python3
"""Checks the release zip and unpacks it:

    check_zip.py ZIP VERSION BIN DEST

The zip must hold exactly the shipped files below one folder Tarnwick-VERSION
(nothing of the tests), the binaries byte for byte those of BIN and stripped
(no symbol table, no debug sections), README.txt and LICENSE.txt with Windows
line ends and the version. Then the zip is unpacked into DEST.
"""
import os
import struct
import sys
import zipfile


def pe_sections(data):
    """(symbol table pointer, symbol count, [section names]) of a PE image."""
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[offset:offset + 4] == b"PE\0\0", "no PE signature"
    count = struct.unpack_from("<H", data, offset + 6)[0]
    pointer, symbols = struct.unpack_from("<II", data, offset + 12)
    optional = struct.unpack_from("<H", data, offset + 20)[0]
    table = offset + 24 + optional
    names = [data[table + 40 * i:table + 40 * i + 8].rstrip(b"\0").decode("latin-1") for i in range(count)]
    return pointer, symbols, names


def main():
    zip_path, version, bin_dir, dest = sys.argv[1:]
    top = "Tarnwick-%s/" % version
    expected = {
        "tarnwick.exe", "tarnwick-cli.exe", "OrvoSysUtils.dll", "OrvoGdiUtils.dll",
        "README.txt", "LICENSE.txt",
        "Plugins/SetPriority.dll", "Plugins/Checksums.dll",
        "SDK/TarnwickPlugin.h",
        "Language/German_tarnwick.lang", "Language/Language.ini",
        "Doc/en_tarnwick.htm", "Doc/de_tarnwick.htm",
    }
    expected |= {"SearchPlugins/" + name for name in os.listdir(os.path.join(bin_dir, "SearchPlugins"))}
    problems = []
    with zipfile.ZipFile(zip_path) as z:
        if z.testzip() is not None:
            problems.append("a damaged entry: %s" % z.testzip())
        names = z.namelist()
        outside = [n for n in names if not n.startswith(top)]
        if outside:
            problems.append("entries outside %s: %s" % (top, outside))
        found = {n[len(top):] for n in names if n.startswith(top) and not n.endswith("/")}
        if found - expected:
            problems.append("files that are not shipped: %s" % sorted(found - expected))
        if expected - found:
            problems.append("missing files: %s" % sorted(expected - found))
        for name in sorted(found & expected):
            data = z.read(top + name)
            if name.endswith((".exe", ".dll", ".lang")):
                pointer, symbols, sections = pe_sections(data)
                if pointer or symbols or any(s.startswith((".debug", "/")) for s in sections):
                    problems.append("%s is not stripped (%s)" % (name, " ".join(sections)))
                with open(os.path.join(bin_dir, *name.split("/")), "rb") as f:
                    if f.read() != data:
                        problems.append("%s differs from the built one" % name)
            if name.endswith(".txt"):
                if b"\n" in data.replace(b"\r\n", b""):
                    problems.append("%s has lines that do not end in CR LF" % name)
                if ("Tarnwick " + version).encode() not in data:
                    problems.append("%s does not name version %s" % (name, version))
        total = sum(z.getinfo(top + n).file_size
                    for n in ("tarnwick.exe", "tarnwick-cli.exe", "OrvoSysUtils.dll", "OrvoGdiUtils.dll")
                    if n in found)
        print("check_zip: %d files; the four binaries %d bytes, the zip %d bytes"
              % (len(found), total, os.path.getsize(zip_path)))
        if problems:
            for p in problems:
                print("check_zip: " + p, file=sys.stderr)
            sys.exit(1)
        z.extractall(dest)


if __name__ == "__main__":
    main()
