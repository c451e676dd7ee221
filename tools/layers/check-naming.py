#!/usr/bin/env python3
"""Fails when an enumerator or a named constant is not written in UPPER_SNAKE_CASE.

Usage: check-naming.py <source root> [<folder>...]

Read from the text, without compiling: every enumerator, and every constant declared at namespace
or class scope (constexpr, or a const object: `const T`, `T* const`; a class's only when static).
A function's own constants are its locals and keep their names, and a class's TypeRecord (its
identity, compared by address) keeps the name QUOVEL_TYPE gives it. The folders default to the whole
tree (sourcetree.py: all but the build's folders at the root and the checks' planted examples).
"""
import os
import re
import sys

# Imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
import sourcetree  # noqa: E402

UPPER = re.compile(r'^[A-Z][A-Z0-9]*(?:_[A-Z0-9]+)*$')
ENUM = re.compile(r'\benum\b(?:\s+(?:class|struct)\b)?(?:\s+\w+)?(?:\s*:\s*[\w:\s]+)?\s*\{')
WORD = re.compile(r'[A-Za-z_]\w*')
# Access labels and a macro's use without a semicolon before the declaration.
LEADING_LABELS = re.compile(
    r'^(?:\s*(?:(?:public|protected|private)\s*:(?!:)|[A-Z][A-Z0-9_]*\s*\([^()]*\)))*')
NOT_VARIABLES = re.compile(r'^(?:using|typedef|friend|static_assert|namespace|return)\b')


def without_templates(text):
    """Drops template heads and argument lists: a "<" right after a name opens one."""
    text, result, depth = re.sub(r'\btemplate\s*<', 'template<', text), [], 0
    for i, c in enumerate(text):
        if c == '<' and i and (text[i - 1].isalnum() or text[i - 1] == '_' or depth):
            depth += 1
        elif c == '>' and depth:
            depth -= 1
        elif not depth:
            result.append(c)
    return re.sub(r'\btemplate\b', ' ', ''.join(result))


def top_level(text, separator):
    """Splits at separators outside brackets."""
    parts, depth, start = [], 0, 0
    for i, c in enumerate(text):
        if c in '([{':
            depth += 1
        elif c in ')]}':
            depth -= 1
        elif c == separator and depth == 0:
            parts.append(text[start:i])
            start = i + 1
    parts.append(text[start:])
    return parts


def enumerators(text):
    for match in ENUM.finditer(text):
        end = sourcetree.closing(text, match.end() - 1)
        offset = match.end()
        for item in top_level(text[offset:end], ','):
            name = WORD.match(item.strip())
            if name:
                yield name.group(0), offset + item.find(name.group(0))
            offset += len(item) + 1


def constant_names(statement, in_class):
    """The names a declaration at namespace or class scope makes constant, or none."""
    statement = LEADING_LABELS.sub('', statement)
    head = without_templates(statement.split('=', 1)[0])
    words = WORD.findall(head)
    if not words or NOT_VARIABLES.match(head.strip()) or '(' in head or 'operator' in words:
        return []
    if 'TypeRecord' in words or (in_class and 'static' not in words and 'constexpr' not in words):
        return []
    names, specifiers = [], None
    declarators = top_level(without_templates(re.sub(r'\{[^{}]*\}', ' = ', statement)), ',')
    for declarator in declarators:
        declarator = declarator.split('=', 1)[0].split('[', 1)[0]
        found = re.search(r'((?:\w+\s*::\s*)*\w+)\s*$', declarator)
        if not found:
            continue
        before = declarator[:found.start()]
        if specifiers is None:
            # The first declarator carries the type the later ones of the statement share.
            if not re.search(r'\w|[*&]\s*$', before):
                return names
            specifiers = re.split(r'[*&]', before, maxsplit=1)[0]
        constant = ('constexpr' in words or re.search(r'\bconst\s*$', before)
                    or ('const' in WORD.findall(specifiers) and not re.search(r'[*&]', before)))
        if constant:
            names.append(found.group(1).split('::')[-1].strip())
    return names


def constants(text):
    """Each constant of the file's namespace and class scopes, with where it is declared."""
    scopes, start, i = ['namespace'], 0, 0
    while i < len(text):
        c = text[i]
        if c == ';':
            if scopes[-1] != 'block':
                for name in constant_names(text[start:i], scopes[-1] == 'class'):
                    yield name, start + re.search(rf'\b{name}\b', text[start:i]).start()
            start = i + 1
        elif c == '}':
            scopes.pop()
            start = i + 1
        elif c == '{':
            header = LEADING_LABELS.sub('', without_templates(text[start:i]))
            words = WORD.findall(header)
            if scopes[-1] == 'block':
                scopes.append('block')
            elif 'namespace' in words or header.strip() == 'extern ""':
                scopes.append('namespace')
            elif '(' not in header and 'enum' in words:
                i = sourcetree.closing(text, i) + 1
                continue
            elif '(' not in header and {'class', 'struct', 'union'} & set(words) \
                    and '=' not in header:
                scopes.append('class')
            elif '=' in header.split('(')[0] or ('(' not in header and words):
                # An initializer: the statement goes on to its ';'.
                i = sourcetree.closing(text, i) + 1
                continue
            elif (re.search(r'\)\s*(?:noexcept\s*)?:[^:]', header)
                  and re.search(r'[\w>]\s*$', header)):
                i = sourcetree.closing(text, i) + 1  # a member initializer of a constructor
                continue
            else:
                scopes.append('block')
            if scopes[-1] != 'block':
                start = i + 1
        i += 1


def check(root, source):
    with open(os.path.join(root, source), encoding='utf-8', errors='replace') as file:
        text = sourcetree.strip(file.read())
    found = [('enumerator', name, at) for name, at in enumerators(text)]
    found += [('constant', name, at) for name, at in constants(text)]
    return [(f'{source}:{text.count(chr(10), 0, at) + 1}', kind, name)
            for kind, name, at in sorted(found, key=lambda f: f[2]) if not UPPER.match(name)]


def main():
    root = sys.argv[1]
    wrong, count = [], 0
    for folder in sys.argv[2:] or ['.']:
        for source in sourcetree.sources(root, folder):
            count += 1
            wrong += check(root, source)
    for where, kind, name in wrong:
        print(f'{where}: {kind} "{name}" is not UPPER_SNAKE_CASE')
    print(f'{count} files read, {len(wrong)} names not in UPPER_SNAKE_CASE')
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
