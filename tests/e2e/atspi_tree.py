#!/usr/bin/python3
"""Prints a program's accessibility tree as a screen reader reads it:
one line per object, "role|name|shortcut", indented by depth. With
"press NAME", then runs the press action of the button named NAME."""
import sys
import time

import pyatspi


def find_app(pid):
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                pass
        time.sleep(0.1)
    sys.exit("no accessible application with pid %d" % pid)


def shortcut(node):
    try:
        action = node.queryAction()
        return action.getKeyBinding(0) if action.nActions > 0 else ""
    except NotImplementedError:
        return ""


def walk(node, depth, found):
    print("%s%s|%s|%s" % ("  " * depth, node.getRoleName(), node.name, shortcut(node)))
    found.setdefault(node.name, node)
    for child in node:
        walk(child, depth + 1, found)


found = {}
walk(find_app(int(sys.argv[1])), 0, found)
if len(sys.argv) > 3 and sys.argv[2] == "press":
    action = found[sys.argv[3]].queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    if not action.doAction(names.index("press")):
        sys.exit("press failed")
