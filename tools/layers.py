#!/usr/bin/env python3
"""Checks that every folder of the project includes only folders below it.

The order, from the bottom: ui/base, ui/gfx, ui/core, ui/controls, ui/skin,
shell/, then app/. tokenclient/ stands beside the framework and the shell: it
includes none of them, and only app/ includes it; nothing includes app/.
tools/ and tests/ mirror the folders and are not checked.

  layers.py            lists every include that goes upward; exit 1 if any
  layers.py --counts   also prints how often each folder includes each other
"""
import os
import re
import subprocess
import sys

ORDER = ["ui/base", "ui/gfx", "ui/core", "ui/controls", "ui/skin", "shell", "app"]
RANK = {name: i for i, name in enumerate(ORDER)}
TOP_FOLDERS = ["tokenclient", "shell", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp", ".rc")


def folder_of(path):
    """The checked folder a project path lies in, or None."""
    for name in TOP_FOLDERS:
        if path == name or path.startswith(name + "/"):
            return name
    parts = path.split("/")
    if len(parts) > 2 and parts[0] == "ui":
        return "ui/" + parts[1]  # a folder outside ORDER is counted, not checked
    return None


def allowed(source, target):
    if source == target:
        return True
    if target == "app":
        return False
    if target == "tokenclient":
        return source == "app"
    if source == "tokenclient":
        return False
    if source not in RANK or target not in RANK:
        return True
    return RANK[target] < RANK[source]


def project_files(root):
    try:
        out = subprocess.run(["git", "ls-files"], cwd=root, capture_output=True, text=True, check=True).stdout
        return out.splitlines()
    except (OSError, subprocess.CalledProcessError):
        found = []
        for top in TOP_FOLDERS + ["ui"]:
            for base, _, names in os.walk(os.path.join(root, top)):
                found += [os.path.relpath(os.path.join(base, n), root) for n in names]
        return found


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    counts = {}
    violations = []
    for path in project_files(root):
        source = folder_of(path)
        if source is None or not path.endswith(SOURCE_SUFFIXES):
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for included in INCLUDE.findall(text):
            target = folder_of(included)
            if target is None or target == source:
                continue
            counts[(source, target)] = counts.get((source, target), 0) + 1
            if not allowed(source, target):
                violations.append(f"{path}: includes {included}, which {source}/ may not include")
    if "--counts" in sys.argv[1:]:
        print("includes between folders (from -> to: count)")
        for (source, target), n in sorted(counts.items()):
            print(f"  {source:12} -> {target:12} {n:4}{'' if allowed(source, target) else '  UPWARD'}")
    for line in violations:
        print(line)
    print(f"layers: {len(violations)} upward includes")
    return 1 if violations else 0


if __name__ == "__main__":
    sys.exit(main())
