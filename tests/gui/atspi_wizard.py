#!/usr/bin/python3
"""The desktop program driven through the accessibility bus (AT-SPI), as a
screen reader, a voice-control tool or a UI test drives it.

Starts `nodewright --demo` with accessibility on and, only through the bus:
opens the port, attaches the simulated adapters with the bench panel's radio
buttons, runs a 1:2 wizard and, while its first step runs, presses Check OLMA
and Start. Passes when the presses made during the step were refused (the
buttons said so on the bus, no report box opened, the step ended with its own
message), the wizard formed the network, and every message the wizard showed
was announced. Prints what a screen reader was told.

Needs an X server and a D-Bus session with the accessibility bus services
(Debian: xvfb, dbus-daemon, at-spi2-core, python3-pyatspi):

    xvfb-run -a dbus-run-session -- /usr/bin/python3 tests/gui/atspi_wizard.py build/app/nodewright

Exit status 0 when it passed, 1 with the reason on stderr when not.
"""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

STEP_TIMEOUT = 30.0  # a wizard step at the adapter's real pauses takes a few seconds

PORT_OPEN = "Port Open"
CONNECT_MASTER_NEXT = "Connect master to the serial port and push next button."
CONNECT_SLAVE1 = "Connect slave1 to a serial device and push next button."
CONNECT_SLAVE2 = "Connect slave2 to a serial device and push start button."
CONNECT_MASTER_LAST = "Connect master to a serial device and push start button."
SETTING_NOW = "Setting now. Wait please."
COMPLETE = "SUCCESS: Multi setting complete."


class Failed(Exception):
    pass


def pump(seconds):
    """Lets the bus deliver its events for `seconds`."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(what, predicate, timeout, watch=None):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if watch:
            watch()
        if predicate():
            return
        pump(0.05)
    raise Failed(f"waited {timeout:.0f} s for {what}")


def find(root, role, name):
    found = pyatspi.findDescendant(
        root, lambda a: a is not None and a.getRole() == role and a.name == name)
    if found is None:
        raise Failed(f"no {role} named {name!r}")
    return found


def action_index(obj, action):
    acts = obj.queryAction()
    names = [acts.getName(i) for i in range(acts.nActions)]
    if action not in names:
        raise Failed(f"{obj.name!r} offers {names}, not {action!r}")
    return names.index(action)


def act(obj, action):
    obj.queryAction().doAction(action_index(obj, action))


def sensitive(obj):
    return obj.getState().contains(pyatspi.STATE_SENSITIVE)


def main(program):
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    log = open(os.environ.get("NW_ATSPI_LOG", os.devnull), "w")
    proc = subprocess.Popen([program, "--demo"], env=env, stdout=log, stderr=log)
    heard = []  # (event, text) told to a screen reader about the message area
    try:
        desktop = pyatspi.Registry.getDesktop(0)

        def app():
            return next((a for a in desktop if a is not None and a.name == "nodewright"), None)

        wait_for("the program on the accessibility bus", lambda: app() is not None, 20)
        wait_for("its two windows", lambda: app().childCount >= 2, 20)
        nodewright = app()
        main_window = find(nodewright, pyatspi.ROLE_DIALOG, "Tessor_Nodewright_v1.0.0")
        bench = find(nodewright, pyatspi.ROLE_FILLER, "Simulated bench")
        message = pyatspi.findDescendant(
            main_window, lambda a: a is not None and a.getRole() == pyatspi.ROLE_NOTIFICATION)
        if message is None:
            raise Failed("the message area is not a notification")
        start = find(main_window, pyatspi.ROLE_PUSH_BUTTON, "Start")
        check = find(main_window, pyatspi.ROLE_PUSH_BUTTON, "Check OLMA")
        find(main_window, pyatspi.ROLE_RADIO_BUTTON, "1:3")  # a radio button, not a check box

        def listen(event):
            if event.source == message:
                heard.append((event.type, event.source.name))

        pyatspi.Registry.registerEventListener(
            listen, "object:state-changed:showing", "object:property-change:accessible-name")

        def shows(text):
            return lambda: message.name == text

        def no_report_box():
            for window in app():
                if window is not None and window.getRole() == pyatspi.ROLE_ALERT:
                    raise Failed(f"a message box opened: {window.name!r} "
                                 f"(a press ran while the step was running)")

        def attach(who):
            act(find(bench, pyatspi.ROLE_RADIO_BUTTON, "Attach " + who), "Toggle")

        act(find(main_window, pyatspi.ROLE_PUSH_BUTTON, "Port Open"), "Press")
        wait_for("Port Open", shows(PORT_OPEN), 10)
        if not sensitive(check):
            raise Failed("Check OLMA is unavailable with the port open")

        # Step 1, with Check OLMA and Start pressed while it runs. The action
        # indexes are taken while the buttons are available, as a client does.
        attach("master")
        press_check, press_start = action_index(check, "Press"), action_index(start, "Press")
        act(start, "Press")
        wait_for("the step to make Check OLMA unavailable", lambda: not sensitive(check), 5)
        pump(0.3)
        check.queryAction().doAction(press_check)
        start.queryAction().doAction(press_start)
        if sensitive(start):
            raise Failed("Start is available while its step runs")
        wait_for("the first step's end", lambda: sensitive(check), STEP_TIMEOUT, no_report_box)
        pump(0.5)  # a press taken would have clicked by now
        no_report_box()
        if message.name != CONNECT_MASTER_NEXT:
            raise Failed(f"after the first step the message is {message.name!r}")
        if start.name != "Next":
            raise Failed(f"the Start button is named {start.name!r} while it shows Next")

        for who, then in (("master", CONNECT_SLAVE1), ("slave1", CONNECT_SLAVE2),
                          ("slave2", CONNECT_MASTER_LAST), ("master", COMPLETE)):
            attach(who)
            act(start, "Press")
            wait_for(f"{then!r} with {who} attached", shows(then), STEP_TIMEOUT, no_report_box)

        verdict = pyatspi.findDescendant(
            bench, lambda a: a is not None and a.name.startswith("network:"))
        wait_for("the bench's verdict on the network",
                 lambda: verdict.name.startswith("network: OK"), 5)
        pump(0.5)

        announced = [text for kind, text in heard if kind == "object:state-changed:showing"]
        expected = [PORT_OPEN, CONNECT_MASTER_NEXT, SETTING_NOW, CONNECT_SLAVE1, SETTING_NOW,
                    CONNECT_SLAVE2, SETTING_NOW, CONNECT_MASTER_LAST, SETTING_NOW, COMPLETE]
        # The screen reader asks for the name when the event arrives; by then a
        # quick second message may have replaced the first.
        if [t for t in announced if t != SETTING_NOW] != [t for t in expected if t != SETTING_NOW]:
            raise Failed(f"announced {announced}, expected {expected}")
        print("announced to a screen reader, in order:")
        for text in announced:
            print("  " + text)
        print("atspi wizard: passed (" + verdict.name + ")")
        return 0
    except Failed as failure:
        print(f"atspi wizard: FAILED: {failure}", file=sys.stderr)
        print(f"  heard so far: {heard}", file=sys.stderr)
        return 1
    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
