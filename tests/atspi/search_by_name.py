"""Ricerca as a screen reader meets it.

The real program runs on an X server of its own with the accessibility bus, and is driven only through its
AT-SPI tree, by the names a screen reader announces: the menu opens Ricerca, the section and the word are typed
into the boxes so named, the search button is pressed by its name, and the count heard under the article list
must be the number of articles the list really holds for that word (asked of prezzario-query on the same list);
the screen reader must be told that count as the article list's new description.

Run inside dbus-run-session, with Debian's python3 (pyatspi):
    dbus-run-session -- /usr/bin/python3 search_by_name.py PREZZARIO PREZZARIO_BUILD PREZZARIO_QUERY
"""

import csv
import io
import locale
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

# Common in the demo list's building works, and plain ASCII so that no input method is involved.
WORD = "calcestruzzo"

# Every wait has its limit; the whole run has one too, below CTest's, so that the clean-up always runs.
WAIT_SECONDS = 60
RUN_SECONDS = 420
COUNT = re.compile(r"^\(Numero di elementi trovati : (\d+)\)$")


class Failure(Exception):
    pass


def on_alarm(signum, frame):
    raise Failure(f"the run took more than {RUN_SECONDS} s")


def on_terminate(signum, frame):
    raise Failure("stopped from outside")


def wait_for(what, probe, seconds=WAIT_SECONDS, alive=None):
    from gi.repository import GLib

    deadline = time.monotonic() + seconds
    last_error = ""
    while True:
        if alive is not None:
            alive()
        # The tree changes while a window is built: an object gone in the middle of a walk means "not yet".
        try:
            found = probe()
        except GLib.Error as error:
            found, last_error = None, f" (last error: {error.message})"
        if found:
            return found
        if time.monotonic() > deadline:
            raise Failure(f"{what}: not there after {seconds} s{last_error}")
        time.sleep(0.5)


def italian_or_c():
    try:
        locale.setlocale(locale.LC_ALL, "it_IT.UTF-8")
        return "it_IT.UTF-8"
    except locale.Error:
        return "C.UTF-8"
    finally:
        locale.setlocale(locale.LC_ALL, "C")


class Session:
    """The processes of one run, each ended at the close, also when the run fails."""

    def __init__(self, work):
        self.work = work
        self.processes = []

    def start(self, argv, log_name, **options):
        log = open(os.path.join(self.work, log_name), "wb")
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                   start_new_session=True, **options)
        log.close()
        self.processes.append(process)
        return process

    def close(self):
        # The whole process group: the accessibility bus launcher starts its bus and registry daemon in it.
        for process in reversed(self.processes):
            for sig in (signal.SIGTERM, signal.SIGKILL):
                try:
                    os.killpg(process.pid, sig)
                except ProcessLookupError:
                    break
                try:
                    process.wait(timeout=10)
                    break
                except subprocess.TimeoutExpired:
                    continue
            process.poll()

    def log(self, log_name):
        path = os.path.join(self.work, log_name)
        if not os.path.exists(path):
            return ""
        with open(path, "rb") as f:
            return f.read().decode("utf-8", "replace")


def start_display(session):
    reader, writer = os.pipe()
    # -noreset: the bus launcher's passing connection would otherwise reset the server under the program's feet.
    session.start(["Xvfb", "-displayfd", str(writer), "-screen", "0", "1366x768x24", "-nolisten", "tcp", "-noreset"],
                  "xvfb.log", pass_fds=(writer,))
    os.close(writer)
    number = b""
    deadline = time.monotonic() + 30
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([reader], [], [], max(0.0, deadline - time.monotonic()))
        chunk = os.read(reader, 16) if ready else b""
        if not chunk:
            raise Failure("Xvfb gave no display number:\n" + session.log("xvfb.log"))
        number += chunk
    os.close(reader)
    return ":" + number.decode().strip()


def start_accessibility_bus(session, env):
    from gi.repository import Gio, GLib

    session.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], "at-spi.log", env=env)
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def address():
        # Without auto-start: asking early must not start a second launcher through D-Bus activation.
        try:
            reply = bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                                  GLib.VariantType("(s)"), Gio.DBusCallFlags.NO_AUTO_START, 5000, None)
            return reply.unpack()[0]
        except GLib.Error:
            return None

    return wait_for("the accessibility bus", address, 30)


def run_query(query, database, section):
    argv = [query, "--database", database, "search", "--text", WORD, "--levels", "articoli", "--section", section,
            "--format", "csv"]
    done = subprocess.run(argv, capture_output=True, timeout=WAIT_SECONDS)
    if done.returncode != 0:
        raise Failure(f"{' '.join(argv)}: status {done.returncode}\n{done.stderr.decode(errors='replace')}")
    rows = csv.DictReader(io.StringIO(done.stdout.decode()))
    return sum(1 for row in rows if row["livello"] == "articolo")


def drive(pyatspi, program, query, database):
    from gi.repository import Atspi, GLib

    # A search on the whole demo list under the sanitizers takes longer than the library's default wait.
    Atspi.set_timeout(WAIT_SECONDS * 1000, WAIT_SECONDS * 1000)

    def alive():
        if program.poll() is not None:
            raise Failure(f"the program ended with status {program.returncode}")

    def application():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == program.pid:
                return app
        return None

    app = wait_for("the program in the accessibility tree", application, alive=alive)
    # Names read once and kept would hide the counter's new text.
    app.set_cache_mask(Atspi.Cache.NONE)

    def find(root, role, name):
        return pyatspi.findDescendant(root, lambda node: node.getRole() == role and node.name == name)

    def needed(root, role, name, where):
        return wait_for(f"{Atspi.role_get_name(role)} named «{name}» in {where}", lambda: find(root, role, name),
                        alive=alive)

    def press(node, what):
        actions = node.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        for i, action in enumerate(names):
            if action.lower() in ("press", "click", "toggle"):
                if not actions.doAction(i):
                    raise Failure(f"{what}: the action «{action}» was refused")
                return
        raise Failure(f"{what}: no press action among {names}")

    def type_into(node, text, what):
        if not node.queryEditableText().setTextContents(text):
            raise Failure(f"{what}: the text was refused")
        heard = node.queryText().getText(0, -1)
        if heard != text:
            raise Failure(f"{what}: reads «{heard}» after typing «{text}»")

    press(needed(app, pyatspi.ROLE_MENU_ITEM, "Ricerca", "the main window's menu"), "menu item «Ricerca»")
    window = needed(app, pyatspi.ROLE_FRAME, "Ricerca", "the program")

    # The section as the user types it into the section box: the first section the box offers.
    sections = needed(window, pyatspi.ROLE_COMBO_BOX, "Sezione", "Ricerca")
    entries = [item.name for item in pyatspi.findAllDescendants(sections,
                                                                 lambda n: n.getRole() == pyatspi.ROLE_LIST_ITEM)]
    offered = [entry for entry in entries if re.match(r"^\d\d - ", entry)]
    if not offered:
        raise Failure(f"the section box offers no section: {entries}")
    type_into(needed(sections, pyatspi.ROLE_TEXT, "Sezione", "the section box"), offered[0], "the section box")

    # One of four search modes: heard as an option, not as a box to tick beside the others.
    press(needed(window, pyatspi.ROLE_RADIO_BUTTON, "testo:", "Ricerca"), "option «testo:»")
    press(needed(window, pyatspi.ROLE_CHECK_BOX, "articoli", "Ricerca"), "check box «articoli»")
    type_into(needed(window, pyatspi.ROLE_TEXT, "Testo da cercare", "Ricerca"), WORD, "the text box")
    # What a screen reader is told as the counts change: the lists' new descriptions, as events.
    told = []

    def on_description(event):
        told.append((event.source.name, event.source.description))

    listener = Atspi.EventListener.new(on_description)
    listener.register("object:property-change:accessible-description")
    press(needed(window, pyatspi.ROLE_PUSH_BUTTON, "Esegui Ricerca", "Ricerca"), "button «Esegui Ricerca»")

    articles = needed(window, pyatspi.ROLE_TREE, "Elenco degli articoli trovati", "Ricerca")

    # The count read right after the list it counts, as the screen reader reads the window: the first counter
    # among the list's following siblings, before the next list (the subarticles' count comes after theirs).
    def counter():
        siblings = list(articles.parent)
        for node in siblings[siblings.index(articles) + 1:]:
            if node is None:
                continue
            if node.getRole() == pyatspi.ROLE_TREE:
                break
            match = node.getRole() == pyatspi.ROLE_LABEL and COUNT.match(node.name or "")
            if match:
                return int(match.group(1))
        return None

    heard = wait_for("the count of the articles found beside their list", counter, alive=alive)
    expected = run_query(query, database, offered[0][:2])
    if expected == 0:
        raise Failure(f"the demo list has no article with «{WORD}» in section {offered[0][:2]}: choose another word")
    if heard != expected:
        raise Failure(f"the window counts {heard} articles with «{WORD}»; the list holds {expected}")
    # Heard on the list itself too, for a user who stays on it: its description is its count.
    if articles.description != f"(Numero di elementi trovati : {heard})":
        raise Failure(f"the article list describes itself as «{articles.description}», not by its count")
    told_count = ("Elenco degli articoli trovati", f"(Numero di elementi trovati : {heard})")

    def was_told():
        GLib.MainContext.default().iteration(False)
        return told_count in told

    wait_for("the new count told to the screen reader as the article list's description", was_told, alive=alive)
    listener.deregister("object:property-change:accessible-description")
    rows = articles.queryTable().nRows
    if rows != heard:
        raise Failure(f"the count says {heard}, the article list reads {rows} rows")
    alive()
    print(f"section «{offered[0]}», «{WORD}»: {heard} articles heard, {expected} in the list")


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    program_path, builder, query = sys.argv[1:]
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        sys.exit("no session bus: run under dbus-run-session")
    signal.signal(signal.SIGALRM, on_alarm)
    signal.signal(signal.SIGTERM, on_terminate)
    signal.alarm(RUN_SECONDS)

    work = tempfile.mkdtemp(prefix="prezzario-atspi-")
    session = Session(work)
    program = None
    try:
        env = dict(os.environ)
        for name in ("HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
            env[name] = os.path.join(work, name.lower())
            os.makedirs(env[name], mode=0o700)
        env["LANG"] = italian_or_c()
        env.pop("LC_ALL", None)
        env.pop("SESSION_MANAGER", None)

        database = os.path.join(work, "Prezzario.mdb")
        made = subprocess.run([builder, "--demo", "--out", database], capture_output=True, timeout=300)
        if made.returncode != 0:
            raise Failure(f"prezzario-build --demo: status {made.returncode}\n{made.stderr.decode(errors='replace')}")

        env["DISPLAY"] = start_display(session)
        # The program and pyatspi both find the bus by asking the session bus for it, as on a desktop; given in
        # AT_SPI_BUS_ADDRESS instead, the program never registers with the registry.
        start_accessibility_bus(session, env)
        os.environ.update(env)
        import pyatspi

        env.update(QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        program = session.start([program_path, "--database", database], "prezzario.log", env=env)
        drive(pyatspi, program, query, database)
    except Exception as failure:
        # A D-Bus call that timed out (GLib.Error) fails the run as a missing control does.
        if not isinstance(failure, Failure):
            traceback.print_exc()
        print(f"FAILED: {failure}", file=sys.stderr)
        if program is not None:
            print("---- the program's output\n" + session.log("prezzario.log"), file=sys.stderr)
        return 1
    finally:
        signal.alarm(0)
        session.close()
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
