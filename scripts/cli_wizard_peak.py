#!/usr/bin/env python3
"""Runs a 1:2 wizard with nodewright-cli against nodewright-sim at real pauses,
switching the simulated adapter between presses, and prints the CLI's peak
resident memory and wall time. Usage: cli_wizard_peak.py BUILD_DIR"""
import os
import subprocess
import sys
import time

build = sys.argv[1]
sim = subprocess.Popen([os.path.join(build, "app/nodewright-sim")], stdin=subprocess.PIPE,
                       stdout=subprocess.PIPE, text=True, bufsize=1)
pty = sim.stdout.readline().strip()
cli = subprocess.Popen([os.path.join(build, "app/nodewright-cli"), "-p", pty, "wizard", "--n", "2"],
                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                       text=True, bufsize=1)
finals = ("Connect master to the serial port and push next button.",
          "Connect slave1 to a serial device and push next button.",
          "Connect slave2 to a serial device and push start button.",
          "Connect master to a serial device and push start button.",
          "SUCCESS: Multi setting complete.")
start = time.monotonic()
for who in ("master", "master", "slave1", "slave2", "master"):
    sim.stdin.write(f"attach {who}\n")
    cli.stdin.write("next\n")
    while True:
        line = cli.stdout.readline()
        if not line:
            sys.exit("the CLI ended early")
        if line.strip() in finals or "retry" in line:
            print(f"  {who:7s} -> {line.strip()}")
            break
def hwm(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return -1


peak = hwm(cli.pid)  # peak resident set since exec, in KiB
cli.stdin.write("quit\n")
cli.stdin.close()
cli.wait()
wall = time.monotonic() - start
sim.stdin.write("show\nquit\n")
sim.stdin.close()
sim.wait(timeout=10)
print(f"cli wizard 1:2: exit {cli.returncode}, {wall:.1f} s, peak RSS {peak} KiB")
