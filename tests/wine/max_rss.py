#!/usr/bin/env python3
"""Runs a command and prints the largest resident set, in KiB, of the
processes it waited for. `wine prog.exe` runs the Windows program in the
process it starts, so this is the program's peak memory as Linux saw it.

    max_rss.py COMMAND [ARGS...]
"""
import resource
import subprocess
import sys

if len(sys.argv) < 2:
    sys.exit(__doc__)
status = subprocess.run(sys.argv[1:], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL).returncode
print(status, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
