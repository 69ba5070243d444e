#!/usr/bin/env python3
"""Writes a synthetic setupapi.dev.log of about SIZE bytes: one update
section of the installer's shape in every EVERY sections (default 20), the
others of another call (a device found by Windows), as a used machine's log
holds them. EVERY 3 makes the dense case, where the installer's sections are
a third of the log.

    synthetic_log.py PATH SIZE [EVERY]
"""
import sys

path, size = sys.argv[1], int(sys.argv[2])
every = int(sys.argv[3]) if len(sys.argv) > 3 else 20
update = (b">>>  [Device Install (UpdateDriverForPlugAndPlayDevices) - PCI\\VEN_1F2E&DEV_%04d]\r\n"
          b">>>  Section start 2026/12/01 10:00:00.000\r\n"
          b"      cmd: \"C:\\Temp\\pkg\\varnoll64.exe\"\r\n"
          b"     ndv: INF path: C:\\Temp\\pkg\\tarvelix-%04d.inf\r\n"
          b"     ndv: Install flags: 0x00000001\r\n"
          b"     ndv: {Update Device Driver - PCI\\VEN_1F2E&DEV_%04d\\4&1&0&00E0}\r\n"
          + b"     dvi:           {Configure Device - exit(0x00000000)} 10:00:00.100\r\n" * 12 +
          b"     ndv: {Update Device Driver - exit(00000000)}\r\n"
          b"<<<  Section end 2026/12/01 10:00:01.000\r\n"
          b"<<<  [Exit status: SUCCESS]\r\n\r\n")
other = (b">>>  [Device Install (Hardware initiated) - USB\\VID_1234&PID_%04d\\5&1&0&1]\r\n"
         b">>>  Section start 2026/12/01 10:00:02.000\r\n"
         + b"     dvi:      Searching for hardware ID(s): usb\\vid_1234&pid_0001&rev_0100 usb\\vid_1234\r\n" * 20 +
         b"<<<  Section end 2026/12/01 10:00:03.000\r\n"
         b"<<<  [Exit status: SUCCESS]\r\n\r\n")
with open(path, "wb") as out:
    written, i = 0, 0
    while written < size:
        chunk = b"".join((update % (i % 10000, i % 10000, i % 10000)) if k % every == 0 else (other % (i % 10000))
                         for k in range(300))
        out.write(chunk)
        written += len(chunk)
        i += 1
