#!/usr/bin/env python3
"""What a running vocamo costs, with both simulators attached on the session
bus it runs in: resident memory after start-up, after 1,000 friends and
10,000 phonebook entries, and the CPU time and wake-ups of an idle minute.

    process_figures.py BUILD_DIR [--idle SECONDS] [--json FILE]

Wake-ups are the voluntary context switches of all the program's threads
(each one a sleep that something ended), from /proc/PID/task/*/status.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def thread_cpu_ns(pid):
    """Time on a CPU by thread, in nanoseconds, where the kernel keeps schedstat."""
    times = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                times[tid] = int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass  # a thread that ended meanwhile
    return times


def process_cpu_seconds(pid):
    """utime and stime of the whole process, ended threads included, in
    clock ticks."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15 of the whole line
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def idle_cpu_seconds(before, after):
    """CPU time between two readings of (thread_cpu_ns, process_cpu_seconds).
    The threads' sum is exact but misses a thread that ended in between;
    the process's ticks keep it but are coarse. The larger is the nearer."""
    threads = sum(ns - before[0].get(tid, 0) for tid, ns in after[0].items()) / 1e9
    return max(threads, after[1] - before[1], 0.0)


def thread_switches(pid):
    """Voluntary context switches by thread name, summed over every thread."""
    counts = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/comm") as f:
                name = f.read().strip()
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches:"):
                        label = "window thread" if tid == str(pid) else f"{name} {tid}"
                        counts[label] = int(line.split()[1])
        except OSError:
            pass  # a thread that ended meanwhile
    return counts


class Simulators:
    """vocamo-modem-sim and vocamo-skype-sim with `friends` friends, half of
    them online; counts the friends' last detail question as it comes."""

    def __init__(self, build, friends):
        tools = os.path.join(build, "tools")
        self.modem = subprocess.Popen(
            [os.path.join(tools, "vocamo-modem-sim", "vocamo-modem-sim")],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.port = self.modem.stdout.readline().strip()
        args = [os.path.join(tools, "vocamo-skype-sim", "vocamo-skype-sim")]
        for i in range(friends):
            args += ["--friend", f"friend.{i}:{'ONLINE' if i % 2 == 0 else 'OFFLINE'}:Friend {i}"]
        self.skype = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                      stderr=subprocess.PIPE, text=True)
        if not self.skype.stdout.readline().startswith("com.Skype.API"):
            raise RuntimeError("vocamo-skype-sim did not come up")
        self.friends = friends
        self.statuses_asked = 0
        threading.Thread(target=self._read_log, daemon=True).start()

    def _read_log(self):
        for line in self.skype.stderr:
            if line.startswith("<- GET USER") and line.rstrip().endswith("ONLINESTATUS"):
                self.statuses_asked += 1

    def details_done(self):
        return self.statuses_asked >= self.friends

    def stop(self):
        for p in (self.skype, self.modem):
            p.kill()
            p.wait()


def start_vocamo(build, folder, port, entries):
    shutil.copy(os.path.join(build, "vocamo"), os.path.join(folder, "vocamo"))
    with open(os.path.join(folder, "Bookmark.ini"), "w") as f:
        for i in range(entries):
            f.write(f"[Person {i}]\nPhone_Home=0221 55{i}\nPhone_Office=0300 {i}\n"
                    f"Phone_Mobile=0171 555 {i}\n")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", VOCAMO_MODEMS=port,
               XDG_RUNTIME_DIR=folder)
    return subprocess.Popen([os.path.join(folder, "vocamo")], env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def run(build, friends, entries, idle_seconds):
    figures = {}
    sims = Simulators(build, friends)
    folder = tempfile.mkdtemp(prefix="vocamo-figures-")
    vocamo = None
    try:
        vocamo = start_vocamo(build, folder, sims.port, entries)
        deadline = time.monotonic() + 120
        while not sims.details_done() and time.monotonic() < deadline:
            time.sleep(0.2)
        if not sims.details_done():
            raise RuntimeError(f"only {sims.statuses_asked} of {friends} friends' details asked")
        time.sleep(3)  # the answers, the rows and the paints that follow
        if vocamo.poll() is not None:
            raise RuntimeError("vocamo ended")
        figures["rss_mb"] = rss_mb(vocamo.pid)
        if idle_seconds > 0:
            time.sleep(5)
            cpu0 = thread_cpu_ns(vocamo.pid), process_cpu_seconds(vocamo.pid)
            sw0 = thread_switches(vocamo.pid)
            time.sleep(idle_seconds)
            cpu1 = thread_cpu_ns(vocamo.pid), process_cpu_seconds(vocamo.pid)
            sw1 = thread_switches(vocamo.pid)
            minutes = idle_seconds / 60.0
            figures["idle_cpu_percent"] = 100.0 * idle_cpu_seconds(cpu0, cpu1) / idle_seconds
            per_thread = {name: (sw1[name] - sw0.get(name, 0)) / minutes for name in sw1}
            figures["wakeups_per_minute"] = sum(per_thread.values())
            figures["wakeups_by_thread"] = {k: v for k, v in per_thread.items() if v > 0}
            figures["idle_seconds"] = idle_seconds
    finally:
        if vocamo:
            vocamo.terminate()
            try:
                vocamo.wait(10)
            except subprocess.TimeoutExpired:
                vocamo.kill()
                vocamo.wait()
        sims.stop()
        shutil.rmtree(folder, ignore_errors=True)
    return figures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--idle", type=float, default=60)
    parser.add_argument("--json")
    a = parser.parse_args()
    started = run(a.build, friends=3, entries=3, idle_seconds=a.idle)
    loaded = run(a.build, friends=1000, entries=10000, idle_seconds=0)
    figures = {
        "rss_after_startup_mb": started["rss_mb"],
        "rss_with_1000_friends_10000_entries_mb": loaded["rss_mb"],
    }
    for key in ("idle_cpu_percent", "wakeups_per_minute", "wakeups_by_thread", "idle_seconds"):
        if key in started:
            figures[key] = started[key]
    text = json.dumps(figures, indent=1)
    if a.json:
        with open(a.json, "w") as f:
            f.write(text)
    else:
        print(text)


if __name__ == "__main__":
    try:
        main()
    except RuntimeError as e:
        print(f"process_figures: {e}", file=sys.stderr)
        sys.exit(1)
