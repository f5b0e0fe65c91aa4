"""A Vocamo session, as the demo and the end-to-end tests run it: the real
vocamo program and both simulators, on an X server of their own (Xvfb, with
a compositing manager when asked) or on the user's display, with a session
bus of their own or the one they were started on; worked with xdotool and
photographed with ImageMagick.

Every process is started with a parent-death signal as well as ended in
Session.close(), so a driver killed by its time-out leaves nothing behind.
The phone ends first, then what it talks to, the bus and the display last.
"""

import ctypes
import os
import shutil
import signal
import subprocess
import tempfile
import time

# The virtual screen.
SCREEN = (1024, 768)

# Where things are in the 360 x 550 window (top-left corners, sizes).
CALL_END = (128, 484, 41, 41)
BOOKMARK = (196, 488, 29, 30)
SKYPE_BUTTON = (12, 44, 107, 23)
MODEM_BUTTON = (119, 44, 106, 23)
RECENT_BUTTON = (13, 16, 18, 18)  # the clock across the top from close
ROWS = (45, 90, 180, 120)  # the first four contact rows
POPUP_SIZE = (147, 121)  # at the bottom right of the screen

# The phonebook editor (360 x 200).
EDITOR_NAMES = (40, 20, 105, 140)
EDITOR_NAME_BOX = (225, 33)
EDITOR_HOME_BOX = (225, 63)
EDITOR_NEW = (44, 176)
EDITOR_APPLY = (159, 176)
EDITOR_CLOSE = (322, 23)

# The Skype simulator's friends: handle, status, full name.
FRIENDS = [
    "anna.berger:ONLINE:Anna Berger",
    "jonas.k:AWAY:Jonas Keller",
    "chloe.m:ONLINE:Chloé Müller",
    "felix.w:OFFLINE:Felix Wagner",
]

# Generous: under the sanitizers and beside other tests on two cores the
# program starts in seconds, not milliseconds.
WAIT = float(os.environ.get("VOCAMO_E2E_WAIT", "30"))


class Failure(Exception):
    pass


class Skip(Exception):
    """A tool the session needs is missing."""


def _die_with_parent():
    # PR_SET_PDEATHSIG: the child is killed when this driver goes.
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGKILL, 0, 0, 0)


def center(rect):
    return rect[0] + rect[2] // 2, rect[1] + rect[3] // 2


class Image:
    """A screen grab as 8-bit RGB, from a binary PPM."""

    def __init__(self, data):
        parts = []
        pos = 0
        # Header: P6, width, height, maximum, each separated by white space.
        while len(parts) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while end < len(data) and not data[end:end + 1].isspace():
                end += 1
            if end == pos:
                raise Failure("an empty or cut screen grab")
            parts.append(data[pos:end])
            pos = end
        if parts[0] != b"P6" or parts[3] != b"255":
            raise Failure("unexpected screen grab format %r" % parts)
        self.width, self.height = int(parts[1]), int(parts[2])
        self.pixels = data[pos + 1:]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def region(self, rect):
        x0, y0, w, h = rect
        x0, y0 = max(0, x0), max(0, y0)
        x1, y1 = min(self.width, x0 + w), min(self.height, y0 + h)
        return [self.pixel(x, y) for y in range(y0, y1) for x in range(x0, x1)]

    def difference(self, other, rect):
        """Share of the pixels in rect that differ clearly between two grabs."""
        a, b = self.region(rect), other.region(rect)
        if not a:
            return 0.0
        changed = sum(1 for p, q in zip(a, b) if sum(abs(i - j) for i, j in zip(p, q)) > 48)
        return changed / len(a)

    def variety(self, rect):
        """Number of distinct colours in rect: 1 for a flat area."""
        return len(set(self.region(rect)))

    def mean(self, rect):
        pixels = self.region(rect)
        n = max(1, len(pixels))
        return tuple(sum(p[i] for p in pixels) / n for i in range(3))

    def dark_share(self, rect, limit=110):
        pixels = self.region(rect)
        return sum(1 for p in pixels if max(p) < limit) / max(1, len(pixels))


class Session:
    """The phone and its far ends. own_display starts Xvfb (compositor adds
    a desktop picture and xcompmgr, so the shaped window shows as on a
    desktop); own_bus starts a dbus-daemon. A private session runs a copy
    of vocamo in a folder of its own with the given phonebook; otherwise the
    build's program runs with the build's Bookmark.ini. Logs and grabs go to
    a folder under work_base (the system's temporary folder by default),
    removed on close unless the session failed or keep is set."""

    def __init__(self, name, build_dir, phonebook=None, friends=FRIENDS, *, private=True,
                 own_display=True, compositor=False, own_bus=True, work_base=None,
                 keep=False, label="session"):
        build_dir = os.path.abspath(build_dir)
        self.name = name
        self.label = label
        self.build_dir = build_dir
        self.keep = keep
        self.procs = []
        self.failed = False
        tools = ["xdotool", "xwininfo", "import", "convert"]
        tools += ["Xvfb"] if own_display else []
        tools += ["xcompmgr"] if compositor else []
        tools += ["dbus-daemon"] if own_bus else []
        for tool in tools:
            if shutil.which(tool) is None:
                raise Skip("%s is missing (scripts/setup installs it)" % tool)
        if work_base:
            os.makedirs(work_base, exist_ok=True)
        self.dir = tempfile.mkdtemp(prefix=name + "-", dir=work_base)
        os.chmod(self.dir, 0o700)
        self.env = dict(os.environ)
        self.env["QT_LOGGING_RULES"] = "vocamo.*=true"
        # The session's calls go to a call history of its own, never the user's.
        self.env["XDG_DATA_HOME"] = os.path.join(self.dir, "data")
        if own_display:
            # The phone's single-instance lock is per display: keep it with
            # the session, so that a phone the user runs is not woken.
            self.runtime = os.path.join(self.dir, "runtime")
            os.mkdir(self.runtime, 0o700)
            self.env["XDG_RUNTIME_DIR"] = self.runtime
            self.env["QT_QPA_PLATFORM"] = "xcb"
            self.env.pop("WAYLAND_DISPLAY", None)
            self.env.pop("SESSION_MANAGER", None)

        if private:
            # The program reads Bookmark.ini and RING.WAV beside itself, so it
            # runs from a folder of its own: the build's phonebook stays
            # untouched and sessions running side by side do not share one.
            self.app_dir = os.path.join(self.dir, "app")
            os.mkdir(self.app_dir)
            self.vocamo = os.path.join(self.app_dir, "vocamo")
            source = os.path.join(build_dir, "vocamo")
            try:
                os.link(source, self.vocamo)
            except OSError:
                shutil.copy2(source, self.vocamo)
            shutil.copy2(os.path.join(build_dir, "RING.WAV"), os.path.join(self.app_dir, "RING.WAV"))
        else:
            self.app_dir = build_dir
            self.vocamo = os.path.join(build_dir, "vocamo")
        self.phonebook_path = os.path.join(self.app_dir, "Bookmark.ini")
        if phonebook is not None:
            with open(self.phonebook_path, "w", encoding="utf-8") as f:
                f.write(phonebook)
        self.friends = list(friends)
        self.modem_sim = os.path.join(build_dir, "tools", "vocamo-modem-sim", "vocamo-modem-sim")
        self.skype_sim = os.path.join(build_dir, "tools", "vocamo-skype-sim", "vocamo-skype-sim")
        self.modem = None
        self.modem_port = None
        self.skype = None
        self.app = None
        self.wid = None
        self.modem_link = os.path.join(self.dir, "modem")
        try:
            if own_display:
                self._start_x()
                if compositor:
                    self._start_compositor()
            self.screen = tuple(int(n) for n in self.xdo("getdisplaygeometry").split())
            if own_bus:
                self._start_bus()
        except BaseException:
            self.failed = True
            self.close()
            raise

    # ---- processes ----

    def spawn(self, args, log, stdin=None, stdout=None, env=None):
        log_file = open(os.path.join(self.dir, log), "ab")
        proc = subprocess.Popen(args, stdin=stdin, stdout=stdout, stderr=log_file,
                                env=env or self.env, preexec_fn=_die_with_parent)
        log_file.close()
        proc.log = os.path.join(self.dir, log)
        self.procs.append(proc)
        return proc

    def end(self, proc, how=signal.SIGTERM, grace=10):
        if proc is None or proc.poll() is not None:
            return proc.returncode if proc else None
        try:
            proc.send_signal(how)
            return proc.wait(grace)
        except subprocess.TimeoutExpired:
            proc.kill()
            return proc.wait()

    def close(self):
        # The phone first, then what it talks to, the bus and the display last.
        if self.app is not None and self.app.poll() is None:
            self.quit_app()
        for proc in reversed(self.procs):
            self.end(proc)
        for proc in self.procs:
            if proc.stdin:
                try:
                    proc.stdin.close()
                except OSError:
                    pass
            if proc.stdout:
                proc.stdout.close()
        if self.failed or self.keep:
            print("%s: screenshots and logs kept in %s" % (self.label, self.dir))
        else:
            shutil.rmtree(self.dir, ignore_errors=True)

    def _start_x(self):
        read_fd, write_fd = os.pipe()
        log_file = open(os.path.join(self.dir, "xvfb.log"), "ab")
        # -displayfd picks a free display number and tells it: no races with
        # other servers started beside this one.
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % SCREEN,
             "-nolisten", "tcp", "-noreset", "-br"],
            pass_fds=(write_fd,), stdout=log_file, stderr=log_file, preexec_fn=_die_with_parent)
        log_file.close()
        self.procs.append(xvfb)
        os.close(write_fd)
        number = b""
        deadline = time.time() + WAIT
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(read_fd, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_fd)
        if not number.strip():
            raise Failure("Xvfb did not start: %s" % self.read_log("xvfb.log"))
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def _start_compositor(self):
        # xcompmgr paints the desktop only when the root window names a picture.
        for picture in (["-add", "#3b5d7a", "-add", "#8fb3c9", "-gradient", "0"],
                        ["-solid", "#5b7d9a"]):
            if shutil.which("hsetroot") is None:
                break
            if subprocess.run(["hsetroot"] + picture, env=self.env, capture_output=True,
                              timeout=WAIT).returncode == 0:
                break
        self.spawn(["xcompmgr"], "xcompmgr.log")

    def _start_bus(self):
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                          "--print-address=1"], "bus.log", stdout=subprocess.PIPE)
        address = bus.stdout.readline().decode().strip()
        if not address:
            raise Failure("no session bus")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def start_modem(self, *options):
        """vocamo-modem-sim on a pseudo-terminal linked at self.modem_link."""
        index = sum(1 for p in self.procs if getattr(p, "role", "") == "modem")
        proc = self.spawn([self.modem_sim, "--link", self.modem_link] + list(options),
                          "modem%d.log" % index, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        proc.role = "modem"
        path = proc.stdout.readline().decode().strip()
        if not path:
            raise Failure("the modem simulator did not start: %s" % self.read_log(proc.log))
        self.modem = proc
        self.modem_port = path
        return proc

    def start_skype(self, *options):
        index = sum(1 for p in self.procs if getattr(p, "role", "") == "skype")
        args = [self.skype_sim]
        for f in self.friends:
            args += ["--friend", f]
        proc = self.spawn(args + list(options), "skype%d.log" % index,
                          stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        proc.role = "skype"
        first = proc.stdout.readline().decode()
        if not first.startswith("com.Skype.API"):
            raise Failure("the Skype simulator did not start: %s" % self.read_log(proc.log))
        self.skype = proc
        return proc

    def control(self, proc, line):
        """A line to a simulator, as its far end would act."""
        proc.stdin.write((line + "\n").encode())
        proc.stdin.flush()

    def start_app(self):
        env = dict(self.env)
        env["VOCAMO_MODEMS"] = self.modem_link
        self.app = self.spawn([self.vocamo], "vocamo.log", env=env)
        self.app_env = env
        # Qt's hidden client-leader window bears the program's name too: only
        # a window on screen is the phone's.
        self.wid = self.wait_for(lambda: self.find_window("Vocamo", visible=True),
                                 "the Vocamo window on screen")
        return self.app

    def second_start(self):
        """Runs vocamo again beside the running one; returns its exit code."""
        proc = self.spawn([self.vocamo], "vocamo-second.log", env=self.app_env)
        try:
            return proc.wait(WAIT)
        except subprocess.TimeoutExpired:
            raise Failure("a second start did not end")

    def quit_app(self):
        """F5, as a user ends the program; then the exit code."""
        try:
            if self.wid and self.is_viewable(self.wid):
                self.key("F5")
                return self.app.wait(WAIT)
        except (Failure, subprocess.TimeoutExpired):
            pass
        return self.end(self.app)

    # ---- the screen ----

    def xdo(self, *args, check=True):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                                capture_output=True, text=True, timeout=WAIT)
        if check and result.returncode != 0:
            raise Failure("xdotool %s: %s" % (" ".join(map(str, args)), result.stderr.strip()))
        return result.stdout

    def find_window(self, title, visible=False):
        args = ["search"] + (["--onlyvisible"] if visible else []) + ["--name", "^%s$" % title]
        ids = self.xdo(*args, check=False).split()
        return ids[0] if ids else None

    def is_viewable(self, wid):
        result = subprocess.run(["xwininfo", "-id", str(wid)], env=self.env,
                                capture_output=True, text=True, timeout=WAIT)
        return "IsViewable" in result.stdout

    def geometry(self, wid):
        """The window's top-left corner on the screen."""
        out = self.xdo("getwindowgeometry", "--shell", wid)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def move_window(self, x, y):
        self.xdo("windowmove", self.wid, x, y)
        self.wait_for(lambda: self.geometry(self.wid) == (x, y), "the window to move")

    def grab(self, save_as=None):
        """The screen; save_as names a PNG file in the session's folder (or
        anywhere, given a full path), without its extension."""
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                              env=self.env, capture_output=True, timeout=WAIT).stdout
        image = Image(data)
        if save_as:
            path = os.path.join(self.dir, save_as + ".png")
            result = subprocess.run(["convert", "ppm:-", path], input=data,
                                    capture_output=True, timeout=WAIT)
            if result.returncode != 0:
                raise Failure("could not save %s: %s" % (path, result.stderr.decode().strip()))
        return image

    def popup_rect(self):
        w, h = POPUP_SIZE
        return self.screen[0] - w, self.screen[1] - h, w, h

    def click(self, x, y, wid=None, repeat=1):
        """A click at (x, y) of the window: the pointer moves there first, as
        the program acts on the element it last saw the pointer over."""
        wid = wid or self.wid
        self.xdo("mousemove", "--window", wid, x - 3, y - 3)
        time.sleep(0.05)
        self.xdo("mousemove", "--window", wid, x, y)
        time.sleep(0.15)
        self.xdo("click", "--repeat", repeat, "--delay", 120, 1)

    def click_screen(self, x, y):
        self.xdo("mousemove", x - 3, y - 3)
        time.sleep(0.05)
        self.xdo("mousemove", x, y)
        time.sleep(0.15)
        self.xdo("click", 1)

    def key(self, *names, wid=None):
        wid = wid or self.wid
        self.xdo("windowfocus", "--sync", wid, check=False)
        for name in names:
            self.xdo("key", "--delay", 60, name)

    def type_text(self, text, wid):
        self.xdo("windowfocus", "--sync", wid, check=False)
        self.xdo("type", "--delay", 60, text)

    # ---- waiting ----

    def wait_for(self, predicate, what, timeout=None):
        """Polls predicate until it holds and returns its value; fails after
        timeout (WAIT) or as soon as the phone ends."""
        deadline = time.time() + (timeout or WAIT)
        while True:
            value = predicate()
            if value:
                return value
            if time.time() > deadline:
                raise Failure("timed out waiting for %s" % what)
            if self.app is not None and self.app.poll() is not None:
                raise Failure("vocamo ended (%s) while waiting for %s" % (self.app.returncode, what))
            time.sleep(0.2)

    def read_log(self, name):
        path = name if os.path.isabs(name) else os.path.join(self.dir, name)
        try:
            with open(path, encoding="utf-8", errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def mark(self, proc):
        """A place in a process's log: heard() can look only past it."""
        return len(self.read_log(proc.log))

    def heard(self, proc, text, since=0):
        """The process's log holds a line containing text (past since)."""
        return any(text in line for line in self.read_log(proc.log)[since:].splitlines())

    def wait_heard(self, proc, text, since=0, what=None):
        self.wait_for(lambda: self.heard(proc, text, since),
                      what or "%r in %s" % (text, os.path.basename(proc.log)))

    def settled(self, rect=None, quiet=0.6, timeout=None):
        """Waits until the screen (or rect of it) stops changing, then returns
        the grab: the popup slides and the lists scroll."""
        previous = self.grab()
        area = rect or (0, 0, previous.width, previous.height)
        still_since = time.time()
        deadline = time.time() + (timeout or WAIT)
        while time.time() < deadline:
            time.sleep(0.2)
            current = self.grab()
            if current.difference(previous, area) > 0:
                still_since = time.time()
            elif time.time() - still_since >= quiet:
                return current
            previous = current
        return previous
