#!/usr/bin/python3
"""Asks an X window to close, as a window manager's close button does (WM_DELETE_WINDOW)."""
import sys

from Xlib import X, display
from Xlib.protocol import event

connection = display.Display()
window = connection.create_resource_object("window", int(sys.argv[1]))
protocols = connection.intern_atom("WM_PROTOCOLS")
delete_window = connection.intern_atom("WM_DELETE_WINDOW")
message = event.ClientMessage(
    window=window, client_type=protocols, data=(32, [delete_window, X.CurrentTime, 0, 0, 0]))
window.send_event(message, event_mask=X.NoEventMask)
connection.flush()
