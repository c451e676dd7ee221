"""One window on an X display, driven as a person would: photographs of it, pointer moves,
clicks and keys through the XTest extension, the close box. The game's smoke test and its
start-up measurement share it; both import it from this folder."""
import ctypes
import struct
import time
import zlib

# Between a pointer move and a press, and between keys: time for the window to see the hover.
INPUT_PAUSE_S = 0.05


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("class_", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


IS_VIEWABLE = 2


class XResClientIdSpec(ctypes.Structure):
    _fields_ = [("client", ctypes.c_ulong), ("mask", ctypes.c_uint)]


class XResClientIdValue(ctypes.Structure):
    _fields_ = [("spec", XResClientIdSpec), ("length", ctypes.c_long),
                ("value", ctypes.c_void_p)]


XRES_CLIENT_ID_PID_MASK = 2


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("client", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def load_x_libraries():
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
    xres = ctypes.cdll.LoadLibrary("libXRes.so.1")
    ulong, uint, c_int, ptr = ctypes.c_ulong, ctypes.c_uint, ctypes.c_int, ctypes.c_void_p
    x11.XOpenDisplay.restype = ptr
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ulong
    x11.XDefaultRootWindow.argtypes = [ptr]
    x11.XGetImage.restype = ptr
    x11.XGetImage.argtypes = [ptr, ulong, c_int, c_int, uint, uint, ulong, c_int]
    x11.XFree.argtypes = [ptr]
    x11.XFlush.argtypes = [ptr]
    x11.XQueryTree.argtypes = [ptr, ulong, ctypes.POINTER(ulong), ctypes.POINTER(ulong),
                               ctypes.POINTER(ctypes.POINTER(ulong)), ctypes.POINTER(uint)]
    x11.XGetGeometry.argtypes = [ptr, ulong, ctypes.POINTER(ulong), ctypes.POINTER(c_int),
                                 ctypes.POINTER(c_int), ctypes.POINTER(uint),
                                 ctypes.POINTER(uint), ctypes.POINTER(uint),
                                 ctypes.POINTER(uint)]
    x11.XTranslateCoordinates.argtypes = [ptr, ulong, ulong, c_int, c_int, ctypes.POINTER(c_int),
                                          ctypes.POINTER(c_int), ctypes.POINTER(ulong)]
    x11.XInternAtom.restype = ulong
    x11.XInternAtom.argtypes = [ptr, ctypes.c_char_p, c_int]
    x11.XSendEvent.argtypes = [ptr, ulong, c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
    x11.XStringToKeysym.restype = ulong
    x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
    x11.XKeysymToKeycode.restype = ctypes.c_ubyte
    x11.XKeysymToKeycode.argtypes = [ptr, ulong]
    xtst.XTestFakeMotionEvent.argtypes = [ptr, c_int, c_int, c_int, ulong]
    xtst.XTestFakeButtonEvent.argtypes = [ptr, uint, c_int, ulong]
    xtst.XTestFakeKeyEvent.argtypes = [ptr, uint, c_int, ulong]
    x11.XGetWindowAttributes.argtypes = [ptr, ulong, ctypes.POINTER(XWindowAttributes)]
    # A window may go between listing it and asking about it: that error is no fault.
    x11.XSetErrorHandler.argtypes = [ptr]
    xres.XResQueryClientIds.argtypes = [ptr, ctypes.c_long, ctypes.POINTER(XResClientIdSpec),
                                        ctypes.POINTER(ctypes.c_long),
                                        ctypes.POINTER(ctypes.POINTER(XResClientIdValue))]
    xres.XResGetClientPid.argtypes = [ctypes.POINTER(XResClientIdValue)]
    xres.XResClientIdsDestroy.argtypes = [ctypes.c_long, ctypes.POINTER(XResClientIdValue)]
    return x11, xtst, xres


IGNORE_X_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda *_: 0)


def write_png(path, rgb, width, height):
    """Writes rows of 8-bit RGB as a PNG."""
    rows = b"".join(b"\x00" + rgb[3 * y * width:3 * (y + 1) * width] for y in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(rows, 6)))
        out.write(chunk(b"IEND", b""))


class XWindow:
    """A top-level window of the given size on a display (the DISPLAY variable's when no name
    is given), shown on the screen by a given process; coordinates are the window's own. Raises
    OSError when the display does not open."""

    def __init__(self, width, height, display_name=None):
        self.x11, self.xtst, self.xres = load_x_libraries()
        self.width, self.height = width, height
        self.display = self.x11.XOpenDisplay(display_name.encode() if display_name else None)
        if not self.display:
            raise OSError(f"X display {display_name or '(DISPLAY)'} does not open")
        self.x11.XSetErrorHandler(ctypes.cast(IGNORE_X_ERRORS, ctypes.c_void_p))
        self.root = self.x11.XDefaultRootWindow(self.display)
        self.window = None
        self.left = self.top = 0

    def owner(self, window):
        """The process id of the client that made the window (asked of the server: not every
        program names itself on its windows), or None."""
        spec = XResClientIdSpec(window, XRES_CLIENT_ID_PID_MASK)
        count, values = ctypes.c_long(), ctypes.POINTER(XResClientIdValue)()
        if self.xres.XResQueryClientIds(self.display, 1, ctypes.byref(spec), ctypes.byref(count),
                                        ctypes.byref(values)) != 0:
            return None
        pids = [self.xres.XResGetClientPid(ctypes.byref(values[i])) for i in range(count.value)]
        self.xres.XResClientIdsDestroy(count, values)
        return next((pid for pid in pids if pid > 0), None)

    def viewable(self, window):
        """Whether the window is mapped, and so are the windows it is in."""
        attributes = XWindowAttributes()
        return bool(self.x11.XGetWindowAttributes(self.display, window,
                                                  ctypes.byref(attributes))) and \
            attributes.map_state == IS_VIEWABLE

    def shown_by(self, pid):
        """The viewable top-level windows of the process, as (window, width, height)."""
        return [(window, width, height) for window, width, height in self.top_level()
                if self.viewable(window) and self.owner(window) == pid]

    def top_level(self):
        """Every window made on the root, as (window, width, height), oldest first."""
        x11, byref = self.x11, ctypes.byref
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        x11.XQueryTree(self.display, self.root, byref(root), byref(parent), byref(children),
                       byref(count))
        windows = []
        for index in range(count.value):
            values = [ctypes.c_uint() for _ in range(4)]
            x, y, geometry_root = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
            x11.XGetGeometry(self.display, children[index], byref(geometry_root), byref(x),
                             byref(y), *map(byref, values))
            windows.append((children[index], values[0].value, values[1].value))
        if children:
            x11.XFree(children)
        return windows

    def find(self, pid):
        """The window, once the process shows one of the size, else None."""
        x11, byref = self.x11, ctypes.byref
        found = None
        for window, width, height in self.shown_by(pid):
            if (width, height) == (self.width, self.height):
                found = window
        if found:
            left, top, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
            x11.XTranslateCoordinates(self.display, found, self.root, 0, 0, byref(left),
                                      byref(top), byref(child))
            self.window, self.left, self.top = found, left.value, top.value
        return found

    def photograph(self):
        """What the window shows, as rows of 8-bit RGB (read from the screen: a window on
        top shows in it)."""
        address = self.x11.XGetImage(self.display, self.root, self.left, self.top, self.width,
                                     self.height, 0xFFFFFFFF, 2)
        if not address:
            raise OSError("the window cannot be read back")
        image = XImage.from_address(address)
        pitch = image.bytes_per_line
        data = ctypes.string_at(image.data, pitch * image.height)
        self.x11.XFree(image.data)
        self.x11.XFree(address)
        line = 3 * self.width
        rgb = bytearray(line * self.height)
        for y in range(self.height):
            row = data[y * pitch:y * pitch + 4 * self.width]
            for channel, source in enumerate((2, 1, 0)):
                rgb[y * line + channel:(y + 1) * line:3] = row[source::4]
        return bytes(rgb)

    def move(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.display, -1, self.left + x, self.top + y, 0)
        self.x11.XFlush(self.display)

    def click(self, x, y):
        self.move(x, y)
        time.sleep(INPUT_PAUSE_S)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1, 0)
        self.x11.XFlush(self.display)
        time.sleep(INPUT_PAUSE_S)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 0, 0)
        self.x11.XFlush(self.display)

    def key(self, name, shift=False):
        """Presses and releases the key of an X key name ("a", "Return"), Shift held when
        asked."""
        keycode = self.x11.XKeysymToKeycode
        code = keycode(self.display, self.x11.XStringToKeysym(name.encode()))
        shift_code = keycode(self.display, self.x11.XStringToKeysym(b"Shift_L"))
        if shift:
            self.xtst.XTestFakeKeyEvent(self.display, shift_code, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.display, code, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.display, code, 0, 0)
        if shift:
            self.xtst.XTestFakeKeyEvent(self.display, shift_code, 0, 0)
        self.x11.XFlush(self.display)

    def type(self, text):
        for letter in text:
            self.key(letter.lower(), shift=letter.isupper())
            time.sleep(INPUT_PAUSE_S)

    def press_close_box(self, pid):
        """What a window manager sends when the window's close box is clicked. Sent to the
        process's window on the screen now: a program may replace its first window while it
        starts."""
        XWindow.find(self, pid)
        event = XEvent()
        event.client.type = 33  # ClientMessage
        event.client.window = self.window
        event.client.message_type = self.x11.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        event.client.format = 32
        event.client.data[0] = self.x11.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        self.x11.XSendEvent(self.display, self.window, 0, 0, ctypes.byref(event))
        self.x11.XFlush(self.display)
