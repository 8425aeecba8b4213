#!/usr/bin/python3
"""Plays the desktop's notification service and inhibit portal on the session bus for the tests:
fake_desktop.py LOG writes each call to LOG as a line of JSON, "ready" first."""
import itertools
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

log = open(sys.argv[1], "a", buffering=1)
numbers = itertools.count(1)


def record(**entry):
    log.write(json.dumps(entry) + "\n")


class Notifications(dbus.service.Object):
    @dbus.service.method("org.freedesktop.Notifications", "susssasa{sv}i", "u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        record(call="Notify", app=app, icon=icon, summary=summary, body=body,
               entry=hints.get("desktop-entry", ""))
        return next(numbers)


class Request(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Request", "", "")
    def Close(self):
        record(call="Close", handle=self._object_path)
        self.remove_from_connection()


class Inhibit(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Inhibit", "sua{sv}", "o")
    def Inhibit(self, window, flags, options):
        path = "/org/freedesktop/portal/desktop/request/ampelon/%d" % next(numbers)
        Request(bus, path)
        record(call="Inhibit", flags=flags, reason=options.get("reason", ""), handle=path)
        return dbus.ObjectPath(path)


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
names = [dbus.service.BusName(name, bus)
         for name in ("org.freedesktop.Notifications", "org.freedesktop.portal.Desktop")]
Notifications(bus, "/org/freedesktop/Notifications")
Inhibit(bus, "/org/freedesktop/portal/desktop")
record(call="ready")
GLib.MainLoop().run()
