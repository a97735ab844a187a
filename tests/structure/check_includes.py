#!/usr/bin/env python3
"""Fails when a file includes what its layer may not use.

program -> afx -> vfw -> win: each layer may include its own headers and those
of the layers below, by path from their include root ("win/core/window.h"), and
the platform's API headers of those layers by bare name ("winuser.h"). Tests,
benchmarks and tools may use every layer, and their own headers.

Inside the layers, a file of one library may include the headers of another
only if its library links that one, directly or through the PUBLIC links of
what it links. The libraries, their folders, sources and links are read from
the record the configure writes (korvane_libraries.txt in the build folder).
A source belongs to the library that lists it, any other file to the first
library recorded with its folder. Headers in a library's internal/ subfolder
belong to it and are for its own files only.

A header another library includes, and every header of its own library it
includes in turn, is that library's interface: it may include the headers of
other libraries only through PUBLIC links, as that is all its users get.

No CMakeLists.txt makes a source folder an include directory: the include
roots of cmake/korvane.cmake are the only way in.

    check_includes.py --tree DIR --libraries FILE [--plant FILE=LINE ...]

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
# A library's headers in this subfolder of its own are for its own files only.
INTERNAL = "internal"
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


class Libraries:
    """The libraries of the layers as the configure recorded them."""

    def __init__(self, record_path):
        self.links = {}  # name -> (private links, public links)
        self.owner = {}  # a listed source, or a folder, -> library
        with open(record_path, encoding="utf-8") as fh:
            for number, line in enumerate(fh, 1):
                kind, _, value = line.strip().partition(" ")
                if kind == "library":
                    name = value
                    self.links[name] = ([], [])
                elif kind in ("folder", "source") and self.links:
                    self.owner.setdefault(value, name)
                    self.owner.setdefault(os.path.dirname(value) if kind == "source" else value, name)
                elif kind in ("deps", "public_deps") and self.links:
                    self.links[name][kind == "public_deps"].append(value)
                elif kind:
                    raise ValueError(f"{record_path}:{number}: cannot read {line.strip()!r}")

    def of(self, path):
        """The library `path` belongs to, or None."""
        folder = os.path.dirname(path)
        if os.path.basename(folder) == INTERNAL:
            folder = os.path.dirname(folder)
        return self.owner.get(path) or self.owner.get(folder)

    def reach(self, name, public_only=False):
        """Every library whose headers `name` may use: its links and their PUBLIC ones."""
        private, public = self.links.get(name, ([], []))
        reached, todo = set(), list(public if public_only else private + public)
        while todo:
            dep = todo.pop()
            if dep in self.links and dep not in reached:
                reached.add(dep)
                todo.extend(self.links[dep][1])
        return reached


def offence(tree, libraries, path, name):
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
    user, owner = libraries.of(path), libraries.of(target)
    if owner is not None and owner != user and f"/{INTERNAL}/" in target:
        return f'"{name}" is internal to {owner}'
    if owner is not None and owner != user and owner not in libraries.reach(user):
        return f'{user or "no library"} does not link {owner}: may not include "{name}"'
    return None


def included(lines):
    """(line number, name) of each quoted include."""
    for number, line in enumerate(lines, 1):
        m = INCLUDE.match(line)
        if m:
            yield number, m.group(1)


def interface_offences(tree, libraries, contents):
    """(path, line number, why) for each include of an interface header that
    reaches a library its own links only PRIVATE."""
    includes = {}  # path -> [(line number, name, tree path)]
    for path, lines in contents.items():
        if path.endswith(SOURCE_SUFFIXES) and layer_of(path) is not None:
            found = [(n, name, named_file(tree, name)) for n, name in included(lines)]
            includes[path] = [(n, name, target) for n, name, target in found if target]
    users = {}  # interface header -> a library outside its own that uses it
    for path, found in includes.items():
        for _, _, target in found:
            user, owner = libraries.of(path), libraries.of(target)
            if owner is not None and user != owner:
                users.setdefault(target, user)
    todo = list(users)
    while todo:
        header = todo.pop()
        for _, _, target in includes.get(header, []):
            if libraries.of(target) == libraries.of(header) and target not in users:
                users[target] = users[header]
                todo.append(target)
    for header, user in sorted(users.items()):
        owner = libraries.of(header)
        for number, name, target in includes.get(header, []):
            used = libraries.of(target)
            if used not in (None, owner) and used not in libraries.reach(owner, public_only=True):
                yield header, number, (f'"{name}" needs {owner} to link {used} PUBLIC: '
                                       f"{user} uses this header")


def tree_files(tree):
    """Every source and CMakeLists.txt of the layers, tests, benchmarks and tools."""
    yield "CMakeLists.txt"
    for top in ("platform", "cmake") + PROGRAM_FOLDERS + ASIDE_FOLDERS:
        for root, dirs, files in os.walk(os.path.join(tree, top)):
            dirs.sort()
            for f in sorted(files):
                if f.endswith(SOURCE_SUFFIXES) or f in ("CMakeLists.txt", "korvane.cmake"):
                    yield os.path.relpath(os.path.join(root, f), tree)


def offences(tree, libraries, path, lines):
    """(line number, why) for each line of `path` that breaks the layering."""
    if path.endswith(SOURCE_SUFFIXES):
        for number, name in included(lines):
            why = offence(tree, libraries, path, name)
            if why:
                yield number, why
    elif path not in ROOT_MAKERS:
        for number, line in enumerate(lines, 1):
            if INCLUDE_DIRS.match(line):
                yield number, "a folder made an include directory: use the include roots"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tree", required=True)
    parser.add_argument("--libraries", required=True, metavar="FILE")
    parser.add_argument("--plant", action="append", default=[], metavar="FILE=LINE")
    args = parser.parse_args()
    tree = os.path.abspath(args.tree)
    libraries = Libraries(args.libraries)
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
        for number, why in offences(tree, libraries, path, lines):
            print(f"{path}:{number}: {why}")
            failures += 1
    for path, number, why in interface_offences(tree, libraries, contents):
        print(f"{path}:{number}: {why}")
        failures += 1
    print(f"{len(contents)} files, {failures} lines not allowed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
