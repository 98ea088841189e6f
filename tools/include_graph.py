#!/usr/bin/env python3
"""The program's structure as include arrows between its modules.

A module is a source file with its header (scene/scene.cpp and
scene/scene.h are one). The folders stand on floors, bottom to top; a
module may include what stands on its own floor or below. Prints the arrows
between folders, every circle of modules, and every arrow that runs up a
floor. With --check it exits 1 when there is a circle or an upward arrow.

    tools/include_graph.py [--check] [--dot]
"""
import os
import re
import sys
from collections import defaultdict

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Bottom to top.
FLOORS = [
    ["resources", "system", "settings"],
    ["surface"],
    ["images"],
    ["snow"],
    ["sprites"],
    ["scene"],
    ["dialogs"],
    ["saver"],
    ["shell"],
]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def floor_of(module):
    folder = module.split("/")[0]
    for i, folders in enumerate(FLOORS):
        if folder in folders:
            return i
    return None


def modules():
    """module -> set of modules it includes."""
    arrows = defaultdict(set)
    for folders in FLOORS:
        for folder in folders:
            path = os.path.join(ROOT, folder)
            if not os.path.isdir(path):
                continue
            for name in sorted(os.listdir(path)):
                if not name.endswith((".h", ".cpp")):
                    continue
                module = folder + "/" + os.path.splitext(name)[0]
                arrows.setdefault(module, set())
                with open(os.path.join(path, name), encoding="utf-8") as f:
                    for included in INCLUDE.findall(f.read()):
                        target = os.path.splitext(included)[0]
                        if target != module:
                            arrows[module].add(target)
    return arrows


def circles(arrows):
    """The strongly connected sets of more than one module (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in arrows.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    sys.setrecursionlimit(10000)
    for v in sorted(arrows):
        if v not in index:
            visit(v)
    return found


def main():
    check = "--check" in sys.argv
    arrows = modules()
    between = defaultdict(int)
    upward = []
    for source in sorted(arrows):
        for target in sorted(arrows[source]):
            a, b = source.split("/")[0], target.split("/")[0]
            if a != b:
                between[(a, b)] += 1
            fa, fb = floor_of(source), floor_of(target)
            if fa is not None and fb is not None and fb > fa:
                upward.append((source, target))
    if "--dot" in sys.argv:
        print("digraph floors {")
        for (a, b), n in sorted(between.items()):
            print('  "%s" -> "%s" [label=%d];' % (a, b, n))
        print("}")
        return 0
    print("Floors, bottom to top:")
    for i, folders in enumerate(FLOORS):
        print("  %d  %s" % (i + 1, ", ".join(f + "/" for f in folders)))
    print("Arrows between folders (includes):")
    for (a, b), n in sorted(between.items(), key=lambda x: (floor_of(x[0][0] + "/"), x[0])):
        print("  %-10s -> %-10s %d" % (a + "/", b + "/", n))
    found = circles(arrows)
    print("Circles of modules: %d" % len(found))
    for c in found:
        print("  " + " ".join(c))
    print("Arrows up a floor: %d" % len(upward))
    for source, target in upward:
        print("  %s -> %s" % (source, target))
    if check and (found or upward):
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
