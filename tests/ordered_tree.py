#!/usr/bin/env python3
"""Creates a test tree whose directories list their entries in a given order.

    ordered_tree.py ROOT JSON [MTIME]

JSON is a list of [name, size] (a file of `size` bytes) or [name, [...]] (a
directory and its entries), in the order a directory read should deliver
them. On tmpfs that order is the order of creation or its reverse,
depending on the kernel; a probe tells which. Files get the last-write time
MTIME (Unix seconds) when given. Exit code 3: the order cannot be arranged
on this file system (the caller skips its checks).
"""
import json
import os
import sys


def listing_follows_creation(parent):
    probe = os.path.join(parent, ".order-probe")
    os.makedirs(probe)
    try:
        for name in ("a", "b", "c"):
            open(os.path.join(probe, name), "w").close()
        order = os.listdir(probe)
    finally:
        for name in os.listdir(probe):
            os.remove(os.path.join(probe, name))
        os.rmdir(probe)
    if order == ["a", "b", "c"]:
        return True
    if order == ["c", "b", "a"]:
        return False
    return None


def make(path, entries, forward, mtime):
    os.makedirs(path, exist_ok=True)
    for name, content in (entries if forward else reversed(entries)):
        child = os.path.join(path, name)
        if isinstance(content, list):
            make(child, content, forward, mtime)
        else:
            with open(child, "wb") as f:
                f.write(b"x" * content)
            if mtime is not None:
                os.utime(child, (mtime, mtime))


def main():
    root, spec = sys.argv[1], json.loads(sys.argv[2])
    mtime = int(sys.argv[3]) if len(sys.argv) > 3 else None
    parent = os.path.dirname(root.rstrip("/")) or "."
    os.makedirs(parent, exist_ok=True)
    forward = listing_follows_creation(parent)
    if forward is None:
        return 3
    make(root, spec, forward, mtime)
    return 0


if __name__ == "__main__":
    sys.exit(main())
