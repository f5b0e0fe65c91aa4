#!/usr/bin/env python3
"""demo.py BUILD_DIR: the phone against the simulated modem and Skype client,
on the session bus it was started on (scripts/demo runs it). With a display
the phone opens there and the terminal plays the far end; without one the
scenario runs on a virtual screen and is photographed into demo-shots/.
VOCAMO_DEMO_KEEP=1 keeps the logs."""

import os
import select
import signal
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import vocamo_session  # noqa: E402
from vocamo_session import CALL_END, RECENT_BUTTON, Failure, Session, Skip, center  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
CALLER = "02215550123"  # Anna Berger in the sample phonebook
FRIENDS = vocamo_session.FRIENDS + ["echo123:ONLINE:Echo Sound Test"]

HELP = """demo: the phone is up. Dial on it, choose a line with the arrow keys, hang up
      with the red handset. Play the far end by typing here:
  ring [NUMBER]         a call comes in on the modem (Anna Berger's by default)
  answer | busy | hangup    the modem's far end answers, is busy, hangs up
  skype HANDLE          a Skype friend calls (anna.berger, jonas.k, chloe.m)
  skype answer | skype hangup | skype offline | skype online
  quit                  end the demo (F5 on the phone does too)
In a few seconds Anna Berger calls."""


def command(s, line):
    """One line typed by the far end; False on quit."""
    word, rest = (line.split(None, 1) + ["", ""])[:2]
    rest = rest.strip()
    if word == "":
        pass
    elif word == "ring":
        s.control(s.modem, "ring 6 " + (rest or CALLER))
    elif word in ("answer", "busy", "hangup", "noanswer", "unplug"):
        s.control(s.modem, word)
    elif word == "skype":
        if rest in ("answer", "hangup", "online", "offline", "refuse"):
            s.control(s.skype, rest)
        elif rest == "":
            print("demo: skype HANDLE | answer | hangup | online | offline")
        else:
            s.control(s.skype, "incoming " + rest)
    elif word in ("quit", "exit"):
        return False
    else:
        print("demo: ring [NUMBER] | answer | busy | hangup | skype HANDLE | skype answer"
              " | skype hangup | quit")
    return True


def play(s):
    """The terminal plays the far end until quit or the phone ends."""
    print(HELP, flush=True)
    stdin = sys.stdin.fileno()
    pending = b""
    quiet = 0
    while s.app.poll() is None:
        if not select.select([stdin], [], [], 1)[0]:
            # Four quiet seconds after the start, the first call comes in.
            quiet += 1
            if quiet == 4:
                s.control(s.modem, "ring 4 " + CALLER)
            continue
        chunk = os.read(stdin, 4096)
        if not chunk:
            # No more input (not a terminal): ring once, run until the phone ends.
            if quiet < 4:
                time.sleep(4)
                s.control(s.modem, "ring 4 " + CALLER)
            s.app.wait()
            return
        pending += chunk
        while b"\n" in pending:
            line, pending = pending.split(b"\n", 1)
            if not command(s, line.decode(errors="replace")):
                return


def photograph(s, shots):
    """One pass through the scenario on the virtual screen, photographed."""
    os.makedirs(shots, exist_ok=True)

    def shot(name):
        s.grab(os.path.join(shots, name))
        print("demo: %s.png" % os.path.join(shots, name), flush=True)

    # The pauses let the screen settle into what a person would see.
    s.move_window(120, 60)
    s.wait_heard(s.skype, "ONLINESTATUS", what="the Skype client's friends")
    time.sleep(1.5)
    shot("idle")

    # The Skype line and its friends, then back to the modem line.
    s.key("Left")
    time.sleep(1)
    shot("friends")
    s.key("Right")
    time.sleep(0.5)

    # A caller from the phonebook; the popup names the caller at its next
    # refresh, 4.5 s after it first shows.
    s.control(s.modem, "ring 10 " + CALLER)
    s.wait_heard(s.modem, "NMBR = ", what="the caller's number")
    time.sleep(5.5)
    shot("ringing")

    # Answer by clicking the popup at the bottom right of the screen.
    s.click_screen(*center(s.popup_rect()))
    s.wait_heard(s.modem, "AT+VLS=7", what="the call to be answered")
    time.sleep(1.5)
    shot("call")

    # Hang up with the call-end handset.
    s.click(*center(CALL_END))
    s.wait_heard(s.modem, "AT+VLS=0", what="the call to end")
    time.sleep(1)

    # A call nobody answers is missed; the clock (or F3) shows it in the
    # Recent list, in red.
    s.control(s.modem, "ring 10 " + CALLER)
    s.wait_heard(s.modem, "NMBR = ", what="the caller's number")
    time.sleep(1)
    s.click(*center(CALL_END))
    time.sleep(5)  # the popup tells of the missed call, then slides away
    s.click(*center(RECENT_BUTTON))
    time.sleep(1)
    shot("recent")
    s.key("Escape")

    # End the phone with F5 as a user would.
    s.key("F5")
    try:
        s.app.wait(10)
    except subprocess.TimeoutExpired:
        raise Failure("the phone did not end on F5")
    print("demo: done")


def main(build):
    # A sample phonebook beside the program, never over the user's own.
    phonebook = os.path.join(build, "Bookmark.ini")
    if not os.path.exists(phonebook):
        shutil.copy(os.path.join(ROOT, "desktop", "Bookmark.ini"), phonebook)
        print("demo: a sample phonebook is in %s" % phonebook)

    headless = not os.environ.get("DISPLAY")
    s = None
    try:
        s = Session("vocamo-demo", build, friends=FRIENDS, private=False, own_display=headless,
                    compositor=headless, own_bus=False, label="demo",
                    keep=bool(os.environ.get("VOCAMO_DEMO_KEEP")))
        # Dialled calls answer by themselves: the modem after 4 s, Skype after 3 s.
        s.start_modem("--ring-interval", "2500", "--answer-after", "4000")
        s.start_skype("--answer-after", "3000")
        print("demo: modem simulator on %s, Skype simulator on the session bus" % s.modem_port,
              flush=True)
        try:
            s.start_app()
        except Failure:
            if s.app is not None and s.app.poll() is not None:
                print("demo: a Vocamo already running on this display is woken instead;\n"
                      "      end it with F5 and run the demo again", file=sys.stderr)
            raise
        s.wait_heard(s.modem, "AT+VCID=1", what="the modem line")
        if headless:
            photograph(s, os.path.join(ROOT, "demo-shots"))
        else:
            play(s)
        return 0
    except (Failure, Skip) as error:
        print("demo: %s" % error, file=sys.stderr)
        if s is not None:
            s.failed = True
        return 1
    except KeyboardInterrupt:
        return 130
    finally:
        if s is not None:
            # The phone first, as a signal: F5 would go to whichever window
            # has the focus on the user's display.
            s.end(s.app)
            s.close()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print("usage: demo.py BUILD_DIR", file=sys.stderr)
        sys.exit(2)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    sys.exit(main(os.path.abspath(sys.argv[1])))
