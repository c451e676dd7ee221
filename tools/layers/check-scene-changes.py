#!/usr/bin/env python3
"""Fails when a scene change is written out by hand or types a section name.

Usage: check-scene-changes.py <source root> [<folder>...]

A scene changes through SceneManager::goToScene alone, which asks for the scene's own section:
outside framework/scene no source sets a transition or requests a scene itself, and no function
that calls goToScene names a section ("requestSectionLoad" with a quoted name). The folders
default to those of the program, its benches and its fuzz targets.
"""
import os
import re
import sys

# Imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
import sourcetree  # noqa: E402

FOLDERS = ['framework', 'game', 'bench', 'fuzz', 'testsupport', 'tests/e2e']
OWNER = 'framework/scene/'
BY_HAND = re.compile(r'(?:->|\.)\s*(setTransition|requestScene)\s*\(')
TYPED_SECTION = re.compile(r'requestSectionLoad\s*\(\s*"([^"]*)"')
# Function bodies end with a brace in the first column.
FUNCTION_END = re.compile(r'^}.*$', re.MULTILINE)


def check(root, source):
    with open(os.path.join(root, source), encoding='utf-8') as file:
        text = file.read()
    wrong = []
    if not source.startswith(OWNER):
        for match in BY_HAND.finditer(text):
            line = text.count('\n', 0, match.start()) + 1
            wrong.append(f'{source}:{line}: {match.group(1)} by hand: use SceneManager::goToScene')
    start = 0
    for end in [m.end() for m in FUNCTION_END.finditer(text)] + [len(text)]:
        body = text[start:end]
        if 'goToScene(' in body:
            for match in TYPED_SECTION.finditer(body):
                line = text.count('\n', 0, start + match.start()) + 1
                wrong.append(f'{source}:{line}: section "{match.group(1)}" typed at a scene '
                             'change: goToScene asks for the scene\'s own')
        start = end
    return wrong


def main():
    root = sys.argv[1]
    wrong = []
    for folder in sys.argv[2:] or FOLDERS:
        for source in sourcetree.sources(root, folder):
            wrong.extend(check(root, source))
    for line in wrong:
        print(line)
    print(f'{len(wrong)} scene changes written by hand')
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
