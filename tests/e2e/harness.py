"""ctest's side of the end-to-end scenarios: the session itself is
tools/vocamo-session; here are the exit codes, the sanitizers' options and
the rule that the phone must end cleanly."""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "vocamo-session"))

from vocamo_session import Failure, Session, Skip  # noqa: E402

SKIP = 77


def add_tsan_suppressions(session):
    """The suite's suppressions and this folder's, in one file: TSan reads
    only one."""
    options = session.env.get("TSAN_OPTIONS", "").split(":")
    base = [o.split("=", 1)[1] for o in options if o.startswith("suppressions=")]
    sources = (base or [os.path.join(HERE, "..", "tsan.supp")]) + [os.path.join(HERE, "tsan.supp")]
    merged = os.path.join(session.dir, "tsan.supp")
    with open(merged, "w") as out:
        for source in sources:
            with open(source) as f:
                out.write(f.read() + "\n")
    options = [o for o in options if o and not o.startswith("suppressions=")]
    session.env["TSAN_OPTIONS"] = ":".join(options + ["suppressions=" + merged])


def finish(session):
    """Ends the phone as a user does (F5, the window shown first) and wants
    exit code 0: a sanitizer report on the way out fails the test."""
    app = session.app
    if app is not None and app.poll() is None:
        if not session.is_viewable(session.wid):
            session.second_start()
            session.wait_for(lambda: session.is_viewable(session.wid), "the window shown to end it")
        code = session.quit_app()
    else:
        code = app.returncode if app is not None else 0
    if code != 0:
        raise Failure("vocamo ended with %s" % code)
    for log in ("vocamo.log", "vocamo-second.log"):
        text = session.read_log(log)
        if "Sanitizer" in text or "runtime error:" in text:
            raise Failure("a sanitizer report in %s" % log)


def run(scenarios, argv, **session_options):
    """ctest entry: harness.run({name: function}, sys.argv, phonebook=...)."""
    if len(argv) != 3 or argv[2] not in scenarios:
        print("usage: %s BUILD_DIR SCENARIO (%s)" % (argv[0], ", ".join(sorted(scenarios))))
        return 2
    build_dir, name = argv[1], argv[2]
    session = None
    try:
        options = dict(session_options, **getattr(scenarios[name], "session_options", {}))
        session = Session(name, build_dir, **options, label="e2e",
                          work_base=os.path.join(os.path.abspath(build_dir), "tests", "e2e", "work"),
                          keep=bool(os.environ.get("VOCAMO_E2E_KEEP")))
        if "thread" in os.environ.get("VOCAMO_SANITIZE", ""):
            add_tsan_suppressions(session)
        scenarios[name](session)
        finish(session)
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
