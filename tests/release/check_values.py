#!/usr/bin/env python3
"""Checks that a release carries its deployment's values and none of another's.

    check_values.py RELEASE_DEPLOYMENT OTHER_DEPLOYMENT FOLDER...

Every file under the folders (the release's programs and what their resources
unpack to) is searched, as UTF-8 and as UTF-16LE text, for the publisher,
hosts and addresses of both deployment files: each of the release's must be
found somewhere, none of the other's anywhere. Prints one line per fault and
exits 1 when there is one.
"""
import os
import sys

# The values that are text the programs carry (paths, the version and the
# trusted publishers are checked elsewhere).
CARRIED = ("publisher", "config_host", "download_host", "web_host", "report_api_base", "survey_",
           "agreement_", "about_", "link_")


def read_values(path):
    values = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#") or "=" not in line:
                continue
            name, _, value = line.partition("=")
            name, value = name.strip(), value.strip()
            if name.startswith(CARRIED) and value != "none":
                values[name] = value
    return values


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    ours, theirs = read_values(argv[0]), read_values(argv[1])
    blobs = []
    for folder in argv[2:]:
        for base, _, names in os.walk(folder):
            for name in names:
                with open(os.path.join(base, name), "rb") as f:
                    blobs.append((os.path.relpath(os.path.join(base, name), folder), f.read()))
    if not blobs:
        print("check_values.py: no files to search", file=sys.stderr)
        return 1

    def forms(text):
        return (text.encode("utf-8"), text.encode("utf-16-le"))

    faults = 0
    for name, value in sorted(ours.items()):
        if not any(form in blob for _, blob in blobs for form in forms(value)):
            print(f"release values: {name} ({value}) is in none of the release's files")
            faults += 1
    for name, value in sorted(theirs.items()):
        if value in ours.values():
            continue
        for path, blob in blobs:
            if any(form in blob for form in forms(value)):
                print(f"release values: {path} carries the other deployment's {name} ({value})")
                faults += 1
    print(f"release values: {len(ours)} values found, {len(theirs)} of the other deployment absent, "
          f"{len(blobs)} files searched" if not faults else f"release values: {faults} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
