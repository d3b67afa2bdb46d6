"""Pixels of an X screen, read by the test process itself through libX11: a look at the strip
costs a round trip to the X server instead of starting an image program, so the tests can look
as often as the strip moves without taking the processor from the program under test."""

import ctypes
import ctypes.util
import os

_x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")


class _ImageFunctions(ctypes.Structure):
    _fields_ = [(name, ctypes.c_void_p) for name in
                ("create_image", "destroy_image", "get_pixel", "put_pixel", "sub_image",
                 "add_pixel")]


class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong),
                ("obdata", ctypes.c_void_p), ("f", _ImageFunctions)]


_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XDefaultScreen.argtypes = [ctypes.c_void_p]
_x11.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XGetImage.restype = ctypes.POINTER(_XImage)
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                           ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_DESTROY_IMAGE = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.POINTER(_XImage))
_ALL_PLANES = 0xFFFFFFFF
_Z_PIXMAP = 2

# A look at a rectangle that is not all on the screen is an X error, which libX11 answers by
# ending the process unless a handler takes it: the look then fails as an assertion.
_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_on_error = _ERROR_HANDLER(lambda display, event: 0)
_x11.XSetErrorHandler(_on_error)


class Shot:
    """Pixels of one moment, as RGB bytes row by row; equal when every pixel is."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.data = width, height, rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def pixels(self):
        """(x, y, (r, g, b)) for every pixel."""
        for y in range(self.height):
            for x in range(self.width):
                yield x, y, self.pixel(x, y)

    def has(self, colour):
        return any(rgb == colour for _, _, rgb in self.pixels())

    def crop(self, x, y, width, height):
        rows = [self.data[((y + row) * self.width + x) * 3:((y + row) * self.width + x + width) * 3]
                for row in range(height)]
        return Shot(width, height, b"".join(rows))

    def __eq__(self, other):
        return isinstance(other, Shot) and (self.width, self.height, self.data) == (
            other.width, other.height, other.data)

    def __hash__(self):
        return hash(self.data)


class Screen:
    """One connection to an X server; closed before the server goes away (libX11 ends the
    process when a server it is connected to disappears)."""

    def __init__(self, env):
        self.env = env
        self._display = None

    def grab(self, x, y, width, height, window=None):
        """The rectangle of the screen (or of the window, in its own coordinates)."""
        display = self._open()
        drawable = int(window, 0) if window is not None else _x11.XDefaultRootWindow(display)
        image = _x11.XGetImage(display, drawable, x, y, width, height, _ALL_PLANES, _Z_PIXMAP)
        assert image, f"{width}x{height}+{x}+{y} is not on the screen"
        try:
            raw = ctypes.string_at(image.contents.data, image.contents.bytes_per_line * height)
            stride, depth = image.contents.bytes_per_line, image.contents.bits_per_pixel
        finally:
            _DESTROY_IMAGE(image.contents.f.destroy_image)(image)
        assert depth == 32, f"{depth} bits per pixel"
        # Each pixel is blue, green, red and a spare byte.
        rgb = bytearray(width * height * 3)
        for row in range(height):
            line = raw[row * stride:row * stride + width * 4]
            start = row * width * 3
            for channel, offset in ((0, 2), (1, 1), (2, 0)):
                rgb[start + channel:start + width * 3:3] = line[offset::4]
        return Shot(width, height, bytes(rgb))

    def whole(self):
        """The whole screen."""
        display = self._open()
        screen = _x11.XDefaultScreen(display)
        return self.grab(0, 0, _x11.XDisplayWidth(display, screen),
                         _x11.XDisplayHeight(display, screen))

    def close(self):
        if self._display:
            _x11.XCloseDisplay(self._display)
            self._display = None

    def _open(self):
        if not self._display:
            # libX11 reads the authority file's name from this process's environment.
            saved = os.environ.get("XAUTHORITY")
            if "XAUTHORITY" in self.env:
                os.environ["XAUTHORITY"] = self.env["XAUTHORITY"]
            try:
                self._display = _x11.XOpenDisplay(self.env["DISPLAY"].encode())
            finally:
                if saved is None:
                    os.environ.pop("XAUTHORITY", None)
                else:
                    os.environ["XAUTHORITY"] = saved
            assert self._display, f"cannot open the display {self.env['DISPLAY']}"
        return self._display
