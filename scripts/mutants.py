"""Faults made mechanically from the source, for scripts/fault-check.py.

Every place in a C++ file where a small change makes a plausible mistake
becomes a candidate:

  compare    flips a comparison: < and <=, > and >=, == and !=
  logic      swaps && and ||
  negate     negates the condition of an if or a while
  delete     deletes a statement that calls a function or assigns
  constant   moves an integer constant by one
  boolean    flips a returned true or false

The source is read with comments, string and character literals and
preprocessor lines blanked out, so no candidate lies inside them. Operators
are taken only with a blank on each side, as the project writes binary
operators, which keeps template brackets, shifts and arrows out.

A sample takes from each file a share of the count in proportion to the
file's lines and draws it with a random generator seeded from the seed and
the file's path: the same seed on the same tree gives the same faults.
"""

import hashlib
import random
import re
from pathlib import Path

_COMPARE_FLIPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
_COMPARE = re.compile(r"(?<= )(<=|>=|==|!=|<|>)(?= )")
_LOGIC = re.compile(r"(?<= )(&&|\|\|)(?= )")
_CONDITION = re.compile(r"\b(?:if|while) \(")
_INTEGER = re.compile(r"(?<![\w.'])(\d+)(?![\w.'])")
_RETURN_BOOL = re.compile(r"\breturn (true|false);")
_NOT_STATEMENTS = {"return", "break", "continue", "case", "default", "using", "typedef", "namespace",
                   "if", "for", "while", "switch", "do", "else", "goto", "throw", "delete", "co_return",
                   "static_assert", "template", "class", "struct", "enum", "friend", "public", "private",
                   "protected", "emit", "Q_OBJECT", "Q_EMIT"}
_ASSIGN = re.compile(r"^[\w.\->\[\]*():]+ (=|\+=|-=|\*=|/=|\|=|&=|\^=|<<=|>>=) (?!=)")
_STEP = re.compile(r"^(\+\+|--)[\w.\->\[\]]+;$|^[\w.\->\[\]]+(\+\+|--);$")


class Mutant:
    """One fault: the bytes [start, end) of a file become `replacement`."""

    def __init__(self, path, text, start, end, replacement, kind):
        self.path = path
        self.start = start
        self.end = end
        self.replacement = replacement
        self.kind = kind
        self.line = text.count("\n", 0, start) + 1
        line_start = text.rfind("\n", 0, start) + 1
        line_end = text.find("\n", start)
        self.source_line = text[line_start:line_end if line_end >= 0 else len(text)].strip()
        self.original = text[start:end]
        # Named by what it changes, not where: the name stays while the line
        # it changes stays, whatever moves around it.
        same_before = text[line_start:start].count(self.original) if self.original else 0
        same_lines_before = [l.strip() for l in text[:line_start].split("\n")].count(self.source_line)
        key = (f"{path}\0{self.source_line}\0{same_lines_before}\0{kind}\0{self.original}\0{replacement}"
               f"\0{same_before}")
        self.id = hashlib.sha1(key.encode("utf-8")).hexdigest()[:8]

    def apply(self, text):
        return text[:self.start] + self.replacement + text[self.end:]

    def describe(self):
        def flat(text):
            return " ".join(text.split())
        if self.kind == "delete":
            return f"delete `{flat(self.original)}`"
        if self.kind == "negate":
            return f"negate `{flat(self.original)}`"
        return f"`{self.original}` -> `{self.replacement}`"


def blank_out(text):
    """The text with comments, literals and preprocessor lines replaced by
    blanks of the same length (line breaks kept)."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if line_start and c == "#" or (line_start and c in " \t" and text[i:].lstrip(" \t").startswith("#")
                                       and text.rfind("\n", 0, i) + 1 == i):
            # A preprocessor line, with its continuations.
            j = i
            while True:
                end = text.find("\n", j)
                if end < 0:
                    end = n
                    break
                if end > 0 and text[end - 1] == "\\":
                    j = end + 1
                    continue
                break
            blank(i, end)
            i = end
            continue
        if c == "\n":
            line_start = True
            i += 1
            continue
        if c not in " \t":
            line_start = False
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            blank(i, end)
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            blank(i, end)
            i = end
        elif c == "R" and text.startswith('"', i + 1) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_paren = text.find("(", i + 2)
            delimiter = text[i + 2:open_paren]
            end = text.find(")" + delimiter + '"', open_paren)
            end = n if end < 0 else end + len(delimiter) + 2
            blank(i, end)
            i = end
        elif c in "\"'":
            if c == "'" and i > 0 and text[i - 1].isalnum() and i + 1 < n and text[i + 1].isalnum():
                i += 1  # a digit separator such as 1'000
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i, min(j + 1, n))
            i = j + 1
        else:
            i += 1
    return "".join(out)


def _matching_paren(masked, open_index):
    depth = 0
    for k in range(open_index, len(masked)):
        if masked[k] == "(":
            depth += 1
        elif masked[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


def _statement_lines(masked):
    """(start, end) of each line that is one whole statement calling a
    function or assigning."""
    lines = masked.split("\n")
    offset = 0
    previous = ";"
    for line in lines:
        stripped = line.strip()
        start = offset
        offset += len(line) + 1
        if not stripped:
            continue
        was = previous
        previous = stripped
        if not stripped.endswith(";") or was[-1] not in ";{}:" or was.endswith("::"):
            continue
        if stripped.count("(") != stripped.count(")") or stripped.count("{") != stripped.count("}"):
            continue
        first_word = re.match(r"[A-Za-z_]\w*", stripped)
        if first_word and first_word.group(0) in _NOT_STATEMENTS:
            continue
        head = stripped.split("(", 1)[0]
        is_call = "(" in stripped and stripped.endswith(");") and " " not in head.strip() and head.strip() != ""
        is_assignment = bool(_ASSIGN.match(stripped)) or bool(_STEP.match(stripped))
        if is_call or is_assignment:
            indent = len(line) - len(line.lstrip())
            yield start + indent, start + len(line)


def candidates(path, text):
    """Every fault the file offers, in the order of the text."""
    masked = blank_out(text)
    found = []
    for m in _COMPARE.finditer(masked):
        found.append(Mutant(path, text, m.start(), m.end(), _COMPARE_FLIPS[m.group(1)], "compare"))
    for m in _LOGIC.finditer(masked):
        found.append(Mutant(path, text, m.start(), m.end(), "||" if m.group(1) == "&&" else "&&", "logic"))
    for m in _CONDITION.finditer(masked):
        if masked[max(0, m.start() - 1)] == "#":
            continue
        open_index = m.end() - 1
        close = _matching_paren(masked, open_index)
        if close < 0:
            continue
        inner = text[open_index + 1:close]
        if ";" in masked[open_index:close] or "constexpr" in inner:
            continue
        found.append(Mutant(path, text, open_index + 1, close, f"!({inner})", "negate"))
    for start, end in _statement_lines(masked):
        found.append(Mutant(path, text, start, end, "", "delete"))
    for m in _INTEGER.finditer(masked):
        value = int(m.group(1))
        # Both directions are faults; the one taken depends on the place.
        step = 1 if value == 0 or int(hashlib.sha1(f"{path}{m.start()}".encode()).hexdigest(), 16) % 2 else -1
        found.append(Mutant(path, text, m.start(), m.end(), str(value + step), "constant"))
    for m in _RETURN_BOOL.finditer(masked):
        word_start = m.start(1)
        flipped = "false" if m.group(1) == "true" else "true"
        found.append(Mutant(path, text, word_start, word_start + len(m.group(1)), flipped, "boolean"))
    found.sort(key=lambda mutant: (mutant.start, mutant.kind))
    return found


def sample(root, directories, suffixes, seed, count):
    """`count` faults over the files under `directories`, each file's share
    in proportion to its lines (largest remainders first)."""
    files = []
    for directory in directories:
        for path in sorted((root / directory).rglob("*")):
            if path.is_file() and path.suffix in suffixes:
                files.append(path)
    texts = {path: path.read_text(encoding="utf-8") for path in files}
    lines = {path: texts[path].count("\n") + 1 for path in files}
    total = sum(lines.values())
    exact = {path: count * lines[path] / total for path in files}
    share = {path: int(exact[path]) for path in files}
    remaining = count - sum(share.values())
    for path in sorted(files, key=lambda p: (-(exact[p] - share[p]), str(p)))[:remaining]:
        share[path] += 1

    offered = {path: candidates(str(path.relative_to(root)), texts[path]) for path in files}
    # A file with fewer places than its share passes the rest on to the
    # files with places to spare, largest remainder first.
    short = sum(max(0, share[path] - len(offered[path])) for path in files)
    for path in files:
        share[path] = min(share[path], len(offered[path]))
    for path in sorted(files, key=lambda p: (-(exact[p] - int(exact[p])), str(p))) * count:
        if short == 0:
            break
        if share[path] < len(offered[path]):
            share[path] += 1
            short -= 1

    chosen = []
    for path in files:
        rng = random.Random(f"{seed}:{path.relative_to(root)}")
        chosen.extend(sorted(rng.sample(offered[path], share[path]), key=lambda mutant: mutant.start))
    return chosen
