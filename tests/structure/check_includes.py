#!/usr/bin/env python3
"""Fails when a file includes what its layer may not use.

program -> afx -> vfw -> win: each layer may include its own headers and those
of the layers below, by path from their include root ("win/core/window.h"), and
the platform's API headers of those layers by bare name ("winuser.h"). Tests,
benchmarks and tools may use every layer, and their own headers.

No CMakeLists.txt makes a source folder an include directory: the include
roots of cmake/korvane.cmake are the only way in.

    check_includes.py --tree DIR [--plant FILE=LINE ...]

--plant checks FILE as if LINE were added at its end.
"""

import argparse
import os
import re
import sys

LAYERS = ("win", "vfw", "afx", "program")
PROGRAM_FOLDERS = ("app", "ui", "playback", "export", "controls", "res")
ASIDE_FOLDERS = ("tests", "bench", "tools")
SOURCE_SUFFIXES = (".h", ".hpp", ".inc", ".c", ".cc", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
INCLUDE_DIRS = re.compile(r"^\s*(target_)?include_directories\s*\(")
# Only these make include directories: the roots and the platform's API.
ROOT_MAKERS = ("cmake/korvane.cmake", "platform/include/CMakeLists.txt")


def layer_of(path):
    """The layer a file (path in the tree) belongs to; None outside the layers."""
    parts = path.split("/")
    if parts[0] == "platform" and len(parts) > 2:
        if parts[1] == "include":
            return api_layer(parts[2])
        return parts[1] if parts[1] in LAYERS else None
    return "program" if parts[0] in PROGRAM_FOLDERS else None


def api_layer(header):
    if header.startswith("afx"):
        return "afx"
    return "vfw" if header == "vfw.h" else "win"


def named_file(tree, name):
    """The tree path an include root gives `name`, or None."""
    top = name.split("/")[0]
    if "/" not in name:
        path = "platform/include/" + name
    elif top in ("win", "vfw", "afx"):
        path = "platform/" + name
    elif top in PROGRAM_FOLDERS or top in ASIDE_FOLDERS:
        path = name
    else:
        return None
    return path if os.path.isfile(os.path.join(tree, path)) else None


def offence(tree, path, name):
    """Why `path` may not include `name`, or None when it may."""
    layer = layer_of(path)
    target = named_file(tree, name)
    if layer is None:  # tests, benchmarks and tools
        own = os.path.isfile(os.path.join(tree, os.path.dirname(path), name))
        return None if own or target else f'cannot find "{name}"'
    if target is None:
        return f'"{name}" is not a path from an include root'
    used = layer_of(target)
    if used is None or LAYERS.index(used) > LAYERS.index(layer):
        return f'{layer} may not include "{name}"'
    return None


def tree_files(tree):
    """Every source and CMakeLists.txt of the layers, tests, benchmarks and tools."""
    yield "CMakeLists.txt"
    for top in ("platform", "cmake") + PROGRAM_FOLDERS + ASIDE_FOLDERS:
        for root, dirs, files in os.walk(os.path.join(tree, top)):
            dirs.sort()
            for f in sorted(files):
                if f.endswith(SOURCE_SUFFIXES) or f in ("CMakeLists.txt", "korvane.cmake"):
                    yield os.path.relpath(os.path.join(root, f), tree)


def offences(tree, path, lines):
    """(line number, why) for each line of `path` that breaks the layering."""
    if path.endswith(SOURCE_SUFFIXES):
        for number, line in enumerate(lines, 1):
            m = INCLUDE.match(line)
            why = m and offence(tree, path, m.group(1))
            if why:
                yield number, why
    elif path not in ROOT_MAKERS:
        for number, line in enumerate(lines, 1):
            if INCLUDE_DIRS.match(line):
                yield number, "a folder made an include directory: use the include roots"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tree", required=True)
    parser.add_argument("--plant", action="append", default=[], metavar="FILE=LINE")
    args = parser.parse_args()
    tree = os.path.abspath(args.tree)
    contents = {}
    for path in tree_files(tree):
        with open(os.path.join(tree, path), encoding="utf-8") as fh:
            contents[path] = fh.read().splitlines()
    for plant in args.plant:
        path, line = plant.split("=", 1)
        if path not in contents:
            print(f"check_includes: no {path} to plant into", file=sys.stderr)
            return 2
        contents[path].append(line)
    failures = 0
    for path, lines in contents.items():
        for number, why in offences(tree, path, lines):
            print(f"{path}:{number}: {why}")
            failures += 1
    print(f"{len(contents)} files, {failures} lines not allowed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
