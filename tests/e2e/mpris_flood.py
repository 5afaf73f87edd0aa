#!/usr/bin/python3
"""Sends COUNT PlayPause calls to the player at once, without waiting for
their answers, then reads its PlaybackStatus twice; prints the seconds from
the last call sent to the second answer, and that answer. The first read may
be answered before the presses the calls queued; the second waits behind
them."""
import sys
import time

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

NAME = "org.mpris.MediaPlayer2.wavorin"
PATH = "/org/mpris/MediaPlayer2"
PLAYER = "org.mpris.MediaPlayer2.Player"

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
for _ in range(int(sys.argv[1])):
    call = Gio.DBusMessage.new_method_call(NAME, PATH, PLAYER, "PlayPause")
    call.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED)
    bus.send_message(call, Gio.DBusSendMessageFlags.NONE)
bus.flush_sync(None)
sent = time.monotonic()
for _ in range(2):
    status = bus.call_sync(NAME, PATH, "org.freedesktop.DBus.Properties", "Get",
                           GLib.Variant("(ss)", (PLAYER, "PlaybackStatus")), None,
                           Gio.DBusCallFlags.NONE, 120000, None).unpack()[0]
print("%.3f %s" % (time.monotonic() - sent, status))
