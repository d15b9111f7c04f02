#!/usr/bin/env python3
"""Runs one test program in a world of its own, so that no test can disturb another.

The world is a temporary folder holding:
  - a Wine prefix copied from the suite's booted one (ZUL_PREFIX_TEMPLATE, made by
    scripts/env.sh's zul_make_prefix_template), with a wineserver of its own: its own
    registry, processes, mutexes, desktop and foreground window;
  - an Xvfb display of its own (none with --no-display): its own pointer, keyboard focus
    and screen;
  - a HOME and a TMPDIR of its own;
  - process ids of its own: the world runs as the first process of a private pid
    namespace. A wineserver signals the Unix id of a program that ended about half a
    second later (SIGKILL, when the id still answers), and on a machine whose init
    reaps orphans late (every Windows program started by another is one: Wine
    forks twice) that id can by then belong to another test's program that has just
    started. In its own namespace a world's server can reach only the world's own
    processes, the world's orphans stay zombies, holding their ids, until it ends,
    and the world fails if its ids ever wrap around.
Without ZUL_PREFIX_TEMPLATE the world boots a prefix itself (slower, same result).

The command's output is kept in files and passed on when it ends, followed by a
line that says how it ended: its exit status, the signal that ended it, and
whether it printed anything at all. Then the world's wineserver and every
program in it are ended, and the world is removed. A world ended from outside
leaves nothing behind either: SIGTERM ends its command and the world as above,
and when it is killed (CTest's timeout kills the whole process tree), a
cleaner that the world started outside that tree removes its folder, with the
wineserver's socket folder in it (TMPDIR), once the world's last process has
ended.

Usage: test_world.py [--no-display] [--] COMMAND [ARGS...]
"""

import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINESERVER = "/usr/lib/wine/wineserver"

# Files of the prefix that Wine only maps and never writes: shared with the
# template through hard links, the rest (the registry, win.ini, the user
# folders) is copied. A program that wrote one of them in place would reach
# the template, so the world checks them when it ends.
SHARED_SUFFIXES = (".dll", ".exe", ".nls", ".sys", ".drv", ".acm", ".cpl", ".ocx", ".tlb")

# How long Xvfb may take to say its display number; how long the cleaner waits
# for the processes of a killed world to end before it removes the world anyway.
XVFB_START_S = 60
WORLD_END_S = 60


class Ended(Exception):
    """The world was asked to end from outside (SIGTERM, SIGHUP, SIGINT)."""
    def __init__(self, signum):
        Exception.__init__(self, signal.Signals(signum).name)
        self.signum = signum


def raise_ended(signum, frame):
    raise Ended(signum)


def say(text):
    sys.stderr.write("test_world: %s\n" % text)
    sys.stderr.flush()


def copy_prefix(template, prefix):
    """Copies the template; returns {path: (inode, mtime_ns)} of the files it linked."""
    linked = {}
    windows = os.path.join(template, "drive_c", "windows") + os.sep
    for folder, dirs, files in os.walk(template):
        target = os.path.join(prefix, os.path.relpath(folder, template))
        os.makedirs(target, exist_ok=True)
        for name in dirs + files:
            source = os.path.join(folder, name)
            dest = os.path.join(target, name)
            if os.path.islink(source):
                os.symlink(os.readlink(source), dest)
                if name in dirs:
                    dirs.remove(name)
            elif name in files:
                if source.startswith(windows) and name.lower().endswith(SHARED_SUFFIXES):
                    os.link(source, dest)
                    st = os.stat(dest)
                    linked[dest] = (st.st_ino, st.st_mtime_ns)
                elif os.path.isfile(source) and not (folder == template and name == "wineserver"):
                    # (the top-level "wineserver" file is the template's own server's)
                    shutil.copy2(source, dest)
    return linked


def changed_in_place(linked):
    """The linked files a program of the world wrote without replacing them."""
    changed = []
    for path, (inode, mtime) in linked.items():
        try:
            st = os.stat(path)
        except OSError:
            continue  # removed: the template keeps its own
        if st.st_ino == inode and st.st_mtime_ns != mtime:
            changed.append(path)
    return changed


def boot_prefix(prefix, env):
    """Boots a prefix of the world's own when the suite made no template."""
    result = subprocess.run(
        ["bash", "-c", 'source "$0/scripts/env.sh" && zul_make_prefix_template "$1"', ROOT, prefix],
        env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if result.returncode != 0:
        say("booting a prefix of its own failed:\n" + result.stdout.decode(errors="replace"))
        return False
    return True


def start_display(world):
    """An Xvfb on a display number it picks itself (-displayfd); (process, DISPLAY) or None.
    Its socket file goes to a folder of the world's own (a tmpfs in its mount
    namespace), gone with the world however it ends; its abstract socket,
    shared by every world, keeps the number its own."""
    sockets = "/tmp/.X11-unix"
    if not os.path.isdir(sockets):
        os.mkdir(sockets)
        os.chmod(sockets, 0o1777)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=1777,size=64k", "tmpfs", sockets],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if mounted.returncode != 0:
        say("no folder of its own for the X sockets: " + mounted.stdout.decode(errors="replace"))
        return None
    read_end, write_end = os.pipe()
    log = open(os.path.join(world, "xvfb.log"), "wb")
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp"], pass_fds=(write_end,), stdout=log, stderr=log,
                            start_new_session=True)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + XVFB_START_S
    with os.fdopen(read_end, "rb", buffering=0) as pipe:
        # Xvfb writes the number and a new line once it accepts connections.
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([pipe], [], [], left)[0]:
                say("Xvfb gave no display number within %d s" % XVFB_START_S)
                break
            chunk = pipe.read(1)
            if not chunk:
                break
            number += chunk
    if not number.strip().isdigit():
        xvfb.kill()
        xvfb.wait()
        say("Xvfb did not start: " + open(os.path.join(world, "xvfb.log"), "rb").read().decode(errors="replace"))
        return None
    return xvfb, ":" + number.strip().decode()


def processes_in(namespace):
    """The ids of the processes whose pid namespace is this one ("pid:[inode]")."""
    found = []
    for pid in os.listdir("/proc"):
        if pid.isdigit():
            try:
                if os.readlink("/proc/%s/ns/pid" % pid) == namespace:
                    found.append(pid)
            except OSError:
                pass  # ended meanwhile, or a zombie
    return found


def clean_up_after(world, pipe):
    """The cleaner: waits until the world's end of the pipe is closed, that is
    until the world's process 1 has ended, however it ended; then until every
    process of its namespace has ended (they are killed with it); then removes
    the world, which is gone already when the world ended as it should."""
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, signal.SIG_IGN)
    null = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(null, fd)
    # Nothing of the test's: neither CTest's output pipe nor a lock of the caller's.
    for fd in map(int, os.listdir("/proc/self/fd")):
        if fd > 2 and fd != pipe:
            try:
                os.close(fd)
            except OSError:
                pass
    with os.fdopen(pipe, "rb") as f:
        namespace = f.read().decode(errors="replace").strip()
    deadline = time.monotonic() + WORLD_END_S
    while namespace and processes_in(namespace) and time.monotonic() < deadline:
        time.sleep(0.1)
    shutil.rmtree(world, ignore_errors=True)


def start_cleaner(world):
    """Starts the world's cleaner outside the test's process tree (its own
    session, its parent gone), where a kill of the tree does not reach it.
    Returns the write end of its pipe, which the world keeps open while it lives."""
    read_end, write_end = os.pipe()
    child = os.fork()
    if child == 0:
        try:
            os.close(write_end)
            os.setsid()
            if os.fork() == 0:
                clean_up_after(world, read_end)
        finally:
            os._exit(0)
    os.close(read_end)
    os.waitpid(child, 0)
    return write_end


def run_world_outside(argv):
    """Makes the world's folder and its cleaner, then runs this script again as
    process 1 of a pid and mount namespace of its own, and passes on how it ended.
    SIGTERM, SIGHUP and SIGINT go on to the world, which ends its command and itself."""
    world = tempfile.mkdtemp(prefix="zul-world.")
    cleaner = start_cleaner(world)
    command = ["unshare", "--pid", "--fork", "--kill-child", "--mount", "--mount-proc"]
    # Inside a chroot whose root is no mount point (scripts/wine32-ns.sh's 32-bit
    # Wine root, whose mounts are private already) the root's propagation cannot
    # be made private, and need not be.
    with open("/proc/self/mountinfo") as f:
        if not any(line.split()[4] == "/" for line in f):
            command.append("--propagation=unchanged")
    if os.geteuid() != 0:
        command[1:1] = ["--user", "--map-root-user"]
    command += [sys.executable, os.path.abspath(__file__), "--world=" + world, "--cleaner=%d" % cleaner] + argv
    try:
        process = subprocess.Popen(command, pass_fds=(cleaner,))
    except OSError as e:
        say("cannot start unshare: %s" % e)
        return 1
    finally:
        os.close(cleaner)

    def pass_on(signum, frame):
        # To the world's process 1, unshare's child (unshare itself would kill it).
        try:
            with open("/proc/%d/task/%d/children" % (process.pid, process.pid)) as f:
                first = f.read().split()
        except OSError:
            first = []
        if first:
            os.kill(int(first[0]), signal.SIGTERM)
        else:
            process.kill()

    for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
        signal.signal(number, pass_on)
    status = process.wait()
    return 128 - status if status < 0 else status


def last_pid():
    with open("/proc/sys/kernel/ns_last_pid") as f:
        return int(f.read())


def wait_watching_pids(process):
    """Waits for the process; returns (status, whether the world's ids wrapped around)."""
    highest = last_pid()
    wrapped = False
    while True:
        try:
            return process.wait(timeout=1), wrapped
        except subprocess.TimeoutExpired:
            pass
        now = last_pid()
        wrapped = wrapped or now < highest
        highest = max(highest, now)


def signal_name(number):
    try:
        return signal.Signals(number).name
    except ValueError:
        return "signal %d" % number


def describe(status):
    if status < 0:
        return "was ended by %s" % signal_name(-status)
    how = "ended with exit status %d" % status
    # A Windows exit code reaches Linux as its low byte; above 128 it is
    # almost always a shell's 128 + the number of the signal that ended its program.
    if 128 < status < 160:
        how += " (128 + %d: a program its shell ran was ended by %s, or exit code %d)" % (
            status - 128, signal_name(status - 128), status)
    return how


def end_world(env, prefix_ready, xvfb):
    if prefix_ready:
        # Every program of the world ends with its server; -w waits until it has.
        subprocess.run([WINESERVER, "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            subprocess.run([WINESERVER, "-w"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=60)
        except subprocess.TimeoutExpired:
            say("the world's wineserver still ran 60 s after it was asked to end")
    if xvfb is not None:
        xvfb.terminate()
        try:
            xvfb.wait(timeout=10)
        except subprocess.TimeoutExpired:
            xvfb.kill()
            xvfb.wait()


def report_problem(path):
    """Why the GoogleTest report at path does not stand for a finished run; None when it does."""
    if not os.path.isfile(path):
        return "it wrote no report"
    try:
        cases = int(xml.etree.ElementTree.parse(path).getroot().get("tests", "0"))
    except (xml.etree.ElementTree.ParseError, ValueError) as e:
        return "its report is unreadable (%s)" % e
    return None if cases > 0 else "its report names no case run"


def end_command(process):
    process.terminate()
    try:
        return process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        return process.wait()


def main(argv):
    # Process 1 is the first process of a pid namespace: this world's own.
    if os.getpid() != 1:
        return run_world_outside(argv)
    for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
        signal.signal(number, raise_ended)
    world = None
    display = True
    while argv and argv[0].startswith("--"):
        option = argv.pop(0)
        if option == "--":
            break
        if option == "--no-display":
            display = False
        elif option.startswith("--world="):
            world = option[len("--world="):]
        elif option.startswith("--cleaner="):
            # The cleaner learns which processes are the world's, and waits for them.
            cleaner = int(option[len("--cleaner="):])
            os.set_inheritable(cleaner, False)
            os.write(cleaner, os.readlink("/proc/self/ns/pid").encode())
        else:
            say("unknown option " + option)
            return 2
    if not argv or world is None:
        say("usage: test_world.py [--no-display] [--] COMMAND [ARGS...]")
        return 2
    # The test program among the arguments (wine-run.sh's or the HTTP server's).
    test_program = next((a for a in argv if a.lower().endswith(".exe") and os.path.isfile(a)), None)
    program = os.path.basename(test_program or argv[0])

    prefix = os.path.join(world, "prefix")
    home = os.path.join(world, "home")
    tmp = os.path.join(world, "tmp")
    report = os.path.join(world, "report")
    # Each GoogleTest program writes its report there when its run is over.
    # Wine ends a program whose process is terminated, or whose wineserver
    # ends, with exit status 0 and not a word: without its report, a test
    # program that ended so would pass. (The programs a test program starts
    # do not inherit the setting: tests/common/test_main.cpp.)
    env = dict(os.environ, WINEPREFIX=prefix, HOME=home, TMPDIR=tmp,
               GTEST_OUTPUT="xml:Z:" + report.replace("/", "\\") + "\\")
    env.pop("DISPLAY", None)
    xvfb = None
    prefix_ready = False
    linked = {}
    status = 1
    try:
        for folder in (home, tmp, report):
            os.mkdir(folder)
        started = time.monotonic()
        template = os.environ.get("ZUL_PREFIX_TEMPLATE", "")
        if template:
            if not os.path.isfile(os.path.join(template, "system.reg")):
                say("ZUL_PREFIX_TEMPLATE=%s is not a booted prefix" % template)
                return 1
            linked = copy_prefix(template, prefix)
        elif not boot_prefix(prefix, env):
            return 1
        prefix_ready = True
        if display:
            started_display = start_display(world)
            if started_display is None:
                return 1
            xvfb, env["DISPLAY"] = started_display
        # The world's server lives until the world ends: a program that starts
        # while a server of its own is lingering to end is never turned away.
        subprocess.run([WINESERVER, "-p"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        ready = time.monotonic() - started

        out_path = os.path.join(world, "stdout")
        err_path = os.path.join(world, "stderr")
        ended = None
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            process = subprocess.Popen(argv, env=env, stdout=out, stderr=err, stdin=subprocess.DEVNULL)
            try:
                status, wrapped = wait_watching_pids(process)
            except Ended as e:
                ended = e
                status, wrapped = end_command(process), False
        ran = time.monotonic() - started - ready
        printed = 0
        for path, stream in ((out_path, sys.stdout), (err_path, sys.stderr)):
            with open(path, "rb") as f:
                data = f.read()
            printed += len(data)
            stream.write(data.decode(errors="replace"))
            stream.flush()
        problem = None
        if status == 0 and test_program is not None:
            problem = report_problem(os.path.join(report, os.path.basename(test_program)[:-4] + ".xml"))
        if ended is not None:
            say("the world of %s was ended from outside (%s) after %.2f s: its command was ended" % (
                program, ended, ran))
            status = 128 + ended.signum
        elif problem is not None:
            say("%s ended with exit status 0 after %.2f s without finishing its run (%s):"
                " it was ended from outside, by a terminate or by the end of its wineserver" % (program, ran, problem))
            status = 1
        elif status != 0:
            say("%s %s after %.2f s (world ready in %.2f s)%s" % (
                program, describe(status), ran, ready,
                "" if printed else ", having printed nothing"))
        if wrapped:
            say("the process ids of %s's world wrapped around: an id its wineserver still"
                " signals could have been given to another of its programs" % program)
            status = status or 1
    except Ended as e:
        say("the world of %s was ended from outside (%s) before its command ended" % (program, e))
        status = 128 + e.signum
    finally:
        for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
            signal.signal(number, signal.SIG_IGN)
        end_world(env, prefix_ready, xvfb)
        changed = changed_in_place(linked)
        if changed:
            say("%s wrote files the worlds share in place: %s" % (program, ", ".join(changed)))
            status = status or 1
        shutil.rmtree(world, ignore_errors=True)
    if status < 0:
        return 128 - status
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
