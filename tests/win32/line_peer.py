#!/usr/bin/env python3
"""The far end of the line for the Windows port's tests under Wine: makes a
pseudo-terminal, holds both its ends (the line keeps its settings between
opens), points each --link (dosdevices/comN) at it, prints its path and
serves until stdin closes. Requests come over the line; other bytes are data.
  ?termios   -> "termios speed=N csize=8 parity=none|odd|even|- stop=1|2 crtscts=0|1 ixon=0|1
                ixoff=0|1 echo=0|1 icanon=0|1" (parity "-": the terminal holds none)
  ?got       -> "got HEX", the data since the last ?got
  ?vanish MS -> closes the terminal (the device is gone), after MS ms makes a new one
"""
import argparse, os, pty, re, select, sys, termios, time

REQUEST = re.compile(rb"\?(termios|got|vanish \d+)\n")
SPEEDS = {getattr(termios, n): int(n[1:]) for n in dir(termios) if re.fullmatch(r"B\d+", n)}


def holds_parity(fd):
    """Asked once, on the fresh terminal, before the port has set it."""
    saved, trial = termios.tcgetattr(fd), termios.tcgetattr(fd)
    trial[2] |= termios.PARENB
    try:
        termios.tcsetattr(fd, termios.TCSANOW, trial)
    except termios.error:  # refused outright
        return False
    held = bool(termios.tcgetattr(fd)[2] & termios.PARENB)
    termios.tcsetattr(fd, termios.TCSANOW, saved)
    return held


def describe(fd, parity_held):
    iflag, _, cflag, lflag, _, ospeed, _ = termios.tcgetattr(fd)
    size = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}[cflag & termios.CSIZE]
    parity = ("-" if not parity_held else "none" if not cflag & termios.PARENB
              else "odd" if cflag & termios.PARODD else "even")
    bits = [(cflag, termios.CRTSCTS), (iflag, termios.IXON), (iflag, termios.IXOFF),
            (lflag, termios.ECHO), (lflag, termios.ICANON)]
    return ("termios speed=%d csize=%d parity=%s stop=%d crtscts=%d ixon=%d ixoff=%d echo=%d icanon=%d"
            % (SPEEDS.get(ospeed, -1), size, parity, 2 if cflag & termios.CSTOPB else 1,
               *(int(bool(value & mask)) for value, mask in bits)))


def open_line(links):
    master, slave = pty.openpty()
    for link in links:
        if os.path.lexists(link + ".new"):
            os.unlink(link + ".new")
        os.symlink(os.ttyname(slave), link + ".new")
        os.replace(link + ".new", link)  # at once: the port is opened again meanwhile
    parity_held = holds_parity(slave)
    print(os.ttyname(slave), flush=True)
    return master, slave, parity_held


def send(fd, data):
    while data and select.select([], [fd], [], 5)[1]:
        data = data[os.write(fd, data):]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--link", action="append", default=[])
    links = parser.parse_args().link
    master, slave, parity_held = open_line(links)
    pending = data = b""
    while True:
        ready = select.select([master, sys.stdin], [], [])[0]
        if sys.stdin in ready and not sys.stdin.readline():
            break
        if master not in ready:
            continue
        try:
            pending += os.read(master, 65536)
        except OSError:
            continue
        while match := REQUEST.search(pending):
            data, pending = data + pending[:match.start()], pending[match.end():]
            words = match.group(1).split()
            if words[0] == b"termios":
                send(master, describe(slave, parity_held).encode() + b"\n")
            elif words[0] == b"got":
                send(master, b"got " + data.hex().encode() + b"\n")
                data = b""
            else:  # vanish
                os.close(master)
                os.close(slave)
                time.sleep(int(words[1]) / 1000.0)
                master, slave, parity_held = open_line(links)
                pending = data = b""
        # Data without a request in sight: keep only a tail that could still begin one.
        cut = pending.rfind(b"?")
        cut = len(pending) if cut < 0 else cut
        data, pending = data + pending[:cut], pending[cut:]


if __name__ == "__main__":
    main()
