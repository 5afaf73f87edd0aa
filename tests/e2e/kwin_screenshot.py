#!/usr/bin/env python3
"""Writes what kwin_wayland shows on its whole workspace to a PPM file.

kwin hands the picture over a pipe as raw pixels (a QImage format, 32 bits a
pixel on the screens we use); the picture's size and layout come back with
the call. kwin must run with KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1, as a
private test session does, or it refuses callers without a desktop file.
Usage: kwin_screenshot.py OUT.ppm
"""
import os
import sys
import threading

import dbus

bus = dbus.SessionBus()
shooter = dbus.Interface(bus.get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2"),
                         "org.kde.KWin.ScreenShot2")
read_end, write_end = os.pipe()
chunks = []


def drain():
    with os.fdopen(read_end, "rb") as pipe:
        chunks.append(pipe.read())


reader = threading.Thread(target=drain)
reader.start()
result = shooter.CaptureWorkspace({"native-resolution": True}, dbus.types.UnixFd(write_end))
os.close(write_end)
reader.join(30)
data = chunks[0] if chunks else b""
width, height, stride = int(result["width"]), int(result["height"]), int(result["stride"])
if len(data) < stride * height:
    sys.exit("kwin sent %d bytes for %dx%d" % (len(data), width, height))
# QImage's 32-bit formats hold each pixel as B, G, R, A bytes on this machine.
rgb = bytearray(width * height * 3)
for y in range(height):
    row = data[y * stride:y * stride + width * 4]
    out = memoryview(rgb)[y * width * 3:(y + 1) * width * 3]
    out[0::3] = row[2::4]
    out[1::3] = row[1::4]
    out[2::3] = row[0::4]
with open(sys.argv[1], "wb") as f:
    f.write(b"P6\n%d %d\n255\n" % (width, height))
    f.write(rgb)
