#!/usr/bin/env python3
"""Fails when a source file includes a header of a folder above its own.

Usage: check-includes.py <source root> [<layers file>]

The layers file lists the folders lowest first; a file may include headers of its own folder
and of the folders listed before it. Lines "exception <file> <header>" name the includes allowed
against that order, each with its reason in a comment. Folders not listed (tests, tools, bench)
may include anything, but a folder beside the listed ones that holds sources must be listed.
Each include is read as the compiler finds it, and a header of the tree is spelled one way: in
quotes, from the root.
"""
import os
import sys

# Imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
import sourcetree  # noqa: E402


def main():
    root = sys.argv[1]
    layers = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), 'layers.txt')
    folders, exceptions = sourcetree.read_layers(layers)
    wrong, used = sourcetree.unlisted_folders(root, folders, layers), set()
    for folder in folders:
        if not os.path.isdir(os.path.join(root, folder)):
            wrong.append(f'{folder}: listed in {layers} but missing')
            continue
        rank = folders.index(folder)
        for source in sourcetree.sources(root, folder):
            if os.path.dirname(source) != folder:
                continue
            for spelling, header in sourcetree.includes(root, source):
                if spelling != f'"{header}"':
                    wrong.append(f'{source} includes {header} as {spelling}: spell it "{header}"')
                header_folder = os.path.dirname(header)
                if header_folder not in folders or folders.index(header_folder) <= rank:
                    continue
                if (source, header) in exceptions:
                    used.add((source, header))
                    continue
                wrong.append(f'{source} includes {header}: {header_folder} is above {folder}')
    for source, header in sorted(exceptions - used):
        wrong.append(f'exception {source} {header} is no longer needed: remove it from {layers}')
    for line in wrong:
        print(line)
    print(f'{len(wrong)} wrong-way includes, other spellings, unlisted folders or stale exceptions')
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
