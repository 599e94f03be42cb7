#!/usr/bin/python3
"""A stand-in for the login manager's power-off call, owning org.freedesktop.login1 on a
private bus. Prints "ready" once the name is owned and "PowerOff <interactive>" per call.

    login1service.py ADDRESS MODE     MODE: ok | refuse | fail | hang (never answers)
"""
import sys

import dbus
import dbus.bus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

address, mode = sys.argv[1], sys.argv[2]
DBusGMainLoop(set_as_default=True)
bus = dbus.bus.BusConnection(address)


class Manager(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="b", out_signature="",
                         async_callbacks=("answer", "fail_with"))
    def PowerOff(self, interactive, answer, fail_with):
        print("PowerOff", "true" if interactive else "false", flush=True)
        if mode == "hang":
            return
        if mode == "refuse":
            raise dbus.exceptions.DBusException(
                "Interactive authentication required.",
                name="org.freedesktop.DBus.Error.InteractiveAuthorizationRequired")
        if mode == "fail":
            raise dbus.exceptions.DBusException(
                "There's already a shutdown or sleep operation in progress",
                name="org.freedesktop.login1.OperationInProgress")
        answer()


name = dbus.service.BusName("org.freedesktop.login1", bus)
manager = Manager(bus, "/org/freedesktop/login1")
print("ready", flush=True)
GLib.MainLoop().run()
