#!/usr/bin/env python3
"""Drives a private gnome-shell from outside, as a person would.

Usage: gnome_shell.py screenshot OUT.png
       gnome_shell.py pointer [move X Y | down | up | key KEYSYM]...
gnome-shell takes screenshots only for the desktop's own tools: the call is
made under the name of GNOME's screenshot tool, which a private session bus
leaves free. Pointer and keys go through mutter's remote desktop session, a
virtual input device, in one session, so a held button stays held between
the commands; absolute pointer moves need a screen cast stream of the
monitor (and so a PipeWire daemon) to name the place in.
"""
import sys
import time

import dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()

if sys.argv[1] == "screenshot":
    bus.request_name("org.gnome.Screenshot")
    shooter = dbus.Interface(
        bus.get_object("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot"),
        "org.gnome.Shell.Screenshot")
    ok, _ = shooter.Screenshot(False, False, sys.argv[2])
    sys.exit(0 if ok else 1)

MUTTER_RD = "org.gnome.Mutter.RemoteDesktop"
MUTTER_SC = "org.gnome.Mutter.ScreenCast"
desktop = dbus.Interface(bus.get_object(MUTTER_RD, "/org/gnome/Mutter/RemoteDesktop"), MUTTER_RD)
session_object = bus.get_object(MUTTER_RD, desktop.CreateSession())
session = dbus.Interface(session_object, MUTTER_RD + ".Session")
session_id = session_object.Get(MUTTER_RD + ".Session", "SessionId",
                                dbus_interface="org.freedesktop.DBus.Properties")
cast = dbus.Interface(bus.get_object(MUTTER_SC, "/org/gnome/Mutter/ScreenCast"), MUTTER_SC)
cast_session = dbus.Interface(
    bus.get_object(MUTTER_SC, cast.CreateSession({"remote-desktop-session-id": session_id})),
    MUTTER_SC + ".Session")
stream = cast_session.RecordMonitor("", {})
# Mutter takes absolute moves only once the stream they name is up, which
# the stream tells.
loop = GLib.MainLoop()
bus.add_signal_receiver(lambda node: loop.quit(), "PipeWireStreamAdded", MUTTER_SC + ".Stream",
                        MUTTER_SC, stream)
GLib.timeout_add_seconds(10, loop.quit)
session.Start()
loop.run()
BTN_LEFT = 0x110
args = sys.argv[2:]
i = 0
while i < len(args):
    if args[i] == "move":
        session.NotifyPointerMotionAbsolute(stream, float(args[i + 1]), float(args[i + 2]))
        i += 3
    elif args[i] in ("down", "up"):
        session.NotifyPointerButton(BTN_LEFT, args[i] == "down")
        i += 1
    elif args[i] == "key":
        keysym = int(args[i + 1], 0)
        session.NotifyKeyboardKeysym(keysym, True)
        session.NotifyKeyboardKeysym(keysym, False)
        i += 2
    else:
        sys.exit("unknown command " + args[i])
    # The virtual device's events reach windows one frame apart, as a hand's.
    time.sleep(0.02)
session.Stop()
