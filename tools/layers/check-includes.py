#!/usr/bin/env python3
"""Fails when a source file includes a header of a folder above its own.

Usage: check-includes.py <source root> [<layers file>]

The layers file lists the folders lowest first; a file may include headers of its own folder
and of the folders listed before it. Lines "exception <file> <header>" name the includes allowed
against that order, each with its reason in a comment. Folders not listed (tests, tools, bench)
may include anything.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def read_layers(path):
    folders, exceptions = [], set()
    with open(path, encoding='utf-8') as file:
        for line in file:
            words = line.split('#', 1)[0].split()
            if not words:
                continue
            if words[0] == 'exception' and len(words) == 3:
                exceptions.add((words[1], words[2]))
            elif len(words) == 1:
                folders.append(words[0].rstrip('/'))
            else:
                sys.exit(f'{path}: cannot read "{line.strip()}"')
    return folders, exceptions


def folder_rank(path, folders):
    folder = os.path.dirname(path)
    return folders.index(folder) if folder in folders else None


def main():
    root = sys.argv[1]
    layers = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), 'layers.txt')
    folders, exceptions = read_layers(layers)
    wrong, used = [], set()
    for folder in folders:
        directory = os.path.join(root, folder)
        if not os.path.isdir(directory):
            wrong.append(f'{folder}: listed in {layers} but missing')
            continue
        for name in sorted(os.listdir(directory)):
            if not name.endswith(('.h', '.cpp')):
                continue
            source = f'{folder}/{name}'
            with open(os.path.join(directory, name), encoding='utf-8') as file:
                headers = INCLUDE.findall(file.read())
            rank = folders.index(folder)
            for header in headers:
                header_rank = folder_rank(header, folders)
                if header_rank is None or header_rank <= rank:
                    continue
                if (source, header) in exceptions:
                    used.add((source, header))
                    continue
                wrong.append(f'{source} includes {header}: {folders[header_rank]} is above {folder}')
    for source, header in sorted(exceptions - used):
        wrong.append(f'exception {source} {header} is no longer needed: remove it from {layers}')
    for line in wrong:
        print(line)
    print(f'{len(wrong)} wrong-way includes or stale exceptions')
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
