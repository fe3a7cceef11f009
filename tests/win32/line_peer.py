#!/usr/bin/env python3
"""The far end of the line for the Windows port's tests under Wine: makes a
pseudo-terminal, holds both its ends (the line keeps its settings between
opens), points each --link (dosdevices/comN) at it, prints its path and
serves until stdin closes. Requests come over the line; other bytes are data.
  ?termios   -> "termios speed=N stop=1|2 csize=8 crtscts=0|1 ixon=0|1 ixoff=0|1 echo=0|1 icanon=0|1"
  ?vanish MS -> closes the terminal (the device is gone), after MS ms makes a new one
"""
import os, pty, re, select, sys, termios as T, time

REQUEST = re.compile(rb"\?(termios|vanish \d+)\n")
SPEEDS = {getattr(T, n): int(n[1:]) for n in dir(T) if re.fullmatch(r"B\d+", n)}
LINKS = [a for i, a in enumerate(sys.argv) if i > 1 and sys.argv[i - 1] == "--link"]


def describe(fd):
    iflag, _, cflag, lflag, _, ospeed, _ = T.tcgetattr(fd)
    size = {T.CS5: 5, T.CS6: 6, T.CS7: 7, T.CS8: 8}[cflag & T.CSIZE]
    bits = [(cflag, T.CRTSCTS), (iflag, T.IXON), (iflag, T.IXOFF), (lflag, T.ECHO), (lflag, T.ICANON)]
    return ("termios speed=%d stop=%d csize=%d crtscts=%d ixon=%d ixoff=%d echo=%d icanon=%d\n"
            % (SPEEDS.get(ospeed, -1), 2 if cflag & T.CSTOPB else 1, size,
               *(int(bool(value & mask)) for value, mask in bits)))


def open_line():
    master, slave = pty.openpty()
    for link in LINKS:
        if os.path.lexists(link + ".new"):
            os.unlink(link + ".new")
        os.symlink(os.ttyname(slave), link + ".new")
        os.replace(link + ".new", link)  # at once: the port is opened again meanwhile
    print(os.ttyname(slave), flush=True)
    return master, slave


master, slave = open_line()
pending = b""
while not (sys.stdin in (ready := select.select([master, sys.stdin], [], [])[0])
           and not sys.stdin.readline()):
    try:
        pending += os.read(master, 65536) if master in ready else b""
    except OSError:
        continue
    while match := REQUEST.search(pending):
        pending, words = pending[match.end():], match.group(1).split()
        if words[0] == b"vanish":
            os.close(master), os.close(slave), time.sleep(int(words[1]) / 1000.0)
            master, slave = open_line()
            pending = b""
            continue
        reply = describe(slave).encode()
        while reply and select.select([], [master], [], 5)[1]:
            reply = reply[os.write(master, reply):]
    pending = pending[pending.rfind(b"?"):] if b"?" in pending else b""  # a request's beginning
