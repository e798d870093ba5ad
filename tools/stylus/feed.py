"""Writes with a pen that exists only for the test, on a 1024 x 768 screen.

    feed.py x11 SOCKETS      the X server's inputtest devices (SOCKETS/stylus.sock, eraser.sock)
    feed.py wayland SOCKET   the tablet device that vtablet.so added inside sway

Both routes get the same strokes (screen pixels, pressure 0..1):
  - a tap at (400, 300);
  - a pen stroke from (300.25, 400.5) to (700.75, 400.5) whose pressure rises from 0.1 to 0.9;
  - an eraser stroke down through it at x = 500, from y = 350 to 450;
  - the side button held with the tip above the surface, from (350, 550) to (650, 600);
  - a hover from (350, 650) to (650, 650).
"""
import ctypes as C
import socket
import struct
import sys
import time

W, H = 1024, 768


def line(x0, y0, x1, y1, steps):
    return [(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps) for i in range(steps + 1)]


# --- X11: the inputtest driver's socket protocol (xserver-xorg-core, man 4 inputtestdrv) -------
MAXV = 64
class Header(C.Structure): _fields_ = [("length", C.c_uint32), ("type", C.c_int32)]
class Valuators(C.Structure):
    _fields_ = [("has_unaccelerated", C.c_uint32), ("mask", C.c_uint8 * 8),
                ("valuators", C.c_double * MAXV), ("unaccelerated", C.c_double * MAXV)]
class Version(C.Structure): _fields_ = [("h", Header), ("major", C.c_uint16), ("minor", C.c_uint16)]
class Sync(C.Structure): _fields_ = [("h", Header)]
class Motion(C.Structure): _fields_ = [("h", Header), ("is_absolute", C.c_uint32), ("v", Valuators)]
class Prox(C.Structure): _fields_ = [("h", Header), ("is_prox_in", C.c_uint32), ("v", Valuators)]
class Button(C.Structure):
    _fields_ = [("h", Header), ("is_absolute", C.c_int32), ("button", C.c_int32),
                ("is_press", C.c_uint32), ("v", Valuators)]
EV_VERSION, EV_SYNC, EV_MOTION, EV_PROX, EV_BUTTON = 0, 1, 2, 3, 4


class InputTestDevice:
    """Axes: 0 and 1 the position (0..65535 over the screen), 4 the pressure (0..1000)."""

    def __init__(self, path):
        self.s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.s.connect(path)
        self._send(Version(Header(C.sizeof(Version), EV_VERSION), 1, 1))
        _, kind, major, _ = struct.unpack("=IiHH", self._recv(12))
        assert kind == EV_VERSION and major == 1, (kind, major)

    def _recv(self, n):
        data = b""
        while len(data) < n:
            chunk = self.s.recv(n - len(data))
            assert chunk, "the X server closed the device"
            data += chunk
        return data

    def _send(self, event):
        self.s.sendall(bytes(event))

    @staticmethod
    def _axes(x, y, p):
        v = Valuators()
        for axis, value in ((0, x * 65536.0 / W), (1, y * 65536.0 / H), (4, p * 1000.0)):
            v.mask[axis // 8] |= 1 << (axis % 8)
            v.valuators[axis] = value
        return v

    def sync(self):
        self._send(Sync(Header(C.sizeof(Sync), EV_SYNC)))
        _, kind = struct.unpack("=Ii", self._recv(8))
        assert kind == EV_SYNC

    def prox(self, inside, x, y):
        self._send(Prox(Header(C.sizeof(Prox), EV_PROX), int(inside), self._axes(x, y, 0)))
        self.sync()

    def move(self, x, y, p):
        self._send(Motion(Header(C.sizeof(Motion), EV_MOTION), 1, self._axes(x, y, p)))
        self.sync()

    def button(self, number, press, x, y, p):
        self._send(Button(Header(C.sizeof(Button), EV_BUTTON), 1, number, int(press),
                          self._axes(x, y, p)))
        self.sync()


class X11Pen:
    TIP, SIDE = 1, 2

    def __init__(self, sockets):
        # Each device takes one connection per server run.
        self.devices = {"pen": InputTestDevice(sockets + "/stylus.sock"),
                        "eraser": InputTestDevice(sockets + "/eraser.sock")}

    def stroke(self, end, points, pressures, button):
        device = self.devices[end]
        x, y = points[0]
        device.prox(True, x, y)
        device.move(x, y, 0)
        if button:
            device.button(self.TIP if button == "tip" else self.SIDE, True, x, y, pressures[0])
        for (x, y), p in zip(points[1:], pressures[1:]):
            device.move(x, y, p)
            time.sleep(0.02)
        if button:
            device.button(self.TIP if button == "tip" else self.SIDE, False, x, y, 0)
        device.prox(False, x, y)
        time.sleep(0.2)


class WaylandPen:
    BTN_STYLUS = 331

    def __init__(self, path):
        s = socket.socket(socket.AF_UNIX)
        s.connect(path)
        self.f = s.makefile("rw")

    def cmd(self, text):
        self.f.write(text + "\n")
        self.f.flush()
        assert self.f.readline().strip() == "ok", text

    def stroke(self, end, points, pressures, button):
        x, y = points[0]
        self.cmd(f"prox in {end} {x / W} {y / H}")
        self.cmd(f"axis {x / W} {y / H} {pressures[0]}")
        if button == "tip":
            self.cmd(f"tip down {x / W} {y / H}")
        elif button == "side":
            self.cmd(f"button {self.BTN_STYLUS} 1")
        for (x, y), p in zip(points[1:], pressures[1:]):
            self.cmd(f"axis {x / W} {y / H} {p}")
            time.sleep(0.02)
        if button == "tip":
            self.cmd(f"tip up {x / W} {y / H}")
        elif button == "side":
            self.cmd(f"button {self.BTN_STYLUS} 0")
        self.cmd(f"prox out {end} {x / W} {y / H}")
        time.sleep(0.2)


def main():
    route, where = sys.argv[1], sys.argv[2]
    pen = X11Pen(where) if route == "x11" else WaylandPen(where)
    pen.stroke("pen", [(400, 300), (400, 300)], [0.5, 0.5], "tip")
    rising = line(300.25, 400.5, 700.75, 400.5, 40)
    pen.stroke("pen", rising, [0.1 + 0.8 * i / 40 for i in range(41)], "tip")
    pen.stroke("eraser", line(500, 350, 500, 450, 10), [0.5] * 11, "tip")
    pen.stroke("pen", line(350, 550, 650, 600, 10), [0.0] * 11, "side")
    pen.stroke("pen", line(350, 650, 650, 650, 10), [0.0] * 11, None)


if __name__ == "__main__":
    main()
