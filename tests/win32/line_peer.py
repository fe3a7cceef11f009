#!/usr/bin/env python3
"""The far end of the line for the Windows port's tests under Wine.

Makes a pseudo-terminal, holds both of its ends (so the line keeps its
settings and never hangs up between opens), points each --link at the terminal
(the Wine prefix's dosdevices/comN) and answers requests that the test sends
over the line itself. Every other byte is data and is kept for "?got".

  ?termios      -> "termios speed=N csize=8 parity=none|odd|even stop=1|2
                    crtscts=0|1 ixon=0|1 ixoff=0|1 echo=0|1 icanon=0|1"
                   (the terminal's settings as Linux sees them)
  ?got          -> "got HEX" (the data received since the last ?got)
  ?send N       -> N bytes "abc...z" repeated
  ?modem        -> "modem none" (a pseudo-terminal has no modem lines)
  ?caps         -> "caps parity=0|1": whether the terminal keeps a parity
                   setting at all (Linux holds its pseudo-terminals at 8 bits,
                   no parity, whatever is asked)
  ?vanish MS    -> closes the terminal (the device is gone), waits MS
                   milliseconds, then makes a new one and re-points the links

Prints the terminal's path on the first line of stdout, then serves until
stdin closes or SIGTERM.
"""
import argparse
import os
import pty
import re
import select
import signal
import sys
import termios
import time

REQUEST = re.compile(rb"\?(termios|got|send \d+|modem|caps|vanish \d+)\n")

SPEEDS = {getattr(termios, name): int(name[1:])
          for name in dir(termios) if re.fullmatch(r"B\d+", name)}


def describe(fd):
    iflag, _oflag, cflag, lflag, _ispeed, ospeed, _cc = termios.tcgetattr(fd)
    size = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}[cflag & termios.CSIZE]
    if not cflag & termios.PARENB:
        parity = "none"
    else:
        parity = "odd" if cflag & termios.PARODD else "even"
    flag = lambda value, bit: "1" if value & bit else "0"
    return ("termios speed=%d csize=%d parity=%s stop=%d crtscts=%s ixon=%s ixoff=%s echo=%s icanon=%s"
            % (SPEEDS.get(ospeed, -1), size, parity, 2 if cflag & termios.CSTOPB else 1,
               flag(cflag, termios.CRTSCTS), flag(iflag, termios.IXON), flag(iflag, termios.IXOFF),
               flag(lflag, termios.ECHO), flag(lflag, termios.ICANON)))


def holds_parity(fd):
    """Asked once, on the fresh terminal, before the port has set it."""
    try:
        saved = termios.tcgetattr(fd)
        trial = termios.tcgetattr(fd)
        trial[2] |= termios.PARENB
        termios.tcsetattr(fd, termios.TCSANOW, trial)
        held = bool(termios.tcgetattr(fd)[2] & termios.PARENB)
        termios.tcsetattr(fd, termios.TCSANOW, saved)
        return held
    except termios.error:
        return False


class Line:
    def __init__(self, links):
        self.links = links
        self.open()

    def open(self):
        self.master, self.slave = pty.openpty()
        self.path = os.ttyname(self.slave)
        self.holds_parity = holds_parity(self.slave)
        for link in self.links:
            tmp = link + ".new"
            if os.path.lexists(tmp):
                os.unlink(tmp)
            os.symlink(self.path, tmp)
            os.replace(tmp, link)

    def close(self):
        os.close(self.master)
        os.close(self.slave)
        self.master = self.slave = -1

    def send(self, data):
        view = memoryview(data)
        while view:
            _, writable, _ = select.select([], [self.master], [], 5)
            if not writable:
                return
            view = view[os.write(self.master, view):]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--link", action="append", default=[],
                        help="symbolic link to make to the terminal (may repeat)")
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))

    line = Line(args.link)
    print(line.path, flush=True)
    pending = b""
    data = b""
    while True:
        ready, _, _ = select.select([line.master, sys.stdin], [], [])
        if sys.stdin in ready and not sys.stdin.readline():
            break
        if line.master not in ready:
            continue
        try:
            chunk = os.read(line.master, 65536)
        except OSError:
            continue
        pending += chunk
        while True:
            match = REQUEST.search(pending)
            if not match:
                break
            data += pending[:match.start()]
            pending = pending[match.end():]
            words = match.group(1).split()
            if words[0] == b"termios":
                line.send(describe(line.slave).encode() + b"\n")
            elif words[0] == b"got":
                line.send(b"got " + data.hex().encode() + b"\n")
                data = b""
            elif words[0] == b"send":
                count = int(words[1])
                line.send((b"abcdefghijklmnopqrstuvwxyz" * (count // 26 + 1))[:count])
            elif words[0] == b"caps":
                line.send(b"caps parity=%d\n" % line.holds_parity)
            elif words[0] == b"modem":
                line.send(b"modem none\n")
            elif words[0] == b"vanish":
                line.close()
                time.sleep(int(words[1]) / 1000.0)
                line.open()
                pending = b""
                data = b""
                print(line.path, flush=True)
                break
        # Data without a request in sight: keep only a tail that could
        # still begin one.
        cut = pending.rfind(b"?")
        if cut < 0:
            data += pending
            pending = b""
        elif cut > 0:
            data += pending[:cut]
            pending = pending[cut:]


if __name__ == "__main__":
    main()
