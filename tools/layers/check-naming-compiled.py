#!/usr/bin/env python3
"""Fails when a class, function, member or macro of the program is not named as the style has it.

Usage: check-naming-compiled.py <source root> [<build folder>]

Reads the code as the compiler does: clang-tidy 14's naming check, configured by the root's
.clang-tidy, on every unit of the program's folders (framework/ and game/, as the build folder's
compile_commands.json compiles them, batches included) and the headers they include. Without a
build folder, each C++ file of the root is read alone, as C++20. The tool is pinned, as
check-format.py pins clang-format: another version fails the check, and where the package archive
does not offer clang-tidy-14 the check is not run (NOT_RUN, which CTest reports as skipped).
Constants and enumerators are held by check-naming.py too.
"""
import concurrent.futures
import json
import os
import re
import subprocess
import sys

# Imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
import sourcetree  # noqa: E402

TOOL = 'clang-tidy-14'
MAJOR = '14'
CONFIG = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', '.clang-tidy')
FINDING = re.compile(r'^(.+?):(\d+):(\d+): warning: (.*) \[readability-identifier-naming\]$',
                     re.MULTILINE)


def posix_escape(text):
    """The text as a POSIX regular expression matches it (clang-tidy's header filter)."""
    return re.sub(r'([.\[\]()*+?{}|^$\\])', r'\\\1', text)


def units(root, build):
    """The units to read, each with the arguments clang-tidy needs for it."""
    if not build:
        return [[os.path.join(root, source), '--', '-x', 'c++', '-std=c++20', f'-I{root}']
                for source in sourcetree.sources(root)]
    with open(os.path.join(build, 'compile_commands.json'), encoding='utf-8') as file:
        files = [entry['file'] for entry in json.load(file)]
    batch = re.compile(rf'^{re.escape(build)}/(?:framework|game)/CMakeFiles/[\w-]+\.dir/Unity/')
    return [[path, '-p', build] for path in files
            if os.path.relpath(path, root).split('/')[0] in ('framework', 'game')
            or batch.match(path)]


def findings(root, unit):
    """Each finding of one unit: (file, line, column, message)."""
    result = subprocess.run([TOOL, '--quiet', f'--config-file={CONFIG}',
                             f'--header-filter=^{posix_escape(root)}/', *unit],
                            capture_output=True, text=True)
    if result.returncode and not FINDING.search(result.stdout):
        sys.exit(f'{TOOL} failed on {unit[0]}: {(result.stdout + result.stderr).strip()[-2000:]}')
    return {(os.path.relpath(path, root), int(line), int(column), message)
            for path, line, column, message in FINDING.findall(result.stdout)}


def main():
    root = os.path.abspath(sys.argv[1])
    build = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
    refused = sourcetree.pinned_tool(TOOL, MAJOR, 'naming check', f'clang-tidy {MAJOR}')
    if refused:
        print(refused[1])
        return refused[0]
    read = units(root, build)
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        wrong = sorted(set().union(*pool.map(lambda unit: findings(root, unit), read)))
    for path, line, column, message in wrong:
        print(f'{path}:{line}:{column}: {message}')
    print(f'{len(read)} units read, {len(wrong)} names not as the style has them')
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
