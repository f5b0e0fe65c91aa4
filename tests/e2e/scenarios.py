#!/usr/bin/env python3
"""End-to-end scenarios: usage scenarios.py BUILD_DIR SCENARIO.

Each scenario works the phone as a user would and checks what a user would
see: the phone window and the popup on the screen (compared coarsely with
what they showed before), whether the window is shown at all, and what the
simulated modem and Skype client were told.
"""

import os
import sys

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from vocamo_session import (BOOKMARK, CALL_END, EDITOR_APPLY, EDITOR_CLOSE,  # noqa: E402
                            EDITOR_HOME_BOX, EDITOR_NAME_BOX, EDITOR_NAMES, EDITOR_NEW,
                            MODEM_BUTTON, ROWS, SKYPE_BUTTON, Failure, center)

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

DISPLAY = (26, 445, 184, 20)


def row(i):
    return (45, 90 + 30 * i, 150, 24)


def second_line(i):
    # The call screen's row holds the number and, below it, the name.
    return (61, 90 + 30 * i + 14, 130, 12)


# ---- what the user sees, coarsely ----

class View:
    """One grab of the screen, read in the phone window's coordinates."""

    def __init__(self, session, image):
        self.s = session
        self.image = image
        self.origin = session.geometry(session.wid)

    def at(self, rect):
        return rect[0] + self.origin[0], rect[1] + self.origin[1], rect[2], rect[3]

    def shown(self, button):
        # A hidden line button leaves the dark, nearly flat frame behind it.
        return self.image.variety(self.at(button)) > 200

    def has_text(self, rect):
        return self.image.dark_share(self.at(rect)) > 0.005

    def like(self, other, rect, tolerance=0.03):
        return self.image.difference(other.image, self.at(rect)) <= tolerance

    def popup(self):
        """None when no popup shows; else "orange" (a call ringing) or
        "green" (a call dialled or connected), by its title bar."""
        x, y, w, h = self.s.popup_rect()
        if self.image.variety((x, y, w, h)) < 20:
            return None
        r, g, _ = self.image.mean((x + 20, y + 2, w - 40, 12))
        return "orange" if r > g + 30 else "green" if g > r + 30 else "other"


def view(s, name=None):
    return View(s, s.grab(name))


def until(s, what, check, timeout=None):
    """Grabs the screen until check(view) holds; returns that view."""
    found = []

    def probe():
        v = view(s)
        if check(v):
            found.append(v)
            return True
        return False

    s.wait_for(probe, what, timeout)
    return found[0]


def start(s, skype=True, modem_options=("--ring-interval", "1500")):
    s.start_modem(*modem_options)
    if skype:
        s.start_skype()
    s.start_app()
    # Away from the screen's edge, where the phonebook editor opens beside it.
    s.move_window(240, 60)
    s.wait_heard(s.modem, "AT+VCID=1", what="the modem line opened")
    until(s, "the phonebook on the modem line",
          lambda v: v.shown(MODEM_BUTTON) and v.has_text(row(2)))
    return View(s, s.settled())


def skype_ready(s):
    until(s, "the Skype line button", lambda v: v.shown(SKYPE_BUTTON))


def show_friends(s, modem_idle):
    s.click(*center(SKYPE_BUTTON))
    # Chloé stands third among the friends, Dr. Lopez in the phonebook.
    until(s, "the friends on the Skype line",
          lambda v: v.has_text(row(2)) and not v.like(modem_idle, row(2)))
    return View(s, s.settled())


def hidden(s):
    return not s.is_viewable(s.wid)


# ---- scenarios ----

def incoming_modem_call(s):
    """A call rings in, is answered by a click on the popup and ended with
    the call-end button."""
    idle = start(s)
    mark = s.mark(s.modem)
    s.control(s.modem, "ring 30 02215550123")
    ringing = until(s, "the ringing popup and the caller on the call screen",
                    lambda v: v.popup() == "orange" and v.has_text(second_line(0))
                    and not v.has_text(row(1)) and not v.has_text(row(2)))
    s.grab("ringing")
    if ringing.like(idle, CALL_END, 0.2):
        raise Failure("the call-end button is not lit while the call rings")

    x, y = center(s.popup_rect())
    s.click_screen(x, y)
    s.wait_heard(s.modem, "< AT+VLS=1", mark, "the call answered (AT+VLS=1)")
    s.wait_heard(s.modem, "< AT+VLS=7", mark, "the speakerphone on (AT+VLS=7)")
    until(s, "the popup of a connected call", lambda v: v.popup() == "green")
    s.grab("connected")

    mark = s.mark(s.modem)
    s.click(*center(CALL_END))
    s.wait_heard(s.modem, "< AT+VLS=0", mark, "the call dropped (AT+VLS=0)")
    until(s, "the popup gone and the phonebook back",
          lambda v: v.popup() is None and v.like(idle, ROWS) and v.like(idle, CALL_END, 0.05))
    if hidden(s):
        raise Failure("the window went away with the call")


def outgoing_modem_call_busy(s):
    """A number typed on the keyboard is dialled with Enter; the far end is
    busy, the line comes back idle."""
    idle = start(s)
    s.key("Delete")
    until(s, "an empty display", lambda v: not v.has_text(DISPLAY))
    s.key(*"0301234567")
    until(s, "the typed number on the display", lambda v: v.has_text(DISPLAY))
    mark = s.mark(s.modem)
    s.key("Return")
    s.wait_heard(s.modem, "< ATD0301234567", mark, "the number dialled")
    s.wait_for(lambda: hidden(s), "the window to hide for the call")
    until(s, "the popup of the dialled call", lambda v: v.popup() == "green")
    s.grab("dialling")

    mark = s.mark(s.modem)
    s.control(s.modem, "busy")
    s.wait_heard(s.modem, "> BUSY", mark)
    s.wait_heard(s.modem, "< AT+VCID=1", mark, "the line opened again after the busy call")
    until(s, "the popup gone", lambda v: v.popup() is None)



def skype_friend_call(s):
    """A friend called by a double click on the Skype line; the friend hangs
    up, and the phone knows the call is over."""
    modem_idle = start(s)
    skype_ready(s)
    friends = show_friends(s, modem_idle)
    mark = s.mark(s.skype)
    s.click(*center(row(0)), repeat=2)
    s.wait_heard(s.skype, "<- CALL anna.berger", mark, "the call to Anna placed")
    s.wait_for(lambda: hidden(s), "the window to hide for the call")
    until(s, "the popup of the Skype call", lambda v: v.popup() == "green")

    # The window logs each message with the state it meets it in: the
    # Skype state's news while dialling (6), then while connected (8).
    app_mark = s.mark(s.app)
    s.control(s.skype, "answer")
    s.wait_heard(s.app, "(1, 21) in state 6", app_mark, "the phone to hear the answer")
    app_mark = s.mark(s.app)
    s.control(s.skype, "hangup")
    s.wait_heard(s.app, "(1, 21) in state 8", app_mark, "the phone to hear the far end hang up")

    # Started again, the phone wakes the hidden one and ends. A call still
    # held would be ended by the window coming back; the phone heard the far
    # end hang up, so it has nothing left to end.
    if s.second_start() != 0:
        raise Failure("the second start did not end with 0")
    s.wait_for(lambda: not hidden(s), "the window back")
    windows = s.xdo("search", "--onlyvisible", "--name", "^Vocamo$", check=False).split()
    if len(windows) != 1:
        raise Failure("%d phone windows on the screen" % len(windows))
    until(s, "the friends list, idle", lambda v: v.like(friends, ROWS) and v.like(friends, CALL_END, 0.05))
    if s.heard(s.skype, "<- SET CALL", mark):
        raise Failure("the phone ended a call the friend had already ended")


def phonebook_editor(s):
    """The editor opened from the bookmark element; an entry added with
    Apply shows in its list at once and in the phone's list."""
    idle = start(s)
    if idle.has_text(row(3)):
        raise Failure("a fourth name before one was added")
    s.click(*center(BOOKMARK))
    editor = s.wait_for(lambda: s.find_window("Phonebook", visible=True), "the phonebook editor")
    ex, ey = s.geometry(editor)
    # Names are sorted; the fourth line of the list is empty with three.
    fourth = (ex + EDITOR_NAMES[0] + 3, ey + EDITOR_NAMES[1] + 38, 80, 10)
    before = s.settled()
    if before.dark_share(fourth) > 0.005:
        raise Failure("the editor lists a fourth name before one was added")

    s.click(*EDITOR_NEW, wid=editor)
    s.click(*EDITOR_NAME_BOX, wid=editor)
    s.type_text("Zoe Neumann", editor)
    s.click(*EDITOR_HOME_BOX, wid=editor)
    s.type_text("0401234567", editor)
    s.click(*EDITOR_APPLY, wid=editor)
    s.wait_for(lambda: s.grab().dark_share(fourth) > 0.005, "the new name in the editor's list")
    s.grab("applied")
    with open(s.phonebook_path, encoding="utf-8") as f:
        book = f.read()
    if "[Zoe Neumann]" not in book or "Phone_Home=0401234567" not in book:
        raise Failure("Bookmark.ini lacks the new entry:\n" + book)
    if not s.is_viewable(editor):
        raise Failure("Apply closed the editor")

    s.click(*EDITOR_CLOSE, wid=editor)
    s.wait_for(lambda: not s.is_viewable(editor), "the editor to close")
    until(s, "the new name in the phone's list", lambda v: v.has_text(row(3)))


SCENARIOS = {f.__name__: f for f in (incoming_modem_call, outgoing_modem_call_busy,
                                     skype_friend_call, phonebook_editor)}

if __name__ == "__main__":
    sys.exit(harness.run(SCENARIOS, sys.argv, phonebook=SAMPLE_PHONEBOOK))
