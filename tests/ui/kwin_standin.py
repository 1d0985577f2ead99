# SPDX-License-Identifier: GPL-3.0-or-later
"""A stand-in for KWin's scripting interface on a private session bus, for the focus watcher's
test. It owns org.kde.KWin and answers loadScript, unloadScript and start on /Scripting and run
on /Scripting/ScriptN, writing each call to a log. When a script runs, it finds in it the bus
name, object path and interface to call back (as the real script would use them), and calls the
callback as KWin would: the active window's resource class for each name given, with a pause
between them, and the open windows. Before them, a call from another connection that is not KWin
(which the watcher must not hear).

    kwin_standin.py <log file> <resource class>...
    kwin_standin.py --refuse <log file>     (every loadScript answers -1, as for a bad script)
"""

import re
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

SERVICE = "org.kde.KWin"
PAUSE_MS = 150


class Log:
    def __init__(self, path):
        self.file = open(path, "a", encoding="utf-8")

    def write(self, line):
        self.file.write(line + "\n")
        self.file.flush()


class Script(dbus.service.Object):
    def __init__(self, bus, number, scripting):
        super().__init__(bus, f"/Scripting/Script{number}")
        self.number = number
        self.scripting = scripting

    @dbus.service.method("org.kde.kwin.Script", in_signature="", out_signature="")
    def run(self):
        self.scripting.run(self.number)


class Scripting(dbus.service.Object):
    def __init__(self, bus, log, classes, refuse):
        super().__init__(bus, "/Scripting")
        self.bus, self.log, self.classes, self.refuse = bus, log, classes, refuse
        self.scripts = {}  # plugin name -> (number, path, script object)
        self.next_number = 0

    @dbus.service.method("org.kde.kwin.Scripting", in_signature="ss", out_signature="i")
    def loadScript(self, path, plugin):
        if self.refuse or plugin in self.scripts:
            self.log.write(f"load refused {plugin}")
            return -1
        try:
            with open(path, encoding="utf-8") as script:
                text = script.read()
        except OSError as error:
            self.log.write(f"load unreadable {path}: {error}")
            return -1
        number = self.next_number
        self.next_number += 1
        self.scripts[plugin] = (number, path, text, Script(self.bus, number, self))
        self.log.write(f"load {plugin} {path}")
        return number

    @dbus.service.method("org.kde.kwin.Scripting", in_signature="s", out_signature="b")
    def unloadScript(self, plugin):
        entry = self.scripts.pop(plugin, None)
        if entry is None:
            return False
        entry[3].remove_from_connection()
        self.log.write(f"unload {plugin}")
        return True

    @dbus.service.method("org.kde.kwin.Scripting", in_signature="", out_signature="")
    def start(self):
        for number, *_ in list(self.scripts.values()):
            self.run(number)

    def run(self, number):
        text = next(entry[2] for entry in self.scripts.values() if entry[0] == number)
        found = re.search(r'var service = "([^"]+)", path = "([^"]+)", iface = "([^"]+)"', text)
        uses = all(word in text for word in ("windowActivated", "clientActivated", "callDBus"))
        self.log.write(f"run {number} callback={'yes' if found else 'no'} "
                       f"signals={'yes' if uses else 'no'}")
        if not found:
            return
        service, path, iface = found.groups()
        steps = [("Activated", "intruder", True)]
        steps += [("Activated", name, False) for name in self.classes]
        steps.append(("OpenWindows", "\n".join(self.classes + self.classes[:1]), False))

        def call_next():
            if not steps:
                self.log.write("calls done")
                return False
            method, argument, intruder = steps.pop(0)
            bus = dbus.bus.BusConnection(dbus.bus.BUS_SESSION) if intruder else self.bus
            target = bus.get_object(service, path, introspect=False)
            try:
                target.get_dbus_method(method, iface)(argument)
                self.log.write(f"called {method} {argument!r}")
            except dbus.DBusException as error:
                self.log.write(f"call failed {method}: {error}")
            if intruder:
                bus.close()
            return True
        GLib.timeout_add(PAUSE_MS, call_next)


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    args = sys.argv[1:]
    refuse = args[:1] == ["--refuse"]
    if refuse:
        args = args[1:]
    log = Log(args[0])
    keep = Scripting(bus, log, args[1:], refuse)
    name = dbus.service.BusName(SERVICE, bus, do_not_queue=True)
    log.write("ready")
    GLib.MainLoop().run()
    del keep, name


if __name__ == "__main__":
    main()
