#!/usr/bin/env python3
"""End-to-end tests of Wavorin.exe: the real program under 32-bit wine on an X
display of its own, used with the pointer as a person would (xdotool), against
the reference server over real UDP.

Each scenario works in a folder of its own: a copy of the .exe beside an
authipconf.ini naming 127.0.0.1 (only the netns scenario has none, and runs
inside network namespaces made here), a wine prefix of its own (so that its
wine server, notification area and registry belong to the scenario alone),
an Xvfb display, the server's log and PNG screenshots of the states it saw.
Outcomes are judged by the server's log and by the pixels of screenshots.

Everything started here is ended before the scenario returns: the program,
the prefix's wine server, the display, the server and the namespaces.
Exit status: 0 pass, 1 fail, 77 skipped.
"""
import argparse
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from e2e_token import INI, SKIP, Failure, Namespaces, Server, check, datagrams  # noqa: E402

TITLE = "Wavorin(网吧专用)"
VENDOR_ADDRESS = "https://wavorin.example/"
SCREEN = (1024, 768)
WINDOW = (800, 600)

# Controls of the main skin at 800 by 600, in window pixels (left, top, right, bottom).
CELLS = [(185 + 75 * i, 275, 250 + 75 * i, 335) for i in range(6)]
TIP = (300, 395, 790, 495)  # short of the window's border
CODE_BUTTON = (300, 495, 500, 545)
CLOSE_BUTTON = (757, 0, 800, 18)
VENDOR_LINK = (536, 575, 790, 600)

CODE_PAGE_KEY = r"HKLM\System\CurrentControlSet\Control\Nls\CodePage"

# The red messages differ in length: the network message has 13 characters,
# the device limit 12 and the restart message 20. Wider red text than this
# is the restart message.
LONG_MESSAGE_WIDTH = 200


def now_ms():
    return int(time.time() * 1000)


def wait_for(what, seconds, probe, pause=0.1):
    """Polls `probe` until it returns something true, and returns that."""
    deadline = time.time() + seconds
    while True:
        value = probe()
        if value:
            return value
        if time.time() >= deadline:
            raise Failure("%s: not within %g s" % (what, seconds))
        time.sleep(pause)


def centre(rect, origin=(0, 0)):
    return origin[0] + (rect[0] + rect[2]) // 2, origin[1] + (rect[1] + rect[3]) // 2


# ---------------------------------------------------------------- pixels

class Shot:
    """One screenshot of the whole display, as 8-bit RGB."""

    def __init__(self, ppm, at):
        m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        if not m:
            raise Failure("a screenshot is no 8-bit PPM")
        self.width, self.height = int(m.group(1)), int(m.group(2))
        self.pixels = memoryview(ppm)[m.end():]
        self.ppm, self.at = ppm, at

    def region(self, rect, origin=(0, 0)):
        """The raw bytes of a rectangle, row after row."""
        x0, y0, x1, y1 = rect[0] + origin[0], rect[1] + origin[1], rect[2] + origin[0], rect[3] + origin[1]
        return b"".join(bytes(self.pixels[(y * self.width + x0) * 3:(y * self.width + x1) * 3])
                        for y in range(y0, y1))

    def colours(self, rect, origin=(0, 0)):
        """(x, r, g, b) of every pixel of a rectangle, x in the rectangle."""
        width = rect[2] - rect[0]
        data = self.region(rect, origin)
        for i in range(0, len(data), 3):
            yield (i // 3) % width, data[i], data[i + 1], data[i + 2]

    def save(self, path, rect):
        x0, y0, x1, y1 = rect
        subprocess.run(["convert", "ppm:-", "-crop", "%dx%d+%d+%d" % (x1 - x0, y1 - y0, x0, y0), "+repage",
                        "-strip", path], input=self.ppm, check=True, timeout=30)


def white(r, g, b):
    return r >= 230 and g >= 230 and b >= 230


class View:
    """What the main window shows in one screenshot."""

    def __init__(self, shot, origin):
        self.shot, self.origin, self.at = shot, origin, shot.at
        self.cells = [shot.region(cell, origin) for cell in CELLS]
        self.digits = [sum(1 for _, r, g, b in shot.colours(cell, origin) if white(r, g, b)) for cell in CELLS]
        self.enabled = sum(1 for _, r, g, b in shot.colours(CODE_BUTTON, origin) if white(r, g, b)) >= 100
        self.tip = shot.region(TIP, origin)
        self.blue = self.red = self.green = 0
        red_xs = []
        for x, r, g, b in shot.colours(TIP, origin):
            if b >= 140 and b - r >= 80 and g < 160:
                self.blue += 1
            elif r >= 200 and g <= 90 and b <= 90:
                self.red += 1
                red_xs.append(x)
            elif g >= 100 and r <= 80 and b <= 80:
                self.green += 1
        self.red_width = max(red_xs) - min(red_xs) + 1 if red_xs else 0

    def state(self):
        shown = all(count >= 20 for count in self.digits)
        blank = not any(self.digits)
        if shown and self.blue and self.red and not self.green and not self.enabled:
            return "counting"
        if blank and self.blue and not self.red and not self.green:
            return "idle" if self.enabled else "requesting"
        if blank and self.enabled and not self.blue:
            if self.red and not self.green:
                return "long red message" if self.red_width >= LONG_MESSAGE_WIDTH else "red message"
            if self.green and not self.red:
                return "green message"
        return "unclear"

    def __str__(self):
        return ("%s (white pixels per digit %s, tip blue %d red %d (%d wide) green %d, button %s)"
                % (self.state(), self.digits, self.blue, self.red, self.red_width, self.green,
                   "enabled" if self.enabled else "disabled"))


def digits_match(view, code):
    """The cells are equal exactly where the code's characters are."""
    for i in range(6):
        for j in range(i + 1, 6):
            if (view.cells[i] == view.cells[j]) != (code[i] == code[j]):
                return False
    return True


# ---------------------------------------------------------------- the desktop

class Display:
    """An Xvfb of the scenario's own; Xvfb picks a free display number."""

    def __init__(self, folder):
        read_end, write_end = os.pipe()
        with open(os.path.join(folder, "xvfb.log"), "w") as log:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN, "-nolisten", "tcp"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=log)
        os.close(write_end)
        number = b""
        deadline = time.time() + 20
        while not number.endswith(b"\n") and time.time() < deadline:
            if select.select([read_end], [], [], 0.5)[0]:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number += chunk
        os.close(read_end)
        if not number.strip():
            self.stop()
            raise Failure("Xvfb did not start")
        self.name = ":" + number.decode().strip()

    def env(self):
        env = os.environ.copy()
        env["DISPLAY"] = self.name
        return env

    def tool(self, *args):
        result = subprocess.run(list(args), env=self.env(), capture_output=True, text=True, timeout=20)
        return result.stdout

    def windows(self, name):
        """Visible windows whose title matches the regular expression."""
        return self.tool("xdotool", "search", "--onlyvisible", "--name", name).split()

    def title(self, window):
        """A window's title as wine gives it in UTF-8; its plain name is in
        the locale's encoding, question marks for what that lacks."""
        m = re.search(r'_NET_WM_NAME\(UTF8_STRING\) = "(.*)"', self.tool("xprop", "-id", window, "_NET_WM_NAME"))
        return m.group(1) if m else None

    def geometry(self, window):
        text = self.tool("xdotool", "getwindowgeometry", window)
        position = re.search(r"Position: (-?\d+),(-?\d+)", text)
        size = re.search(r"Geometry: (\d+)x(\d+)", text)
        if not position or not size:
            return None
        return int(position.group(1)), int(position.group(2)), int(size.group(1)), int(size.group(2))

    def mapped(self, window):
        return "IsViewable" in self.tool("xwininfo", "-id", window)

    def click(self, x, y, button=1):
        """Moves the pointer there, pauses a moment, clicks, and takes the pointer away."""
        self.tool("xdotool", "mousemove", str(x), str(y))
        time.sleep(0.3)
        at = now_ms()
        self.tool("xdotool", "click", str(button))
        return at

    def move_away(self):
        self.tool("xdotool", "mousemove", str(SCREEN[0] - 4), str(SCREEN[1] - 4))

    def shot(self):
        at = now_ms()
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env(),
                             capture_output=True, timeout=20).stdout
        return Shot(ppm, at)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def copy_prefix(source, target):
    """Copies a wine prefix; the large system folders, which wine only reads,
    are hard-linked where the file system allows it."""
    shared = (os.sep + os.path.join("drive_c", "windows", "system32") + os.sep,
              os.sep + os.path.join("drive_c", "windows", "winsxs") + os.sep)

    def copy(src, dst):
        if any(part in src for part in shared):
            try:
                os.link(src, dst)
                return
            except OSError:
                pass
        shutil.copy2(src, dst)

    shutil.copytree(source, target, symlinks=True, copy_function=copy)


class Wine:
    """A wine prefix of the scenario's own, optionally used from inside a
    network namespace (wine makes its sockets in its server, which then has
    to start there)."""

    def __init__(self, folder, source, display, run_in=(), lang="zh_CN.UTF-8"):
        self.prefix = os.path.join(folder, "wineprefix")
        self.run_in = list(run_in)
        self.env = display.env()
        # Wine takes the system's ANSI code page from the locale.
        self.env.update(WINEPREFIX=self.prefix, WINEARCH="win32", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", LANG=lang, LC_ALL=lang)
        if os.path.exists(os.path.join(source, "system.reg")):
            copy_prefix(source, self.prefix)
        else:
            self.run("wineboot", "-i", timeout=240)

    def start(self, exe, log):
        with open(log, "w") as out:
            return subprocess.Popen(self.run_in + ["wine", exe], env=self.env, stdout=out,
                                    stderr=subprocess.STDOUT, cwd=os.path.dirname(exe))

    def run(self, *args, timeout=60):
        command = list(args) if args[0] in ("wineboot", "wineserver") else ["wine"] + list(args)
        return subprocess.run(self.run_in + command, env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode

    def code_page(self):
        """The ANSI code page that wine made the prefix's from the locale."""
        result = subprocess.run(self.run_in + ["wine", "reg", "query", CODE_PAGE_KEY, "/v", "ACP"], env=self.env,
                                capture_output=True, timeout=60)
        m = re.search(rb"ACP\s+REG_SZ\s+(\d+)", result.stdout)
        return int(m.group(1)) if m else None

    def stop(self):
        """Ends the prefix's wine server and with it every process of the
        prefix; anything that outlived it still carries the prefix in its
        environment and was started here."""
        try:
            self.run("wineserver", "-k", timeout=30)
        except subprocess.TimeoutExpired:
            pass
        marker = ("WINEPREFIX=" + self.prefix).encode() + b"\0"
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    if marker in f.read():
                        os.kill(int(pid), signal.SIGKILL)
            except (OSError, ValueError):
                pass


# ---------------------------------------------------------------- a scenario

class Scenario:
    def __init__(self, options, name):
        self.options = options
        self.folder = os.path.join(options.work, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.server = self.display = self.wine = self.program = self.spaces = None
        self.exe = None
        self.origin = None
        self.notes = []

    # -- starting things

    def start_server(self, *args, netns=None, bind="127.0.0.1", log="server.log"):
        self.server = Server(self.options.server, os.path.join(self.folder, log), list(args),
                             netns=netns, bind=bind)
        return self.server

    def launch(self, with_ini=True, run_in=(), before=None, lang="zh_CN.UTF-8"):
        """Copies the program, starts it on a display of its own and waits
        for its one window."""
        self.exe = os.path.join(self.folder, "Wavorin.exe")
        shutil.copy(self.options.exe, self.exe)
        if with_ini:
            with open(os.path.join(self.folder, "authipconf.ini"), "w", newline="") as f:
                f.write(INI)
        self.display = Display(self.folder)
        self.wine = Wine(self.folder, self.options.prefix, self.display, run_in, lang)
        if before:
            before()
        self.program = self.wine.start(self.exe, os.path.join(self.folder, "program.log"))
        window = wait_for("the main window", 60, self.main_window, pause=0.2)
        x, y, width, height = self.display.geometry(window)
        check((width, height) == WINDOW, "the window is %dx%d, not 800x600" % (width, height))
        self.origin = (x, y)
        return window

    def main_window(self):
        if self.program.poll() is not None:
            raise Failure("the program ended with %d" % self.program.returncode)
        windows = [w for w in self.display.windows("^" + re.escape(TITLE[:TITLE.index("(") + 1]))
                   if self.display.title(w) == TITLE]
        check(len(windows) <= 1, "%d windows titled %s" % (len(windows), TITLE))
        return windows[0] if windows else None

    def wait_logged_in(self, seconds):
        """Waits until the server has opened the program's session."""
        since = now_ms()
        wait_for("a login at the server", seconds,
                 lambda: any("session opened" in e.text for e in self.server.entries()), pause=0.2)
        self.notes.append("logged in %d ms after the server started" % (now_ms() - since))

    # -- looking and clicking

    def view(self):
        return View(self.display.shot(), self.origin)

    def wait_state(self, states, seconds, save=None):
        """Polls screenshots until the window shows one of `states`."""
        states = (states,) if isinstance(states, str) else states
        last = []

        def probe():
            view = self.view()
            last[:] = [view]
            return view if view.state() in states else None

        try:
            view = wait_for("the window showing %s" % " or ".join(states), seconds, probe, pause=0.05)
        except Failure as failure:
            if last:
                self.save(last[0], "unexpected")
                raise Failure("%s; it showed %s" % (failure, last[0]))
            raise
        if save:
            self.save(view, save)
        return view

    def save(self, view, name, rect=None):
        x, y = view.origin
        rect = rect or (x, y, x + WINDOW[0], y + WINDOW[1])
        path = os.path.join(self.folder, name.replace(" ", "-") + ".png")
        view.shot.save(path, rect)
        self.notes.append("screenshot " + path)

    def click(self, rect, button=1):
        at = self.display.click(*centre(rect, self.origin), button=button)
        self.display.move_away()
        return at

    def request_code(self):
        """Clicks the button and waits for the countdown; returns the view and
        the code the server issued, checked against the digits shown."""
        clicked = self.click(CODE_BUTTON)
        view = self.wait_state("counting", 15, save="counting")
        issued = wait_for("a code in the server's log", 5, lambda: issued_codes(self.server.entries()))
        ms, code, _ = issued[-1]
        check(ms >= clicked - 50, "the code was issued before the click")
        check(digits_match(view, code), "the digits shown do not match the code %s" % code)
        return view, code, ms

    # -- ending

    def close(self):
        problems = []
        if self.wine:
            self.wine.stop()
        if self.program:
            try:
                self.program.wait(20)
            except subprocess.TimeoutExpired:
                self.program.kill()
                self.program.wait()
        if self.display:
            self.display.stop()
        if self.server:
            try:
                self.server.stop()
            except Failure as failure:
                problems.append(str(failure))
        if self.spaces:
            self.spaces.delete()
        return problems

    def report(self):
        for note in self.notes:
            print(note)
        if self.server and os.path.exists(self.server.log):
            print("server log:")
            with open(self.server.log, encoding="latin-1") as f:
                sys.stdout.write(f.read())


def issued_codes(entries):
    """(ms, code, seconds) of every code the server issued."""
    found = []
    for e in entries:
        m = re.match(r"code (\S+) issued for (\d+) s", e.text) if e.direction == "note" else None
        if m:
            found.append((e.ms, m.group(1), int(m.group(2))))
    return found


def of_program(entries):
    """The program's own datagrams and the replies to them: those of the peer
    that asked for a code. Another client on this machine may be talking to
    the same port."""
    asker = next((e.peer for e in datagrams(entries, "in") if e.command() == b"gimmeatoken"), None)
    return [e for e in entries if e.peer == asker]


def first_sends(entries, command):
    """The first transmission of each request of a kind, in order."""
    seen, sends = set(), []
    for e in datagrams(entries, "in"):
        if e.command() == command and e.seq() not in seen:
            seen.add(e.seq())
            sends.append(e)
    return sends


def reply_ms(entries, seq):
    return next((e.ms for e in datagrams(entries, "out") if e.seq() == seq), None)


# ---------------------------------------------------------------- scenarios

def scenario_start(s):
    s.start_server()
    s.launch()
    x, y = s.origin
    check(abs(x - (SCREEN[0] - WINDOW[0]) // 2) <= 1 and abs(y - (SCREEN[1] - WINDOW[1]) // 2) <= 1,
          "the window is not centred: at %d,%d" % (x, y))
    s.wait_state("idle", 15, save="idle")
    # Hidden to the notification area, the window comes back by a second start.
    window = s.main_window()
    s.click(CLOSE_BUTTON)
    wait_for("the window hidden by the close button", 10, lambda: not s.display.mapped(window))
    code = s.wine.run(s.exe, timeout=60)
    check(code == 0, "the second start ended with %d" % code)
    wait_for("the window shown again", 10, lambda: s.display.mapped(window))
    check(s.main_window() == window, "the second start made a window of its own")
    check(s.program.poll() is None, "the first program ended")
    s.wait_state("idle", 5)
    print("one centred 800x600 window at %d,%d; a second start showed it and ended with 0" % (x, y))


def scenario_code(s):
    server = s.start_server()
    s.launch()
    s.wait_state("idle", 15)
    view, code, issued = s.request_code()
    entries = of_program(server.entries())
    gimme = first_sends(entries, b"gimmeatoken")
    check(len(gimme) == 1, "the server saw %d code requests" % len(gimme))

    # The countdown: the tip changes once a second, and each tick sends a
    # check when none is outstanding. Only the tip is compared while
    # watching, so that screenshots follow each other closely.
    watch_from, changes, tip, taken = now_ms(), [], view.tip, []
    while now_ms() - watch_from < 5000:
        shot = s.display.shot()
        taken.append(shot.at)
        region = shot.region(TIP, s.origin)
        if region != tip:
            changes.append(shot.at)
            tip = region
    watch_to = now_ms()
    view = s.view()
    check(view.state() == "counting", "the countdown stopped: %s" % view)
    server.stop()
    entries = of_program(server.entries())
    gaps = [b - a for a, b in zip(changes, changes[1:])]
    slack = 250 + max(b - a for a, b in zip(taken, taken[1:]))
    check(len(changes) >= 4, "the tip changed %d times in 5 s" % len(changes))
    check(all(abs(gap - 1000) <= slack for gap in gaps), "the tip changed at gaps of %s ms" % gaps)

    checks = first_sends(entries, b"checktoken")
    check(checks and checks[0].ms - issued <= 600, "no check came right after the code")
    for earlier, later in zip(checks, checks[1:]):
        answered = reply_ms(entries, earlier.seq())
        check(answered is not None and later.ms >= answered, "a check was sent while another was outstanding")
        check(abs(later.ms - earlier.ms - 1000) <= 350, "checks %d ms apart" % (later.ms - earlier.ms))
        check(b"Token:%s\r\n" % code.encode() in later.data, "a check for another code: %r" % later)
    during = [c for c in checks if watch_from <= c.ms <= watch_to]
    check(abs(len(during) - len(changes)) <= 1,
          "%d checks during %d ticks of the countdown" % (len(during), len(changes)))
    print("code %s shown; tip changed at gaps of %s ms; checks %s ms apart"
          % (code, gaps, [b.ms - a.ms for a, b in zip(checks, checks[1:])]))


def scenario_expired(s):
    ttl = 4
    s.start_server("--token-ttl", str(ttl))
    s.launch()
    s.wait_state("idle", 15)
    _, code, issued = s.request_code()
    view = s.wait_state("idle", ttl + 5, save="idle-again")
    late = view.at - (issued + ttl * 1000)
    check(-1000 <= late <= 1000, "idle %d ms after the code's end" % late)
    print("code %s lived %d s; the display was idle %d ms after its end" % (code, ttl, late))


def scenario_invalidated(s):
    # The server forgets its sessions and codes every few seconds, so that
    # the shown code stops being valid long before its countdown ends.
    server = s.start_server("--forget-every", "4000")
    s.launch()
    s.wait_state("idle", 15)
    _, code, issued = s.request_code()
    view = s.wait_state("idle", 15, save="idle-again")
    entries = server.entries()
    check(any(e.ms > issued and "forgetting" in e.text for e in entries if e.direction == "note"),
          "the server did not forget the code after issuing it")
    false = next((e for e in datagrams(of_program(entries), "out") if b"token-valid:false" in e.data), None)
    check(false is not None, "the server never said the code was no longer valid")
    check(view.at - false.ms <= 1000, "idle %d ms after the server said no" % (view.at - false.ms))
    print("code %s: the server said false; idle %d ms later" % (code, view.at - false.ms))


def refused(status, state, name):
    def scenario(s):
        server = s.start_server("--refuse-token", str(status))
        s.launch()
        s.wait_state("idle", 15)
        s.click(CODE_BUTTON)
        view = s.wait_state(state, 10, save=name)
        check(any("refused with status %d" % status in e.text for e in server.entries()),
              "the server did not refuse")
        print("status %d: %s" % (status, view))
    return scenario


def scenario_not_logged_in(s):
    """A server that answers "not logged in" to everything, logins included:
    the click still ends with a message and the button back, and the client
    never floods it."""
    s.start_server("--not-logged-in", "all")
    s.launch()
    s.wait_state("idle", 15)
    clicked = s.click(CODE_BUTTON)
    s.wait_state("requesting", 3)
    view = s.wait_state("red message", 10, save="message-not-logged-in")
    check(view.at - clicked <= 10000, "the message came %d ms after the click" % (view.at - clicked))
    sent = [e.ms for e in datagrams(s.server.entries(), "in")]
    busiest = max(sum(1 for t in sent if first <= t < first + 10000) for first in sent)
    check(busiest <= 100, "%d datagrams in 10 s" % busiest)
    print("message %d ms after the click; %d datagrams in all, at most %d in 10 s"
          % (view.at - clicked, len(sent), busiest))


def scenario_silence(s):
    s.start_server()
    s.launch()
    s.wait_state("idle", 15)
    _, code, _ = s.request_code()
    # In the middle of the countdown the server goes and one that answers
    # nothing takes its place.
    s.server.stop()
    s.start_server("--silence", "0:120000", log="server-silent.log")
    view = s.wait_state("long red message", 20, save="message-restarting")
    check(datagrams(s.server.entries(), "in"), "the silent server heard no check")
    print("code %s; the server fell silent; %s" % (code, view))


def network_then_code(s, start_server, seconds):
    """A click without a server shows the network message; once the server
    is there a click brings a code."""
    s.wait_state("idle", 15, save="idle")
    s.click(CODE_BUTTON)
    s.wait_state("requesting", 3, save="requesting")
    view = s.wait_state("red message", 10, save="message-network")
    start_server()
    s.wait_logged_in(seconds)
    _, code, _ = s.request_code()
    return view, code


def scenario_late_server(s):
    s.launch()
    view, code = network_then_code(s, s.start_server, 25)
    print("without a server: %s; with it: code %s" % (view, code))


def scenario_netns(s):
    why = Namespaces.unavailable()
    if why:
        print("skipped: " + why)
        return SKIP
    s.spaces = Namespaces("p%d" % os.getpid())
    why = s.spaces.make(default_route=False)
    if why:
        print("skipped: " + why)
        return SKIP
    s.launch(with_ini=False, run_in=s.spaces.run_in(s.spaces.client))

    def gateway_and_server():
        s.start_server(netns=s.spaces.server, bind=Namespaces.SERVER_ADDRESS)
        s.spaces.add_default_route()

    # The client tries to start again every 10 s.
    view, code = network_then_code(s, gateway_and_server, 25)
    peers = {e.peer for e in datagrams(s.server.entries(), "in")}
    check(all(p.startswith(Namespaces.CLIENT_ADDRESS + ":") for p in peers), "datagrams from %s" % peers)
    print("without a gateway: %s; with one: code %s from %s" % (view, code, Namespaces.SERVER_ADDRESS))


def scenario_tray(s):
    s.start_server()
    window = s.launch()
    s.wait_state("idle", 15)
    tray = wait_for("the notification area", 10, lambda: s.display.windows("^Wine System Tray$"))[0]
    tx, ty, _, height = s.display.geometry(tray)
    icon = (tx + height // 2, ty + height // 2)
    s.click(CLOSE_BUTTON)
    wait_for("the window hidden by the close button", 10, lambda: not s.display.mapped(window))
    s.display.click(*icon)
    wait_for("the window shown by the icon", 10, lambda: s.display.mapped(window))

    s.display.click(*icon, button=3)
    known = {window, tray}
    menu = wait_for("the menu", 10, lambda: [w for w in s.display.windows("^$")
                                             if w not in known and s.display.geometry(w)[2] < SCREEN[0]])[0]
    mx, my, mw, mh = s.display.geometry(menu)
    view = s.view()
    s.save(view, "menu", (0, 0, s.origin[0] + WINDOW[0], s.origin[1] + WINDOW[1]))
    s.display.click(mx + mw // 2, my + mh // 2)
    code = wait_for("the end of the program", 20, lambda: s.program.poll() is not None and [s.program.returncode])
    check(code == [0], "the program ended with %s" % code)

    def no_icon():
        trays = s.display.windows("^Wine System Tray$")
        if not trays:
            return True
        slot = s.display.shot().region((0, 0, height, height), (tx, ty))
        return len(set(slot[i:i + 3] for i in range(0, len(slot), 3))) == 1

    wait_for("an empty notification area", 10, no_icon)
    print("close hid, icon showed, menu at %d,%d %dx%d; its item ended the program with 0" % (mx, my, mw, mh))


def scenario_vendor(s):
    s.start_server()
    opened = os.path.join(s.folder, "opened.txt")
    browser = os.path.join(s.folder, "browser.sh")
    with open(browser, "w") as f:
        f.write('#!/bin/sh\nprintf "%%s\\n" "$@" >> "%s"\n' % opened)
    os.chmod(browser, 0o755)

    def register():
        # Wine hands web addresses to the first program of this list; here
        # it is the script above, so no browser starts.
        check(s.wine.run("reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/d", browser,
                         "/f") == 0, "could not register the script")

    s.launch(before=register)
    s.wait_state("idle", 15)
    s.click(VENDOR_LINK)
    wait_for("the address handed on", 15, lambda: os.path.exists(opened) and open(opened).read())
    time.sleep(0.5)
    with open(opened) as f:
        lines = f.read().splitlines()
    check(lines == [VENDOR_ADDRESS], "the shell was given %s" % lines)
    print("the footer link handed %s to the desktop's browser" % VENDOR_ADDRESS)


# The program under the ANSI code pages of other Windows languages, against
# Simplified Chinese, the first: Western European, Traditional Chinese,
# Japanese, Korean, and Hindi, a language without an ANSI code page of its
# own, for which wine answers 65001 as a Windows with the UTF-8 option does.
LOCALES = [("zh_CN.UTF-8", 936), ("en_US.UTF-8", 1252), ("zh_TW.UTF-8", 950), ("ja_JP.UTF-8", 932),
           ("ko_KR.UTF-8", 949), ("hi_IN.UTF-8", 65001)]
# The installed font that stands for the skin's, and the name a prefix knows
# it by: its Chinese one, but on the English row only its English one, as
# a Windows may know it in another language.
STAND_IN_FONT = "WenQuanYi Micro Hei"
SKIN_FONT_NAMES = {"en_US.UTF-8": "Microsoft YaHei"}
SKIN_FONT = "微软雅黑"
# Pixels a screenshot may differ in from the Chinese one: none, as the
# drawing is the same. Question marks or boxes instead of the texts differ
# in thousands.
LOCALE_SLACK = 0


def red_box(picture, width):
    """The box around the red pixels of the window's tip, two pixels wider
    on each side: where the countdown's number is drawn, edges included."""
    xs, ys = [], []
    for y in range(TIP[1], TIP[3]):
        for x in range(TIP[0], TIP[2]):
            i = (y * width + x) * 3
            r, g, b = picture[i], picture[i + 1], picture[i + 2]
            if r >= g + 80 and r >= b + 80:
                xs.append(x)
                ys.append(y)
    return (min(xs) - 2, min(ys) - 2, max(xs) + 3, max(ys) + 3) if xs else (0, 0, 0, 0)


def differing_pixels(a, b, countdown=False):
    """Pixels that differ between two pictures of the same size. With
    `countdown` (pictures of the window), its red number is not compared: a
    second may have passed between the two pictures."""
    if len(a) != len(b):
        return max(len(a), len(b)) // 3
    boxes = [red_box(a, WINDOW[0]), red_box(b, WINDOW[0])] if countdown else []
    count = 0
    for i in range(0, len(a), 3):
        if a[i:i + 3] == b[i:i + 3]:
            continue
        x, y = (i // 3) % WINDOW[0], (i // 3) // WINDOW[0]
        if not any(left <= x < right and top <= y < bottom for left, top, right, bottom in boxes):
            count += 1
    return count


def install_skin_font(s, lang):
    """Makes the skin's font, which every Windows from 7 on has, one of the
    prefix's, so that no locale falls back to a font of its own choice."""
    path = os.path.join(s.folder, "font.reg")
    names = (SKIN_FONT_NAMES.get(lang, SKIN_FONT), STAND_IN_FONT)
    with open(path, "w", encoding="utf-16") as f:
        f.write('Windows Registry Editor Version 5.00\r\n\r\n'
                '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"%s"="%s"\r\n' % names)
    check(s.wine.run("regedit", "/S", path) == 0, "could not name the skin's font")


def show_in_locale(s, lang, code_page):
    """Idle, counting and the tray menu in one locale: their pixels and the code shown."""
    s.start_server("--seed", "19")
    s.launch(lang=lang, before=lambda: install_skin_font(s, lang))
    found = s.wine.code_page()
    check(found == code_page, "%s gave code page %s, not %d" % (lang, found, code_page))
    idle = s.wait_state("idle", 15, save="idle")
    counting, code, _ = s.request_code()
    tray = wait_for("the notification area", 10, lambda: s.display.windows("^Wine System Tray$"))[0]
    tx, ty, _, height = s.display.geometry(tray)
    known = set(s.display.windows(".*"))
    s.display.click(tx + height // 2, ty + height // 2, button=3)
    menu = wait_for("the menu", 10, lambda: [w for w in s.display.windows("^$")
                                             if w not in known and s.display.geometry(w)[2] < SCREEN[0]])[0]
    mx, my, mw, mh = s.display.geometry(menu)
    # The menu draws itself after it is mapped: the same picture twice.
    pictures = []

    def settled():
        pictures.append(s.display.shot())
        return len(pictures) > 1 and pictures[-1].region((mx, my, mx + mw, my + mh)) == \
            pictures[-2].region((mx, my, mx + mw, my + mh)) and pictures[-1]
    shot = wait_for("the menu drawn", 10, settled)
    shot.save(os.path.join(s.folder, "menu.png"), (mx, my, mx + mw, my + mh))
    window = (0, 0) + WINDOW
    return {"idle": idle.shot.region(window, idle.origin), "counting": counting.shot.region(window, counting.origin),
            "menu": shot.region((mx, my, mx + mw, my + mh)), "code": code}


def scenario_locales(s):
    reference, lines = None, []
    for lang, code_page in LOCALES:
        one = Scenario(s.options, os.path.join("locales", lang))
        try:
            seen = show_in_locale(one, lang, code_page)
        except Failure:
            one.report()
            raise
        finally:
            problems = one.close()
        check(not problems, "; ".join(problems))
        if reference is None:
            reference = seen
            lines.append("%s (%d): code %s" % (lang, code_page, seen["code"]))
            continue
        check(seen["code"] == reference["code"], "%s showed code %s" % (lang, seen["code"]))
        counts = {"idle": differing_pixels(seen["idle"], reference["idle"]),
                  "counting": differing_pixels(seen["counting"], reference["counting"], countdown=True),
                  "menu": differing_pixels(seen["menu"], reference["menu"])}
        lines.append("%s (%d): pixels differing from %s: %s" % (lang, code_page, LOCALES[0][0],
                                                              ", ".join("%s %d" % kv for kv in counts.items())))
        check(all(n <= LOCALE_SLACK for n in counts.values()), lines[-1])
    print("\n".join(lines))


SCENARIOS = {
    "start": scenario_start,
    "code": scenario_code,
    "expired": scenario_expired,
    "invalidated": scenario_invalidated,
    "refused2": refused(2, "red message", "message-device-limit"),
    "refused3": refused(3, "green message", "message-authenticated"),
    "not_logged_in": scenario_not_logged_in,
    "silence": scenario_silence,
    "late_server": scenario_late_server,
    "netns": scenario_netns,
    "tray": scenario_tray,
    "vendor": scenario_vendor,
    "locales": scenario_locales,
}


def parse_options(parser, paths, inputs):
    """Parses the command line and makes its paths absolute. Returns the
    options and None, or None and the exit status when one of the inputs or
    of the tools is missing."""
    options = parser.parse_args()
    for name in paths:
        setattr(options, name, os.path.abspath(getattr(options, name)))
    for name in inputs:
        if not os.path.exists(getattr(options, name)):
            print("missing: " + getattr(options, name))
            return None, 1
    missing = [tool for tool in ("Xvfb", "xdotool", "xwininfo", "xprop", "import", "convert", "wine")
               if shutil.which(tool) is None]
    if missing:
        print("skipped: missing %s" % ", ".join(missing))
        return None, SKIP
    return options, None


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--exe", required=True, help="Wavorin.exe")
    parser.add_argument("--server", required=True, help="the native reference server")
    parser.add_argument("--prefix", required=True, help="the build tree's wine prefix, copied per scenario")
    parser.add_argument("--work", required=True, help="folder for the per-scenario folders")
    options, status = parse_options(parser, ("exe", "server", "prefix", "work"), ("exe", "server"))
    if options is None:
        return status
    s = Scenario(options, options.scenario)
    started = time.time()
    status, problems = 1, []
    try:
        status = SCENARIOS[options.scenario](s) or 0
    except (Failure, subprocess.SubprocessError, OSError) as error:
        problems.append(str(error))
    finally:
        problems += s.close()
    if problems:
        s.report()
        print("FAILED: %s" % "; ".join(problems))
        return 1
    for note in s.notes:
        print(note)
    print("%.1f s" % (time.time() - started))
    return status


if __name__ == "__main__":
    sys.exit(main())
