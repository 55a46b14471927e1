"""Reads Tessik's window through AT-SPI, as a screen reader does, and fails on what it cannot read.

Started by read_window.sh inside a private session bus: starts the program on the analysis,
prints the window's tree, then checks that every control shown has a name, that the key
pictures' cells and the diagram's blocks read as they should, that the accessible focus
follows the selected block, and that a renamed block and one described anew are announced;
Ctrl+E from a text box exports under X11 too, and Esc in its dialog writes nothing.
    read_window.py TESSIK ANALYSIS
"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

BLOCKS = [  # name and description of each block of the analysis the shell script writes
    ("Conveyor stopped", "no category; no notes classification; impact"),
    ("Sensor data missing", "Information; Technology; cause of Conveyor stopped"),
    ("Block without caption", "Motives; Science, Human Factors; cause of Sensor data missing"),
]
BUTTONS = ["New", "Save", "Snapshot", "Impacts_from_Causes -------->", "Causes_To _Impacts <--------", "Quit",
           "Load", "Save As", "Search", "Tessik Training Video"]
BOXES = ["Event Description", "E-Mail Point of Contact", "Office"]
CATEGORIES = ["Physical Resources", "Structure/Process", "Information", "Knowledge and Skills", "Motives",
              "Wellness/Capacity"]
NOTES = ["Technology", "Technology; Science", "Technology; Human Factors", "Science; Technology; Human Factors",
         "Science", "Human Factors", "Science; Human Factors"]
# For the eye only: the editor's separator lines (empty frames), a text box's inner viewport.
UNNAMED_ROLES = {pyatspi.ROLE_FILLER, pyatspi.ROLE_SEPARATOR}

focus_events = []  # name of each object the focus was announced on
names_told = []  # each diagram item announced as renamed, by its new name
descriptions_told = []  # each diagram item announced as described anew: its name and new description


def fail(message):
    print("read_window: FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def wait_for(what, found, seconds=20, instead=None):
    """`instead`, when given, says what was there in the end, for the failure message."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        while GLib.MainContext.default().iteration(False):
            pass
        result = found()
        if result:
            return result
        time.sleep(0.05)
    fail("timed out waiting for " + what + (": " + instead() if instead else ""))


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def walk(node, depth=0):
    yield depth, node
    for child in node:
        if child is not None and showing(child):
            yield from walk(child, depth + 1)


def print_tree(title, root):
    print("--- " + title)
    for depth, node in walk(root):
        description = f" ({node.description})" if node.description else ""
        print(f"{'  ' * depth}{node.getRoleName()}: {node.name!r}{description}")


def find(root, name, role=None):
    for _, node in walk(root):
        if node.name == name and (role is None or node.getRole() == role):
            return node
    fail(f"nothing named {name!r} is shown")


def names(root, role):
    return [node.name for _, node in walk(root) if node.getRole() == role]


def decoration(node):
    return node.getRole() in UNNAMED_ROLES or (node.getRole() == pyatspi.ROLE_FRAME and node.childCount == 0)


def check_named(root):
    unnamed = [node.getRoleName() for _, node in walk(root) if not node.name and not decoration(node)]
    if unnamed:
        fail(f"shown without a name: {unnamed}")


def expect(what, got, wanted):
    if got != wanted:
        fail(f"{what}: read {got!r}, expected {wanted!r}")


def click(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2), "click", "1"],
                   check=True)


def on_focus(event):
    if event.detail1:
        focus_events.append(event.source.name)


def on_name(event):
    if event.source.getRole() == pyatspi.ROLE_LIST_ITEM:
        names_told.append(event.source.name)


def on_description(event):
    if event.source.getRole() == pyatspi.ROLE_LIST_ITEM:
        descriptions_told.append((event.source.name, event.source.description))


def focus_reaches(name):
    return lambda: name in focus_events


def check_focus_by_arrows(window, diagram):
    expect("the diagram takes the focus", diagram.getState().contains(pyatspi.STATE_FOCUSABLE), True)
    diagram.queryComponent().grabFocus()
    for key, name in [("Home", BLOCKS[0][0]), ("Right", BLOCKS[1][0]), ("Right", BLOCKS[2][0]),
                      ("Left", BLOCKS[1][0])]:
        focus_events.clear()
        subprocess.run(["xdotool", "key", key], check=True)
        wait_for(f"the focus on {name!r} after {key}", focus_reaches(name))
        print(f"focus after {key}: {name!r}")
    expect("selected blocks", [block.getState().contains(pyatspi.STATE_SELECTED) for block in diagram],
           [False, True, False])
    # Enter opens the editor on the selected block, its caption box focused and reading the caption.
    focus_events.clear()
    subprocess.run(["xdotool", "key", "Return"], check=True)
    wait_for("the focus on the caption box", focus_reaches("Text"))
    caption = find(window, "Text", pyatspi.ROLE_TEXT).queryText()
    expect("caption box", caption.getText(0, caption.characterCount), BLOCKS[1][0])
    print_tree("block editor", find(window, "Block editor"))
    check_named(window)
    # A caption changed and committed with Enter: the reader is told that block's new name, and
    # no other block's.
    names_told.clear()
    subprocess.run(["xdotool", "key", "ctrl+End", "space", "n", "o", "w", "Return"], check=True)
    renamed = BLOCKS[1][0] + " now"
    wait_for(f"the new name {renamed!r} told", lambda: renamed in names_told,
             instead=lambda: f"names told {names_told!r}, the caption box reads "
             f"{caption.getText(0, caption.characterCount)!r}")
    expect("renamed items told", names_told, [renamed])


def check_description_told(diagram):
    # A digit on the diagram gives the chosen block the key's value (here a classification of its
    # notes): the reader is told that block's new description, and no other block's.
    renamed = BLOCKS[1][0] + " now"
    diagram.queryComponent().grabFocus()
    wait_for(f"the focus on {renamed!r}", lambda: diagram[1].getState().contains(pyatspi.STATE_FOCUSED),
             instead=lambda: f"focus told on {focus_events!r}")
    descriptions_told.clear()
    subprocess.run(["xdotool", "key", "5"], check=True)
    described = wait_for("a new description told", lambda: descriptions_told,
                         instead=lambda: f"the block reads {diagram[1].description!r}")
    expect("descriptions told", described, [(renamed, diagram[1].description)])
    category, _, parent = BLOCKS[1][1].split("; ")
    expect("the block's category and parent kept", [diagram[1].description.split("; ")[i] for i in (0, -1)],
           [category, parent])
    expect("the block's notes classified anew", diagram[1].description != BLOCKS[1][1], True)
    print(f"description told: {described!r}")
    diagram.queryComponent().grabFocus()
    wait_for(f"the focus on {renamed!r} after the digit", lambda: diagram[1].getState().contains(
        pyatspi.STATE_FOCUSED), instead=lambda: f"focus told on {focus_events!r}")


def check_question_read(app, window):
    # Cancel, Delete on the selected block, then Quit: the question about the unsaved edit is read
    # as it appears, and Esc keeps the work.
    for key in ["Escape", "Delete", "ctrl+q"]:
        subprocess.run(["xdotool", "key", key], check=True)
    question = wait_for("the question on the bus", lambda: next(
        (n for w in app if w for _, n in walk(w) if n.getRole() == pyatspi.ROLE_LABEL and "unsaved edits" in n.name),
        None))
    print(f"question read: {question.name!r}")
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    wait_for("the question gone, the work kept", lambda: not showing(question) and
             find(window, "Diagram").childCount == len(BLOCKS) - 1)


def check_export_key(app, window):
    # Ctrl+E from a text box exports, though on X11 a text box would take it to move to the line's end.
    subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tessik", "windowfocus"], check=True)
    click(find(window, "Office", pyatspi.ROLE_TEXT))
    subprocess.run(["xdotool", "key", "ctrl+e"], check=True)
    dialog = wait_for("the export dialog", lambda: next((w for w in app if w and "Save a picture" in w.name), None))
    print(f"dialog read: {dialog.name!r}")
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    wait_for("the export dialog gone", lambda: not any(w and "Save a picture" in w.name for w in app))


def check_nothing_exported(folder, before):
    # Esc in the export dialog writes no picture. Looked at after the search, which the program
    # handles only once whatever followed the dialog has run.
    expect("files beside the analysis after Esc in the export dialog", sorted(os.listdir(folder)), before)


def check_search_read(window):
    # The search panel: its phrase box has the focus, and the entries found are read as they come.
    # Without a window manager the keyboard goes back to the window only when it is given it.
    subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tessik", "windowfocus"], check=True)
    focus_events.clear()
    subprocess.run(["xdotool", "key", "ctrl+f"], check=True)
    wait_for("the focus on the phrase box", focus_reaches("Phrase:"))
    subprocess.run(["xdotool", "type", "sensor"], check=True)
    subprocess.run(["xdotool", "key", "Return"], check=True)
    found = wait_for("the entries found", lambda: [e.name for e in find(window, "Analyses found") if e and e.name])
    expect("entries found", [name.split()[:2] for name in found], [["Read", "aloud"]])
    print(f"entries read: {found!r}")


def started(tessik):
    """The program's accessible application once it is on the bus; fails at once if it has ended."""
    if tessik.poll() is not None:
        fail(f"the program ended with exit status {tessik.returncode} before it appeared on the bus")
    return next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "tessik"), None)


def main():
    program, analysis = sys.argv[1:3]
    folder = os.path.dirname(analysis)
    files_before = sorted(os.listdir(folder))
    tessik = subprocess.Popen([program, analysis])
    try:
        pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
        pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
        pyatspi.Registry.registerEventListener(on_description, "object:property-change:accessible-description")
        app = wait_for("the program on the accessibility bus", lambda: started(tessik))
        window = wait_for("the window", lambda: next((w for w in app if w and w.name.startswith("Tessik")), None))
        wait_for("the blocks", lambda: find(window, "Diagram").childCount == len(BLOCKS))
        print_tree("window", window)
        check_named(window)
        expect("buttons", [name for name in names(window, pyatspi.ROLE_PUSH_BUTTON) if name in BUTTONS], BUTTONS)
        expect("text boxes", names(window, pyatspi.ROLE_TEXT) + names(window, pyatspi.ROLE_ENTRY), BOXES)
        expect("category key", [cell.name for cell in find(window, "Category key")], CATEGORIES)
        click(find(window, "Notes", pyatspi.ROLE_RADIO_BUTTON))
        legend = wait_for("the notes key", lambda: next((n for _, n in walk(window) if n.name == "Notes key"), None))
        expect("notes key", [cell.name for cell in legend], NOTES)
        diagram = find(window, "Diagram")
        expect("blocks", [(block.name, block.description) for block in diagram], BLOCKS)
        check_focus_by_arrows(window, diagram)
        check_description_told(diagram)
        check_question_read(app, window)
        check_export_key(app, window)
        check_search_read(window)
        check_nothing_exported(folder, files_before)
        print("read_window: passed")
    finally:
        tessik.kill()
        tessik.wait()


main()
