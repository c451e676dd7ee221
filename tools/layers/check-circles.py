#!/usr/bin/env python3
"""Fails on an include circle between the units of one folder that the known list does not name.

Usage: check-circles.py <source root> [<layers file> [<circles file>]]

A unit is a header with its source (A.h and A.cpp); unit A uses unit B when either file of A
includes B.h. A circle is a set of units of one folder each of which reaches every other through
such uses. The circles file lists the circles the tree still has, one a line,
"circle <folder> <unit> <unit> ...", each with what would close it in a comment. Every circle
found must be listed exactly: a new one fails, and a known one that shrank, split or closed
fails until the list says so, so the list only ever shrinks.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
HERE = os.path.dirname(os.path.abspath(__file__))


def read_folders(path):
    with open(path, encoding='utf-8') as file:
        lines = (line.split('#', 1)[0].split() for line in file)
        return [words[0].rstrip('/') for words in lines if len(words) == 1]


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
    """Each unit of the folder with the units of the same folder it includes."""
    graph = {}
    directory = os.path.join(root, folder)
    for name in sorted(os.listdir(directory)):
        unit, extension = os.path.splitext(name)
        if extension not in ('.h', '.cpp'):
            continue
        with open(os.path.join(directory, name), encoding='utf-8') as file:
            headers = INCLUDE.findall(file.read())
        used = graph.setdefault(unit, set())
        for header in headers:
            if os.path.dirname(header) == folder and header.endswith('.h'):
                other = os.path.basename(header)[:-2]
                if other != unit:
                    used.add(other)
    return graph


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


def main():
    sys.setrecursionlimit(10000)
    root = sys.argv[1]
    layers = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, 'layers.txt')
    listed_path = sys.argv[3] if len(sys.argv) > 3 else os.path.join(HERE, 'circles.txt')
    listed = read_circles(listed_path)
    found = {(folder, members) for folder in read_folders(layers)
             for members in circles(uses(root, folder))}
    wrong = []
    for folder, members in sorted(found - listed, key=lambda c: (c[0], sorted(c[1]))):
        known = [m for f, m in listed if f == folder and members <= m]
        what = 'a known circle shrank or split' if known else 'a new include circle'
        wrong.append(f'{folder}: {what}: {" ".join(sorted(members))}')
    for folder, members in sorted(listed - found, key=lambda c: (c[0], sorted(c[1]))):
        wrong.append(f'{folder}: circle {" ".join(sorted(members))} is no longer whole:'
                     f' list what is left in {listed_path}')
    for line in wrong:
        print(line)
    print(f'{len(found)} circles found, {len(listed)} listed, {len(wrong)} to mend')
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
