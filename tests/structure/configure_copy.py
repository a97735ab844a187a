#!/usr/bin/env python3
"""Configures a copy of the tree with one change made to it and passes on
cmake's output and exit code, so that a test can show the build refusing
rather than quietly dropping a part."""
import argparse
import pathlib
import shutil
import subprocess
import sys
import tempfile


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--tree", required=True)
    parser.add_argument("--remove", action="append", default=[], help="a tracked file to delete")
    args = parser.parse_args()
    tree = pathlib.Path(args.tree)
    files = subprocess.run(["git", "-C", tree, "ls-files", "-z", "--cached", "--others",
                            "--exclude-standard"], check=True,
                           capture_output=True).stdout.decode().split("\0")
    with tempfile.TemporaryDirectory() as scratch:
        copy = pathlib.Path(scratch) / "tree"
        for name in filter(None, files):
            source = tree / name
            if name in args.remove or not source.is_file():
                continue
            (copy / name).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(source, copy / name)
        for name in args.remove:
            if not (tree / name).is_file():
                print(f"configure_copy: no {name} to remove", file=sys.stderr)
                return 3
        done = subprocess.run(["cmake", "-S", copy, "-B", pathlib.Path(scratch) / "build",
                               "-G", "Ninja", "-DKORVANE_BENCH=OFF"],
                              capture_output=True, text=True)
        sys.stdout.write(done.stdout + done.stderr)
        return done.returncode


if __name__ == "__main__":
    sys.exit(main())
