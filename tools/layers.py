#!/usr/bin/env python3
"""Checks that every folder of the project includes only folders below it,
and that no file of the project includes itself through others.

The order, from the bottom: ui/base, ui/gfx, ui/core, ui/controls, ui/skin,
shell/, then app/. tokenclient/ stands beside the framework and the shell: it
includes none of them, and only app/ includes it; nothing includes app/.
tools/ and tests/ mirror the folders and are not checked.

  layers.py            lists every include that goes upward and every include
                       cycle between files; exit 1 if any
  layers.py --counts   also prints how often each folder includes each other,
                       and the units (a header with its source) that need
                       each other through their includes
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


def resolve(path, included, known):
    """The project file an include of `path` names, as the compiler looks for
    it (beside the including file, then from the root), or None."""
    for candidate in (os.path.normpath(os.path.join(os.path.dirname(path), included)), included):
        if candidate in known:
            return candidate
    return None


def cycles(graph):
    """The groups of nodes of `graph` (node -> set of nodes) that reach each
    other, each sorted, for groups of more than one node (Tarjan's)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for other in sorted(graph.get(node, ())):
            if other not in index:
                visit(other)
                low[node] = min(low[node], low[other])
            elif other in on_stack:
                low[node] = min(low[node], index[other])
        if low[node] == index[node]:
            group = []
            while not group or group[-1] != node:
                group.append(stack.pop())
                on_stack.discard(group[-1])
            if len(group) > 1:
                found.append(sorted(group))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return sorted(found)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    paths = [p for p in project_files(root) if p.endswith(SOURCE_SUFFIXES)]
    known = set(paths)
    counts = {}
    violations = []
    files = {}  # file -> the project files it includes
    units = {}  # the same between units, a unit being a path without its suffix
    for path in paths:
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        source = folder_of(path)
        for included in INCLUDE.findall(text):
            found = resolve(path, included, known)
            if found is not None:
                files.setdefault(path, set()).add(found)
                unit, other = os.path.splitext(path)[0], os.path.splitext(found)[0]
                if unit != other:
                    units.setdefault(unit, set()).add(other)
            target = folder_of(included)
            if source is None or target is None or target == source:
                continue
            counts[(source, target)] = counts.get((source, target), 0) + 1
            if not allowed(source, target):
                violations.append(f"{path}: includes {included}, which {source}/ may not include")
    file_cycles = cycles(files)
    if "--counts" in sys.argv[1:]:
        print("includes between folders (from -> to: count)")
        for (source, target), n in sorted(counts.items()):
            print(f"  {source:12} -> {target:12} {n:4}{'' if allowed(source, target) else '  UPWARD'}")
        unit_cycles = cycles(units)
        print(f"units that need each other through their includes: {len(unit_cycles)}")
        for group in unit_cycles:
            print("  " + ", ".join(group))
    for line in violations:
        print(line)
    for group in file_cycles:
        print("files that include each other: " + ", ".join(group))
    print(f"layers: {len(violations)} upward includes, {len(file_cycles)} include cycles between files")
    return 1 if violations or file_cycles else 0


if __name__ == "__main__":
    sys.exit(main())
