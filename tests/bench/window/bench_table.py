#!/usr/bin/env python3
"""One table of every benchmark figure against its target.

    bench_table.py [--json OUT] [--markdown OUT] [--process FILE] RESULT.json ...

RESULT.json: Google Benchmark's JSON output of each bm_* executable;
--process: the figures of process_figures.py. --json writes everything
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
]

PROCESS_ROWS = [
    ("Resident memory after start-up, both simulators attached", "rss_after_startup_mb", "MB",
     "< 60 MB", lambda v: v < 60),
    ("Resident memory with 1,000 friends and 10,000 phonebook entries",
     "rss_with_1000_friends_10000_entries_mb", "MB", "< 60 MB", lambda v: v < 60),
    ("CPU time of an idle vocamo, both simulators attached", "idle_cpu_percent",
     "% of one core", "< 0.5 %", lambda v: v < 0.5),
    ("Wake-ups of an idle vocamo (voluntary context switches, all threads)",
     "wakeups_per_minute", "/min", "≤ 30 /min", lambda v: v <= 30),
]


NOTES = """
How the last four are measured (`tests/bench/window/process_figures.py`): the Release
`vocamo` is copied into a folder of its own with its Bookmark.ini, started on the offscreen
platform with `vocamo-modem-sim` on its port and `vocamo-skype-sim` on a private session bus,
and left until the simulator has been asked every friend's details, then 3 s more. Resident
memory is VmRSS. The idle minute starts 5 s later: CPU time is the sum of the threads'
`schedstat` run time (or the process's own tick count, when a thread that ended makes that
larger); wake-ups are the voluntary context switches summed over all threads (each is a sleep
that something ended). With nothing happening, two threads wake: the Skype worker for its pass
every 5 s, and the QtDBus thread that sends its PING. One PING in three asks for the client's
answer (an error there means access was withdrawn), which the QtDBus thread receives and the
worker reads at its next pass without waiting; the TAPI event thread waits for a line message
without a time-out, since closing the line ends that wait; the window thread sleeps.

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
            figure, verdict = number(value, unit), ("yes" if meets(value) else "**no**")
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
        with open(a.markdown, "w") as f:
            f.write("# Benchmarks\n\n")
            f.write(f"The latest figures of `scripts/bench`, {when}, Release build, on "
                    f"{platform.system()} {platform.machine()} with {cpus} CPUs at {mhz} MHz "
                    "(a shared machine: other work may run meanwhile). Targets are those of the issues "
                    "that introduced each benchmark.\n\n")
            f.write(table + "\n")
            f.write(NOTES)
            if "wakeups_by_thread" in process:
                f.write("\nWake-ups per minute by thread, idle (threads named by the process, "
                        "with their thread ids):\n\n")
                for name, count in sorted(process["wakeups_by_thread"].items(),
                                          key=lambda kv: -kv[1]):
                    f.write(f"- {name}: {count:.0f}\n")
    if missed:
        print(f"{missed} figure(s) miss their target")
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
