#!/usr/bin/env python3
"""One table of every benchmark figure against its target.

    bench_table.py [--json OUT] [--markdown OUT] [--process FILE] RESULT.json ...

RESULT.json: Google Benchmark's JSON output of each bm_* executable;
--process: the figures of tests/bench/start/start_figures.py. --json writes everything
merged (Google Benchmark's "benchmarks" list, and "process").
"""
import argparse
import datetime
import json
import platform


def ms(entry):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[entry.get("time_unit", "ns")]
    return entry["real_time"] * scale


def find(benchmarks, run_name, aggregate=None):
    """The entry of that run (its name up to the first '/' options), or the
    named aggregate of its repetitions."""
    for b in benchmarks:
        name = b.get("run_name", b["name"])
        if name != run_name and not name.startswith(run_name + "/"):
            continue
        if aggregate is None and b.get("run_type", "iteration") == "iteration":
            return b
        if aggregate is not None and b.get("aggregate_name") == aggregate:
            return b
    return None


# label, how the figure is read, unit, target, whether the figure meets it
ROWS = [
    ("Phonebook load, 10,000 entries (`BM_PhonebookLoad/10000`)",
     lambda b: ms(find(b, "BM_PhonebookLoad/10000")), "ms", "≤ 100 ms", lambda v: v <= 100),
    ("Phonebook save of one entry among 10,000 (`BM_PhonebookSaveEntry/10000`)",
     lambda b: ms(find(b, "BM_PhonebookSaveEntry/10000")), "ms", "≤ 50 ms", lambda v: v <= 50),
    ("Ring to EVT_OFFERING, median of 5 (`BM_RingToEvent`)",
     lambda b: ms(find(b, "BM_RingToEvent", "median")), "ms", "≤ 5 ms", lambda v: v <= 5),
    ("Open the line, median of 5 (`BM_OpenLine`)",
     lambda b: ms(find(b, "BM_OpenLine", "median")), "ms", "≤ 50 ms", lambda v: v <= 50),
    ("Close the line, median of 5 (`BM_CloseLine`)",
     lambda b: ms(find(b, "BM_CloseLine", "median")), "ms", "≤ 20 ms", lambda v: v <= 20),
    ("Hang-up: controller reset, 100 entries (`BM_ControllerReset`)",
     lambda b: ms(find(b, "BM_ControllerReset")), "ms", "≤ 100 ms", lambda v: v <= 100),
    ("Skype notifications parsed (`BM_ParseNotification`)",
     lambda b: find(b, "BM_ParseNotification")["items_per_second"], "/s", "≥ 1,000,000 /s",
     lambda v: v >= 1e6),
    ("1,000 friends' details over D-Bus, total (`BM_FriendDetails/1000`)",
     lambda b: find(b, "BM_FriendDetails/1000")["total_ms"], "ms", "≤ 1,000 ms",
     lambda v: v <= 1000),
    ("1,000 friends' details, longest window-thread block (`BM_FriendDetails/1000`)",
     lambda b: find(b, "BM_FriendDetails/1000")["longest_block_ms"], "ms", "≤ 100 ms",
     lambda v: v <= 100),
    ("Window composition, median of 5 (`BM_ComposeWindow`)",
     lambda b: ms(find(b, "BM_ComposeWindow", "median")), "ms", "≤ 1 ms", lambda v: v <= 1),
    ("Decoded skin images (`BM_ComposeWindow`)",
     lambda b: find(b, "BM_ComposeWindow", "median")["decoded_image_bytes"] / 2**20, "MB",
     "≤ 4 MB", lambda v: v <= 4),
    ("Composition with all 50 rows shown, median of 5 (`BM_ComposeWindowAllRowsShown`)",
     lambda b: ms(find(b, "BM_ComposeWindowAllRowsShown", "median")), "ms", "—", None),
    ("1,000 friends, 50 presence changes/s: list shown complete, median of 3 "
     "(`BM_FriendsList/1000`)",
     lambda b: find(b, "BM_FriendsList/1000")["complete_ms"], "ms", "≤ 1,500 ms",
     lambda v: v <= 1500),
    ("1,000 friends, 50 presence changes/s: longest wait of an input event "
     "(`BM_FriendsList/1000`)",
     lambda b: find(b, "BM_FriendsList/1000")["longest_input_wait_ms"], "ms", "< 50 ms",
     lambda v: v < 50),
    ("2,000 friends, 50 presence changes/s: list shown complete, median of 3 "
     "(`BM_FriendsList/2000`)",
     lambda b: find(b, "BM_FriendsList/2000")["complete_ms"], "ms", "—", None),
    ("2,000 friends, 50 presence changes/s: longest wait of an input event "
     "(`BM_FriendsList/2000`)",
     lambda b: find(b, "BM_FriendsList/2000")["longest_input_wait_ms"], "ms", "< 50 ms",
     lambda v: v < 50),
    ("Process start to first frame, median of 15 (`BM_StartToFirstFrame`)",
     lambda b: find(b, "BM_StartToFirstFrame")["median_ms"], "ms", "≤ 300 ms",
     lambda v: v <= 300),
    ("Digit key to recomposed frame, median of 200 (`BM_KeyToFrame`)",
     lambda b: find(b, "BM_KeyToFrame")["median_ms"], "ms", "≤ 5 ms", lambda v: v <= 5),
    ("100,000 entries: first frame to every row made (`BM_BigPhonebook/100000`)",
     lambda b: find(b, "BM_BigPhonebook/100000")["rows_ms"], "ms", "—", None),
    ("100,000 entries: longest wait of an input event after the first frame "
     "(`BM_BigPhonebook/100000`)",
     lambda b: find(b, "BM_BigPhonebook/100000")["longest_input_wait_ms"], "ms", "≤ 1,000 ms",
     lambda v: v <= 1000),
    ("100,000 entries: caller ID of the last entry to its name (`BM_BigPhonebook/100000`)",
     lambda b: find(b, "BM_BigPhonebook/100000")["caller_name_ms"], "ms", "≤ 100 ms",
     lambda v: v <= 100),
    ("Import of 5,000 vCards into the phonebook (`BM_ImportVcf/5000`)",
     lambda b: ms(find(b, "BM_ImportVcf/5000")), "ms", "≤ 1,000 ms", lambda v: v <= 1000),
    ("Call history: first page of 100,000 calls (`BM_HistoryRecent/100000`)",
     lambda b: ms(find(b, "BM_HistoryRecent/100000")), "ms", "≤ 50 ms", lambda v: v <= 50),
    ("Recent list of 100,000 calls: F3 to its rows painted, first opening "
     "(`BM_RecentOpen/100000`)",
     lambda b: find(b, "BM_RecentOpen/100000")["first_ms"], "ms", "≤ 50 ms", lambda v: v <= 50),
    ("A call recorded: added window-thread time of its messages (`BM_RecordCall`)",
     lambda b: find(b, "BM_RecordCall")["added_ms"], "ms", "≤ 2 ms", lambda v: v <= 2),
    ("Call history: one call recorded, begin to end (`BM_HistoryRecord`)",
     lambda b: ms(find(b, "BM_HistoryRecord")), "ms", "≤ 2 ms", lambda v: v <= 2),
]

# label, key in the figures of start_figures.py, unit, target, whether the
# figure meets it (given the figure and all the figures)
PROCESS_ROWS = [
    ("First frame from the program's start, trivial Qt 6 window (the floor), median of 5",
     "first_frame_floor_ms", "ms", "—", None),
    ("First frame from the program's start, both simulators, 3 entries, median of 5",
     "first_frame_both_ms", "ms", "≤ 2 × floor", lambda v, p: v <= 2 * p["first_frame_floor_ms"]),
    ("First frame from the program's start, both simulators, 10,000 entries, median of 5",
     "first_frame_entries_ms", "ms", "≤ 2 × floor",
     lambda v, p: v <= 2 * p["first_frame_floor_ms"]),
    ("First frame from the program's start, both simulators, 1,000 friends, median of 5",
     "first_frame_friends_ms", "ms", "≤ 2 × floor",
     lambda v, p: v <= 2 * p["first_frame_floor_ms"]),
    ("Resident memory after start-up, both simulators attached", "rss_after_startup_mb", "MiB",
     "< 60 MiB", lambda v, p: v < 60),
    ("Resident memory with 1,000 friends and 10,000 phonebook entries",
     "rss_with_1000_friends_10000_entries_mb", "MiB", "< 45 MiB", lambda v, p: v < 45),
    ("Bookmark.ini's bytes and modification time after a start with 10,000 entries",
     "phonebook_unchanged", "", "unchanged", lambda v, p: v),
    ("Idle CPU time, both simulators attached", "idle_cpu_both_ms_per_minute", "ms/min",
     "< 20 ms/min", lambda v, p: v < 20),
    ("Idle CPU time, no modem and no Skype client", "idle_cpu_none_ms_per_minute", "ms/min",
     "< 20 ms/min", lambda v, p: v < 20),
    ("Idle wake-ups, both simulators attached", "wakeups_both_per_minute", "/min", "≤ 30 /min",
     lambda v, p: v <= 30),
    ("Idle wake-ups, no modem and no Skype client", "wakeups_none_per_minute", "/min",
     "≤ 5 /min", lambda v, p: v <= 5),
]


NOTES = """
How the rows from "First frame" on are measured (`tests/bench/start/start_figures.py`): the
Release `vocamo` is copied into a folder of its own per configuration with its Bookmark.ini and
run on an X server of its own (Xvfb; the offscreen platform where there is none), with
`vocamo-modem-sim` on its port and `vocamo-skype-sim` (3 friends, or 1,000) on a private
session bus. First frame: from starting the program until it says it has painted its window
(`VOCAMO_EXIT_AFTER_FIRST_FRAME`), beside `bench_floor_window`, a trivial Qt 6 window of the
same size started the same way; five interleaved rounds. Resident memory is VmRSS, once the
simulator has been asked every friend's details and 3 s more. Idle: both simulators, and
neither (no modem, no client on the bus), side by side; after the start-up work and a settling
time past the 30 s after which Qt's idle pool threads end, five windows: CPU time is the sum of
the threads' `schedstat` run time, wake-ups are the voluntary context switches summed over all
threads (each is a sleep that something ended), both as the rate over all five windows, so a
period longer than one window is counted in full. A thread that ends within a window takes its
count with it. The modem line's 30 s retry is a timer of the window thread, one wake-up each.

How `BM_FriendsList` is measured (`tests/bench/window/WindowBench.cpp`): the window runs in
the benchmark on the offscreen platform, no modem, with `vocamo-skype-sim --friends N --churn 50`
on a private bus (three in four friends online; 50 presence changes a second). The time runs
from the friends list's arrival at the bridge until every friend's details are in and the
window has a row, with its name, for each friend online. Meanwhile a thread posts a key event
into the window thread's queue every 2 ms; the longest any of them waited to be handled is the
longest the window did not answer input.
"""


def number(value, unit):
    if unit == "/s":
        return f"{value:,.0f} /s"
    if value >= 100:
        return f"{value:,.0f} {unit}"
    if value >= 1:
        return f"{value:.1f} {unit}"
    return f"{value:.3f} {unit}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--json")
    parser.add_argument("--markdown")
    parser.add_argument("--process")
    parser.add_argument("results", nargs="*")
    a = parser.parse_args()

    merged = {"context": None, "benchmarks": []}
    for path in a.results:
        try:
            with open(path) as f:
                d = json.load(f)
        except (OSError, ValueError):
            continue
        merged["context"] = merged["context"] or d.get("context")
        merged["benchmarks"] += d.get("benchmarks", [])
    process = {}
    if a.process:
        try:
            with open(a.process) as f:
                process = json.load(f)
        except (OSError, ValueError):
            pass
    merged["process"] = process

    lines = ["| Measure | Target | Figure | Met |", "|---|---|---|---|"]
    missed = 0
    for label, read, unit, target, meets in ROWS:
        try:
            value = read(merged["benchmarks"])
            figure = number(value, unit)
            verdict = "—" if meets is None else ("yes" if meets(value) else "**no**")
        except (TypeError, KeyError, AttributeError):
            figure, verdict = "not measured", "—"
        missed += verdict == "**no**"
        lines.append(f"| {label} | {target} | {figure} | {verdict} |")
    for label, key, unit, target, meets in PROCESS_ROWS:
        if key in process:
            value = process[key]
            if isinstance(value, bool):
                figure = "unchanged" if value else "rewritten"
            else:
                figure = number(value, unit)
            verdict = "—" if meets is None else ("yes" if meets(value, process) else "**no**")
        else:
            figure, verdict = "not measured", "—"
        missed += verdict == "**no**"
        lines.append(f"| {label} | {target} | {figure} | {verdict} |")
    table = "\n".join(lines)
    print(table)

    if a.json:
        with open(a.json, "w") as f:
            json.dump(merged, f, indent=1)
    if a.markdown:
        ctx = merged["context"] or {}
        when = datetime.date.today().isoformat()
        cpus = ctx.get("num_cpus", "?")
        mhz = ctx.get("mhz_per_cpu", "?")
        model = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
                      if line.startswith("model name")), "unknown CPU")
        with open(a.markdown, "w") as f:
            f.write("# Benchmarks\n\n")
            f.write(f"The latest figures of `scripts/bench`, {when}, Release build, on "
                    f"{platform.system()} {platform.machine()}, {model}, {cpus} CPUs at {mhz} MHz "
                    "(a shared machine: other work may run meanwhile). Targets are those of the issues "
                    "that introduced each benchmark.\n\n")
            f.write(table + "\n")
            f.write(NOTES)
            if "platform" in process:
                f.write(f"\nThe start-up and idle figures ran on {process['platform']}.\n")
            for config, title in (("both", "both simulators attached"),
                                  ("none", "no modem and no Skype client")):
                threads = process.get(f"wakeups_{config}_by_thread")
                if threads is None:
                    continue
                f.write(f"\nIdle wake-ups per minute by thread, {title} (threads named by the "
                        "process, with their thread ids):\n\n")
                for name, count in sorted(threads.items(), key=lambda kv: -kv[1]):
                    f.write(f"- {name}: {count:.1f}\n")
                if not threads:
                    f.write("- none\n")
    if missed:
        print(f"{missed} figure(s) miss their target")
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
