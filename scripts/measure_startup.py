#!/usr/bin/python3
"""Times the program from launch until its main window is mapped (shown) on the X display.

Usage: measure_startup.py PROGRAM [RUNS]   (DISPLAY must name a running X server)
Prints each run and the median, in milliseconds.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display

TITLE = "Trevanix Ampelon"


def window_title(connection, window):
    try:
        name = window.get_wm_name()
        if name:
            return name
        prop = window.get_full_property(connection.intern_atom("_NET_WM_NAME"), 0)
        return prop.value.decode() if prop else None
    except Exception:  # the window may be gone already
        return None


def one_run(program):
    connection = display.Display()
    root = connection.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    connection.sync()
    with tempfile.TemporaryDirectory() as work:
        runtime = os.path.join(work, "runtime")
        os.makedirs(runtime, mode=0o700)
        environment = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"),
                           XDG_RUNTIME_DIR=runtime, XDG_STATE_HOME=os.path.join(work, "state"))
        start = time.monotonic()
        process = subprocess.Popen([program], env=environment, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        try:
            while time.monotonic() - start < 10:
                if not connection.pending_events():
                    time.sleep(0.001)
                    continue
                event = connection.next_event()
                if event.type == X.MapNotify and window_title(connection, event.window) == TITLE:
                    return (time.monotonic() - start) * 1000
            raise RuntimeError("the window did not appear")
        finally:
            process.terminate()
            process.wait()
            connection.close()


def main():
    program = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    one_run(program)  # warms the file cache
    times = [one_run(program) for _ in range(runs)]
    for value in times:
        print(f"launch to window: {value:.0f} ms")
    print(f"median of {runs}: {statistics.median(times):.0f} ms")


if __name__ == "__main__":
    main()
