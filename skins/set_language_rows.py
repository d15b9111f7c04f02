#!/usr/bin/env python3
"""Writes deployment values into rows of a language table, in every language.

    set_language_rows.py TABLE KEY=VALUE...

TABLE is a "multi_language.tsv" (row 1: the language codes from its third
cell on; rows 3 onward: group, key, one text per language). Each KEY's row
gets VALUE in every language column. A KEY the table has no row for, or a
VALUE that would break the table (a tab or a line break), fails the build
with a line naming it.
"""
import sys


def main(argv):
    if len(argv) < 2:
        print("usage: set_language_rows.py TABLE KEY=VALUE...", file=sys.stderr)
        return 2
    table = argv[0]
    values = {}
    for pair in argv[1:]:
        key, sep, value = pair.partition("=")
        if not sep or not key:
            print(f"set_language_rows.py: {pair!r} is not KEY=VALUE", file=sys.stderr)
            return 2
        if any(ch in value for ch in "\t\r\n\0"):
            print(f"set_language_rows.py: the value of {key} holds a tab or a line break", file=sys.stderr)
            return 1
        values[key] = value

    with open(table, encoding="utf-8", newline="") as f:
        rows = f.read().split("\n")
    if not rows or "\t" not in rows[0]:
        print(f"set_language_rows.py: {table} has no row of language codes", file=sys.stderr)
        return 1
    languages = len(rows[0].rstrip("\r").split("\t")) - 2

    found = set()
    for i, row in enumerate(rows[2:], start=2):
        end = "\r" if row.endswith("\r") else ""
        cells = row[: len(row) - len(end)].split("\t")
        if len(cells) >= 2 and cells[1] in values:
            rows[i] = "\t".join(cells[:2] + [values[cells[1]]] * languages) + end
            found.add(cells[1])
    missing = [key for key in values if key not in found]
    if missing:
        print(f"set_language_rows.py: {table} has no row {', '.join(missing)}", file=sys.stderr)
        return 1

    with open(table, "w", encoding="utf-8", newline="") as f:
        f.write("\n".join(rows))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
