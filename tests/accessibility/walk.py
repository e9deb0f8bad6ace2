#!/usr/bin/python3
# Walks the accessibility tree of a running program over AT-SPI, the way a screen reader does.
#   walk.py NAME               every control of the windows of the application whose name starts
#                              with NAME (in any case) has a role and a name, and page tabs sit
#                              in a page tab list
#   walk.py NAME --press LABEL  also presses the push button LABEL through its accessible action
#   walk.py NAME --slide        also moves the first slider through its value and hears it told
import sys
import time

import pyatspi

# Containers and decorations that a screen reader passes through without reading them out.
UNNAMED_ROLES = {
    pyatspi.ROLE_APPLICATION, pyatspi.ROLE_FRAME, pyatspi.ROLE_FILLER, pyatspi.ROLE_PANEL,
    pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_SEPARATOR, pyatspi.ROLE_PAGE_TAB_LIST,
    pyatspi.ROLE_STATUS_BAR, pyatspi.ROLE_WINDOW, pyatspi.ROLE_DIALOG,
    pyatspi.ROLE_MENU_BAR, pyatspi.ROLE_TOOL_BAR, pyatspi.ROLE_UNKNOWN,
}


def find_application(name, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name.lower().startswith(name) and app.childCount > 0:
                return app
        time.sleep(0.2)
    sys.exit(f"no application {name} on the accessibility bus")


# A combo box's drop-down list and a menu item's pop-up menu are read out by their owner's name.
def named_owner(node):
    owner = node.parent
    return (node.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_TEXT)
            and owner is not None and bool(owner.name)
            and owner.getRole() in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_MENU_ITEM,
                                    pyatspi.ROLE_MENU))


def walk(node, found, path=""):
    if node is None:
        return
    role = node.getRole()
    here = f"{path}/{node.getRoleName()}:{node.name}"
    found.append((node, here))
    if role != pyatspi.ROLE_LIST:  # rows are named by their text, checked below as a whole
        for child in node:
            walk(child, found, here)


# Sets the slider's value one step further and answers whether the change was told.
def value_change_told(slider):
    from gi.repository import GLib
    heard = []

    def listen(event):
        heard.append(event)
        pyatspi.Registry.stop()

    def move():
        value = slider.queryValue()
        value.currentValue = value.currentValue + 1
        return False

    kinds = ["object:property-change:accessible-value", "object:value-changed"]
    pyatspi.Registry.registerEventListener(listen, *kinds)
    GLib.timeout_add(200, move)
    GLib.timeout_add(5000, lambda: pyatspi.Registry.stop() and False)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(listen, *kinds)
    return bool(heard)


def main():
    app = find_application(sys.argv[1])
    found = []
    walk(app, found)
    unnamed = []
    for node, path in found:
        role = node.getRole()
        if role == pyatspi.ROLE_INVALID:
            unnamed.append(path + " has no role")
        elif not node.name and role not in UNNAMED_ROLES and not named_owner(node):
            unnamed.append(path + " has no name")
        elif role == pyatspi.ROLE_PAGE_TAB and (
                node.parent is None or node.parent.getRole() != pyatspi.ROLE_PAGE_TAB_LIST):
            unnamed.append(path + " is a page tab outside a page tab list")
    for line in unnamed:
        print(line)
    print(f"walked {len(found)} controls")
    if unnamed:
        sys.exit(1)
    if "--slide" in sys.argv:
        sliders = [n for n, _ in found if n.getRole() == pyatspi.ROLE_SLIDER]
        if not sliders or not value_change_told(sliders[0]):
            sys.exit("no slider tells a change of its value")
        print("a slider told a change of its value")
    if "--press" in sys.argv:
        label = sys.argv[sys.argv.index("--press") + 1]
        buttons = [n for n, _ in found
                   if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == label]
        if not buttons:
            sys.exit(f"no push button named {label}")
        action = buttons[0].queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        action.doAction(names.index("Press") if "Press" in names else 0)
        print(f"pressed {label}")


main()
