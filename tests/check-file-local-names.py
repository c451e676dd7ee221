#!/usr/bin/env python3
"""Fails when two test files open the same namespace or define a file-local name alike.

The test files are compiled in unity batches, which share one anonymous namespace: each test
file keeps its helpers in a namespace named after it, not in an anonymous one; two files whose
anonymous namespaces define the same function, type, alias or variable break the build once a new
file shifts them into one batch."""
import re
import sys
from collections import defaultdict
from pathlib import Path

MACRO = re.compile(r"^[A-Z][A-Z0-9_]*\s*\(")
TYPE = re.compile(r"\b(?:struct|class|union|enum(?:\s+class)?)\s+(\w+)\s*(?:final\s*)?(?::[^{]*)?$")
ALIAS = re.compile(r"^(?:using|namespace)\s+(\w+)\s*=(.*)$")
VARIABLE = re.compile(r"(\w+)\s*(?:\[[^\]]*\]\s*)*(?:=|\{|;|$)")


def strip(text):
    """Removes comments, string and character literals and preprocessor lines."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i) or (c == "#" and (i == 0 or text[i - 1] == "\n")):
            while i < n and text[i] != "\n":
                i += 2 if text[i] == "\\" else 1
        elif text.startswith("/*", i):
            i = text.find("*/", i + 2)
            i = n if i < 0 else i + 2
        elif text.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', text[i:])
            end = text.find(")" + m.group(1) + '"', i)
            out.append('""')
            i = n if end < 0 else end + len(m.group(1)) + 2
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def without_templates(header):
    """Drops `template <...>` heads and any other angle-bracketed argument lists."""
    result, depth = [], 0
    for c in re.sub(r"\btemplate\b", " ", header):
        if c == "<":
            depth += 1
        elif c == ">" and depth:
            depth -= 1
        elif not depth:
            result.append(c)
    return "".join(result)


def declared_name(header, ends_in_brace):
    header = " ".join(without_templates(header).split())
    if not header or MACRO.match(header) or "operator" in header:
        return None
    if re.match(r"^using\s+(?:namespace\b|[\w:]+::\w+$)", header):
        return None  # using-directives and using-declarations may repeat
    m = ALIAS.match(header)
    if m:
        return m.group(1), m.group(2).strip()
    if ends_in_brace:
        m = TYPE.search(header)
        if m:
            return m.group(1), None
    paren = header.find("(")
    if paren >= 0 and "=" not in header[:paren]:
        m = re.search(r"(\w+)\s*$", header[:paren])
        return (m.group(1), None) if m else None
    m = VARIABLE.search(header)
    return (m.group(1), None) if m and not ends_in_brace else None


def file_local_names(text):
    """The names declared directly inside the file's anonymous namespaces, each with the type an
    alias stands for (an alias may repeat for the same type) or None."""
    text = strip(text)
    names, stack, header = {}, [], ""
    for c in text:
        inside = bool(stack) and stack[-1] == "anonymous"
        if c == "{":
            opened = "other"
            if re.search(r"\bnamespace\s*$", header):
                opened = "anonymous"
            elif re.search(r"\bnamespace\s+[\w:]+\s*$", header):
                opened = "named"
            elif inside:
                declared = declared_name(header, True)
                if declared:
                    names[declared[0]] = declared[1]
            stack.append(opened)
            header = ""
        elif c == "}":
            if stack:
                stack.pop()
            header = ""
        elif c == ";":
            if inside:
                declared = declared_name(header, False)
                if declared:
                    names[declared[0]] = declared[1]
            header = ""
        elif not stack or stack[-1] in ("anonymous", "named"):
            header += c
    return names


def main(folder):
    owners, opened = defaultdict(list), defaultdict(list)
    for path in sorted(Path(folder).rglob("*.cpp")):
        text, file = path.read_text(encoding="utf-8"), path.relative_to(folder).as_posix()
        for name, aliased in file_local_names(text).items():
            owners[name].append((file, aliased))
        for name in set(re.findall(r"^namespace (\w*) ?\{", strip(text), re.M)):
            if name or re.search(r"^TEST", text, re.M):
                opened[name or "anonymous namespace of a test file"].append(file)
    clashes = {"namespace " + n: files for n, files in opened.items()
               if len(files) > 1 or n.startswith("anonymous")}
    for name, found in owners.items():
        if len(found) > 1 and (None in {a for _, a in found} or len({a for _, a in found}) > 1):
            clashes[name] = [file for file, _ in found]
    for name, files in sorted(clashes.items()):
        print(f"{name}: {', '.join(files)}")
    if clashes:
        print(f"{len(clashes)} found: each test file keeps its helpers in a namespace of its own")
    return 1 if clashes else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent))
