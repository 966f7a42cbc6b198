#!/usr/bin/env python3
"""The installer under 32-bit wine, in a copy of the test prefix.

Runs, in order: refusals of malformed /SERVER values (silent and with its
window), a silent install without /SERVER (no address file), upgrades that
keep or replace authipconf.ini, the installed program started from its
folder, an upgrade over the running program, the start at logon (wineboot
runs the Run key), and a silent uninstall of the running program, after
which nothing of it is left, not even after a restart.

The program is only ever started beside an authipconf.ini naming 127.0.0.1;
the test listens on 127.0.0.1:9110 then and sees its login there. The copy of
the prefix, its wine server and every process in it are gone when the test
ends. Exit status: 0 pass, 1 fail.
"""
import argparse
import filecmp
import os
import re
import shutil
import socket
import subprocess
import sys
import time

PORT = 9110
INI = b"serverip=127.0.0.1\r\n"
FOLDER = r"C:\Program Files\Wavorin"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Wavorin"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
EXIT_REFUSED = 2


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def step(text):
    print("-- " + text, flush=True)


class Prefix:
    """A private copy of a wine prefix and the programs run in it."""

    def __init__(self, source, path):
        self.path = path
        self.drive = os.path.join(path, "drive_c")
        self.folder = os.path.join(self.drive, "Program Files", "Wavorin")
        self.shortcut = os.path.join(self.drive, "ProgramData", "Microsoft", "Windows", "Start Menu",
                                     "Programs", "Wavorin.lnk")
        if os.path.exists(path):
            self.remove()
        shutil.copytree(source, path, symlinks=True)
        for name in ("wineserver",):  # a socket of the source's server, if any
            leftover = os.path.join(path, name)
            if os.path.lexists(leftover):
                os.remove(leftover)
        self.env = dict(os.environ, WINEPREFIX=path, WINEARCH="win32", WINEDEBUG="-all",
                        LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8",
                        # No menu entries of the desktop outside the prefix.
                        WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d")

    def run(self, args, timeout=120, cwd=None):
        result = subprocess.run(["wine"] + args, env=self.env, cwd=cwd, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
        return result.returncode, result.stdout.decode("gbk", "replace"), result.stderr.decode("gbk", "replace")

    def boot(self):
        """wineboot: a logon, which starts the Run key's programs, and a restart's pending file
        operations. Its output is not read: the programs it starts would hold it open."""
        return subprocess.run(["wine", "wineboot"], env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=180).returncode

    def start(self, args, cwd=None):
        return subprocess.Popen(["wine"] + args, env=self.env, cwd=cwd, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def query(self, key):
        """{name: (type, value)} of a registry key, or None when it is missing."""
        code, out, _ = self.run(["reg", "query", key])
        if code != 0:
            return None
        values = {}
        for line in out.splitlines():
            m = re.match(r"^\s+(\S.*?)\s+(REG_\w+)\s+(.*?)\s*$", line)
            if m:
                values[m.group(1)] = (m.group(2), m.group(3))
        return values

    def processes(self, name):
        """Ids of the processes of this prefix whose command line names `name`."""
        found = []
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    if ("WINEPREFIX=" + self.path).encode() not in f.read().split(b"\0"):
                        continue
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    if name.encode() in f.read():
                        found.append(int(pid))
            except OSError:
                continue
        return found

    def wait_until(self, condition, seconds, what):
        deadline = time.time() + seconds
        while not condition():
            check(time.time() < deadline, "%s: not within %d s" % (what, seconds))
            time.sleep(0.25)

    def files(self):
        """Every file and folder of drive C, apart from the temporary folders."""
        listing = set()
        for root, dirs, names in os.walk(self.drive):
            rel = os.path.relpath(root, self.drive)
            dirs[:] = [d for d in dirs if d.lower() != "temp"]
            listing.update(os.path.join(rel, n) for n in dirs + names)
        return listing

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)

    def remove(self):
        shutil.rmtree(self.path, ignore_errors=True)


class Listener:
    """A UDP socket on 127.0.0.1:9110, where the installed program's requests land."""

    def __init__(self):
        # Another test run on this machine (another build tree) may hold the
        # port for a while: wait for it.
        deadline = time.time() + 120
        while True:
            self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            try:
                self.sock.bind(("127.0.0.1", PORT))
                return
            except OSError:
                self.sock.close()
                check(time.time() < deadline, "127.0.0.1:%d stayed busy" % PORT)
                time.sleep(1)

    def wait_login(self, seconds):
        """The first login request that arrives within the time."""
        deadline = time.time() + seconds
        while True:
            left = deadline - time.time()
            check(left > 0, "no login from the program on 127.0.0.1:%d within %d s" % (PORT, seconds))
            self.sock.settimeout(left)
            try:
                data, _ = self.sock.recvfrom(2048)
            except socket.timeout:
                continue
            if data.startswith(b"login\r\nName:"):
                return data

    def close(self):
        self.sock.close()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True, help="Wavorin-<version>-setup.exe")
    parser.add_argument("--program", required=True, help="Wavorin.exe as the installer carries it")
    parser.add_argument("--version", required=True)
    parser.add_argument("--prefix", required=True, help="wine prefix to copy")
    parser.add_argument("--work", required=True, help="folder for the copy")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        print("installer_test: needs DISPLAY (an X server for wine)")
        return 1
    if not os.path.exists(os.path.join(args.prefix, "system.reg")):
        print("installer_test: no wine prefix at %s" % args.prefix)
        return 1

    os.makedirs(args.work, exist_ok=True)
    prefix = Prefix(args.prefix, os.path.join(args.work, "prefix"))
    setup = os.path.abspath(args.setup)
    program = os.path.join(prefix.folder, "Wavorin.exe")
    ini = os.path.join(prefix.folder, "authipconf.ini")
    listener = None
    running = None

    def safe_to_start():
        # The program talks to the server named here, else to the gateway.
        check(os.path.exists(ini) and read(ini) == INI, "refusing to start the program: %s is not %r" % (ini, INI))

    def install(*options):
        code, _, err = prefix.run([setup, "/S"] + list(options))
        check(code == 0, "setup /S %s: exit code %d %s" % (" ".join(options), code, err.strip()))

    try:
        before = prefix.files()

        step("malformed /SERVER values refuse to install")
        for bad in ["1.2.3", "1.2.3.4.5", "256.0.0.1", "010.0.0.1", "1..2.3", "127.0.0.x", "127.0.0.1:9110", ""]:
            code, _, err = prefix.run([setup, "/S", "/SERVER=" + bad])
            check(code == EXIT_REFUSED, "/SERVER=%r: exit code %d, expected %d" % (bad, code, EXIT_REFUSED))
            check("is not an IPv4 address" in err, "/SERVER=%r: no message on standard error: %r" % (bad, err))
        check(not os.path.exists(prefix.folder), "a refused install left %s" % prefix.folder)
        check(prefix.query(UNINSTALL_KEY) is None, "a refused install registered itself")

        step("with its window, a malformed /SERVER refuses too, after a message")
        shown = prefix.start([setup, "/SERVER=300.1.1.1"])
        try:
            deadline = time.time() + 60
            while shown.poll() is None:
                check(time.time() < deadline, "the refusal's message box was not answered")
                # Its message box: Return presses its button.
                boxes = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(shown.pid),
                                        "--name", "Wavorin"],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.split()
                for box in boxes:
                    for command in (["windowfocus", box], ["key", "--window", box, "Return"]):
                        subprocess.run(["xdotool"] + command, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
                time.sleep(1)
            code = shown.returncode
        finally:
            if shown.poll() is None:
                shown.kill()
                shown.wait()
        check(code == EXIT_REFUSED, "setup /SERVER=300.1.1.1: exit code %d, expected %d" % (code, EXIT_REFUSED))
        check(not os.path.exists(prefix.folder), "a refused install left %s" % prefix.folder)

        step("silent install without /SERVER")
        install()
        check(filecmp.cmp(program, args.program, shallow=False), "the installed Wavorin.exe is not the one built")
        check(os.path.exists(os.path.join(prefix.folder, "uninstall.exe")), "no uninstall.exe")
        check(not os.path.exists(ini), "authipconf.ini written without /SERVER")
        # Before any other wine process: a wine start that ran the logon
        # entry now would find no address file and talk to the gateway.
        with open(ini, "wb") as f:
            f.write(b"serverip=127.0.0.2\r\n")
        check(os.path.exists(prefix.shortcut), "no Start-menu shortcut at %s" % prefix.shortcut)
        run = prefix.query(RUN_KEY) or {}
        check(run.get("Wavorin") == ("REG_SZ", '"%s\\Wavorin.exe"' % FOLDER),
              "logon start: %r" % (run.get("Wavorin"),))
        entry = prefix.query(UNINSTALL_KEY)
        check(entry is not None, "no entry among the installed programs")
        uninstaller = '"%s\\uninstall.exe"' % FOLDER
        expected = {"DisplayName": "Wavorin", "DisplayVersion": args.version, "Publisher": "Wavorin",
                    "DisplayIcon": FOLDER + "\\Wavorin.exe,0", "UninstallString": uninstaller,
                    "QuietUninstallString": uninstaller + " /S", "InstallLocation": FOLDER}
        for name, value in expected.items():
            check(entry.get(name) == ("REG_SZ", value), "%s: %r, expected %r" % (name, entry.get(name), value))
        size = entry.get("EstimatedSize", ("", "0"))
        check(size[0] == "REG_DWORD" and int(size[1], 16) * 1024 >= os.path.getsize(program),
              "EstimatedSize %r" % (size,))

        step("an upgrade keeps an address file, /SERVER replaces it, a malformed one changes nothing")
        install()
        check(read(ini) == b"serverip=127.0.0.2\r\n", "an upgrade without /SERVER changed authipconf.ini")
        code, _, _ = prefix.run([setup, "/S", "/SERVER=127.0.0.256"])
        check(code == EXIT_REFUSED and read(ini) == b"serverip=127.0.0.2\r\n",
              "a malformed /SERVER over an installed copy: exit code %d, file %r" % (code, read(ini)))
        install("/SERVER=127.0.0.1")
        check(read(ini) == INI, "authipconf.ini after /SERVER=127.0.0.1: %r" % read(ini))

        step("the installed program starts from its folder and talks to 127.0.0.1")
        listener = Listener()
        safe_to_start()
        running = prefix.start([FOLDER + "\\Wavorin.exe"], cwd=prefix.folder)
        listener.wait_login(60)

        step("an upgrade over the running program ends it and replaces it")
        started = time.time()
        install()
        check(running.poll() is not None, "the running program was not ended by the upgrade")
        check(running.returncode == 0, "the running program ended with code %d" % running.returncode)
        running = None
        print("   upgrade over the running program: %.1f s" % (time.time() - started))
        check(filecmp.cmp(program, args.program, shallow=False), "Wavorin.exe not in place after the upgrade")
        check(read(ini) == INI, "the upgrade changed authipconf.ini")

        step("a logon starts the program (wineboot runs the Run key)")
        safe_to_start()
        code = prefix.boot()
        check(code == 0, "wineboot: exit code %d" % code)
        listener.wait_login(60)
        check(prefix.processes("Wavorin.exe"), "no Wavorin.exe running after the logon")

        step("a silent uninstall ends the running program and removes everything")
        code, _, err = prefix.run([FOLDER + "\\uninstall.exe", "/S"])
        check(code == 0, "uninstall /S: exit code %d %s" % (code, err.strip()))
        # The uninstaller runs on from a copy of itself in the temporary folder.
        prefix.wait_until(lambda: not os.path.exists(prefix.folder) and not prefix.processes("Un.exe"),
                          60, "the uninstaller")
        check(not prefix.processes("Wavorin.exe"), "Wavorin.exe still runs after the uninstall")
        check(not os.path.exists(prefix.shortcut), "the Start-menu shortcut is still there")
        check("Wavorin" not in (prefix.query(RUN_KEY) or {}), "the logon start is still registered")
        check(prefix.query(UNINSTALL_KEY) is None, "still among the installed programs")
        listener.close()
        listener = None

        step("after a restart nothing of it is left")
        code = prefix.boot()
        check(code == 0, "wineboot: exit code %d" % code)
        time.sleep(2)
        check(not prefix.processes("Wavorin.exe"), "Wavorin.exe started after the uninstall")
        temporary = [os.path.join(r, d) for r, ds, _ in os.walk(os.path.join(prefix.drive, "users"))
                     for d in ds if d.lower().startswith("~nsu")]
        check(not temporary, "the uninstaller's copy is still there: %s" % temporary)
        prefix.stop()
        left = sorted(prefix.files() - before)
        check(not left, "left behind: %s" % left)
        for name in ("system.reg", "user.reg"):
            check(b"wavorin" not in read(os.path.join(prefix.path, name)).lower(),
                  "the registry (%s) still names Wavorin" % name)
    except (Failure, subprocess.TimeoutExpired) as failure:
        print("FAIL: %s" % failure)
        return 1
    finally:
        if listener is not None:
            listener.close()
        prefix.stop()  # ends whatever still runs in the copy, the program included
        if running is not None:
            running.wait(timeout=60)
        prefix.remove()
    print("installer: all steps passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
