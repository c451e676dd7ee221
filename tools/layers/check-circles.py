#!/usr/bin/env python3
"""Fails on an include circle between the units of one folder that the known list does not name.

Usage: check-circles.py <source root> [<layers file> [<circles file>]]

A unit is a header with its source (A.h and A.cpp); unit A uses unit B when either file of A
includes B.h. A circle is a set of units of one folder each of which reaches every other through
such uses, each include read as the compiler finds it. The circles file lists the circles the
tree still has, one a line, "circle <folder> <unit> <unit> ...", each with what would close it in
a comment. Every circle found must be listed exactly, and the list only ever shrinks: a new
circle fails, a known one that grew or merged with another fails naming the includes that joined
it, and a known one that shrank, split or closed fails until the list says so.
"""
import os
import sys

# Imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
import sourcetree  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def read_circles(path):
    circles = set()
    with open(path, encoding='utf-8') as file:
        for line in file:
            words = line.split('#', 1)[0].split()
            if not words:
                continue
            if words[0] != 'circle' or len(words) < 4:
                sys.exit(f'{path}: cannot read "{line.strip()}"')
            circles.add((words[1], frozenset(words[2:])))
    return circles


def uses(root, folder):
    """Each unit of the folder with the units of the same folder it includes, and for each such
    use the files whose includes make it."""
    graph, files = {}, {}
    for source in sourcetree.sources(root, folder):
        if os.path.dirname(source) != folder:
            continue
        unit = os.path.splitext(os.path.basename(source))[0]
        used = graph.setdefault(unit, set())
        for _, header in sourcetree.includes(root, source):
            if os.path.dirname(header) == folder and header.endswith('.h'):
                other = os.path.basename(header)[:-2]
                if other != unit:
                    used.add(other)
                    files.setdefault((unit, other), []).append(f'{source} includes {header}')
    return graph, files


def circles(graph):
    """The strongly connected sets of more than one unit (Tarjan's algorithm)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(unit):
        index[unit] = low[unit] = len(index)
        stack.append(unit)
        on_stack.add(unit)
        for other in graph.get(unit, ()):
            if other not in index:
                visit(other)
                low[unit] = min(low[unit], low[other])
            elif other in on_stack:
                low[unit] = min(low[unit], index[other])
        if low[unit] == index[unit]:
            members = set()
            while True:
                member = stack.pop()
                on_stack.discard(member)
                members.add(member)
                if member == unit:
                    break
            if len(members) > 1:
                found.append(frozenset(members))

    for unit in sorted(graph):
        if unit not in index:
            visit(unit)
    return found


def grown(folder, members, known, files):
    """The report of a circle that holds more than the known circles it meets: the includes
    that joined it (those not inside one known circle)."""
    names = ' and '.join(' '.join(sorted(m)) for m in sorted(known, key=sorted))
    what = 'known circles merged' if len(known) > 1 else 'a known circle grew'
    lines = [f'{folder}: {what}: {names} became {" ".join(sorted(members))}; take out the'
             f' include that joined it, the list only ever shrinks:']
    for (unit, other), by in sorted(files.items()):
        if {unit, other} <= members and not any({unit, other} <= m for m in known):
            lines += [f'    {line}' for line in by]
    return '\n'.join(lines)


def main():
    sys.setrecursionlimit(10000)
    root = sys.argv[1]
    layers = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, 'layers.txt')
    listed_path = sys.argv[3] if len(sys.argv) > 3 else os.path.join(HERE, 'circles.txt')
    listed = read_circles(listed_path)
    folders, _ = sourcetree.read_layers(layers)
    wrong, found, files = sourcetree.unlisted_folders(root, folders, layers), set(), {}
    for folder in folders:
        graph, by_use = uses(root, folder)
        found |= {(folder, members) for members in circles(graph)}
        files[folder] = by_use
    grew = set()
    for folder, members in sorted(found - listed, key=lambda c: (c[0], sorted(c[1]))):
        known = [m for f, m in listed if f == folder and m & members]
        if known and (len(known) > 1 or not members <= known[0]):
            wrong.append(grown(folder, members, known, files[folder]))
            grew |= {(folder, m) for m in known}
            continue
        what = 'a known circle shrank or split' if known else 'a new include circle'
        wrong.append(f'{folder}: {what}: {" ".join(sorted(members))}')
    for folder, members in sorted(listed - found - grew, key=lambda c: (c[0], sorted(c[1]))):
        wrong.append(f'{folder}: circle {" ".join(sorted(members))} is no longer whole:'
                     f' list what is left in {listed_path}')
    for line in wrong:
        print(line)
    print(f'{len(found)} circles found, {len(listed)} listed, {len(wrong)} to mend')
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
