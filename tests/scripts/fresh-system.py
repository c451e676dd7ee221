#!/usr/bin/env python3
"""What a fresh system meets first: the install scripts and the tree checks.

Usage: fresh-system.py <source root>

The install scripts run over stand-ins for dpkg, id, apt-get and apt-cache, on a path that holds
no sudo; apt-cache answers in English or German as the locale asks, and writes more than a pipe
holds after its candidate line, so that a reader that stops at the match kills it. The tree
checks, imported from a copy of their folder, must leave no bytecode cache beside themselves."""
import os
import shutil
import subprocess
import sys
import tempfile
from unittest import mock

# The checks' own helpers are imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True

ROOT = os.path.abspath(sys.argv[1])
sys.path.insert(0, os.path.join(ROOT, 'tools/layers'))
import sourcetree  # noqa: E402

# Beside the locale's own language, gettext follows LANGUAGE unless the locale is C or POSIX:
# C.UTF-8 does not keep it out.
APT_CACHE = r'''
import os, signal, sys
signal.signal(signal.SIGPIPE, signal.SIG_DFL)
locale = os.environ.get('LC_ALL') or os.environ.get('LC_MESSAGES') or os.environ.get('LANG', '')
language = os.environ.get('LANGUAGE', '') if locale not in ('', 'C', 'POSIX') else ''
german = (language or locale).startswith('de')
words = ('Installiert', '(keine)', 'Installationskandidat', 'Versionstabelle') if german else \
        ('Installed', '(none)', 'Candidate', 'Version table')
out = sys.stdout
out.write(f'{sys.argv[2]}:\n  {words[0]}: {words[1]}\n  {words[2]}: 1:14.0.6-12\n'
          f'  {words[3]}:\n     1:14.0.6-12 500\n')
out.flush()
line = '        500 http://deb.example/debian bookworm/main amd64 Packages\n'
for _ in range(64):
    out.write(line * 300)
    out.flush()
'''
# Nothing is installed; apt-get notes what it is asked.
STAND_INS = {
    'apt-cache': f'#!{sys.executable}\n{APT_CACHE}',
    'apt-get': '#!/bin/sh\necho "$@" >>"$0.log"',
    'dpkg': '#!/bin/sh\nexit 1',
    'id': '#!/bin/sh\necho "$STAND_IN_UID"',
}
LANGUAGES = {
    'English': {'LANG': 'C.UTF-8'},
    'German': {'LANG': 'de_DE.UTF-8'},
    'German through LANGUAGE': {'LC_ALL': 'C.UTF-8', 'LANGUAGE': 'de'},
}
CHECKS_TOOLS = ('clang-format-14', 'clang-tidy-14')

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def stand_in_path(folder):
    """A path of the stand-ins and of bash and grep alone: no sudo, whatever the system holds."""
    bin_folder = os.path.join(folder, 'bin')
    os.mkdir(bin_folder)
    for name, body in STAND_INS.items():
        path = os.path.join(bin_folder, name)
        with open(path, 'w', encoding='utf-8') as file:
            file.write(body + '\n')
        os.chmod(path, 0o755)
    for tool in ('bash', 'grep'):
        os.symlink(shutil.which(tool), os.path.join(bin_folder, tool))
    return bin_folder


def run(script, bin_folder, uid, language):
    env = {'PATH': bin_folder, 'STAND_IN_UID': uid, **LANGUAGES[language]}
    log = os.path.join(bin_folder, 'apt-get.log')
    if os.path.exists(log):
        os.remove(log)
    result = subprocess.run([os.path.join(ROOT, 'scripts', script)], env=env,
                            capture_output=True, text=True, timeout=120)
    installed = open(log, encoding='utf-8').read() if os.path.exists(log) else ''
    return result, installed


def install_scripts(bin_folder):
    for language in LANGUAGES:
        result, installed = run('install-deps', bin_folder, '0', language)
        line = next((l for l in installed.splitlines() if l.startswith('install ')), '')
        left_out = [p for p in CHECKS_TOOLS + ('xauth',) if f' {p} ' not in f'{line} ']
        check(not left_out, f'install-deps in {language} did not install {" ".join(left_out)}; '
              f'it said: {result.stdout}{result.stderr}')
        check(result.returncode == 0, f'install-deps in {language} ended {result.returncode}')
        with mock.patch.dict(os.environ, {'PATH': bin_folder, **LANGUAGES[language]}, clear=True):
            check(sourcetree.offered('clang-format-14'),
                  f'the tree checks find clang-format-14 not offered in {language}')

    result, installed = run('install-fuzz-deps', bin_folder, '1000', 'English')
    said = result.stdout + result.stderr
    check(result.returncode == 1 and 'root or sudo' in said
          and 'apt-get update && apt-get install --no-install-recommends clang' in said
          and not installed, f'install-fuzz-deps without root nor sudo ended '
          f'{result.returncode} saying "{said.strip()}", apt-get: "{installed.strip()}"')


def tree_checks_leave_no_cache(folder):
    layers = os.path.join(folder, 'layers')
    os.mkdir(layers)
    for name in os.listdir(os.path.join(ROOT, 'tools/layers')):
        if name.endswith('.py'):
            shutil.copy(os.path.join(ROOT, 'tools/layers', name), layers)
    env = {k: v for k, v in os.environ.items() if k != 'PYTHONDONTWRITEBYTECODE'}
    for name in sorted(os.listdir(layers)):
        if name.startswith('check-'):
            subprocess.run([sys.executable, os.path.join(layers, name)], env=env,
                           capture_output=True, timeout=60)
            check(not os.path.exists(os.path.join(layers, '__pycache__')),
                  f'{name} left a bytecode cache beside itself')
            shutil.rmtree(os.path.join(layers, '__pycache__'), ignore_errors=True)


with tempfile.TemporaryDirectory() as temp:
    install_scripts(stand_in_path(temp))
    tree_checks_leave_no_cache(temp)
print('\n'.join(failures) or 'the install scripts and the tree checks are ready for a fresh system')
sys.exit(1 if failures else 0)
