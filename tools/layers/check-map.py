#!/usr/bin/env python3
"""Fails when the map of the code quotes a name or a path that the tree does not have.

Usage: check-map.py <source root> [<map>]

The map (docs/architecture.md by default) quotes code between backquotes. A quote that looks like
a path (it has a "/" or ends in a file's extension) must name a file or folder of the tree, "<x>"
and "*" standing for any part; a path under build/ is made by the build and is skipped. Every
other quote's names must each be a word of some file of the tree other than the map, a name
ending in "_" (as in "SCENE_...") as the start of a word; in "A::b", b must be declared in A's
own body (not in a class nested in it, nor in a function's body) or in the body of one of A's
bases. The tree is what sourcetree.py reads: not the build's folders, nor the planted examples.
"""
import fnmatch
import os
import re
import sys

# Imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
import sourcetree  # noqa: E402

EXTENSIONS = ('.h', '.cpp', '.py', '.txt', '.cmake', '.in', '.xml', '.md', '.sh')
QUOTE = re.compile(r'`([^`]+)`')
PATH = re.compile(r'^[\w.<>*/-]+$')
NAME = re.compile(r'[A-Za-z_]\w*(?:::[A-Za-z_]\w*)*')
WORD = re.compile(r'[A-Za-z_]\w*')
DEFINITION = re.compile(r'\b(class|struct|union|namespace|enum)\s+(?:(?:class|struct)\s+)?'
                        r'(?:\w+\s+)?(\w+)\s*(?:final\s*)?(:[^;{}()]*)?\{')
# Owners defined outside the tree, whose members the map may quote.
OUTSIDE = {'std'}


def own_words(text):
    """The words of a body at its own level: the blocks nested in it (classes, functions,
    initialisers) are left out, but for the enumerators of an enumeration, which are the
    body's own names."""
    words, depth, start, block_head = [], 0, 0, ''
    for i, c in enumerate(text):
        if c == '{':
            if depth == 0:
                words.append(text[start:i])
                block_head = text[max(text.rfind(';', 0, i), text.rfind('}', 0, i)) + 1:i]
                start = i + 1
            depth += 1
        elif c == '}':
            depth -= 1
            if depth == 0:
                if re.search(r'\benum\b', block_head):
                    words.append(text[start:i])
                start = i + 1
    words.append(text[start:])
    return set(WORD.findall(' '.join(words)))


def bodies_by_name(sources):
    """For each class, struct, union, enumeration or namespace of the tree, each of its bodies
    as (its own words, its bases)."""
    found = {}
    for text in sources.values():
        for match in DEFINITION.finditer(text):
            kind, name, bases = match.groups()
            end = sourcetree.closing(text, match.end() - 1)
            if kind == 'enum':
                bases = ''  # an enumeration's underlying type
            bases = re.sub(r'<[^<>]*>', '', re.sub(r'<[^<>]*>', '', (bases or '')[1:]))
            base_names = [WORD.findall(base)[-1] for base in bases.split(',') if WORD.findall(base)]
            found.setdefault(name, []).append((own_words(text[match.end():end]), base_names))
    return found


def declares(bodies, owner, member, seen=None):
    """Whether the owner's own body, or a base's, declares the member."""
    seen = seen or set()
    if owner in seen:
        return False
    seen.add(owner)
    return any(member in words or any(declares(bodies, base, member, seen) for base in bases)
               for words, bases in bodies.get(owner, []))


def read_tree(root, skipped):
    """The words of the tree's text files, the C++ files' stripped texts, and every path of the
    tree (files and the folders that hold them)."""
    words, sources, paths = set(), {}, set()
    for path in sourcetree.walk(root):
        paths.add(path)
        paths.update(sourcetree.parents(path))
        name = os.path.basename(path)
        if (name.endswith(EXTENSIONS) or name == 'Makefile') and \
                os.path.join(root, path) != skipped:
            with open(os.path.join(root, path), encoding='utf-8', errors='replace') as file:
                text = file.read()
            if name.endswith(sourcetree.CPP):
                sources[path] = sourcetree.strip(text)
            words.update(WORD.findall(text))
    return words, sources, paths


def main():
    root = sys.argv[1]
    map_path = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, 'docs/architecture.md')
    with open(map_path, encoding='utf-8') as file:
        quotes = sorted(set(QUOTE.findall(file.read())))
    words, sources, tree_paths = read_tree(root, map_path)
    bodies = bodies_by_name(sources)
    wrong, names, paths = [], set(), set()
    for quote in quotes:
        if PATH.match(quote) and ('/' in quote or quote.endswith(EXTENSIONS)):
            paths.add(quote)
            pattern = re.sub(r'<\w+>', '*', quote).rstrip('/')
            if '/' in pattern:
                found = any(fnmatch.fnmatchcase(path, pattern) for path in tree_paths)
            else:
                found = any(fnmatch.fnmatchcase(os.path.basename(path), pattern)
                            for path in tree_paths)
            if not quote.startswith('build/') and not found:
                wrong.append(f'path "{quote}" is not in the tree')
            continue
        for name in NAME.findall(quote):
            names.add(name)
            parts = name.split('::')
            if name.endswith('_'):
                found = any(word.startswith(name) for word in words)
            else:
                found = parts[-1] in words
            if not found:
                wrong.append(f'name "{name}" (in `{quote}`) is in no file of the tree')
                continue
            for owner, member in zip(parts, parts[1:]):
                if owner not in OUTSIDE and not declares(bodies, owner, member):
                    wrong.append(f'name "{name}" (in `{quote}`): "{member}" is not declared'
                                 f' in the body of {owner} or of a base')
                    break
    for line in wrong:
        print(f'{map_path}: {line}')
    print(f'{len(names)} names and {len(paths)} paths read, {len(wrong)} not found')
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
