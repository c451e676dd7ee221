#!/usr/bin/env python3
"""The install scripts over stand-ins for dpkg, id, apt-get and apt-cache, on a path without sudo;
apt-cache answers in English or German as the locale asks, and writes more than a pipe holds after
its candidate line. The fresh-Debian script over stand-ins for the tools that need root. The tree
checks leave no bytecode cache beside themselves."""
import fcntl, os, shutil, subprocess, sys, tempfile  # noqa: E401
from pathlib import Path
from unittest import mock

sys.dont_write_bytecode = True
ROOT = os.path.abspath(sys.argv[1])
sys.path.insert(0, os.path.join(ROOT, 'tools/layers'))
import sourcetree  # noqa: E402

# As gettext: LANGUAGE counts unless the locale is C or POSIX (C.UTF-8 does not keep it out).
APT_CACHE = f'''#!{sys.executable}
import os, signal, sys
signal.signal(signal.SIGPIPE, signal.SIG_DFL)
locale = os.environ.get('LC_ALL') or os.environ.get('LANG', '')
language = locale if locale in ('', 'C', 'POSIX') else os.environ.get('LANGUAGE') or locale
word = 'Installationskandidat' if language.startswith('de') else 'Candidate'
print(f'{{sys.argv[2]}}:\\n  {{word}}: 1:14.0.6-12', flush=True)
for _ in range(64):
    print('        500 http://deb.example/debian bookworm/main amd64 Packages\\n' * 300, flush=True)
'''
# For the fresh-Debian script: /sys stays mounted; `make test` leaves a file in /tmp and signals.
CALLED = '#!/bin/sh\necho "${0##*/} $*" >>"${0%/*}/called"\n'
STAND_INS = {'apt-cache': APT_CACHE, 'apt-get': '#!/bin/sh\necho "$@" >>"$0.log"',
             'dpkg': '#!/bin/sh\nexit 1', 'id': '#!/bin/sh\necho "$STAND_IN_UID"', 'mount': CALLED,
             'unshare': CALLED + 'shift 3\nexec "$@"',
             'umount': CALLED + 'case $* in */sys) exit 1; esac',
             'debootstrap': '#!/bin/sh\nmkdir -p "$3/etc" "$3/tmp" "$3/dev/shm"',
             'chroot': '#!/bin/sh\ncase $* in *\\ test*) touch "$1/tmp/left"\n'
                       'kill -s ${SIGNAL:-0} 0; esac',
             'git': '#!/bin/sh\ncase $* in *clone*) mkdir -p "$5";; *rev-*) pwd; esac'}
LANGUAGES = {'English': {'LANG': 'C.UTF-8'}, 'German': {'LANG': 'de_DE.UTF-8'},
             'German by LANGUAGE': {'LC_ALL': 'C.UTF-8', 'LANGUAGE': 'de'}}
failures = []
with tempfile.TemporaryDirectory() as temp:
    path, log = os.path.join(temp, 'bin'), Path(temp, 'bin', 'apt-get.log')
    os.mkdir(path)
    for name, text in STAND_INS.items():
        Path(path, name).write_text(text + '\n', encoding='utf-8')
        Path(path, name).chmod(0o755)
    for tool in ('bash', 'grep'):
        os.symlink(shutil.which(tool), os.path.join(path, tool))

    def run(script, uid, language):
        """What the script said and ended with, and what apt-get was asked."""
        log.write_text('', encoding='utf-8')
        result = subprocess.run([f'{ROOT}/scripts/{script}'], capture_output=True, text=True,
                                env={'PATH': path, 'STAND_IN_UID': uid, **LANGUAGES[language]})
        return f'ended {result.returncode}: {result.stdout}{result.stderr}', log.read_text('utf-8')

    for language in LANGUAGES:
        said, asked = run('install-deps', '0', language)
        install = next((f'{a} ' for a in asked.splitlines() if a.startswith('install')), '')
        left_out = [p for p in ('clang-format-14', 'clang-tidy-14', 'xauth')
                    if f' {p} ' not in install]
        if left_out or not said.startswith('ended 0'):
            failures.append(f'install-deps in {language} left out {left_out}, {said}')
        with mock.patch.dict(os.environ, {'PATH': path, **LANGUAGES[language]}, clear=True):
            if not sourcetree.offered('clang-format-14'):
                failures.append(f'the tree checks find clang-format-14 not offered in {language}')
    said, asked = run('install-fuzz-deps', '1000', 'English')
    if not said.startswith('ended 1') or asked or 'root or sudo' not in said \
            or 'apt-get update && apt-get install --no-install-recommends clang\n' not in said:
        failures.append(f'install-fuzz-deps without root or sudo {said}; apt-get: {asked}')

    def fresh_debian(**env):
        Path(path, 'called').write_text('', encoding='utf-8')
        env = {'PATH': f'{path}:{os.environ["PATH"]}', 'STAND_IN_UID': '0', **env}
        result = subprocess.run([f'{ROOT}/scripts/test-in-fresh-debian', f'{temp}/fresh'], env=env,
                                capture_output=True, text=True, start_new_session=True)
        called = Path(path, 'called').read_text('utf-8')
        return result.returncode, result.stdout + result.stderr, called
    ended, said, called = fresh_debian(QUOVEL_FRESH_DEBIAN_NAMESPACE='1')
    if ended != 1 or 'unshare --mount' not in called or '/tmp/left' not in said \
            or f'umount {temp}/fresh/root/proc' not in called:
        failures.append(f'test-in-fresh-debian ended {ended}, said {said}, called {called}')
    for signal, status in ('TERM', 143), ('HUP', 129):
        if (ended := fresh_debian(SIGNAL=signal)[0]) != status:
            failures.append(f'test-in-fresh-debian ended {ended} on SIG{signal}')
    Path(temp, 'fresh/root/kept').touch()
    with open(f'{temp}/fresh/lock', 'a') as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if fresh_debian()[0] != 1 or not Path(temp, 'fresh/root/kept').exists():
            failures.append('a second test-in-fresh-debian on the folder did not refuse')

    layers = shutil.copytree(os.path.join(ROOT, 'tools/layers'), os.path.join(temp, 'layers'),
                             ignore=lambda _, names: [n for n in names if not n.endswith('.py')])
    env = {k: v for k, v in os.environ.items() if k != 'PYTHONDONTWRITEBYTECODE'}
    for check in sorted(n for n in os.listdir(layers) if n.startswith('check-')):
        subprocess.run([sys.executable, os.path.join(layers, check)], env=env, capture_output=True)
        if os.path.isdir(os.path.join(layers, '__pycache__')):
            failures.append(f'{check} left a bytecode cache beside itself')
            shutil.rmtree(os.path.join(layers, '__pycache__'))
print('\n'.join(failures) or 'the install scripts and the tree checks are ready for a fresh system')
sys.exit(1 if failures else 0)
