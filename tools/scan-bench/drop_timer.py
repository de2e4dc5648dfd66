#!/usr/bin/env python3
"""One job through a running queue, timed from outside on one clock.

  drop_timer.py <staged job> <hot folder> (--folder <port folder> | --tcp <port>)
                [--pid <pid>]... [--timeout <s>]

Renames the staged job into the hot folder and waits for its print: the
first byte at the port (a new file in the port's folder, or the first byte
on a loopback TCP port this program listens on), then the last byte, once
the job has left the hot folder and the print file has stopped growing (its
modification time) or the printer's connection has closed. Prints one line:
the seconds from the rename to the first and to the last byte, the bytes,
then the processor seconds (user + system, every thread) each --pid used
from just before the rename to the end. Exit status 1 when the print did not
end within the time-out (default 900 s), 2 for a set-up that failed; both
say why.
"""
import argparse
import os
import socket
import sys
import threading
import time

POLL = 0.005      # the first byte is looked for this often
SETTLED = 2.0     # a print file unchanged this long has ended


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class TcpPrinter(threading.Thread):
    """Takes one connection and notes when its first and last bytes came."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.server = socket.create_server(("127.0.0.1", port))
        self.first = self.last = None
        self.bytes = 0
        self.closed = threading.Event()

    def run(self):
        connection, _ = self.server.accept()
        with connection:
            # A printer on a network acknowledges every second segment; over
            # loopback a segment is 64 KB, as large as the queue's send
            # buffer, and a delayed acknowledgement (40 ms) would stall every
            # send. Acknowledge at once, as the printer's network would.
            while True:
                connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_QUICKACK, 1)
                data = connection.recv(1 << 20)
                if not data:
                    break
                self.last = time.time()
                self.first = self.first or self.last
                self.bytes += len(data)
        self.closed.set()


def new_files(folder, before):
    return [e for e in os.scandir(folder) if e.is_file() and e.name not in before]


def hot_folder_empty(folder):
    return not any(e.is_file() for e in os.scandir(folder))


def main():
    a = argparse.ArgumentParser()
    a.add_argument("job")
    a.add_argument("hot")
    port = a.add_mutually_exclusive_group(required=True)
    port.add_argument("--folder")
    port.add_argument("--tcp", type=int)
    a.add_argument("--pid", type=int, action="append", default=[])
    a.add_argument("--timeout", type=float, default=900)
    args = a.parse_args()
    try:
        printer = TcpPrinter(args.tcp) if args.tcp else None
        before = set(os.listdir(args.folder)) if args.folder else set()
        cpu0 = [cpu_seconds(p) for p in args.pid]
    except OSError as e:
        sys.exit(f"drop_timer: {e}")
    if printer:
        printer.start()
    target = os.path.join(args.hot, os.path.basename(args.job))
    dropped = time.time()
    os.rename(args.job, target)
    deadline = dropped + args.timeout

    def wait(done, why, pause):
        while not done():
            if time.time() > deadline:
                print(f"drop_timer: {why} within {args.timeout:.0f} s", file=sys.stderr)
                sys.exit(1)
            time.sleep(pause)

    if printer:
        wait(lambda: printer.first, "no byte at the TCP printer", POLL)
        wait(lambda: printer.closed.is_set() and hot_folder_empty(args.hot), "the print did not end", 0.1)
        first, last, size = printer.first, printer.last, printer.bytes
    else:
        wait(lambda: any(e.stat().st_size for e in new_files(args.folder, before)), "no print file", POLL)
        first = time.time()
        files = lambda: new_files(args.folder, before)
        seen = [None, time.time()]  # sizes and modification times, when they last changed

        def settled():
            now = [(e.name, e.stat().st_size, e.stat().st_mtime_ns) for e in files()]
            if now != seen[0]:
                seen[:] = [now, time.time()]
            return hot_folder_empty(args.hot) and time.time() - seen[1] >= SETTLED

        wait(settled, "the print did not end", 0.1)
        last = max(m for _, _, m in seen[0]) / 1e9
        size = sum(s for _, s, _ in seen[0])
    cpu = [cpu_seconds(p) - c for p, c in zip(args.pid, cpu0)]
    print(f"{first - dropped:.3f} {last - dropped:.3f} {size}", *(f"{c:.2f}" for c in cpu))


if __name__ == "__main__":
    main()
