#!/usr/bin/env python3
"""What a running vocamo costs, measured from outside on an X server of its
own (Xvfb; the offscreen platform where there is none), each simulator on a
session bus of its own:

- first frame: from starting the program until it says "first frame"
  (VOCAMO_EXIT_AFTER_FIRST_FRAME), beside a trivial Qt 6 window of the same
  size started the same way (the floor); both simulators, with 3 entries,
  with 10,000 entries, and with 1,000 friends; five interleaved rounds;
- resident memory (VmRSS) after start-up with both simulators, and with
  10,000 entries and 1,000 friends once every friend's details are in;
  that start must leave Bookmark.ini's bytes and modification time as
  they were;
- idle CPU time and wake-ups, with both simulators and with neither (no
  modem, no client on the bus), side by side: the rate over five windows
  after the program has settled.

    start_figures.py BUILD_DIR [--settle S] [--window S] [--json FILE]

Wake-ups are voluntary context switches summed over the program's threads
(each is a sleep that something ended), from /proc/PID/task/*/status; CPU
time is the threads' schedstat run time. A thread that ends within a
window takes its count with it.
"""
import argparse
import hashlib
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROUNDS = 5


class Display:
    """Xvfb on a display it picks itself, or None for the offscreen platform."""

    def __init__(self):
        self.server = None
        self.env = {"QT_QPA_PLATFORM": "offscreen"}
        if not shutil.which("Xvfb"):
            return
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        number = self.server.stdout.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env = {"QT_QPA_PLATFORM": "xcb", "DISPLAY": f":{number}"}

    def name(self):
        return "Xvfb (xcb)" if self.server else "offscreen"

    def stop(self):
        if self.server:
            self.server.kill()
            self.server.wait()


class Bus:
    """A session bus of its own."""

    def __init__(self):
        self.daemon = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.daemon.stdout.readline().strip()
        if not self.address:
            raise RuntimeError("dbus-daemon did not start")

    def stop(self):
        self.daemon.kill()
        self.daemon.wait()


class SkypeSim:
    """vocamo-skype-sim with `friends` friends, half of them online; counts
    the friends' last detail question as it comes."""

    def __init__(self, build, bus, friends):
        args = [os.path.join(build, "tools", "vocamo-skype-sim", "vocamo-skype-sim")]
        for i in range(friends):
            args += ["--friend", f"friend.{i}:{'ONLINE' if i % 2 == 0 else 'OFFLINE'}:Friend {i}"]
        env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus.address)
        self.process = subprocess.Popen(args, env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        if not self.process.stdout.readline().startswith("com.Skype.API"):
            raise RuntimeError("vocamo-skype-sim did not come up")
        self.friends = friends
        self.asked = 0
        threading.Thread(target=self._read_log, daemon=True).start()

    def _read_log(self):
        for line in self.process.stderr:
            if line.startswith("<- GET USER") and line.rstrip().endswith("ONLINESTATUS"):
                self.asked += 1

    def details_done(self):
        return self.asked >= self.friends

    def stop(self):
        self.process.kill()
        self.process.wait()


class ModemSim:
    def __init__(self, build):
        self.process = subprocess.Popen(
            [os.path.join(build, "tools", "vocamo-modem-sim", "vocamo-modem-sim")],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.port = self.process.stdout.readline().strip()

    def stop(self):
        self.process.kill()
        self.process.wait()


class Setup:
    """One configuration: a folder with the program and its phonebook, the
    bus it runs on, the modem port."""

    def __init__(self, build, root, name, entries, bus, port, display):
        self.folder = os.path.join(root, name)
        os.makedirs(self.folder, mode=0o700)
        self.program = os.path.join(self.folder, "vocamo")
        shutil.copy(os.path.join(build, "vocamo"), self.program)
        self.phonebook = os.path.join(self.folder, "Bookmark.ini")
        with open(self.phonebook, "w") as f:
            for i in range(entries):
                f.write(f"[Person {i}]\nPhone_Home=0221 55{i}\nPhone_Office=0300 {i}\n"
                        f"Phone_Mobile=0171 555 {i}\n")
        self.env = dict(os.environ, VOCAMO_MODEMS=port, XDG_RUNTIME_DIR=self.folder,
                        XDG_DATA_HOME=self.folder, DBUS_SESSION_BUS_ADDRESS=bus.address,
                        **display.env)

    def start(self, first_frame_only=False):
        env = dict(self.env)
        if first_frame_only:
            env["VOCAMO_EXIT_AFTER_FIRST_FRAME"] = "1"
        return subprocess.Popen([self.program], env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)


def first_frame_ms(start):
    """Starts a program that says "first frame" once painted and ends; the
    milliseconds from its start until it said so."""
    began = time.monotonic()
    process = start()
    line = process.stdout.readline()
    ms = (time.monotonic() - began) * 1000
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
    if "first frame" not in line:
        raise RuntimeError("no first frame")
    return ms


def floor_start(build, display):
    program = os.path.join(build, "tests", "bench", "start", "bench_floor_window")
    env = dict(os.environ, **display.env)
    return lambda: subprocess.Popen([program], env=env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)


def rss_mib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def threads(pid):
    """(voluntary context switches, run time in ns) by thread label."""
    found = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/comm") as f:
                name = f.read().strip()
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                ns = int(f.read().split()[0])
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                switches = next(int(line.split()[1]) for line in f
                                if line.startswith("voluntary_ctxt_switches:"))
        except (OSError, ValueError, StopIteration):
            continue  # a thread that ended meanwhile
        label = "window thread" if tid == str(pid) else f"{name} {tid}"
        found[label] = (switches, ns)
    return found


def wait_for(done, seconds, what):
    deadline = time.monotonic() + seconds
    while not done():
        if time.monotonic() > deadline:
            raise RuntimeError(f"{what} within {seconds} s")
        time.sleep(0.1)


def file_state(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest(), os.stat(path).st_mtime_ns


def stop(process):
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def measure(build, settle, window):
    figures = {}
    root = tempfile.mkdtemp(prefix="vocamo-start-")
    buses, sims, running = [], [], []
    display = Display()
    try:
        figures["platform"] = display.name()
        both_bus, big_bus, none_bus = Bus(), Bus(), Bus()
        buses += [both_bus, big_bus, none_bus]
        modem, big_modem = ModemSim(build), ModemSim(build)
        sims += [modem, big_modem]
        small_sim = SkypeSim(build, both_bus, 3)
        big_sim = SkypeSim(build, big_bus, 1000)
        sims += [small_sim, big_sim]
        both = Setup(build, root, "both", 3, both_bus, modem.port, display)
        entries = Setup(build, root, "entries", 10000, both_bus, modem.port, display)
        friends = Setup(build, root, "friends", 3, big_bus, big_modem.port, display)
        loaded = Setup(build, root, "loaded", 10000, big_bus, big_modem.port, display)
        none = Setup(build, root, "none", 3, none_bus, "/nonexistent/ttyACM9", display)

        # First frames, interleaved so that a busy moment of the machine
        # falls on every configuration alike.
        starts = {"floor": floor_start(build, display), "both": lambda: both.start(True),
                  "entries": lambda: entries.start(True), "friends": lambda: friends.start(True)}
        times = {name: [] for name in starts}
        for _ in range(ROUNDS):
            for name, start in starts.items():
                times[name].append(first_frame_ms(start))
        for name, values in times.items():
            figures[f"first_frame_{name}_ms"] = statistics.median(values)

        # 10,000 entries and 1,000 friends: memory once all is in, and the
        # phonebook as it was.
        before = file_state(loaded.phonebook)
        process = loaded.start()
        running.append(process)
        wait_for(big_sim.details_done, 120, "not every friend's details were asked")
        time.sleep(3)  # the answers, the rows and the paints that follow
        figures["rss_with_1000_friends_10000_entries_mb"] = rss_mib(process.pid)
        stop(process)
        running.remove(process)
        figures["phonebook_unchanged"] = file_state(loaded.phonebook) == before

        # Idle, with both lines and with neither, side by side.
        idle = {"both": both.start(), "none": none.start()}
        running += idle.values()
        wait_for(small_sim.details_done, 60, "the friends' details were not asked")
        time.sleep(3)
        figures["rss_after_startup_mb"] = rss_mib(idle["both"].pid)
        time.sleep(settle)
        # The rate over all five windows, not their median: a period longer
        # than a window (the modem line's 30 s retry) counts in full.
        wakes = {name: {} for name in idle}
        cpu_ns = {name: 0 for name in idle}
        last = {name: threads(p.pid) for name, p in idle.items()}
        for _ in range(ROUNDS):
            time.sleep(window)
            for name, p in idle.items():
                now = threads(p.pid)
                for k, (switches, ns) in now.items():
                    before = last[name].get(k, (0, 0))
                    wakes[name][k] = wakes[name].get(k, 0) + switches - before[0]
                    cpu_ns[name] += ns - before[1]
                last[name] = now
        minutes = ROUNDS * window / 60.0
        for name in idle:
            figures[f"wakeups_{name}_per_minute"] = sum(wakes[name].values()) / minutes
            figures[f"idle_cpu_{name}_ms_per_minute"] = cpu_ns[name] / 1e6 / minutes
            figures[f"wakeups_{name}_by_thread"] = {
                k: v / minutes for k, v in sorted(wakes[name].items()) if v}
        figures["idle_window_s"] = window
        figures["idle_settle_s"] = settle
    finally:
        for process in running:
            stop(process)
        for sim in sims:
            sim.stop()
        for bus in buses:
            bus.stop()
        display.stop()
        shutil.rmtree(root, ignore_errors=True)
    return figures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--settle", type=float, default=35,
                        help="seconds between start-up and the first idle window")
    parser.add_argument("--window", type=float, default=15, help="seconds of each idle window")
    parser.add_argument("--json")
    a = parser.parse_args()
    text = json.dumps(measure(a.build, a.settle, a.window), indent=1)
    if a.json:
        with open(a.json, "w") as f:
            f.write(text)
    else:
        print(text)


if __name__ == "__main__":
    try:
        main()
    except RuntimeError as e:
        print(f"start_figures: {e}", file=sys.stderr)
        sys.exit(1)
