#!/usr/bin/env python3
"""Fails when a C++ file of the tree differs from what clang-format 14 makes of it.

Usage: check-format.py <source root> [--fix]

Every .h and .cpp file under the root, but for build folders and the checks' planted examples
(folders named *-example), is formatted by the root's .clang-format. The tool is pinned: clang-format-14,
as Debian 12 packages it (scripts/install-deps); another version formats differently, so the
check fails rather than run one. Where the system's package archive does not offer it (a later
Debian release), the check is not run: it says so and ends with NOT_RUN, which CTest reports as
skipped. --fix rewrites the differing files in place.
"""
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys

TOOL = 'clang-format-14'
MAJOR = '14'
BATCH = 25
NOT_RUN = 77


def tool_version():
    """The tool's major version, or a sentence saying why there is none."""
    try:
        output = subprocess.run([TOOL, '--version'], capture_output=True, text=True).stdout
    except OSError as error:
        return None, f'found no {TOOL} ({error.strerror})'
    match = re.search(r'clang-format version (\d+)\.[\d.]+', output)
    if not match:
        return None, f'found {TOOL} saying "{output.strip()}"'
    return match.group(1), f'found {TOOL} of version {match.group(0).split()[-1]}'


def offered():
    """Whether the package archive offers the tool, as scripts/install-deps asks it."""
    try:
        policy = subprocess.run(['apt-cache', 'policy', TOOL], capture_output=True,
                                text=True).stdout
    except OSError:
        return False
    return re.search(r'^\s*Candidate: [^(\s]', policy, re.MULTILINE) is not None


def sources(root):
    """The tree's C++ files as check-naming.py reads them: build folders, hidden folders and
    the planted examples left out."""
    found = []
    for directory, folders, names in os.walk(root):
        folders[:] = sorted(f for f in folders
                            if not f.startswith(('.', 'build')) and not f.endswith('-example'))
        found += [os.path.relpath(os.path.join(directory, name), root)
                  for name in sorted(names) if name.endswith(('.h', '.cpp'))]
    return found


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
    major, found = tool_version()
    if shutil.which(TOOL) is None and not offered():
        print(f'The format check was not run: it needs {TOOL}, which is not installed, and this '
              f'system\'s package archive does not offer it (apt-cache policy {TOOL}).')
        return NOT_RUN
    if major != MAJOR:
        print(f'The format check needs {TOOL} (clang-format {MAJOR}, scripts/install-deps '
              f'installs it): {found}.')
        return 1
    files = sources(root)
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
