"""What the Python package adds to each call: a register read through
q.read() (the process-wide lock, the result check) against the ctypes
function as declared (q.c.Quorel_in), and the lock alone.

    PYTHONPATH=python LD_LIBRARY_PATH=build/native/bin python3 bench/python_call_overhead.py

Best of seven rounds of 200,000 calls each, on the simulated PC's first
card (type 1: a read is one byte load, no pause).
"""
import sys
import timeit

import quorel

CALLS, ROUNDS = 200_000, 7


def per_call(statement, names):
    best = min(timeit.repeat(statement, globals=names, number=CALLS, repeat=ROUNDS))
    return best / CALLS * 1e6


def main():
    q = quorel.load(sys.argv[1] if len(sys.argv) > 1 else None)
    q.open(0)
    names = {"q": q, "lock": quorel.LOCK, "raw": q.c.Quorel_in}
    rows = [
        ("q.c.Quorel_in(5), as declared", "raw(5)"),
        ("q.read(5), lock and check", "q.read(5)"),
        ("with quorel.LOCK: pass", "with lock: pass"),
    ]
    print(f"Python {sys.version.split()[0]}, {q.path}")
    for label, statement in rows:
        print(f"{label:34} {per_call(statement, names):6.3f} µs")
    q.close()


if __name__ == "__main__":
    main()
