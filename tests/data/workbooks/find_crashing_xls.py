#!/usr/bin/python3
"""Looks for a damaged .xls that crashes the parser library inside paperxlsread.

Deterministic: the same seed gives the same mutants. Each mutant is a valid fixture with
a few bytes overwritten (record lengths, string lengths and counts are the likely
culprits); it is run through the helper, and the smallest file that kills it with a
signal is written to crash-freexl-open.xls.

    /usr/bin/python3 find_crashing_xls.py PATH/TO/paperxlsread [TRIES]
"""
import random
import signal
import subprocess
import sys
import tempfile

CRASH_SIGNALS = {signal.SIGSEGV, signal.SIGBUS, signal.SIGABRT, signal.SIGFPE}
INTERESTING = [0x00, 0x01, 0x7F, 0x80, 0xFF]


def mutate(base, rng):
    data = bytearray(base)
    for _ in range(rng.randint(1, 4)):
        at = rng.randrange(512, len(data))  # leave the container header alone
        data[at] = rng.choice(INTERESTING) if rng.random() < 0.5 else rng.randrange(256)
    return bytes(data)


def crashes(helper, data):
    with tempfile.NamedTemporaryFile(suffix=".xls") as f:
        f.write(data)
        f.flush()
        try:
            run = subprocess.run([helper, f.name, "252", "11"], capture_output=True, timeout=20)
        except subprocess.TimeoutExpired:
            return None
        if run.returncode < 0 and -run.returncode in CRASH_SIGNALS:
            return -run.returncode
        return None


def main():
    helper = sys.argv[1]
    tries = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    rng = random.Random(20240301)
    base = open("paper-xlwt.xls", "rb").read()
    found = None
    for attempt in range(tries):
        data = mutate(base, rng)
        sig = crashes(helper, data)
        if sig is not None:
            print("attempt %d: signal %d" % (attempt, sig))
            found = data
            break
    if found is None:
        print("no crash in %d tries" % tries)
        return 1
    # Shrink: cut the file at sector boundaries while it still crashes.
    size = len(found)
    while size > 1024:
        shorter = found[: size - 512]
        if crashes(helper, shorter) is None:
            break
        size -= 512
        found = shorter
    open("crash-freexl-open.xls", "wb").write(found)
    print("kept %d bytes" % len(found))
    return 0


if __name__ == "__main__":
    sys.exit(main())
