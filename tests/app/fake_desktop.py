#!/usr/bin/python3
"""A desktop's notification service and inhibit portal on the session bus, for the tests.

Usage: fake_desktop.py LOG. Each call is written to LOG as a line of JSON; "ready" first, once
both names are owned.
"""
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

log = open(sys.argv[1], "a", buffering=1)


def record(**entry):
    log.write(json.dumps(entry) + "\n")


class Notifications(dbus.service.Object):
    count = 0

    @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i",
                         out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        record(call="Notify", app=str(app), icon=str(icon), summary=str(summary), body=str(body),
               entry=str(hints.get("desktop-entry", "")))
        Notifications.count += 1
        return Notifications.count


class Request(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Request", in_signature="", out_signature="")
    def Close(self):
        record(call="Close", handle=self._object_path)
        self.remove_from_connection()


class Inhibit(dbus.service.Object):
    count = 0

    @dbus.service.method("org.freedesktop.portal.Inhibit", in_signature="sua{sv}",
                         out_signature="o")
    def Inhibit(self, window, flags, options):
        Inhibit.count += 1
        path = "/org/freedesktop/portal/desktop/request/ampelon/%d" % Inhibit.count
        Request(bus, path)
        record(call="Inhibit", flags=int(flags), reason=str(options.get("reason", "")),
               handle=path)
        return dbus.ObjectPath(path)


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
names = [dbus.service.BusName(name, bus)
         for name in ("org.freedesktop.Notifications", "org.freedesktop.portal.Desktop")]
Notifications(bus, "/org/freedesktop/Notifications")
Inhibit(bus, "/org/freedesktop/portal/desktop")
record(call="ready")
GLib.MainLoop().run()
