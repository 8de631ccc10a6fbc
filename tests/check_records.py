#!/usr/bin/env python3
"""Reads the console tool's csv and json back with Python's own parsers.

  check_records.py hostile DIR
      DIR/hostile.csv and DIR/hostile.json, written by the record writer from
      the values in tests/CliFormatTests.cpp: every value as it was.
  check_records.py family BIN VER...
      BIN/cli-ps-VER.csv, .json and .expect, written by the family tests
      (tests/CliTests.cpp) for a helper process: one record, the helper's
      values, and the same field names under every VER.
"""
import csv
import io
import json
import sys

HOSTILE = [
    "plain",
    "a,b",
    'say "hi"',
    "line1\nline2\r\nline3\r",
    "caf\u00e9 \u2028 \U0001F600",
    "tab\there\\back\\slash",
    "\x01\x1f\x7f",
    "  spaced  ",
    "",
    "bad \ufffd\ufffd utf8",
]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        raw = f.read()
    check(raw.endswith("\r\n"), f"{path}: rows do not end in CRLF")
    rows = list(csv.reader(io.StringIO(raw, newline=""), strict=True))
    return rows[0], rows[1:]


def read_json(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def as_csv(value):
    """A json value as csv writes it."""
    if value is None:
        return ""
    if value is True:
        return "true"
    if value is False:
        return "false"
    return str(value)


# Counters of a running process: the csv and the json are two runs of the
# console tool, so these may move between them (both must be there or both null).
LIVE_FIELDS = {"cpu_time_ms", "working_set_bytes", "peak_working_set_bytes", "private_bytes", "page_faults"}


def same_records(name, header, rows, records):
    check(len(rows) == len(records), f"{name}: {len(rows)} csv rows, {len(records)} json records")
    for row, record in zip(rows, records):
        check(list(record.keys()) == header, f"{name}: json keys {list(record.keys())} != csv header {header}")
        expected = [as_csv(v) for v in record.values()]
        for i, key in enumerate(header):
            if key in LIVE_FIELDS and i < len(row) and i < len(expected):
                check((row[i] == "") == (expected[i] == ""), f"{name}: {key} present in one of csv and json only")
                row = row[:i] + [expected[i]] + row[i + 1:]
        check(row == expected, f"{name}: csv {row} != json {record}")


def hostile(folder):
    header, rows = read_csv(f"{folder}/hostile.csv")
    records = read_json(f"{folder}/hostile.json")
    check(header == ["n", "text", "flag", "none"], f"hostile header {header}")
    same_records("hostile", header, rows, records)
    check([r["text"] for r in records] == HOSTILE, f"hostile json texts {[r['text'] for r in records]!r}")
    check([r[1] for r in rows] == HOSTILE, f"hostile csv texts {[r[1] for r in rows]!r}")
    check(records[0]["n"] == 18446744073709551615, "64-bit number")
    check(all(r["none"] is None for r in records), "missing values are null")
    check([r["flag"] for r in records[:2]] == [False, True], "booleans")


def family(folder, versions):
    headers = {}
    for ver in versions:
        base = f"{folder}/cli-ps-{ver}"
        try:
            with open(base + ".expect", encoding="utf-8") as f:
                expect = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        except FileNotFoundError:
            failures.append(f"{base}.expect missing: did the family-{ver} test run?")
            continue
        expect = {k: (None if v == "null" else bytes.fromhex(v).decode("utf-8")) for k, v in expect.items()}
        header, rows = read_csv(base + ".csv")
        records = read_json(base + ".json")
        headers[ver] = header
        same_records(ver, header, rows, records)
        check(len(records) == 1, f"{ver}: the pid filter gave {len(records)} records")
        if not records:
            continue
        record = records[0]
        for key, value in expect.items():
            if key in ("pid", "parent_pid"):
                check(record[key] == int(value), f"{ver}: {key} {record[key]!r} != {value!r}")
            else:
                check(record[key] == value, f"{ver}: {key} {record[key]!r} != {value!r}")
    names = {tuple(h) for h in headers.values()}
    check(len(names) == 1, f"field names differ between versions: {headers}")


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == "hostile":
        hostile(sys.argv[2])
    elif len(sys.argv) >= 4 and sys.argv[1] == "family":
        family(sys.argv[2], sys.argv[3:])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for failure in failures:
        print("FAIL:", failure)
    print("records checked:", "failed" if failures else "all read back as written")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
