#!/usr/bin/env python3
"""Fails when the map of the code quotes a name or a path that the tree does not have.

Usage: check-map.py <source root> [<map>]

The map (docs/architecture.md by default) quotes code between backquotes. A quote that looks like
a path (it has a "/" or ends in a file's extension) must name a file or folder of the tree, "<x>"
and "*" standing for any part; a path under build/ is made by the build and is skipped. Every
other quote's names must each be a word of some file of the tree other than the map: "A::b"
in a file that also has "A", a name ending in "_" (as in "SCENE_...") as the start of a word.
The build's folders and the checks' planted examples (folders named *-example) are not read.
"""
import glob
import os
import re
import sys

EXTENSIONS = ('.h', '.cpp', '.py', '.txt', '.cmake', '.in', '.xml', '.md', '.sh')
QUOTE = re.compile(r'`([^`]+)`')
PATH = re.compile(r'^[\w.<>*/-]+$')
NAME = re.compile(r'[A-Za-z_]\w*(?:::[A-Za-z_]\w*)*')
WORD = re.compile(r'[A-Za-z_]\w*')


DEFINITION = re.compile(r'\b(?:class|struct|union|namespace|enum)\s+(?:(?:class|struct)\s+)?'
                        r'(?:\w+\s+)?(\w+)\s*(?:final\s*)?(?::[^;{}()]*)?\{')
# Owners defined outside the tree, whose members the map may quote.
OUTSIDE = {'std'}


def definers_by_name(sources):
    """For each class, struct, union, enum or namespace, the C++ files that define it, and A.h
    for A."""
    found = {}
    for path, text in sources.items():
        found.setdefault(os.path.basename(path).rsplit('.', 1)[0], set()).update(
            {path} if path.endswith('.h') else set())
        for name in set(DEFINITION.findall(text)):
            found.setdefault(name, set()).add(path)
    return found


def words_by_file(root, skipped, sources):
    """Each word of the tree's text files, with the files it is in; the C++ files' texts go in
    sources."""
    files = {}
    for directory, folders, names in os.walk(root):
        folders[:] = [f for f in folders
                      if not f.startswith(('.', 'build')) and not f.endswith('-example')]
        for name in names:
            path = os.path.join(directory, name)
            if (name.endswith(EXTENSIONS) or name == 'Makefile') and path != skipped:
                with open(path, encoding='utf-8', errors='replace') as file:
                    text = file.read()
                if name.endswith(('.h', '.cpp')):
                    sources[path] = text
                for word in set(WORD.findall(text)):
                    files.setdefault(word, set()).add(path)
    return files


def main():
    root = sys.argv[1]
    map_path = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, 'docs/architecture.md')
    with open(map_path, encoding='utf-8') as file:
        quotes = sorted(set(QUOTE.findall(file.read())))
    sources = {}
    files = words_by_file(root, map_path, sources)
    definers = definers_by_name(sources)
    wrong, names, paths = [], set(), set()
    for quote in quotes:
        if PATH.match(quote) and ('/' in quote or quote.endswith(EXTENSIONS)):
            paths.add(quote)
            pattern = re.sub(r'<\w+>', '*', quote)
            where = pattern if '/' in pattern else '**/' + pattern
            if not quote.startswith('build/') and not glob.glob(os.path.join(root, where),
                                                                 recursive=True):
                wrong.append(f'path "{quote}" is not in the tree')
            continue
        for name in NAME.findall(quote):
            names.add(name)
            parts = name.split('::')
            if name.endswith('_'):
                found = any(word.startswith(name) for word in files)
            else:
                found = parts[-1] in files
            if not found:
                wrong.append(f'name "{name}" (in `{quote}`) is in no file of the tree')
                continue
            for owner, member in zip(parts, parts[1:]):
                if owner not in OUTSIDE and not files.get(member, set()) & definers.get(owner, set()):
                    wrong.append(f'name "{name}" (in `{quote}`): "{member}" is not declared'
                                 f' where {owner} is defined')
                    break
    for line in wrong:
        print(f'{map_path}: {line}')
    print(f'{len(names)} names and {len(paths)} paths read, {len(wrong)} not found')
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
