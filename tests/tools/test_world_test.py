#!/usr/bin/env python3
"""The test world ended from outside leaves nothing behind: killed as CTest's
timeout kills a test (the whole process tree), or sent SIGTERM. And a test
program that ends with status 0 but without a finished report fails.

Usage: test_world_test.py (needs nothing but python3 and, without
ZUL_PREFIX_TEMPLATE, the time to boot a prefix per world)."""

import os
import signal
import subprocess
import sys
import tempfile
import time

WORLD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "test_world.py")
failures = []


def check(condition, text):
    if not condition:
        failures.append(text)
        print("test_world_test: FAILED: " + text)


def kill_tree(pid):
    """As CTest ends a test that ran out of time: stopped, its children killed first, then itself."""
    os.kill(pid, signal.SIGSTOP)
    for child in os.listdir("/proc"):
        try:
            with open("/proc/%s/stat" % child) as f:
                parent = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError, IndexError):
            continue
        if parent == pid:
            kill_tree(int(child))
    os.kill(pid, signal.SIGKILL)


def start_world(scratch, name):
    """A world whose command writes down its HOME (a folder of the world) and sleeps."""
    said = os.path.join(scratch, name)
    world = subprocess.Popen([sys.executable, WORLD, "--no-display", "--", "sh", "-c",
                              'echo "$HOME" > "$0.part" && mv "$0.part" "$0" && exec sleep 600', said],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    deadline = time.monotonic() + 120
    while not os.path.isfile(said) and world.poll() is None and time.monotonic() < deadline:
        time.sleep(0.1)
    if not os.path.isfile(said):
        world.kill()
        check(False, "the world of %s did not start its command: %s" % (name, world.communicate()[0]))
        return world, None
    with open(said) as f:
        return world, os.path.dirname(f.read().strip())


def gone_within(folder, seconds):
    deadline = time.monotonic() + seconds
    while os.path.exists(folder) and time.monotonic() < deadline:
        time.sleep(0.1)
    return not os.path.exists(folder)


def main():
    with tempfile.TemporaryDirectory() as scratch:
        # Killed with its whole process tree: its cleaner removes it.
        world, folder = start_world(scratch, "killed")
        if folder:
            kill_tree(world.pid)
            world.wait()
            check(gone_within(folder, 90), "a killed world left its folder %s" % folder)

        # Sent SIGTERM: it ends its command, says so, and removes itself before it ends.
        world, folder = start_world(scratch, "terminated")
        if folder:
            world.send_signal(signal.SIGTERM)
            output = world.communicate(timeout=120)[0].decode(errors="replace")
            check(world.returncode == 128 + signal.SIGTERM, "a terminated world ended with %d" % world.returncode)
            check("was ended from outside (SIGTERM)" in output, "a terminated world did not say so: " + output)
            check(not os.path.exists(folder), "a terminated world left its folder %s" % folder)

        # A test program (here a script under an .exe name) that ends with 0
        # without its report, or with a report that names no case, fails.
        program = os.path.join(scratch, "silent.exe")
        with open(program, "w") as f:
            f.write("import os, sys\n"
                    "folder = os.environ['GTEST_OUTPUT'][len('xml:Z:'):].replace('\\\\', '/')\n"
                    "if len(sys.argv) > 1:\n"
                    "    open(os.path.join(folder, 'silent.xml'), 'w').write(sys.argv[1])\n")
        for report in ([], ['<?xml version="1.0"?><testsuites tests="0"></testsuites>']):
            run = subprocess.run([sys.executable, WORLD, "--no-display", "--", sys.executable, program] + report,
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            output = run.stdout.decode(errors="replace")
            check(run.returncode != 0 and "without finishing its run" in output,
                  "a test program with the report %r passed: %s" % (report, output))
    if failures:
        print("test_world_test: %d failed" % len(failures))
        return 1
    print("test_world_test: a killed and a terminated world left nothing; runs without a finished report failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
