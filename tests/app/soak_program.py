#!/usr/bin/env python3
"""The soak: the real Wavorin.exe under wine, clicked for minutes against the
reference server while the server loses, repeats, delays, reorders and
garbles datagrams, answers with wrong sequence numbers, forgets its sessions,
falls silent, and is restarted (after a pause without any server). Then the
faults stop and the next click must bring a code.

Every click must end in a code or one of the program's messages within the
engine's limits (read from tokenclient/), and a code's countdown must end
within its lifetime and those limits. At the start (after a warm-up) and at
the end the program's GDI and USER object headroom is measured by the
headroom probe (tests/app/probe), which counts, inside the program, how many
more objects it can still create; and its memory from /proc of the wine
process that runs it. Both must stay flat.

Uses the end-to-end test's desktop, wine prefix, server and screenshot
reading. Exit status: 0 pass, 1 fail, 77 skipped.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_program import (CODE_BUTTON, Failure, Scenario, check, datagrams, issued_codes,  # noqa: E402
                         now_ms, parse_options)

HERE = os.path.dirname(os.path.abspath(__file__))
ENGINE = os.path.join(HERE, "..", "..", "tokenclient")
CODE_TTL = 6  # seconds: short, so that a countdown ends and the button returns
LIFE_S = 75   # one life of the faulty server (its --duration is 180 s)
PAUSE_S = 4   # restarting: no server at all for this long
FAULTS = ["--drop-requests", "30%", "--drop-replies", "30%", "--duplicate", "10%", "--reorder", "10%",
          "--delay", "10%:800", "--wrong-seq", "5%", "--garbage", "5%", "--forget-every", "25000",
          "--silence", "30000:9000"]
READY = ("idle", "red message", "long red message", "green message")
OUTCOMES = {"counting": "code", "red message": "network message", "long red message": "restart message",
            "green message": "authenticated message", "idle": "code already over"}
HEADROOM_TOLERANCE = 32          # objects
MEMORY_TOLERANCE_KB = 4096       # or 5 %, whichever is more


def engine_limits():
    """The engine's timing constants, from its sources: the time a request
    may take after it was posted or renewed by a "not logged in" reply."""
    def constant(pattern):
        for name in ("TokenClientImpl.cpp", "TokenClientImpl.h"):
            with open(os.path.join(ENGINE, name)) as f:
                m = re.search(pattern, f.read())
                if m:
                    return int(m.group(1))
        raise Failure("no %s in the engine's sources" % pattern)

    retry = constant(r"retryIntervalMs\((\d+)\)")
    timeout = constant(r"requestTimeoutMs\((\d+)\)")
    pass_wait = constant(r"PassWaitMs = (\d+);")
    # A login and a renewed request ahead of it each take their
    # transmissions and a pass; it is given up at the latest one pass after
    # it reaches the head old.
    return timeout + 3 * retry + 3 * pass_wait


class Soak:
    def __init__(self, s, options):
        self.s, self.options = s, options
        self.limit = engine_limits() + options.slack_ms
        self.random = random.Random(options.seed)
        self.lives = 0
        self.peer = None
        self.clicks, self.outcomes, self.longest = 0, {}, 0
        self.ignored_clicks = 0
        self.countdowns = {}
        self.figures = []

    # -- the server

    def server(self, faulty):
        self.lives += 1
        args = ["--token-ttl", str(CODE_TTL)]
        if faulty:
            args += ["--seed", str(self.options.seed + self.lives)] + FAULTS
        self.s.start_server(*args, log="server-%d.log" % self.lives)

    def restart(self, faulty):
        """The server goes; for a while there is none; then it comes back."""
        self.s.server.stop()
        self.wait_ready()
        pause_until = time.time() + PAUSE_S
        while time.time() < pause_until:
            self.click_once()
        self.server(faulty)

    def renewed_ms(self, since, until):
        """When the last "not logged in" reply to the program went out in
        the interval, else None."""
        found = None
        for e in datagrams(self.s.server.entries(), "out", self.peer):
            if since <= e.ms <= until and e.data.startswith(b"4\r\n"):
                found = e.ms
        return found

    # -- the window

    def wait_ready(self):
        """Waits until the button can be clicked again: a countdown ends
        within the code's lifetime and the engine's limits."""
        view = self.s.view()
        if view.state() == "counting":
            seconds = CODE_TTL + self.limit / 1000.0
            view = self.s.wait_state(READY, seconds)
            end = "idle" if view.state() == "idle" else OUTCOMES[view.state()]
            self.countdowns[end] = self.countdowns.get(end, 0) + 1
        return view

    def click_once(self):
        """One click on the button and its outcome; returns its kind."""
        before = self.wait_ready().state()
        if before not in READY:
            before = self.s.wait_state(READY, self.limit / 1000.0).state()
        clicked = self.s.click(CODE_BUTTON)
        self.clicks += 1
        seen_request = False
        deadline = clicked + 3 * self.limit  # only a bound on the loop
        while True:
            view = self.s.view()
            state = view.state()
            if state == "requesting":
                seen_request = True
            elif state in OUTCOMES and (seen_request or state != before or state == "counting"):
                break
            if now_ms() > deadline:
                self.s.save(view, "stuck-%d" % self.clicks)
                raise Failure("click %d: no outcome within %d ms; the window shows %s"
                              % (self.clicks, now_ms() - clicked, view))
            time.sleep(0.05)
        took = view.at - clicked
        renewed = self.renewed_ms(clicked, view.at) if self.s.server.process.poll() is None else None
        base = max(clicked, renewed or clicked)
        if view.at - base > self.limit:
            self.s.save(view, "late-%d" % self.clicks)
            raise Failure("click %d: %s after %d ms (%d ms after the last renewal), limit %d ms"
                          % (self.clicks, state, took, view.at - base, self.limit))
        kind = OUTCOMES[state]
        self.outcomes[kind] = self.outcomes.get(kind, 0) + 1
        self.longest = max(self.longest, took)
        if state == "counting" and self.random.random() < 0.3:
            self.click_while_counting()
        return kind

    def click_while_counting(self):
        """The button is disabled during a countdown: a click asks nothing."""
        self.s.click(CODE_BUTTON)
        time.sleep(0.5)
        view = self.s.view()
        check(view.state() != "requesting", "a click during the countdown asked for a code: %s" % view)
        self.ignored_clicks += 1

    # -- measuring

    def measure(self, when):
        self.wait_ready()
        folder = self.s.folder
        for name in ("headroom.exe", "headroom.dll"):
            shutil.copy(os.path.join(os.path.dirname(self.options.probe), name), folder)
        result = subprocess.run(["wine", os.path.join(folder, "headroom.exe"), "Wavorin.exe"],
                                env=self.s.wine.env, capture_output=True, text=True, timeout=300, cwd=folder)
        m = re.search(r"gdi (\d+) user (\d+)", result.stdout)
        check(m is not None, "the headroom probe failed: %s %s" % (result.stdout, result.stderr))
        rss, dirty = memory_kb(self.s.wine.prefix)
        figures = {"gdi": int(m.group(1)), "user": int(m.group(2)), "rss": rss, "dirty": dirty}
        self.figures.append((when, figures))
        print("%-5s GDI headroom %d, USER headroom %d, VmRSS %d kB, private dirty %d kB"
              % (when, figures["gdi"], figures["user"], rss, dirty), flush=True)
        return figures

    # -- the whole

    def run(self):
        s, minutes = self.s, self.options.minutes
        self.server(faulty=False)
        s.launch()
        s.wait_state("idle", 30)
        # Warm-up: a code, its countdown and a message, so that everything
        # the window draws has been made once.
        s.request_code()
        self.peer = next(e.peer for e in datagrams(s.server.entries(), "in") if e.command() == b"gimmeatoken")
        self.wait_ready()
        start = self.measure("start")

        ends = time.time() + minutes * 60 - 25
        self.restart(faulty=True)
        life_ends = time.time() + LIFE_S
        while time.time() < ends:
            if time.time() >= life_ends:
                self.restart(faulty=True)
                life_ends = time.time() + LIFE_S
            self.click_once()
            time.sleep(self.random.uniform(0, 1.5))

        # The faults stop: the next click brings a code.
        self.restart(faulty=False)
        kind = self.click_once()
        check(kind == "code", "after the faults the click brought a %s" % kind)
        check(issued_codes(s.server.entries()), "after the faults the server issued no code")
        end = self.measure("end")
        check(s.program.poll() is None, "the program ended with %s" % s.program.returncode)

        print("%d clicks in %d server lives: %s; %d clicks during a countdown asked nothing"
              % (self.clicks, self.lives, ", ".join("%s %d" % kv for kv in sorted(self.outcomes.items())),
                 self.ignored_clicks))
        print("countdowns watched to their end: %s" % ", ".join("%s %d" % kv for kv in sorted(self.countdowns.items())))
        print("longest time to an outcome %d ms (limit %d ms)" % (self.longest, self.limit))
        for key in ("gdi", "user"):
            check(abs(end[key] - start[key]) <= HEADROOM_TOLERANCE,
                  "%s headroom went from %d to %d" % (key.upper(), start[key], end[key]))
        for key in ("rss", "dirty"):
            allowed = max(MEMORY_TOLERANCE_KB, start[key] // 20)
            check(end[key] - start[key] <= allowed,
                  "%s grew from %d to %d kB" % (key, start[key], end[key]))


def memory_kb(prefix):
    """VmRSS and private dirty memory of the wine process running the program."""
    marker = ("WINEPREFIX=" + prefix).encode() + b"\0"
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if marker not in f.read():
                    continue
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if b"wavorin.exe" not in f.read().lower():
                    continue
            with open("/proc/%s/smaps_rollup" % pid) as f:
                rollup = f.read()
        except OSError:
            continue
        rss = re.search(r"^Rss:\s+(\d+)", rollup, re.M)
        dirty = re.search(r"^Private_Dirty:\s+(\d+)", rollup, re.M)
        if rss and dirty:
            return int(rss.group(1)), int(dirty.group(1))
    raise Failure("no wine process runs Wavorin.exe")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--exe", required=True, help="Wavorin.exe")
    parser.add_argument("--server", required=True, help="the native reference server")
    parser.add_argument("--prefix", required=True, help="the build tree's wine prefix, copied")
    parser.add_argument("--probe", required=True, help="headroom.exe, with headroom.dll beside it")
    parser.add_argument("--work", required=True, help="folder for the soak's folder")
    parser.add_argument("--minutes", type=float, default=10)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--slack-ms", type=int, default=2000,
                        help="allowance for screenshots and a loaded machine on top of the engine's limits")
    options, status = parse_options(parser, ("exe", "server", "prefix", "probe", "work"),
                                    ("exe", "server", "probe"))
    if options is None:
        return status
    s = Scenario(options, "soak")
    soak = Soak(s, options)
    started = time.time()
    problems = []
    try:
        soak.run()
    except (Failure, subprocess.SubprocessError, OSError) as error:
        problems.append(str(error))
    finally:
        problems += s.close()
    if problems:
        print("%d clicks: %s" % (soak.clicks, soak.outcomes))
        print("FAILED: %s" % "; ".join(problems))
        print("the soak's folder: " + s.folder)
        return 1
    print("%.1f s" % (time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
