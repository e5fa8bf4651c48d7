#!/usr/bin/env python3
"""Starts Brenlow, adds video links through AT-SPI alone and prints the window's accessibility tree.

With --tab-screens DIR it then presses Tab through the window (xdotool) and saves a picture of the
screen after each press (ImageMagick's import), with the focused control's name in the file name.
Run inside an X server and a D-Bus session with the accessibility bus (atspi-dump.sh sets both up).
Only the program this script starts is ever stopped.
"""
import argparse
import os
import subprocess
import sys
import time

import pyatspi

DEMO_LINK = "https://videos.brenlow.example/watch?v=sunrise"
SHOWN_STATES = [
    (pyatspi.STATE_FOCUSED, "focused"),
    (pyatspi.STATE_SELECTED, "selected"),
    (pyatspi.STATE_PRESSED, "pressed"),
    (pyatspi.STATE_CHECKED, "checked"),
    (pyatspi.STATE_EDITABLE, "editable"),
    (pyatspi.STATE_READ_ONLY, "read-only"),
    (pyatspi.STATE_IS_DEFAULT, "default"),
]


def wait_for(what, condition, seconds=60.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            result = condition()
        except Exception:  # the tree changes under us while the program works
            result = None
        if result:
            return result
        time.sleep(0.2)
    raise TimeoutError("timed out waiting for " + what)


def find_app(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def find(node, role, name=None):
    """The first showing descendant with this role (and name)."""
    return pyatspi.findDescendant(
        node,
        lambda n: n is not None and n.getRole() == role and (name is None or n.name == name)
        and n.getState().contains(pyatspi.STATE_SHOWING))


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press"))


def add_link(app, link):
    frame = find(app, pyatspi.ROLE_FRAME)
    table = find(frame, pyatspi.ROLE_TABLE)
    rows = table.queryTable().nRows
    press(find(frame, pyatspi.ROLE_PUSH_BUTTON, "Add Video Link"))
    dialog = wait_for("the input box", lambda: find(app, pyatspi.ROLE_DIALOG))
    field = wait_for("its text field", lambda: find(dialog, pyatspi.ROLE_TEXT))
    field.queryEditableText().setTextContents(link)
    press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK"))
    wait_for("the new row", lambda: table.queryTable().nRows > rows)


def describe(node):
    parts = ["[%s]" % node.getRoleName(), '"%s"' % node.name]
    if node.description:
        parts.append('description="%s"' % node.description)
    try:
        value = node.queryValue()
        parts.append("value=%g (%g..%g)" % (value.currentValue, value.minimumValue, value.maximumValue))
    except NotImplementedError:
        pass
    try:
        table = node.queryTable()
        parts.append("rows=%d columns=%d" % (table.nRows, table.nColumns))
    except NotImplementedError:
        pass
    try:
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if names:
            parts.append("actions=" + ",".join(names))
    except NotImplementedError:
        pass
    states = node.getState()
    flags = [label for state, label in SHOWN_STATES if states.contains(state)]
    if not states.contains(pyatspi.STATE_SENSITIVE):
        flags.append("disabled")
    if flags:
        parts.append("{" + ",".join(flags) + "}")
    labels = [t.name for r in node.getRelationSet() if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for t in (r.getTarget(i) for i in range(r.getNTargets()))]
    if labels:
        parts.append("labelled-by=" + ",".join('"%s"' % l for l in labels))
    return " ".join(parts)


def dump(node, depth, show_hidden, out):
    if node is None:
        return
    if not show_hidden and depth > 1 and not node.getState().contains(pyatspi.STATE_SHOWING):
        return
    out.append("  " * depth + describe(node))
    if node.getRole() == pyatspi.ROLE_TABLE:
        table = node.queryTable()
        headers = [table.getColumnDescription(c) for c in range(table.nColumns)]
        out.append("  " * (depth + 1) + "column headers: " + " | ".join(headers))
        for r in range(table.nRows):
            cells = []
            for c in range(table.nColumns):
                cell = table.getAccessibleAt(r, c)
                text = cell.name
                try:
                    text += " <value %g>" % cell.queryValue().currentValue
                except NotImplementedError:
                    pass
                if cell.getState().contains(pyatspi.STATE_FOCUSED):
                    text += " <focused>"
                cells.append(text)
            out.append("  " * (depth + 1) + "row %d%s: %s" % (
                r, " (selected)" if table.isRowSelected(r) else "", " | ".join(cells)))
        return
    for i in range(node.childCount):
        dump(node.getChildAtIndex(i), depth + 1, show_hidden, out)


def focused_name(app):
    node = pyatspi.findDescendant(app, lambda n: n is not None and n.getState().contains(pyatspi.STATE_FOCUSED))
    return node.name if node is not None else ""


def tab_screens(app, folder, presses):
    """Saves the screen at rest and after each Tab press; returns the files in order."""
    os.makedirs(folder, exist_ok=True)
    window = subprocess.run(["xdotool", "search", "--sync", "--name", "^Brenlow 7.0$"],
                            check=True, capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowactivate", "--sync", window], check=False)
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
    files = []
    for n in range(presses + 1):
        if n:
            subprocess.run(["xdotool", "key", "--window", window, "Tab"], check=True)
        time.sleep(0.6)
        name = focused_name(app) or "nothing"
        safe = "".join(c if c.isalnum() else "-" for c in name).strip("-").lower()[:30]
        path = os.path.join(folder, "focus-%02d-%s.png" % (n, safe))
        subprocess.run(["import", "-window", "root", path], check=True)
        files.append((path, name))
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True)
    parser.add_argument("--all", action="store_true", help="also hidden controls")
    parser.add_argument("--tab-screens", metavar="DIR", help="save the screen after each Tab press")
    parser.add_argument("--presses", type=int, default=8)
    parser.add_argument("links", nargs="*", default=[DEMO_LINK])
    args = parser.parse_args()

    # The accessibility bus and its registry are started on first use; have them up before the
    # program looks for them.
    pyatspi.Registry.getDesktop(0).childCount
    child = subprocess.Popen([args.program], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                             env=dict(os.environ))
    try:
        app = wait_for("Brenlow on the accessibility bus", lambda: find_app("Brenlow"))
        wait_for("its window", lambda: find(app, pyatspi.ROLE_FRAME))
        for link in args.links:
            add_link(app, link)
        out = []
        dump(app, 0, args.all, out)
        print("\n".join(out))
        if args.tab_screens:
            for path, name in tab_screens(app, args.tab_screens, args.presses):
                print('%s: focus on "%s"' % (path, name))
    finally:
        child.terminate()
        try:
            child.wait(timeout=20)
        except subprocess.TimeoutExpired:
            child.kill()
            child.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
