# SPDX-License-Identifier: GPL-3.0-or-later
"""Stands for systemd-logind on a private system bus: owns org.freedesktop.login1 and emits
PrepareForSleep when told. Reads commands on standard input, one per line, and answers each on
standard output once done:

    wait-for <pid>   "ready" once process <pid> has a connection on the bus
    sleep | wake     emits PrepareForSleep(true) / PrepareForSleep(false); answers "sent"

Run with /usr/bin/python3 (python3-dbus):  logind_standin.py <bus address>
"""

import sys
import time

import dbus
import dbus.lowlevel

PATH = "/org/freedesktop/login1"
INTERFACE = "org.freedesktop.login1.Manager"


def connected(bus, pid):
    daemon = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
    for name in daemon.ListNames(dbus_interface="org.freedesktop.DBus"):
        if not name.startswith(":") or name == bus.get_unique_name():
            continue
        try:
            if daemon.GetConnectionUnixProcessID(name, dbus_interface="org.freedesktop.DBus") \
                    == pid:
                return True
        except dbus.DBusException:
            pass  # gone meanwhile
    return False


def main():
    bus = dbus.bus.BusConnection(sys.argv[1])
    if bus.request_name("org.freedesktop.login1") != dbus.bus.REQUEST_NAME_REPLY_PRIMARY_OWNER:
        print("cannot own org.freedesktop.login1", flush=True)
        return 1
    print("owned", flush=True)
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        if words[0] == "wait-for":
            end = time.monotonic() + 20
            while not connected(bus, int(words[1])) and time.monotonic() < end:
                time.sleep(0.05)
            print("ready" if connected(bus, int(words[1])) else "absent", flush=True)
        elif words[0] in ("sleep", "wake"):
            signal = dbus.lowlevel.SignalMessage(PATH, INTERFACE, "PrepareForSleep")
            signal.append(words[0] == "sleep", signature="b")
            bus.send_message(signal)
            bus.flush()
            print("sent", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
