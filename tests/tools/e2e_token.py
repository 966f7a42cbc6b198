#!/usr/bin/env python3
"""End-to-end tests of the token client: the operator driver (the real client)
under wine against the reference server over real UDP.

Each scenario starts the server with a log, runs the driver in a folder of its
own with an authipconf.ini naming 127.0.0.1, and then reads both sides'
timestamped output. The netns scenario instead runs the driver in a network
namespace whose default gateway is a second namespace running the server, so
that the client finds the server by itself.

Every process this script starts is ended before it returns, and so are the
namespaces it makes. Exit status: 0 pass, 1 fail, 77 skipped.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

SKIP = 77
PORT = 9110
INI = "serverip=127.0.0.1\r\n"  # nine characters of label, then the address


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def near(value, target, tolerance, what):
    check(abs(value - target) <= tolerance,
          "%s: %d ms, expected %d +- %d ms" % (what, value, target, tolerance))


def unescape(text):
    """Undoes the server log's escaping of datagram bytes."""
    out = bytearray()
    i = 0
    simple = {"r": 13, "n": 10, "t": 9, "\\": 92, '"': 34}
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            if nxt == "x":
                out.append(int(text[i + 2:i + 4], 16))
                i += 4
                continue
            out.append(simple[nxt])
            i += 2
            continue
        out.append(ord(c))
        i += 1
    return bytes(out)


class Entry:
    """One line of the server log."""

    def __init__(self, ms, direction, peer, data, text):
        self.ms, self.direction, self.peer, self.data, self.text = ms, direction, peer, data, text

    def seq(self):
        m = re.search(rb"(?:^|\n)[Ss]eq:(-?\d+)\r?\n", self.data)
        return int(m.group(1)) if m else None

    def command(self):
        return self.data.split(b"\r\n", 1)[0]

    def without_seq(self):
        return re.sub(rb"[Ss]eq:-?\d+\r\n", b"", self.data)

    def __repr__(self):
        return "%d %s %s %r" % (self.ms, self.direction, self.peer, self.data or self.text)


def read_log(path):
    entries = []
    with open(path, encoding="latin-1") as f:
        for line in f:
            m = re.match(r'(\d+) (in|out) (\S+) "(.*)"', line)
            if m:
                entries.append(Entry(int(m.group(1)), m.group(2), m.group(3), unescape(m.group(4)), ""))
                continue
            m = re.match(r"(\d+) note (\S+) (.*)", line)
            if m:
                entries.append(Entry(int(m.group(1)), "note", m.group(2), b"", m.group(3)))
    return entries


class Server:
    """The reference server as a child process, stopped by stop()."""

    def __init__(self, binary, log, args, netns=None, bind="127.0.0.1"):
        self.log = log
        self.errors = log + ".stderr"
        command = [binary, "--bind", bind, "--port", str(PORT), "--log", log, "--duration", "180000"] + args
        if netns:
            command = ["ip", "netns", "exec", netns] + command
        # The port may be held for a while by the server of another test run
        # on this machine (another build tree's tests): wait for it.
        deadline = time.time() + 90
        while True:
            for path in (log, self.errors):
                if os.path.exists(path):
                    os.remove(path)
            with open(self.errors, "w") as errors:
                self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=errors)
            limit = time.time() + 10
            while time.time() < limit and self.process.poll() is None:
                if os.path.exists(log) and "listening" in open(log).read():
                    return
                time.sleep(0.05)
            if self.process.poll() is None:
                self.stop()
                raise Failure("the reference server did not start")
            error = open(self.errors).read()
            if "cannot listen" not in error or time.time() >= deadline:
                raise Failure("the reference server failed: " + error)
            time.sleep(0.5)

    def stop(self):
        """Ends the server; a failure of its own (a sanitizer report) fails the test."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if self.process.returncode != 0:
            raise Failure("the reference server ended with %s: %s"
                          % (self.process.returncode, open(self.errors).read()))

    def entries(self):
        return read_log(self.log)


class DriverRun:
    """Output of one run of the driver: (wall-clock ms, text) per line."""

    def __init__(self, code, lines):
        self.code, self.lines = code, lines

    def find(self, pattern):
        for ms, text in self.lines:
            m = re.search(pattern, text)
            if m:
                return ms, m
        return None, None

    def __str__(self):
        return "exit %s\n" % self.code + "".join("  %d %s\n" % line for line in self.lines)


def run_driver(command, env, timeout):
    process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        out, _ = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        out, _ = process.communicate()
        raise Failure("the driver did not end within %d s:\n%s" % (timeout, out.decode(errors="replace")))
    lines = []
    for raw in out.decode("latin-1").splitlines():
        m = re.match(r"(\d{12,}) (.*)", raw.strip())
        if m:
            lines.append((int(m.group(1)), m.group(2)))
        elif raw.strip():
            lines.append((0, raw.strip()))
    return DriverRun(process.returncode, lines)


class Context:
    def __init__(self, options):
        self.options = options
        self.folder = os.path.join(options.work, options.scenario)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.server = None
        self.driver = None

    def start_server(self, *args):
        self.server = Server(self.options.server, os.path.join(self.folder, "server.log"), list(args))
        return self.server

    def driver_exe(self, with_ini=True):
        exe = os.path.join(self.folder, "tokendriver.exe")
        shutil.copy(self.options.driver, exe)
        if with_ini:
            with open(os.path.join(self.folder, "authipconf.ini"), "w", newline="") as f:
                f.write(INI)
        return exe

    def drive(self, *args, timeout=60):
        exe = self.driver_exe()
        self.driver = run_driver([self.options.wine_run, exe] + list(args) + ["--timestamps"],
                                 os.environ.copy(), timeout)
        return self.driver

    def report(self):
        if self.driver:
            print("driver:", self.driver, sep="\n")
        if self.server and os.path.exists(self.server.log):
            print("server log:")
            with open(self.server.log, encoding="latin-1") as f:
                sys.stdout.write(f.read())

    def close(self):
        if self.server:
            try:
                self.server.stop()
            except Failure:
                pass


def datagrams(entries, direction, peer=None):
    return [e for e in entries if e.direction == direction and (peer is None or e.peer == peer)]


# ---------------------------------------------------------------- scenarios

def scenario_happy(ctx):
    server = ctx.start_server()
    run = ctx.drive("check")
    server.stop()
    entries = server.entries()
    check(run.code == 0, "the driver failed")
    # A slow machine may make the client repeat a request: count each once.
    requests = []
    for e in datagrams(entries, "in"):
        if not requests or requests[-1].data != e.data:
            requests.append(e)
    check(len(requests) >= 3, "too few requests")
    peer = requests[0].peer
    check(re.fullmatch(rb"login\r\nName:[^\r\n]+\r\nSeq:0\r\n", requests[0].data) is not None,
          "the first datagram is not a login with Seq:0: %r" % requests[0])
    check(requests[1].data == b"gimmeatoken\r\nSeq:1\r\n", "second datagram: %r" % requests[1])
    replies = datagrams(entries, "out", peer)
    issued = [re.search(rb"token:(\d{6})\r\n", r.data) for r in replies]
    issued = [m.group(1).decode() for m in issued if m]
    check(len(issued) >= 1, "the server issued no code")
    code = issued[0]
    check(requests[2].data == ("checktoken\r\nToken:%s\r\nSeq:2\r\n" % code).encode(),
          "third datagram: %r" % requests[2])
    _, printed = run.find(r"^code (\S+) valid for (\d+) s$")
    check(printed is not None, "the driver printed no code")
    check(printed.group(1) == code and printed.group(2) == "120",
          "the driver printed %s for %s s, the server issued %s for 120 s" % (printed.group(1), printed.group(2), code))
    check(run.find(r"^code %s is valid$" % code)[0] is not None, "the check did not say valid")
    for reply in replies:
        check(reply.data.endswith(b"\r\n") and b"\n" not in reply.data.replace(b"\r\n", b""),
              "a reply line does not end with CR LF: %r" % reply)
    print("happy path: code %s, login->gimmeatoken %d ms" % (code, requests[1].ms - requests[0].ms))


def scenario_silent(ctx):
    server = ctx.start_server("--ignore", "gimmeatoken")
    run = ctx.drive("get")
    server.stop()
    entries = server.entries()
    check(run.code == 1, "the driver should fail")
    ended, _ = run.find(r"timeout, -1")
    check(ended is not None, "the driver printed no timeout")
    requests = datagrams(entries, "in")
    login = requests[0]
    check(login.command() == b"login", "the first datagram is no login")
    sends = [e for e in requests if e.command() == b"gimmeatoken"]
    check(len(sends) == 4, "gimmeatoken sent %d times, expected 4" % len(sends))
    check(all(e.seq() == sends[0].seq() for e in sends), "the repetitions changed the sequence number")
    gaps = [b.ms - a.ms for a, b in zip(sends, sends[1:])]
    for gap in gaps:
        near(gap, 300, 150, "gap between transmissions")
    # The request was taken over with the login, so its age counts from there.
    near(ended - login.ms, 1000, 350, "time from taking the request over to -1")
    print("silent server: transmissions %s ms apart, -1 after %d ms (first transmission +%d ms)"
          % (gaps, ended - login.ms, ended - sends[0].ms))


def scenario_forgotten(ctx):
    server = ctx.start_server("--forget-every", "2500", "--token-ttl", "12")
    run = ctx.drive("watch", timeout=60)
    server.stop()
    entries = server.entries()
    check(run.code == 0, "the watch failed")
    traffic = [e for e in entries if e.direction in ("in", "out")]
    seen = 0
    for i, reply in enumerate(traffic):
        if reply.direction != "out" or not reply.data.startswith(b"4\r\n"):
            continue
        request = next(e for e in reversed(traffic[:i]) if e.direction == "in" and e.seq() == reply.seq())
        after = [e for e in traffic[i + 1:] if e.direction == "in" and e.peer == reply.peer][:2]
        check(len(after) == 2, "nothing followed the status 4")
        check(after[0].command() == b"login" and after[0].seq() == reply.seq() + 1,
              "after status 4 to seq %d came %r instead of a login" % (reply.seq(), after[0]))
        check(after[1].without_seq() == request.without_seq() and after[1].seq() == reply.seq() + 2,
              "after the login came %r instead of %r again" % (after[1], request))
        seen += 1
        print("status 4 to %r: then login seq %d and the request again with seq %d, %d ms later"
              % (request.command(), after[0].seq(), after[1].seq(), after[1].ms - reply.ms))
    check(seen >= 1, "no request met a forgotten session")


def scenario_lossy(ctx):
    server = ctx.start_server("--seed", "7", "--drop-requests", "30%", "--drop-replies", "30%",
                              "--duplicate", "30%", "--delay", "30%:700")
    run = ctx.drive("get")
    server.stop()
    entries = server.entries()
    check(run.code == 0, "no code arrived")
    codes = re.findall(r"code (\d{6}) issued", "\n".join(e.text for e in entries if e.direction == "note"))
    _, printed = run.find(r"^code (\S+) valid for")
    check(printed is not None and printed.group(1) in codes,
          "the driver's code %s is not one the server issued (%s)" % (printed and printed.group(1), codes))
    check(len(re.findall(r"^code ", "\n".join(t for _, t in run.lines), re.M)) == 1, "more than one code printed")
    notes = "\n".join(e.text for e in entries if e.direction == "note")
    counts = {what: notes.count(what) for what in
              ("request dropped", "reply dropped", "reply duplicated", "reply delayed")}
    for what in ("request dropped", "reply dropped"):
        check(counts[what] > 0, "the run had no '%s': the seed no longer exercises it" % what)
    check(counts["reply duplicated"] + counts["reply delayed"] > 0, "no duplicated or late reply happened")
    print("lossy link: code %s; %s" % (printed.group(1), counts))


def scenario_noisy(ctx):
    server = ctx.start_server("--seed", "10", "--garbage", "50%", "--wrong-seq", "30%", "--reorder", "30%")
    run = ctx.drive("check")
    server.stop()
    entries = server.entries()
    notes = "\n".join(e.text for e in entries if e.direction == "note")
    check(run.code == 0, "the check failed amid garbage, wrong numbers and reordered replies")
    counts = {what: notes.count(what) for what in ("garbage", "reply carries seq", "held back")}
    for what, count in counts.items():
        check(count > 0, "the run had no '%s': the seed no longer exercises it" % what)
    print("noisy link: code checked valid; %s" % counts)


def scenario_refused(ctx):
    refusals = ((("--refuse-token", "2"), "device limit is reached (status 2)"),
                (("--refuse-token", "3"), "phone is already authenticated (status 3)"),
                # A server that keeps losing the session used to keep the driver going for ever.
                (("--not-logged-in", "all"), "no session for this PC (status 4)"),
                (("--not-logged-in", "others"), "no session for this PC (status 4)"))
    for args, text in refusals:
        server = ctx.start_server(*args)
        run = ctx.drive("get", timeout=30)
        server.stop()
        check(run.code == 1, "%s did not fail the driver" % " ".join(args))
        check(run.find(re.escape(text))[0] is not None, "no line says: " + text)
        sent = len(datagrams(server.entries(), "in"))
        check(sent <= 100, "%s: %d datagrams" % (" ".join(args), sent))
    print("refusals 2 and 3 and the lost session reach the operator")


def scenario_heartbeat(ctx):
    server = ctx.start_server()
    run = ctx.drive("get", "--linger", "18", timeout=90)
    server.stop()
    entries = server.entries()
    check(run.code == 0, "the driver failed")
    traffic = [e for e in entries if e.direction in ("in", "out")]
    beat = next((i for i, e in enumerate(traffic) if e.direction == "in" and e.command() == b"heartbeat"), None)
    check(beat is not None, "no heartbeat arrived")
    last_reply = next(e for e in reversed(traffic[:beat]) if e.direction == "out")
    check(traffic[beat].data == b"heartbeat\r\nSeq:%d\r\n" % (last_reply.seq() + 1), "heartbeat: %r" % traffic[beat])
    idle = traffic[beat].ms - last_reply.ms
    check(14900 <= idle <= 16000, "heartbeat after %d ms idle, expected 15000 to 16000" % idle)
    print("heartbeat after %d ms idle" % idle)


class Namespaces:
    """Two network namespaces of this run joined by a veth pair: the client's
    and the server's. Their private addresses exist only inside them, so
    nothing a test sends there can leave this machine."""

    CLIENT_ADDRESS = "192.168.250.2"
    SERVER_ADDRESS = "192.168.250.1"

    def __init__(self, tag):
        self.client, self.server = "wvcli" + tag, "wvsrv" + tag
        self.made = []

    @staticmethod
    def unavailable():
        """Why namespaces cannot be made here, or None."""
        if os.geteuid() != 0 or shutil.which("ip") is None:
            return "needs root and ip netns"
        return None

    @staticmethod
    def ip(*args):
        subprocess.run(["ip"] + list(args), check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def make(self, default_route=True):
        """Makes both; returns why not (and makes none) where this machine refuses."""
        try:
            for ns in (self.client, self.server):
                self.ip("netns", "add", ns)
                self.made.append(ns)
        except subprocess.CalledProcessError as error:
            self.delete()
            return "cannot make network namespaces here (%s)" % error.stderr.decode().strip()
        self.ip("-n", self.client, "link", "add", "wv0", "type", "veth", "peer", "name", "wv1", "netns", self.server)
        self.ip("-n", self.client, "addr", "add", self.CLIENT_ADDRESS + "/24", "dev", "wv0")
        self.ip("-n", self.server, "addr", "add", self.SERVER_ADDRESS + "/24", "dev", "wv1")
        for ns, dev in ((self.client, "wv0"), (self.server, "wv1")):
            self.ip("-n", ns, "link", "set", "lo", "up")
            self.ip("-n", ns, "link", "set", dev, "up")
        if default_route:
            self.add_default_route()
        return None

    def add_default_route(self):
        """The server's side becomes the client's default gateway."""
        self.ip("-n", self.client, "route", "add", "default", "via", self.SERVER_ADDRESS)

    def run_in(self, ns):
        return ["ip", "netns", "exec", ns]

    def delete(self):
        """Ends whatever still runs inside (all of it was started here) and deletes them."""
        for ns in self.made:
            pids = subprocess.run(["ip", "netns", "pids", ns], capture_output=True, text=True).stdout.split()
            for pid in pids:
                try:
                    os.kill(int(pid), signal.SIGKILL)
                except ProcessLookupError:
                    pass
            subprocess.run(["ip", "netns", "del", ns], stderr=subprocess.DEVNULL)
        self.made = []


def scenario_netns(ctx):
    why = Namespaces.unavailable()
    if why:
        print("skipped: " + why)
        return SKIP
    spaces = Namespaces("%d" % os.getpid())
    prefix = os.path.join(ctx.options.work, "netns-wineprefix")
    env = os.environ.copy()
    env.update(WINEPREFIX=prefix, WINEARCH="win32", WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
               LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8")
    try:
        why = spaces.make()
        if why:
            print("skipped: " + why)
            return SKIP
        ctx.server = Server(ctx.options.server, os.path.join(ctx.folder, "server.log"), [],
                            netns=spaces.server, bind=Namespaces.SERVER_ADDRESS)
        # Wine makes its sockets in its server, so the namespace needs a
        # wine server of its own, and that needs a prefix of its own.
        in_ns = spaces.run_in(spaces.client)
        if not os.path.exists(os.path.join(prefix, "system.reg")):
            subprocess.run(in_ns + ["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=240)
        exe = ctx.driver_exe(with_ini=False)
        ctx.driver = run_driver(in_ns + ["wine", exe, "get", "--timestamps"], env, 90)
        ctx.server.stop()
        run, entries = ctx.driver, ctx.server.entries()
        check(run.code == 0, "the driver failed inside the namespace")
        check(run.find(r"^server 192\.168\.250\.1:9110$")[0] is not None, "the client did not choose the gateway")
        requests = datagrams(entries, "in")
        check(requests and requests[0].peer.startswith("192.168.250.2:") and requests[0].command() == b"login",
              "the server saw no login from the client's namespace")
        print("gateway discovery: the client found 192.168.250.1 and got a code")
    finally:
        ctx.close()
        if spaces.made:
            subprocess.run(spaces.run_in(spaces.client) + ["wineserver", "-k"], env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        spaces.delete()
    return 0


SCENARIOS = {
    "happy": scenario_happy,
    "silent": scenario_silent,
    "forgotten": scenario_forgotten,
    "lossy": scenario_lossy,
    "noisy": scenario_noisy,
    "refused": scenario_refused,
    "heartbeat": scenario_heartbeat,
    "netns": scenario_netns,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--driver", required=True, help="tokendriver.exe")
    parser.add_argument("--server", required=True, help="the native reference server")
    parser.add_argument("--wine-run", required=True, help="the build tree's wine-run.sh")
    parser.add_argument("--work", required=True, help="folder for the per-test folders")
    options = parser.parse_args()
    for path in (options.driver, options.server, options.wine_run):
        if not os.path.exists(path):
            print("missing: " + path)
            return 1
    ctx = Context(options)
    try:
        status = SCENARIOS[options.scenario](ctx) or 0
    except (Failure, subprocess.SubprocessError, OSError) as error:
        ctx.close()
        ctx.report()
        print("FAILED: %s" % error)
        return 1
    finally:
        ctx.close()
    return status


if __name__ == "__main__":
    sys.exit(main())
