#!/usr/bin/python3
"""What a screen reader finds in Clipstow: the built program runs on the
test's X display with the desktop's accessibility bus, and every control of
the agreement, the main window, the remote window and Preferences, walked
through AT-SPI as a screen reader walks them, has a name.
    check-accessibility.py CLIPSTOW"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

program = sys.argv[1]
# Controls a user acts on or reads; panels, fillers and separators need no name.
NAMED_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM,
    pyatspi.ROLE_MENU, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_LABEL,
    pyatspi.ROLE_LINK, pyatspi.ROLE_STATUS_BAR,
}
MENU_ROLES = {pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_MENU, pyatspi.ROLE_MENU_ITEM,
              pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_SEPARATOR}


def press(control):
    """Clicks a control; a modal dialog it opens answers only when it closes."""
    try:
        control.queryAction().doAction(0)
    except GLib.GError:
        pass


def application(timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower().startswith("clipstow"):
                return app
        time.sleep(0.2)
    sys.exit("Clipstow did not show on the accessibility bus")


def window(app, what, test, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        for child in app:
            if child is not None and test(child):
                return child
        time.sleep(0.2)
    sys.exit("no window: " + what)


def walk(node, path, unnamed, seen):
    if node is None:
        return
    # Names read fresh: the bus keeps what it read when the object appeared.
    node.clearCache()
    where = path + "/" + node.getRoleName() + " \"" + node.name + "\""
    # Hidden controls (the toolbar's overflow button) are not read out;
    # the items of a closed menu are, once it opens.
    if not node.getState().contains(pyatspi.STATE_VISIBLE) and node.getRole() not in MENU_ROLES:
        return
    if node.getRole() in NAMED_ROLES and not node.name.strip():
        unnamed.append(where)
    seen.append(where)
    for child in node:
        walk(child, where + "[" + (node.name or "") + "]", unnamed, seen)


def find(node, role, name):
    if node is None:
        return None
    if node.getRole() == role and node.name.replace("&", "") == name:
        return node
    for child in node:
        found = find(child, role, name)
        if found is not None:
            return found
    return None


def check(title, node, failures):
    unnamed, seen = [], []
    walk(node, title, unnamed, seen)
    print(f"{title}: {len(seen)} accessible objects, {len(unnamed)} without a name")
    for where in unnamed:
        print("  no name:", where)
    if len(seen) < 3:
        failures.append(f"{title}: nearly empty ({len(seen)})")
    failures.extend(unnamed)


def run_command(env, *args):
    subprocess.run([program, *args], env=env, timeout=30, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    folder = tempfile.TemporaryDirectory()
    work = folder.name
    env = dict(os.environ, CLIPSTOW_REGISTRY=os.path.join(work, "registry.sqlite3"),
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    env.pop("QT_QPA_PLATFORM", None)
    clipstow = subprocess.Popen([program], cwd=work, env=env)
    failures = []
    try:
        app = application()
        # The first start asks for the agreement.
        agreement = window(app, "agreement", lambda w: "Agreement" in w.name)
        check("agreement", agreement, failures)
        press(find(agreement, pyatspi.ROLE_PUSH_BUTTON, "I Accept"))
        run_command(env, "--show")
        run_command(env, "--remote")
        main = window(app, "main window", lambda w: w.name == "Clipstow 3")
        check("main window", main, failures)
        remote = window(app, "remote window", lambda w: w.name == "Clipstow")
        check("remote window", remote, failures)
        press(find(main, pyatspi.ROLE_PUSH_BUTTON, "Preferences"))
        dialog = window(app, "Preferences", lambda w: w.name == "Preferences")
        check("preferences", dialog, failures)
        cancel = find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Cancel")
        press(cancel)
    finally:
        run_command(env, "--quit")
        try:
            clipstow.wait(timeout=20)
        except subprocess.TimeoutExpired:
            clipstow.kill()
    folder.cleanup()
    return 1 if failures else 0


sys.exit(main())
