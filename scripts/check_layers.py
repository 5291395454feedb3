#!/usr/bin/env python3
"""Checks that the product's includes go one way: down the layers below.

Each folder of product code has a rank; a file may include files of its own folder and of
folders of lower rank, never higher. Tests, benchmarks, fuzz targets and examples stand above
everything and are not checked. Prints every upward include, the include cycles between
folders, and the largest folder's share of the product's non-blank lines; exits 1 when there is
an upward include or a folder the table does not place.

    python3 scripts/check_layers.py [ROOT]
"""
import os
import re
import sys
from collections import defaultdict

# From the bottom up. A public header (include/kestrel/F/x.h, included as "kestrel/F/x.h") belongs
# to folder F with its sources. host/harness stands for the harness's header and source, the
# facade that programs and tests include, and with it host/testing.h, its GoogleTest support,
# and host/sample_drawings.*, the drawings they run against.
LAYERS = [
    "export",            # the export marks of the two libraries (include/kestrel/export.h)
    "platform",          # what the operating system and the host's platform layer stand in for
    "host/rx",           # runtime classes, error statuses, contract violations, the module API
    "host/ge",           # geometry values
    # One folder: its central files (objects and ids, the database, filers, undo and
    # transactions, symbol tables, dictionaries, the entity base) all include one another, so
    # sub-folders of them would include each other.
    "host/db",           # database core: objects and ids, filing, undo, tables, dictionaries
    "host/gi",           # the graphics side's text styles and metrics
    "host/db/entities",  # the entity kinds
    "host/dxf",          # drawing files
    "host/app",          # documents, editor state, the module loader
    "host/harness",      # the facade for programs and tests
    "common",            # the module-wide state and the shape of the frame's parts
    "access",            # typed access to entities and records
    "drawing",           # drawing services of the module
    "geometry",          # the module's geometry services
    "xmlrepo",           # the XML repositories
    "frame",             # the module frame: statics in their order, entry points
    "tools",             # the kestrel program
]
SKIPPED = ("tests", "bench", "fuzz", "examples", "build", "docs", "data", "scripts", "cmake")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def folder_of(path):
    for public in ("include/kestrel/", "kestrel/"):
        if path.startswith(public):
            path = path[len(public):]
            break
    if path == "export.h":
        return "export"
    if path.startswith(("host/harness.", "host/testing.", "host/sample_drawings.")):
        return "host/harness"
    return os.path.dirname(path)


def product_files(root):
    for top, dirs, files in os.walk(root):
        rel_top = os.path.relpath(top, root)
        dirs[:] = [d for d in dirs if not d.startswith(".")
                   and not (rel_top == "." and (d in SKIPPED or d.startswith("build")))]
        for name in files:
            if name.endswith((".h", ".cpp")):
                yield os.path.normpath(os.path.join(rel_top, name))


def cycles(edges):
    """The strongly connected components of more than one folder (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for target in edges[node]:
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    for node in list(edges):
        if node not in index:
            visit(node)
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    rank = {folder: i for i, folder in enumerate(LAYERS)}
    edges = defaultdict(set)
    lines = defaultdict(int)
    problems = []
    for path in sorted(product_files(root)):
        source = folder_of(path)
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        lines[source] += sum(1 for line in text.splitlines() if line.strip())
        if source not in rank:
            problems.append(f"{path}: its folder {source} has no place in the layers")
            continue
        for included in INCLUDE.findall(text):
            target = folder_of(included)
            if target == source or target not in rank and not os.path.exists(
                    os.path.join(root, "include", included)):
                continue  # its own folder, or a header of a dependency
            edges[source].add(target)
            if target not in rank or rank[target] > rank[source]:
                problems.append(f"{path} includes {included}: {target} is above {source}")
    for problem in problems:
        print(problem)
    loops = cycles(edges)
    for loop in loops:
        print("cycle between folders: " + ", ".join(loop))
    total = sum(lines.values())
    largest = max(lines, key=lines.get)
    print(f"{len(problems)} upward includes, {len(loops)} cycles between folders; largest folder "
          f"{largest} holds {100.0 * lines[largest] / total:.1f}% of {total} lines")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
