#!/usr/bin/env python3
"""Drops a file or folder onto an X11 window as a file manager does (the XDND protocol,
text/uri-list), and waits until the window says it has taken it.
Usage: x11_drop.py WINDOW_ID PATH   (DISPLAY from the environment)"""
import ctypes
import ctypes.util
import os
import sys
import time
import urllib.parse

Atom = Window = ctypes.c_ulong


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class SelectionRequest(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("owner", Window), ("requestor", Window),
                ("selection", Atom), ("target", Atom), ("property", Atom),
                ("time", ctypes.c_ulong)]


class SelectionNotify(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", Window), ("selection", Atom),
                ("target", Atom), ("property", Atom), ("time", ctypes.c_ulong)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", ClientMessage),
                ("xselectionrequest", SelectionRequest), ("xselection", SelectionNotify),
                ("pad", ctypes.c_long * 24)]


CLIENT_MESSAGE, SELECTION_REQUEST = 33, 30
x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = Atom
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XDefaultRootWindow.restype = Window
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XCreateSimpleWindow.restype = Window
x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, Window] + [ctypes.c_int] * 2 + \
    [ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
x11.XSetSelectionOwner.argtypes = [ctypes.c_void_p, Atom, Window, ctypes.c_ulong]
x11.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long,
                           ctypes.POINTER(XEvent)]
x11.XChangeProperty.argtypes = [ctypes.c_void_p, Window, Atom, Atom, ctypes.c_int, ctypes.c_int,
                                ctypes.c_char_p, ctypes.c_int]
x11.XPending.argtypes = x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("x11_drop: cannot open the display")
target = int(sys.argv[1], 0)
uri = "file://" + urllib.parse.quote(os.path.abspath(sys.argv[2])) + "\r\n"
atom = {name: x11.XInternAtom(display, name.encode(), 0)
        for name in ("XdndEnter", "XdndPosition", "XdndStatus", "XdndDrop", "XdndFinished",
                     "XdndSelection", "XdndActionCopy", "text/uri-list")}
source = x11.XCreateSimpleWindow(display, x11.XDefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)
x11.XSetSelectionOwner(display, atom["XdndSelection"], source, 0)


def send(message, *data):
    event = XEvent()
    event.xclient.type = CLIENT_MESSAGE
    event.xclient.window = target
    event.xclient.message_type = atom[message]
    event.xclient.format = 32
    for i, value in enumerate((source,) + data):
        event.xclient.data[i] = value
    x11.XSendEvent(display, target, 0, 0, ctypes.byref(event))
    x11.XFlush(display)


def wait_for(message, seconds=10):
    """Answers the window's request for the dropped names while waiting for `message`."""
    end = time.monotonic() + seconds
    event = XEvent()
    while time.monotonic() < end:
        if not x11.XPending(display):
            time.sleep(0.01)
            continue
        x11.XNextEvent(display, ctypes.byref(event))
        if event.type == SELECTION_REQUEST:
            request = event.xselectionrequest
            data = uri.encode()
            x11.XChangeProperty(display, request.requestor, request.property, request.target, 8,
                                0, data, len(data))
            reply = XEvent()
            reply.xselection.type = 31  # SelectionNotify
            reply.xselection.requestor = request.requestor
            reply.xselection.selection = request.selection
            reply.xselection.target = request.target
            reply.xselection.property = request.property
            reply.xselection.time = request.time
            x11.XSendEvent(display, request.requestor, 0, 0, ctypes.byref(reply))
            x11.XFlush(display)
        elif event.type == CLIENT_MESSAGE and event.xclient.message_type == atom[message]:
            return event.xclient
    sys.exit("x11_drop: the window never sent %s (source 0x%x)" % (message, source))


send("XdndEnter", 5 << 24, atom["text/uri-list"], 0, 0)
send("XdndPosition", 0, (100 << 16) | 100, 0, atom["XdndActionCopy"])
if not wait_for("XdndStatus").data[1] & 1:
    sys.exit("x11_drop: the window refuses the drop")
send("XdndDrop", 0, 0)
wait_for("XdndFinished")
x11.XCloseDisplay(display)
