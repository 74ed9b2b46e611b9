#!/usr/bin/python3
"""What a screen reader finds in Clipstow: the built program runs on the
test's X display with the desktop's accessibility bus, and every control of
the agreement, the main window, the remote window, the tray icon, each page
of Preferences and the windows the menus open, walked through AT-SPI as a
screen reader walks them, has a name.
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
    shown = ", ".join(f"{child.getRoleName()} \"{child.name}\"" for child in app if child is not None)
    sys.exit(f"no window: {what} (the program shows: {shown})")


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
    """The first control of role named name; a menu bar's entry, which
    holds its menu, is not one of the menu's items."""
    if node is None:
        return None
    if node.getRole() == role and node.name.replace("&", "") == name and not node.childCount:
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


def pages(dialog):
    """The dialog once for each page of its tab list, that page showing."""
    tabs = next(node for node in all_nodes(dialog) if node.getRole() == pyatspi.ROLE_PAGE_TAB_LIST)
    for tab in [tab for tab in tabs if tab.getRole() == pyatspi.ROLE_PAGE_TAB]:
        press(tab)
        time.sleep(0.3)
        yield tab.name.replace("&", "")


def all_nodes(node):
    if node is None:
        return
    yield node
    for child in node:
        yield from all_nodes(child)


# The windows the main window's menus and the tray menu open: the item that
# opens each, how its window is told, and the button that closes it where it
# is modal (the others stay open).
OPENED = [
    ("clipboard viewer", "Clipboard &Viewer", lambda w: w.name == "Clipboard Viewer", None),
    ("preferences", "Pr&eferences...", lambda w: w.name == "Preferences", "Cancel"),
    ("find", "&Find...", lambda w: w.name == "Find", "Cancel"),
    ("help", "&Help", lambda w: w.name == "Clipstow Help", None),
    ("about", "&About...", lambda w: w.name == "Clipstow Splash", "Close this window"),
]


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
        # The tray icon's window is embedded in the notification area, which
        # names it to screen readers by its title (Qt leaves it off the bus).
        try:
            tray = subprocess.run(["xdotool", "search", "--sync", "--name",
                                   "^Clipstow, Auto Clipstow (on|off)$"], timeout=20,
                                  capture_output=True, text=True, check=False).stdout.split()
        except subprocess.TimeoutExpired:
            tray = []
        print(f"tray icon: {len(tray)} window(s) named")
        if not tray:
            failures.append("tray icon: no name")
        for title, item, test, closer in OPENED:
            if item == "Clipboard &Viewer" and not tray:
                continue
            if item == "Clipboard &Viewer":
                # Only in the tray menu; a menu open is off the bus, so its
                # item is chosen by its key.
                subprocess.run(["xdotool", "mousemove", "--window", tray[0], "8", "8",
                                "click", "3"], check=True)
                time.sleep(0.5)
                subprocess.run(["xdotool", "key", item[item.index("&") + 1].lower()], check=True)
            else:
                press(find(main, pyatspi.ROLE_MENU_ITEM, item.replace("&", "")))
            opened = window(app, title, test)
            if title == "preferences":
                for page in pages(opened):
                    check(f"{title}, page {page}", opened, failures)
            else:
                check(title, opened, failures)
            if closer:
                press(find(opened, pyatspi.ROLE_PUSH_BUTTON, closer))
    finally:
        run_command(env, "--quit")
        try:
            clipstow.wait(timeout=20)
        except subprocess.TimeoutExpired:
            clipstow.kill()
    folder.cleanup()
    return 1 if failures else 0


sys.exit(main())
