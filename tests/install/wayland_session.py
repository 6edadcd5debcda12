"""Shared by the Wayland tests: a headless compositor with no X server and no input devices, a page
server on 127.0.0.1 that records what the pages report, the program started against it, and the
ways to watch and drive it without X11: the compositor's protocol log (which toplevels exist, their
titles, parents and whether they show a buffer) and the accessibility bus (pressing buttons)."""
import base64
import ctypes
import http.server
import json
import os
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WIDTH, HEIGHT = 1280, 800
PR_SET_CHILD_SUBREAPER = 36


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.2)
    return True


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Failure(Exception):
    pass


class Site:
    """Serves page for the lobby ("/?...") and "{}" elsewhere; keeps every /report query."""

    def __init__(self, page):
        self.reports = []
        site = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                if self.path.startswith("/report?"):
                    site.reports.append(self.path[len("/report?"):])
                body = page if self.path.startswith("/?") else b"{}"
                self.send_response(200)
                self.send_header("Content-Type", "text/html" if body is page else "application/json")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            do_POST = do_GET

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = "http://127.0.0.1:%d" % self.server.server_address[1]

    def latest(self):
        """The page's last report without its number ("&n=" last): reports may arrive out of order."""
        if not self.reports:
            return ""
        last = max(self.reports, key=lambda r: int(r.rsplit("&n=", 1)[1]))
        return last.rsplit("&n=", 1)[0]

    def stop(self):
        self.server.shutdown()


class Toplevel:
    def __init__(self, client, surface):
        self.client = client
        self.surface = surface
        self.title = ""
        self.parent = None
        self.mapped = False
        self.destroyed = False
        self.configured = None  # the compositor's last size for it, (0, 0) when the client picks
        self.geometry = None  # the client's last (x, y, width, height) of its visible part
        self.buffer_size = None  # (width, height) of the buffer its surface last committed
        self.xdg_surface = None
        self.maximise_requests = 0
        self.maximise_unanswered = False  # asked to maximise, and no configure since

    def __repr__(self):
        return "<%s %r parent=%r mapped=%s destroyed=%s configured=%r geometry=%r buffer=%r>" % (
            self.client[-4:], self.title, self.parent.title if self.parent else None, self.mapped, self.destroyed,
            self.configured, self.geometry, self.buffer_size)


class ProtocolLog:
    """Follows the compositor's protocol log: every client's xdg toplevels, from creation to
    destruction. Mapped means its surface's last commit carried a buffer."""

    # Debian 13's weston names the client's process after its address.
    LINE = re.compile(r"\] client (\w+)(?: \(PID \d+\))? (rq|ev) (\w+)@(\d+)\.(\w+)\((.*)\)$")

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.toplevels = []
        self.xdg_surfaces = {}  # (client, id) -> wl_surface id
        self.live = {}  # (client, xdg_toplevel id) -> Toplevel
        self.pending = {}  # (client, wl_surface id) -> attached buffer or None
        self.buffer_sizes = {}  # (client, wl_buffer id) -> (width, height)
        self.rest = ""

    def update(self):
        with open(self.path, errors="replace") as log:
            log.seek(self.offset)
            text = self.rest + log.read()
            self.offset = log.tell()
        lines = text.split("\n")
        self.rest = lines.pop()
        for line in lines:
            match = self.LINE.search(line)
            if match:
                self._request(*match.groups())
        return self.toplevels

    def _request(self, client, direction, interface, number, request, arguments):
        key = (client, number)
        if direction == "ev":
            if interface == "xdg_toplevel" and request == "configure" and key in self.live:
                self.live[key].configured = tuple(int(n) for n in arguments.split(",")[:2])
                self.live[key].maximise_unanswered = False
            return
        if interface == "xdg_wm_base" and request == "get_xdg_surface":
            ids = re.findall(r"@(\d+)", arguments)
            self.xdg_surfaces[(client, ids[0])] = ids[1]
        elif interface == "xdg_surface" and request == "get_toplevel":
            toplevel = Toplevel(client, self.xdg_surfaces.get(key))
            toplevel.xdg_surface = number
            self.toplevels.append(toplevel)
            self.live[(client, re.findall(r"@(\d+)", arguments)[0])] = toplevel
        elif interface == "xdg_surface" and request == "set_window_geometry":
            for toplevel in self.live.values():
                if toplevel.client == client and toplevel.xdg_surface == number:
                    toplevel.geometry = tuple(int(n) for n in arguments.split(","))
        elif interface == "xdg_toplevel" and key in self.live:
            toplevel = self.live[key]
            if request == "set_title":
                toplevel.title = json.loads(arguments) if arguments.startswith('"') else ""
            elif request == "set_parent":
                parent = re.findall(r"@(\d+)", arguments)
                toplevel.parent = self.live.get((client, parent[0])) if parent else None
            elif request == "set_maximized":
                toplevel.maximise_requests += 1
                toplevel.maximise_unanswered = True
            elif request == "destroy":
                toplevel.mapped = False
                toplevel.destroyed = True
                del self.live[key]
        elif interface == "wl_shm_pool" and request == "create_buffer":
            buffer = re.match(r"new id wl_buffer@(\d+), -?\d+, (\d+), (\d+),", arguments)
            if buffer:
                self.buffer_sizes[(client, buffer.group(1))] = (int(buffer.group(2)), int(buffer.group(3)))
        elif interface == "wl_surface" and request == "attach":
            self.pending[key] = None if arguments.startswith("nil") else re.findall(r"@(\d+)", arguments)[0]
        elif interface == "wl_surface" and request == "commit" and key in self.pending:
            buffer = self.pending.pop(key)
            for toplevel in self.live.values():
                if toplevel.client == client and toplevel.surface == number:
                    toplevel.mapped = buffer is not None
                    toplevel.buffer_size = self.buffer_sizes.get((client, buffer)) if buffer else None

    def shown(self):
        return [t for t in self.update() if t.mapped]


class Accessibility:
    """The accessibility bus: finds a process's objects by role and name, and presses buttons."""

    STATE_SHOWING = 25

    def __init__(self, session_address):
        session = dbus.bus.BusConnection(session_address)
        # Asked before the launcher owns its name, the session bus would start another one.
        if not session.name_has_owner("org.a11y.Bus"):
            raise dbus.DBusException("no accessibility bus yet")
        address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(dbus_interface="org.a11y.Bus")
        self.bus = dbus.bus.BusConnection(address)

    def _application(self, pid):
        registry = self.bus.get_object("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")
        for name, path in registry.GetChildren(dbus_interface="org.a11y.atspi.Accessible"):
            try:
                bus = self.bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
                if bus.GetConnectionUnixProcessID(name, dbus_interface="org.freedesktop.DBus") == pid:
                    return name, path
            except dbus.DBusException:
                pass
        return None

    def find(self, pid, role, name, window=None):
        """A showing object of the process with that role and name (in its window of that name
        when given), or None."""
        application = self._application(pid)
        if not application:
            return None
        stack = [application]
        if window is not None:
            try:
                stack = [child for child in self.bus.get_object(*application).GetChildren(
                    dbus_interface="org.a11y.atspi.Accessible") if self._name(child) == window]
            except dbus.DBusException:
                return None
        while stack:
            bus_name, path = stack.pop()
            try:
                node = self.bus.get_object(bus_name, path)
                accessible = dbus.Interface(node, "org.a11y.atspi.Accessible")
                found_role = accessible.GetRoleName()
                found_name = self._name((bus_name, path))
                showing = accessible.GetState()[0] & (1 << self.STATE_SHOWING)
                if found_role == role and found_name == name and showing:
                    return node
                stack.extend(accessible.GetChildren())
            except dbus.DBusException:
                continue  # objects come and go while windows open and close
        return None

    def _name(self, reference):
        return self.bus.get_object(*reference).Get("org.a11y.atspi.Accessible", "Name",
                                                   dbus_interface="org.freedesktop.DBus.Properties")

    def press(self, pid, name, window=None, seconds=60):
        """Presses the showing button of that name once it is there; False when it never was."""

        def pressed():
            node = self.find(pid, "push button", name, window)
            if not node:
                return False
            try:
                node.DoAction(0, dbus_interface="org.a11y.atspi.Action")
            except dbus.DBusException:
                return False
            return True

        return wait_for(pressed, seconds)


class StatusNotifierHost(dbus.service.Object):
    """The desktop's side of the notification area on the session bus: it says a host is there,
    so the program offers its icon (and hides to it), and records the items that register."""

    WATCHER = "org.kde.StatusNotifierWatcher"

    def __init__(self, session_address):
        self.items = []
        self.loop = GLib.MainLoop()
        bus = dbus.bus.BusConnection(session_address, mainloop=dbus.mainloop.glib.DBusGMainLoop())
        self.name = dbus.service.BusName(self.WATCHER, bus)
        super().__init__(bus, "/StatusNotifierWatcher")
        threading.Thread(target=self.loop.run, daemon=True).start()

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierItem(self, service):
        self.items.append(service)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"IsStatusNotifierHostRegistered": True, "ProtocolVersion": dbus.Int32(0),
                "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s")}

    # Qt reads the properties only where the introspection data lists them.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s", path_keyword="path",
                         connection_keyword="connection")
    def Introspect(self, path, connection):
        data = super().Introspect(path, connection)
        properties = ('<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>'
                      '<property name="ProtocolVersion" type="i" access="read"/>'
                      '<property name="RegisteredStatusNotifierItems" type="as" access="read"/>')
        return data.replace('<interface name="%s">' % self.WATCHER, '<interface name="%s">' % self.WATCHER + properties)

    def stop(self):
        self.loop.quit()


class DevTools:
    """One page's remote debugging connection: a websocket carrying JSON commands."""

    def __init__(self, url):
        host, path = url[len("ws://"):].split("/", 1)
        name, port = host.split(":")
        self.connection = socket.create_connection((name, int(port)), timeout=30)
        key = base64.b64encode(os.urandom(16)).decode()
        self.connection.sendall(("GET /%s HTTP/1.1\r\nHost: %s\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                                 "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n" % (path, host, key)).encode())
        reply = b""
        while b"\r\n\r\n" not in reply:
            reply += self.connection.recv(1)
        if b" 101 " not in reply.split(b"\r\n")[0]:
            raise RuntimeError("no websocket: %r" % reply)
        self.next_id = 0

    def _read(self, count):
        data = b""
        while len(data) < count:
            chunk = self.connection.recv(count - len(data))
            if not chunk:
                raise RuntimeError("connection closed")
            data += chunk
        return data

    def call(self, method, params):
        self.next_id += 1
        message = json.dumps({"id": self.next_id, "method": method, "params": params}).encode()
        mask = os.urandom(4)
        header = bytes([0x81]) + (bytes([0x80 | len(message)]) if len(message) < 126
                                  else bytes([0x80 | 126]) + struct.pack(">H", len(message)))
        self.connection.sendall(header + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(message)))
        while True:
            first, second = self._read(2)
            length = second & 0x7F
            if length == 126:
                length = struct.unpack(">H", self._read(2))[0]
            elif length == 127:
                length = struct.unpack(">Q", self._read(8))[0]
            payload = self._read(length)
            if first & 0x0F == 1 and json.loads(payload).get("id") == self.next_id:
                return json.loads(payload)


class WaylandSession:
    """A scratch folder, weston headless (its protocol log followed when watch is set, a private
    session bus with the accessibility bus when accessible is set) and the program copied from
    the build, pointed at site. Everything started is ended by its own id on close()."""

    def __init__(self, build, site, watch=False, accessible=False):
        # The compositor's own clients (panel, keyboard) outlive it briefly; as their subreaper
        # this process collects them instead of leaving them to init.
        ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
        self.build = build
        self.site = site
        self.work = tempfile.mkdtemp()
        self.processes = []
        self.logs = []
        self.protocol = None
        try:
            self._start(watch, accessible)
        except BaseException:
            self.close()
            raise

    def _start(self, watch, accessible):
        self.runtime = os.path.join(self.work, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.wayland = "zandrel-test-%d" % os.getpid()
        arguments = ["--backend=headless-backend.so", "--socket=" + self.wayland, "--idle-time=0",
                     "--width=%d" % WIDTH, "--height=%d" % HEIGHT]
        self.start("weston", ["weston"] + arguments + (["--debug"] if watch else []), dict(os.environ))
        if not wait_for(lambda: os.path.exists(os.path.join(self.runtime, self.wayland)), 30):
            self.fail("weston did not start")
        self.environment = {"HOME": self.work, "PATH": "/usr/bin:/bin", "XDG_RUNTIME_DIR": self.runtime,
                            "WAYLAND_DISPLAY": self.wayland, "QTWEBENGINE_DISABLE_SANDBOX": "1"}
        if watch:
            self.start("protocol", ["weston-debug", "proto"], self.environment)
            self.protocol = ProtocolLog(self.logs[-1])
            # Subscribed once its own requests show: from then on nothing a client asks is missed.
            if not wait_for(lambda: "[proto]" in open(self.protocol.path, errors="replace").read(), 30):
                self.fail("the compositor's protocol log never started")
        self.accessibility = None
        if accessible:
            self._start_buses()

    def _start_buses(self):
        address = "unix:path=" + os.path.join(self.work, "bus")
        self.start("session-bus", ["dbus-daemon", "--session", "--nofork", "--address=" + address],
                   {"PATH": "/usr/bin:/bin"})
        if not wait_for(lambda: os.path.exists(os.path.join(self.work, "bus")), 30):
            self.fail("the session bus did not start")
        self.environment.update(DBUS_SESSION_BUS_ADDRESS=address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.start("accessibility-bus", ["/usr/libexec/at-spi-bus-launcher"], self.environment)
        if not wait_for(self._accessibility_bus, 30):
            self.fail("the accessibility bus did not start")

    def _accessibility_bus(self):
        try:
            self.accessibility = Accessibility(self.environment["DBUS_SESSION_BUS_ADDRESS"])
        except dbus.DBusException:
            return False
        return True

    def start(self, name, command, environment):
        log = os.path.join(self.work, "%s-%d.log" % (name, len(self.logs)))
        self.logs.append(log)
        process = subprocess.Popen(command, env=dict(environment, XDG_RUNTIME_DIR=self.runtime),
                                   stdout=open(log, "w"), stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def install_program(self):
        program = os.path.join(self.work, "program")
        shutil.copytree(os.path.join(self.build, "program"), program, symlinks=True)
        with open(os.path.join(program, "config.xml"), "w") as config:
            config.write('<?xml version="1.0" encoding="utf-8"?>\n<config><Channel url=""/>'
                         '<Update url="%s/update/check"/><Notify powerboot="0" test="0" optionexit="0"/>'
                         '<Account/><Site url="%s"/></config>\n' % (self.site.url, self.site.url))
        return program

    def run_program(self, program, extra_environment=None):
        return self.start("program", [os.path.join(program, "zandrel")],
                          dict(self.environment, **(extra_environment or {})))

    @staticmethod
    def _orphans_collected():
        try:
            while os.waitpid(-1, os.WNOHANG)[0]:
                pass
        except ChildProcessError:
            return True
        return False

    def fail(self, message):
        print("FAIL: " + message, file=sys.stderr)
        print("reports: " + "; ".join(self.site.reports), file=sys.stderr)
        if self.protocol:
            print("toplevels: %r" % self.protocol.update(), file=sys.stderr)
            with open(self.protocol.path, errors="replace") as log:
                shell = [line for line in log if "xdg_" in line]
            print("--- the last shell requests and events\n" + "".join(shell[-40:]), file=sys.stderr)
        for log in self.logs:
            if os.path.exists(log) and "protocol" not in log:
                print("--- " + log + "\n" + open(log, errors="replace").read()[-3000:], file=sys.stderr)
        raise Failure(message)

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.site.stop()
        wait_for(self._orphans_collected, 30)
        shutil.rmtree(self.work, ignore_errors=True)


def run(test):
    """Runs test(build) and exits non-zero on a failure it reported."""
    try:
        test(os.path.abspath(sys.argv[1]))
    except Failure:
        sys.exit(1)
