"""The phone as a user meets it: the real vocamo program, the two simulators
and a session bus of their own, on an X server of their own (Xvfb, no window
manager), driven with xdotool and checked by what shows on the screen and by
what the simulators heard.

Every process is started with a parent-death signal as well as ended in
Session.close(), so a test killed by its time-out leaves nothing behind.
"""

import ctypes
import os
import shutil
import signal
import subprocess
import tempfile
import time

SKIP = 77

# Where things are in the 360 x 550 window (top-left corners, sizes).
CALL_END = (128, 484, 41, 41)
BOOKMARK = (196, 488, 29, 30)
SKYPE_BUTTON = (12, 44, 107, 23)
MODEM_BUTTON = (119, 44, 106, 23)
ROWS = (45, 90, 180, 120)  # the first four contact rows
POPUP_SIZE = (147, 121)

# The phonebook editor (360 x 200).
EDITOR_NAMES = (40, 20, 105, 140)
EDITOR_NAME_BOX = (225, 33)
EDITOR_HOME_BOX = (225, 63)
EDITOR_NEW = (44, 176)
EDITOR_APPLY = (159, 176)
EDITOR_CLOSE = (322, 23)

SAMPLE_PHONEBOOK = """[Anna Berger]
Phone_Home=02215550123
Phone_Office=
Phone_Mobile=01715550199
[Jonas Keller]
Phone_Home=
Phone_Office=0895550147
Phone_Mobile=01605550111
[Dr. Maria Lopez]
Phone_Home=0305550178
Phone_Office=0305550100
Phone_Mobile=
"""

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
    pass


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
            while not data[end:end + 1].isspace():
                end += 1
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
    def __init__(self, name, build_dir, phonebook=SAMPLE_PHONEBOOK, friends=FRIENDS):
        build_dir = os.path.abspath(build_dir)
        self.name = name
        self.build_dir = build_dir
        self.procs = []
        self.failed = False
        for tool in ("Xvfb", "xdotool", "xwininfo", "import", "dbus-daemon"):
            if shutil.which(tool) is None:
                raise Skip("%s is missing (scripts/setup installs it)" % tool)
        base = os.path.join(build_dir, "tests", "e2e", "work")
        os.makedirs(base, exist_ok=True)
        self.dir = tempfile.mkdtemp(prefix=name + "-", dir=base)
        os.chmod(self.dir, 0o700)
        self.runtime = os.path.join(self.dir, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.env = dict(os.environ)
        self.env["XDG_RUNTIME_DIR"] = self.runtime
        self.env["QT_QPA_PLATFORM"] = "xcb"
        self.env["QT_LOGGING_RULES"] = "vocamo.*=true"
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("SESSION_MANAGER", None)
        if "thread" in os.environ.get("VOCAMO_SANITIZE", ""):
            self._add_tsan_suppressions()

        # The program reads Bookmark.ini and RING.WAV beside itself, so it
        # runs from a folder of its own: the build's phonebook stays untouched
        # and tests running side by side do not share one.
        self.app_dir = os.path.join(self.dir, "app")
        os.mkdir(self.app_dir)
        self.vocamo = os.path.join(self.app_dir, "vocamo")
        source = os.path.join(build_dir, "vocamo")
        try:
            os.link(source, self.vocamo)
        except OSError:
            shutil.copy2(source, self.vocamo)
        shutil.copy2(os.path.join(build_dir, "RING.WAV"), os.path.join(self.app_dir, "RING.WAV"))
        self.phonebook_path = os.path.join(self.app_dir, "Bookmark.ini")
        if phonebook is not None:
            with open(self.phonebook_path, "w", encoding="utf-8") as f:
                f.write(phonebook)
        self.friends = friends
        self.modem_sim = os.path.join(build_dir, "tools", "vocamo-modem-sim", "vocamo-modem-sim")
        self.skype_sim = os.path.join(build_dir, "tools", "vocamo-skype-sim", "vocamo-skype-sim")
        self.modem = None
        self.skype = None
        self.app = None
        self.wid = None
        self.modem_link = os.path.join(self.dir, "modem")
        try:
            self._start_x()
            self._start_bus()
        except BaseException:
            self.failed = True
            self.close()
            raise

    def _add_tsan_suppressions(self):
        """The suite's suppressions and this folder's, in one file: TSan
        reads only one."""
        here = os.path.dirname(os.path.abspath(__file__))
        options = self.env.get("TSAN_OPTIONS", "").split(":")
        base = [o.split("=", 1)[1] for o in options if o.startswith("suppressions=")]
        sources = (base or [os.path.join(here, "..", "tsan.supp")]) + [os.path.join(here, "tsan.supp")]
        merged = os.path.join(self.dir, "tsan.supp")
        with open(merged, "w") as out:
            for source in sources:
                with open(source) as f:
                    out.write(f.read() + "\n")
        options = [o for o in options if o and not o.startswith("suppressions=")]
        self.env["TSAN_OPTIONS"] = ":".join(options + ["suppressions=" + merged])

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
        if self.failed or os.environ.get("VOCAMO_E2E_KEEP"):
            print("e2e: screenshots and logs kept in %s" % self.dir)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)

    def _start_x(self):
        read_fd, write_fd = os.pipe()
        log_file = open(os.path.join(self.dir, "xvfb.log"), "ab")
        # -displayfd picks a free display number and tells it: no races with
        # other servers started beside this one.
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp", "-noreset", "-br"],
            pass_fds=(write_fd,), stdout=log_file, stderr=log_file, preexec_fn=_die_with_parent)
        log_file.close()
        self.procs.append(self.xvfb)
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
        self.screen = (1024, 768)

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
        proc.stdin.write((line + "\n").encode())
        proc.stdin.flush()

    def start_app(self):
        env = dict(self.env)
        env["VOCAMO_MODEMS"] = self.modem_link
        self.app = self.spawn([self.vocamo], "vocamo.log", env=env)
        self.app_env = env
        self.wid = self.wait_for(lambda: self.find_window("Vocamo"), "the Vocamo window")
        self.wait_for(lambda: self.is_viewable(self.wid), "the Vocamo window on screen")
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

    def finish(self):
        """Ends the phone as a user does (F5, the window shown first) and
        wants exit code 0: a sanitizer report on the way out fails the test."""
        if self.app is not None and self.app.poll() is None:
            if not self.is_viewable(self.wid):
                self.second_start()
                self.wait_for(lambda: self.is_viewable(self.wid), "the window shown to end it")
            code = self.quit_app()
        else:
            code = self.app.returncode if self.app is not None else 0
        if code != 0:
            raise Failure("vocamo ended with %s" % code)
        for log in ("vocamo.log", "vocamo-second.log"):
            text = self.read_log(log)
            if "Sanitizer" in text or "runtime error:" in text:
                raise Failure("a sanitizer report in %s" % log)

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

    def grab(self, save_as=None):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                              env=self.env, capture_output=True, timeout=WAIT).stdout
        image = Image(data)
        if save_as:
            subprocess.run(["convert", "ppm:-", os.path.join(self.dir, save_as + ".png")],
                           input=data, capture_output=True, timeout=WAIT)
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

    # ---- waiting and checking ----

    def wait_for(self, predicate, what, timeout=None):
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
        """A place in the simulator's log: heard() can look only past it."""
        return len(self.read_log(proc.log))

    def heard(self, proc, text, since=0):
        """The simulator's log holds a line containing text (past since)."""
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


def run(scenarios, argv):
    """ctest entry: harness.run({name: function}, sys.argv)."""
    if len(argv) != 3 or argv[2] not in scenarios:
        print("usage: %s BUILD_DIR SCENARIO (%s)" % (argv[0], ", ".join(sorted(scenarios))))
        return 2
    build_dir, name = argv[1], argv[2]
    session = None
    try:
        session = Session(name, build_dir, **getattr(scenarios[name], "session_options", {}))
        scenarios[name](session)
        session.finish()
        print("e2e: %s passed" % name)
        return 0
    except Skip as skip:
        print("e2e: %s skipped: %s" % (name, skip))
        return SKIP
    except Failure as failure:
        print("e2e: %s FAILED: %s" % (name, failure))
        if session is not None:
            session.failed = True
            try:
                session.grab("failure")
            except Exception:  # the display may be what failed
                pass
            for log in ("vocamo.log", "modem0.log", "skype0.log"):
                text = session.read_log(log)
                if text:
                    print("---- %s (last lines)\n%s" % (log, "\n".join(text.splitlines()[-40:])))
        return 1
    finally:
        if session is not None:
            session.close()
