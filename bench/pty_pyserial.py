#!/usr/bin/env python3
"""The peer of kvt-cli over a pty: N register writes with pyserial (address and data, then the
echo). Usage: pty_pyserial.py DEVICE N. Exit status 3 when pyserial is not installed."""
import sys

try:
    import serial
except ImportError:
    sys.exit(3)

port = serial.Serial(sys.argv[1], 9600, timeout=0.5)
for i in range(int(sys.argv[2])):
    port.write(bytes([0x19, i & 0xFF]))
    if port.read(1) != b"\x19":
        sys.exit("pty_pyserial: transaction %d failed" % i)
port.close()
