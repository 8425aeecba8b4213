#!/usr/bin/python3
"""Plays a charger that sends RATE lines a second for SECONDS into a serial device or pipe, each
batch written on its own as a device sends it, so that the program sees about as many serial
events as lines.

Usage: steady_charger.py PATH RATE SECONDS
"""
import sys
import time

path, rate, seconds = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
with open(path, "w") as port:
    start = time.monotonic()
    sent = 0
    while time.monotonic() - start < seconds:
        due = int((time.monotonic() - start) * rate)
        if due > sent:
            port.write("".join(f"{2000 + (i * 7) % 450}\n" for i in range(sent, due)))
            port.flush()
            sent = due
        time.sleep(1 / rate)
