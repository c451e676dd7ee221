"""What the tree checks share: which folders hold the tree's sources, the layers file, each
include of a file as the compiler finds it, C++ text with its comments and literals blanked, and
the pinned tools' version check."""
import os
import re
import shutil
import subprocess
import sys

# Both forms; a line comment before the hash hides it, as it does from the compiler.
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*(?:"([^"\n]+)"|<([^>\n]+)>)', re.MULTILINE)
CPP = ('.h', '.cpp')
# The status CTest reports as skipped: a pinned tool that this system's archive does not offer.
NOT_RUN = 77


def skipped(folder):
    """Whether a folder (relative to the root) holds nothing of the tree: the build's output and
    hidden folders at the root, and the checks' planted examples wherever they stand."""
    name = os.path.basename(folder)
    at_root = os.path.dirname(folder) in ('', '.')
    return name.endswith('-example') or (at_root and (name.startswith('.') or name == 'build'
                                                      or name.startswith('build-')))


def walk(root, folder='.'):
    """The tree's files under a folder, sorted, as paths relative to the root."""
    for directory, folders, names in os.walk(os.path.join(root, folder)):
        here = os.path.relpath(directory, root)
        folders[:] = sorted(f for f in folders
                            if not skipped(os.path.normpath(os.path.join(here, f))))
        for name in sorted(names):
            yield os.path.normpath(os.path.join(here, name))


def sources(root, folder='.'):
    """The tree's C++ files under a folder."""
    return [path for path in walk(root, folder) if path.endswith(CPP)]


def read_layers(path):
    """The source folders of the layers file, lowest first, and its allowed exceptions."""
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


def unlisted_folders(root, folders, layers):
    """A line for each folder beside the listed ones (under the same top folders) that holds C++
    files but is not listed: its includes would go unchecked."""
    tops = sorted({folder.split('/')[0] for folder in folders})
    found = {os.path.dirname(path) for top in tops for path in sources(root, top)}
    return [f'{folder}: holds sources but {layers} does not list it'
            for folder in sorted(found - set(folders))]


def includes(root, source):
    """Each include of a file that finds a header of the tree: (its spelling, the header's path
    from the root). A quoted name is looked for beside the file first, then from the root (the
    tree's one include folder); a name in angle brackets from the root alone."""
    with open(os.path.join(root, source), encoding='utf-8', errors='replace') as file:
        text = file.read()
    found = []
    for quoted, angled in INCLUDE.findall(text):
        places = [os.path.dirname(source), ''] if quoted else ['']
        for place in places:
            path = os.path.normpath(os.path.join(root, place, quoted or angled))
            path = os.path.relpath(path, os.path.normpath(root))
            if not path.startswith('..') and os.path.isfile(os.path.join(root, path)) \
                    and not any(skipped(part) for part in parents(path)):
                found.append((f'"{quoted}"' if quoted else f'<{angled}>', path))
                break
    return found


def parents(path):
    """The folders that hold a path, outermost first."""
    folders = []
    while os.path.dirname(path):
        path = os.path.dirname(path)
        folders.insert(0, path)
    return folders


def strip(text):
    """Blanks comments, literals and preprocessor lines, keeping every line where it was."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        line_start = text.rfind('\n', 0, i) + 1
        if text.startswith('//', i) or (c == '#' and text[line_start:i].strip() == ''):
            end = i
            while end < n and text[end] != '\n':
                end += 2 if text[end] == '\\' else 1
        elif text.startswith('/*', i):
            end = text.find('*/', i + 2)
            end = n if end < 0 else end + 2
        elif text.startswith('R"', i) and not re.match(r'\w', text[i - 1:i]):
            m = re.match(r'R"([^(]*)\(', text[i:])
            end = text.find(')' + m.group(1) + '"', i)
            end = n if end < 0 else end + len(m.group(1)) + 2
        elif c == '"' or (c == "'" and not re.match(r"\w'\w\w", text[i - 1:i + 3])):
            end = i + 1
            while end < n and text[end] != c:
                end += 2 if text[end] == '\\' else 1
            end += 1
        else:
            out.append(c)
            i += 1
            continue
        out.append(' ' if c in '/#' else '""')
        out.append('\n' * text.count('\n', i, end))
        i = end
    return ''.join(out)


def closing(text, start):
    """The index of the brace that closes the one at start."""
    depth = 0
    for i in range(start, len(text)):
        if text[i] == '{':
            depth += 1
        elif text[i] == '}':
            depth -= 1
            if depth == 0:
                return i
    return len(text)


def pinned_tool(tool, major, check, why):
    """None when the tool is there at its pinned major version; otherwise the status and the
    sentence a check ends with: not run where the package archive does not offer the tool (as
    scripts/install-deps asks it), failed where another version stands in for it."""
    try:
        output = subprocess.run([tool, '--version'], capture_output=True, text=True).stdout
        match = re.search(r'version (\d+)\.[\d.]+', output)
        found = (f'found {tool} of version {match.group(0).split()[-1]}' if match else
                 f'found {tool} saying "{output.strip()}"')
    except OSError as error:
        match, found = None, f'found no {tool} ({error.strerror})'
    if match and match.group(1) == major:
        return None
    if shutil.which(tool) is None and not offered(tool):
        return NOT_RUN, (f'The {check} was not run: it needs {tool}, which is not installed, and '
                         f'this system\'s package archive does not offer it (apt-cache policy '
                         f'{tool}).')
    return 1, f'The {check} needs {tool} ({why}, scripts/install-deps installs it): {found}.'


def offered(package):
    """Whether the package archive offers a package, as scripts/install-deps asks it: in the C
    locale, whose words are the ones looked for (gettext follows LANGUAGE under any other)."""
    env = {name: value for name, value in os.environ.items() if name != 'LANGUAGE'}
    try:
        policy = subprocess.run(['apt-cache', 'policy', package], capture_output=True,
                                text=True, env={**env, 'LC_ALL': 'C'}).stdout
    except OSError:
        return False
    return re.search(r'^\s*Candidate: [^(\s]', policy, re.MULTILINE) is not None
