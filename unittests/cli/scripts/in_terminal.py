"""Runs a shell command as a person's terminal would: standard input and
standard output on a new pseudo-terminal, and standard error on that
terminal too, in a file, or in a pipe (the first argument: terminal, file or
pipe). Writes what the terminal showed to terminal.txt and, when standard
error was not the terminal, what went there to stderr.txt, both in the
current directory. Exits with the command's status.

Usage: in_terminal.py terminal|file|pipe 'shell command'
"""
import errno
import os
import pty
import subprocess
import sys
import threading


def main():
    mode, command = sys.argv[1], sys.argv[2]
    master, slave = pty.openpty()
    if mode == "terminal":
        stderr = slave
    elif mode == "file":
        stderr = open("stderr.txt", "wb")
    elif mode == "pipe":
        stderr = subprocess.PIPE
    else:
        sys.exit("unknown mode " + mode)
    child = subprocess.Popen(command, shell=True, stdin=slave, stdout=slave, stderr=stderr)
    os.close(slave)

    piped = []
    reader = None
    if mode == "pipe":
        reader = threading.Thread(target=lambda: piped.append(child.stderr.read()))
        reader.start()

    shown = bytearray()
    while True:
        try:
            chunk = os.read(master, 65536)
        except OSError as error:
            if error.errno == errno.EIO:  # the terminal's last writer has gone
                break
            raise
        if not chunk:
            break
        shown += chunk
    status = child.wait()
    if reader is not None:
        reader.join()
        with open("stderr.txt", "wb") as out:
            out.write(piped[0])
    with open("terminal.txt", "wb") as out:
        out.write(bytes(shown))
    sys.exit(status if status >= 0 else 128 - status)


if __name__ == "__main__":
    main()
