#!/usr/bin/env python3
"""End-to-end tests: the real velmora.exe under Wine on the virtual display,
driven from outside like a user (xdotool: function keys, typing into the
dialogs, Enter, Escape, a toolbar button, menu items) and read back from the
screen by e2e_checker.exe, which compares the pixels the program drew with the
expected lines rendered in the same font.

The expected values are the worked examples of the method: the simply
supported beam and its mid-span, the cantilever, two spans, the beam with a
hinge, and the refusal of a sixth condition.

usage: e2e.py --wine-run tools/wine-run --velmora velmora.exe
              --checker e2e_checker.exe SCENARIO [--screenshot FILE.png]
"""
import argparse
import os
import subprocess
import sys
import time

LEFT_END = "linkes Tr\u00e4gerende"
SPRING = "elastisches Lager"
BEAM = "Tr\u00e4gerabschnitt"
POINT_LOAD = "Einzellast"
KIND = "Zwischenbed./rechtes Tr\u00e4gerende"
INTERMEDIATE = "Zwischenbedingung"
RIGHT_END = "rechtes Tr\u00e4gerende"
BOX = "VELMORA"

# Control ids of the dialogs (resources/ids.h).
LEFT_HINGED, LEFT_FREE, LEFT_CLAMPED = 310, 320, 330
SPRING_C = 350
LOAD_FORCE, LOAD_MOMENT, LOAD_VALUE = 360, 370, 400
SECTION_EI, SECTION_HAS_LOAD, SECTION_Q, SECTION_QS, SECTION_LENGTH = 410, 420, 430, 440, 450
KIND_INTERMEDIATE, KIND_RIGHT_END = 480, 490
MID_SUPPORT, MID_HINGE = 500, 510
RIGHT_HINGED, RIGHT_FREE, RIGHT_CLAMPED = 520, 530, 540
RIGHT_HINGED_M, RIGHT_FREE_M, RIGHT_FREE_Q = 550, 560, 570


STARTED = time.monotonic()


class Failure(Exception):
    pass


class Session:
    """One run of velmora.exe, with the checker beside it."""

    def __init__(self, args, minimised=False):
        self.args = args
        self.solved = False
        if minimised:
            # As from a shortcut set to start minimised; "start /wait" hands
            # the program's exit code back.
            folder, exe = os.path.split(os.path.abspath(args.velmora))
            self.program = subprocess.Popen(
                [os.path.abspath(args.wine_run), "start", "/min", "/wait", exe], cwd=folder)
        else:
            self.program = subprocess.Popen([args.wine_run, args.velmora])
        self.checker = subprocess.Popen([args.wine_run, args.checker],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        origin = self.ask("find").split()
        self.client = tuple(int(v) for v in origin)
        self.window = self.x_window("^VELMORA-Reduktionsverfahren$")
        # The user clicks into the window first, so it has the keyboard.
        self.xdotool("windowfocus", "--sync", self.window)

    def stop(self):
        if self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        if self.checker.poll() is None:
            try:
                self.checker.stdin.write(b"quit\n")
                self.checker.stdin.close()
                self.checker.wait(timeout=20)
            except (OSError, subprocess.TimeoutExpired):
                self.checker.kill()

    # -- plumbing ----------------------------------------------------------
    def ask(self, command):
        began = time.monotonic()
        self.checker.stdin.write((command + "\n").encode("cp1252"))
        self.checker.stdin.flush()
        answer = self.checker.stdout.readline().decode("cp1252").strip()
        print(f"  {command} -> {answer}  [{time.monotonic() - began:.1f} s, at {time.monotonic() - STARTED:.1f}]", flush=True)
        if not answer.startswith("ok"):
            raise Failure(f"{command}: {answer or 'the checker stopped'}")
        return answer[2:].strip()

    @staticmethod
    def xdotool(*words):
        subprocess.run(["xdotool", *words], check=True)

    def x_window(self, name):
        for _ in range(100):
            found = subprocess.run(["xdotool", "search", "--name", name],
                                   capture_output=True, text=True).stdout.split()
            if found:
                return found[0]
            time.sleep(0.1)
        raise Failure(f"no X window named {name}")

    # -- what a user does ----------------------------------------------------
    def key(self, *keys):
        self.xdotool("key", "--delay", "60", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "60", text)

    def click_at(self, x, y):
        self.xdotool("mousemove", str(x), str(y), "click", "1")

    def click(self, title, control):
        x, y = self.ask(f"control {control} {title}").split()
        self.click_at(x, y)

    def fill(self, title, control, text):
        """Clicks into the field, selects what it holds and types over it."""
        self.click(title, control)
        self.key("End", "shift+Home")
        self.type(text)

    def set_box(self, title, control, wanted):
        if self.ask(f"checked {control} {title}") != ("1" if wanted else "0"):
            self.click(title, control)

    def opens(self, title):
        self.ask(f"wait-dialog {title}")

    def confirm(self, title):
        self.key("Return")
        self.ask(f"wait-gone {title}")

    def escape(self, title):
        self.key("Escape")
        self.ask(f"wait-gone {title}")

    def menu(self, popup, item):
        """A menu item by its mnemonics: Alt and the popup's letter, then the
        item's letter."""
        self.key(f"alt+{popup}")
        self.key(item)

    def button(self, index):
        x, y = self.ask(f"button {index}").split()
        self.click_at(x, y)

    # -- what the window shows -----------------------------------------------
    def status(self, text):
        band = "orange" if self.solved else "yellow"
        self.ask(f"text 10 80 120 {band} blue {text}")

    def results(self, w, psi, m, q):
        self.ask(f"results {w} {psi} {m} {q}")

    # -- the seven actions, the way a user goes through their dialogs -------
    def left_end(self, choice=LEFT_HINGED, via=("key", "F1")):
        self.start(via)
        self.opens(LEFT_END)
        self.click(LEFT_END, choice)
        self.confirm(LEFT_END)
        self.status("linkes Tr\u00e4gerende definiert")

    def beam(self, length, stiffness, q=None, qs=None, via=("key", "F3")):
        self.start(via)
        self.opens(BEAM)
        self.fill(BEAM, SECTION_LENGTH, length)
        self.fill(BEAM, SECTION_EI, stiffness)
        self.set_box(BEAM, SECTION_HAS_LOAD, q is not None)
        if q is not None:
            self.fill(BEAM, SECTION_Q, q)
            self.fill(BEAM, SECTION_QS, qs)
        self.confirm(BEAM)
        self.status("Tr\u00e4gerabschnitt definiert")

    def point_load(self, kind, value):
        self.key("F4")
        self.opens(POINT_LOAD)
        self.click(POINT_LOAD, kind)
        self.fill(POINT_LOAD, LOAD_VALUE, value)
        self.confirm(POINT_LOAD)
        self.status("Einzellast definiert")

    def intermediate(self, kind, refused=False):
        self.key("F6")
        self.opens(KIND)
        self.click(KIND, KIND_INTERMEDIATE)
        self.confirm(KIND)
        self.opens(INTERMEDIATE)
        self.click(INTERMEDIATE, kind)
        self.key("Return")
        if refused:
            return self.refusal("Bedingung")
        self.ask(f"wait-gone {INTERMEDIATE}")
        self.status("Zwischenbedingung definiert")

    def right_end(self, kind, fields=(), refused=False):
        self.key("F6")
        self.opens(KIND)
        self.click(KIND, KIND_RIGHT_END)
        self.confirm(KIND)
        self.opens(RIGHT_END)
        self.click(RIGHT_END, kind)
        for control, text in fields:
            self.fill(RIGHT_END, control, text)
        self.key("Return")
        if refused:
            return self.refusal("Bedingung")
        self.ask(f"wait-gone {RIGHT_END}")
        self.solved = True
        self.status("rechtes Tr\u00e4gerende definiert")

    def compute(self, w, psi, m, q, via=("key", "F7")):
        self.start(via)
        self.results(w, psi, m, q)

    def start(self, via):
        how, what = via
        if how == "key":
            self.key(what)
        elif how == "menu":
            self.menu(*what)
        else:
            self.button(what)

    def refusal(self, word):
        """The engine refused: a message box owned by the main window."""
        self.opens(BOX)
        self.ask(f"owner {BOX}")
        text = self.ask(f"message {BOX}")
        if word not in text:
            raise Failure(f"the refusal does not speak of {word}: {text}")
        self.confirm(BOX)

    def quit_by_menu(self):
        """Datei / Ende, first answered with Cancel, then with OK."""
        self.menu("d", "e")
        self.opens(BOX)
        if self.ask(f"message {BOX}") != "VELMORA beenden ?":
            raise Failure("not the exit question")
        self.escape(BOX)
        self.ask("find")  # still running
        self.menu("d", "e")
        self.opens(BOX)
        self.confirm(BOX)
        self.ask("exited")
        code = self.program.wait(timeout=30)
        if code != 0:
            raise Failure(f"exit code {code}")
        print("  exit code 0", flush=True)

    def screenshot(self, path):
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", self.window],
                                  capture_output=True, text=True, check=True).stdout
        g = dict(line.split("=") for line in geometry.split())
        subprocess.run(["import", "-window", "root", "-crop",
                        f"{g['WIDTH']}x{g['HEIGHT']}+{g['X']}+{g['Y']}", "+repage", path],
                       check=True)
        print(f"  screenshot {path}", flush=True)


# ---------------------------------------------------------------------------
# Scenarios.

def typical_use(s):
    """Simply supported beam, l = 1, EI = 1, q = 1: the right end, then a
    repeated run to mid-span. F1 comes from the menu, the mid-span F7 from the
    toolbar; a cancelled F2 and the Info box change nothing."""
    s.left_end(LEFT_HINGED, via=("menu", ("a", "l")))
    s.beam("1", "1", "1", "0")
    s.right_end(RIGHT_HINGED, [(RIGHT_HINGED_M, "0")])
    s.compute("0", "-0.0416667", "0", "-0.5")
    if s.args.screenshot:
        s.screenshot(s.args.screenshot)
    s.left_end(LEFT_HINGED)
    s.beam("0.5", "1", "1", "0")
    s.compute("0.0130208", "0", "0.125", "0", via=("button", 6))
    # F2 typed into and abandoned with Escape: the repaint prints the last
    # line again, which after F7 is the Q line.
    s.key("F2")
    s.opens(SPRING)
    s.fill(SPRING, SPRING_C, "2.385")
    s.escape(SPRING)
    s.status("Q  = 0")
    s.menu("d", "i")
    s.opens(BOX)
    if not s.ask(f"message {BOX}").startswith("\u00dcbertragungsprogramm VELMORA fuer Windows"):
        raise Failure("not the Info box")
    s.confirm(BOX)
    s.status("Q  = 0")
    s.quit_by_menu()


def cantilever(s):
    """Clamped at the left, a force 1 at the free right end. The program was
    started minimised and opens in the normal show state all the same."""
    s.ask("normal")
    s.left_end(LEFT_CLAMPED)
    s.beam("1", "1")
    s.point_load(LOAD_FORCE, "1")
    s.right_end(RIGHT_FREE, [(RIGHT_FREE_M, "0"), (RIGHT_FREE_Q, "0")])
    s.compute("0.333333", "0.5", "0", "0")
    s.quit_by_menu()


def two_spans(s):
    """Two spans of 1 with a support between, then a repeated run to just
    left of the middle support."""
    s.left_end(LEFT_HINGED)
    s.beam("1", "1", "1", "0")
    s.intermediate(MID_SUPPORT)
    s.beam("1", "1", "1", "0")
    s.right_end(RIGHT_HINGED, [(RIGHT_HINGED_M, "0")])
    s.compute("0", "-0.0208333", "0", "-0.375")
    s.left_end(LEFT_HINGED)
    s.beam("1", "1", "1", "0")
    s.compute("0", "0", "-0.125", "-0.625")
    s.quit_by_menu()


def hinge(s):
    """Clamped, a hinge after the first span, hinged at the right; repeated
    runs to both sides of the hinge."""
    s.left_end(LEFT_CLAMPED)
    s.beam("1", "1", "1", "0")
    s.intermediate(MID_HINGE)
    s.beam("1", "1", "1", "0")
    s.right_end(RIGHT_HINGED, [(RIGHT_HINGED_M, "0")])
    s.compute("0", "-0.333333", "0", "-0.5")
    s.left_end(LEFT_CLAMPED)
    s.beam("1", "1", "1", "0")
    s.compute("0.291667", "0.416667", "0", "0.5")
    s.intermediate(MID_HINGE)
    s.compute("0.291667", "-0.25", "0", "0.5")
    s.quit_by_menu()


def sixth_condition(s):
    """Five supports fill the factor list: a sixth condition and the
    evaluation after the fifth are refused with a message, apply and print
    nothing, and the status line keeps its text. Shift+F4 is no accelerator."""
    s.left_end(LEFT_HINGED)
    for _ in range(5):
        s.beam("1", "1")
        s.intermediate(MID_SUPPORT)
    s.beam("1", "1")
    s.intermediate(MID_SUPPORT, refused=True)
    s.status("Tr\u00e4gerabschnitt definiert")
    s.right_end(RIGHT_HINGED, [(RIGHT_HINGED_M, "0")], refused=True)
    s.status("Tr\u00e4gerabschnitt definiert")  # still yellow: nothing was solved
    s.key("F7")
    s.refusal("Berechnung")
    # Shift+F4 is no accelerator; F2 after it opens its dialog, so by then
    # the refused F7 has long returned: no panel, no point-load dialog.
    s.key("shift+F4", "F2")
    s.opens(SPRING)
    s.ask(f"absent {POINT_LOAD}")
    s.ask("no-panel")
    s.escape(SPRING)
    # The repaint after the cancelled F2 shows the status as it stands: no
    # refused element claimed, still yellow.
    s.status("Tr\u00e4gerabschnitt definiert")
    s.quit_by_menu()


SCENARIOS = {f.__name__: f for f in (typical_use, cantilever, two_spans, hinge, sixth_condition)}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--velmora", required=True)
    parser.add_argument("--checker", required=True)
    parser.add_argument("--screenshot")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    print(f"scenario {args.scenario}", flush=True)
    session = Session(args, minimised=args.scenario == "cantilever")
    try:
        SCENARIOS[args.scenario](session)
    except Failure as failure:
        print(f"FAILED: {failure}", flush=True)
        return 1
    finally:
        session.stop()
    print("passed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
