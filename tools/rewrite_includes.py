#!/usr/bin/env python3
"""Moves the headers to where their include roots want them and rewrites every
quoted #include of the tree to its path from the layer's include root.

Each bare or folder-relative name is resolved the way the compiler found it in
the old layout (the including file's own folder first, then the folders that
were include directories), so a name always points at the same file before and
after. Running it again changes nothing. It stops, changing nothing, on a name
it cannot resolve or that two folders offer.

    tools/rewrite_includes.py [--tree DIR] [--dry-run] [--verify DB]

--verify first compares, for every translation unit of the compile database DB
(build/compile_commands.json of a build configured before the include roots),
the headers g++ -MM finds with its flags against those the resolution reaches,
and stops on any difference.
"""

import argparse
import json
import os
import re
import shlex
import subprocess
import sys

SOURCE_SUFFIXES = (".h", ".hpp", ".inc", ".c", ".cc", ".cpp")
API_DIR = "platform/include"
# Layers reached through platform/: "win/core/window.h".
PLATFORM_LAYERS = ("win", "vfw", "afx")
# The program's folders, reached from the top of the tree: "ui/korvane_dlg.h".
PROGRAM_FOLDERS = ("app", "ui", "playback", "export", "controls", "res")
# Tests and tools: their own headers bare in their folder, others' from the top.
ASIDE_FOLDERS = ("tests", "bench", "tools")
SCANNED_FOLDERS = ("platform", "help") + PROGRAM_FOLDERS + ASIDE_FOLDERS
# Headers renamed because their old name hid a system header.
RENAMES = {"platform/win/gdi/png.h": "platform/win/gdi/png_writer.h"}

INCLUDE = re.compile(r'^(\s*#\s*include\s*)"([^"]+)"')


class Failure(Exception):
    pass


def tree_files(tree):
    out = subprocess.run(
        ["git", "ls-files", "--cached", "--others", "--exclude-standard", "-z"],
        cwd=tree, check=True, capture_output=True, text=True).stdout
    files = [f for f in out.split("\0") if f and os.path.isfile(os.path.join(tree, f))]
    return sorted(set(files))


def planned_moves(files):
    """Old path -> new path: nested public-header folders (vfw/riff/riff/x.h)
    flattened into their target's folder, and the renames."""
    moves = {}
    for f in files:
        parts = f.split("/")
        if (len(parts) == 5 and parts[0] == "platform" and parts[1] in PLATFORM_LAYERS
                and parts[2] == parts[3]):
            moves[f] = "/".join(parts[:3] + parts[4:])
    for old, new in RENAMES.items():
        if old in files:
            moves[old] = new
    taken = set(files) - set(moves)
    for old, new in moves.items():
        if new in taken:
            raise Failure(f"cannot move {old}: {new} exists")
        taken.add(new)
    return moves


def legacy_dirs(files):
    """The folders that were include directories: every platform target's
    folder and the program's folders (first), then any other folder holding
    headers in tests/, bench/ and tools/ (last)."""
    first, last = {API_DIR}, set()
    for f in files:
        d = os.path.dirname(f)
        top = f.split("/")[0]
        if top == "platform" and f.endswith("/CMakeLists.txt"):
            first.add(d)
        elif top in PROGRAM_FOLDERS and d == top:
            first.add(d)
        elif top in ASIDE_FOLDERS and f.endswith((".h", ".hpp")):
            last.add(d)
    return sorted(first), sorted(last - first)


def new_roots(name):
    """Where a name already written from an include root points."""
    top = name.split("/")[0]
    if top in PLATFORM_LAYERS and "/" in name:
        return ["platform"]
    if (top in PROGRAM_FOLDERS or top in ASIDE_FOLDERS) and "/" in name:
        return [""]
    return []


class Resolver:
    def __init__(self, files):
        self.files = set(files)
        self.first, self.last = legacy_dirs(files)

    def found(self, dirs, name):
        hits = []
        for d in dirs:
            p = os.path.normpath(os.path.join(d, name))
            if p in self.files and p not in hits:
                hits.append(p)
        return hits

    def resolve(self, includer, name):
        if "/" not in name and os.path.join(API_DIR, name) in self.files:
            return os.path.join(API_DIR, name)
        own = self.found([os.path.dirname(includer)], name)
        if own:
            return own[0]
        for dirs in (self.first, new_roots(name), self.last):
            hits = self.found(dirs, name)
            if len(hits) > 1:
                raise Failure(f'{includer}: "{name}" is ambiguous: {", ".join(hits)}')
            if hits:
                return hits[0]
        raise Failure(f'{includer}: cannot resolve "{name}"')


def spelling(target, includer):
    """How `includer` (new path) names `target` (new path)."""
    parts = target.split("/")
    if os.path.dirname(target) == API_DIR:
        return parts[-1]
    if parts[0] == "platform" and parts[1] in PLATFORM_LAYERS:
        return "/".join(parts[1:])
    if parts[0] in PROGRAM_FOLDERS:
        return target
    if parts[0] in ASIDE_FOLDERS:
        if os.path.dirname(target) == os.path.dirname(includer):
            return parts[-1]
        return target
    raise Failure(f"{includer}: {target} lies under no include root")


def reached(tree, resolver, source):
    """The tree files the resolution reaches from `source`."""
    found, todo = set(), [source]
    while todo:
        includer = todo.pop()
        with open(os.path.join(tree, includer), encoding="utf-8") as fh:
            names = [m.group(2) for m in map(INCLUDE.match, fh) if m]
        for target in (resolver.resolve(includer, name) for name in names):
            if target not in found:
                found.add(target)
                todo.append(target)
    return found


def compiler_reached(tree, entry):
    """The tree headers the compiler includes for one compile database entry."""
    args = shlex.split(entry["command"])
    flags = []
    for i, arg in enumerate(args):
        if arg.startswith(("-I", "-D", "-std", "-isystem", "-iquote")):
            flags += [arg] if arg not in ("-isystem", "-iquote") else [arg, args[i + 1]]
    out = subprocess.run(["g++", "-MM", "-MG"] + flags + [entry["file"]], check=True,
                         cwd=entry["directory"], capture_output=True, text=True).stdout
    found = set()
    for token in out.replace("\\\n", " ").split()[1:]:
        path = os.path.realpath(os.path.join(entry["directory"], token))
        path = os.path.relpath(path, tree)
        if not path.startswith("..") and path != os.path.relpath(entry["file"], tree):
            found.add(path)
    return found


def verify(tree, resolver, database):
    with open(database, encoding="utf-8") as fh:
        entries = json.load(fh)
    for entry in entries:
        source = os.path.relpath(os.path.realpath(entry["file"]), tree)
        if source.startswith(".."):
            continue  # generated in the build
        ours, theirs = reached(tree, resolver, source), compiler_reached(tree, entry)
        if ours != theirs:
            raise Failure(f"{source}: only the compiler reaches {sorted(theirs - ours)}, "
                          f"only the resolution {sorted(ours - theirs)}")
    print(f"{len(entries)} compile commands agree with the resolution")


def rewrite(tree, dry_run, database):
    files = tree_files(tree)
    moves = planned_moves(files)
    resolver = Resolver(files)
    if database:
        verify(tree, resolver, database)
    changed = {}
    for f in files:
        if f.split("/")[0] not in SCANNED_FOLDERS or not f.endswith(SOURCE_SUFFIXES):
            continue
        with open(os.path.join(tree, f), encoding="utf-8") as fh:
            lines = fh.read().split("\n")
        new_path = moves.get(f, f)
        edited = False
        for i, line in enumerate(lines):
            m = INCLUDE.match(line)
            if not m:
                continue
            target = resolver.resolve(f, m.group(2))
            name = spelling(moves.get(target, target), new_path)
            if name != m.group(2):
                lines[i] = f'{m.group(1)}"{name}"{line[m.end():]}'
                edited = True
        if edited:
            changed[f] = "\n".join(lines)
    for old, new in sorted(moves.items()):
        print(f"move {old} -> {new}")
        if not dry_run:
            os.makedirs(os.path.dirname(os.path.join(tree, new)), exist_ok=True)
            subprocess.run(["git", "mv", old, new], cwd=tree, check=True)
            old_dir = os.path.dirname(os.path.join(tree, old))
            if not os.listdir(old_dir):
                os.rmdir(old_dir)
    for f, text in sorted(changed.items()):
        path = moves.get(f, f)
        print(f"rewrite {path}")
        if not dry_run:
            with open(os.path.join(tree, path), "w", encoding="utf-8") as fh:
                fh.write(text)
    print(f"{len(moves)} moved, {len(changed)} rewritten")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tree", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("--dry-run", action="store_true", help="print, change nothing")
    parser.add_argument("--verify", metavar="DB", help="compile_commands.json of the old layout")
    args = parser.parse_args()
    try:
        rewrite(os.path.abspath(args.tree), args.dry_run, args.verify)
    except Failure as e:
        print(f"rewrite_includes: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
