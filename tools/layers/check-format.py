#!/usr/bin/env python3
"""Fails when a C++ file of the tree differs from what clang-format 14 makes of it.

Usage: check-format.py <source root> [--fix]

Every .h and .cpp file of the tree (sourcetree.py: all but the build's folders at the root and
the checks' planted examples) is formatted by the root's .clang-format. The tool is pinned:
clang-format-14, as Debian 12 packages it (scripts/install-deps); another version formats
differently, so the check fails rather than run one. Where the system's package archive does not
offer it (a later Debian release), the check is not run: it says so and ends with NOT_RUN, which
CTest reports as skipped. --fix rewrites the differing files in place.
"""
import concurrent.futures
import os
import re
import subprocess
import sys

# Imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
import sourcetree  # noqa: E402

TOOL = 'clang-format-14'
MAJOR = '14'
BATCH = 25


def differing(root, batch):
    """The files of the batch that clang-format would change."""
    result = subprocess.run([TOOL, '--dry-run', '--Werror', *batch], cwd=root,
                            capture_output=True, text=True)
    named = set(re.findall(r'^(.+?):\d+:\d+: error:', result.stderr, re.MULTILINE))
    if result.returncode and not named:
        sys.exit(f'{TOOL} failed: {result.stderr.strip()}')
    return named


def main():
    root, fix = sys.argv[1], '--fix' in sys.argv[2:]
    refused = sourcetree.pinned_tool(TOOL, MAJOR, 'format check', f'clang-format {MAJOR}')
    if refused:
        print(refused[1])
        return refused[0]
    files = sourcetree.sources(root)
    batches = [files[i:i + BATCH] for i in range(0, len(files), BATCH)]
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        wrong = sorted(set().union(*pool.map(lambda batch: differing(root, batch), batches)))
    if fix and wrong:
        subprocess.run([TOOL, '-i', *wrong], cwd=root, check=True)
    for path in wrong:
        print(f'{path}: {"reformatted" if fix else "differs from clang-format"}')
    print(f'{len(files)} files read, {len(wrong)} {"reformatted" if fix else "to reformat"}'
          f'{"" if fix or not wrong else " (tools/layers/check-format.py <root> --fix)"}')
    return 1 if wrong and not fix else 0


if __name__ == '__main__':
    sys.exit(main())
