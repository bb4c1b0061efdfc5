#!/usr/bin/env python3
"""Checks the links of the documentation: README.md and every docs/*.md.

Every Markdown link and image [text](target) whose target is relative (not
http:, https: or mailto:) must name a file or folder that exists, relative to
the Markdown file; a #anchor, alone or after a Markdown file's name, must be
the GitHub-style anchor of a heading in that file (lower case; characters
other than letters, digits, spaces, hyphens and underscores dropped; spaces
made hyphens; a repeated heading gets -1, -2, ...). Links in code blocks and
code spans are not links and are skipped.

It also checks that README.md's first fenced code block, which comes before any
section, holds exactly two command lines: the two commands a newcomer runs.

Prints one line per problem and ends with "N passed, M failed": N links that
resolve, M problems (links that do not, and the command block when it is
wrong). Exit code 1 when there is a problem.

Usage: check_docs.py [REPOSITORY_ROOT]   (default: the repository this file is in)
"""
import glob
import os
import re
import sys
from urllib.parse import unquote

FENCE = re.compile(r"^[ \t]*(`{3,}|~{3,})")
ATX_HEADING = re.compile(r"^ {0,3}(#{1,6})(?:[ \t]+(.*?))?(?:[ \t]+#+)?[ \t]*$")
SETEXT_UNDERLINE = re.compile(r"^ {0,3}(=+|-+)[ \t]*$")
# A code span: a run of backticks, text without a blank line, the same run again.
CODE_SPAN = re.compile(r"(?<!`)(`+)(?!`)((?:(?!\n[ \t]*\n).)+?)(?<!`)\1(?!`)", re.DOTALL)
# [text](target) or ![alt](target), text with at most one level of nested
# brackets, target in <...> or bare (balanced parentheses allowed), an optional title.
LINK = re.compile(
    r"(!?)\[((?:[^\[\]\\]|\\.|\[(?:[^\[\]\\]|\\.)*\])*)\]"
    r"\([ \t\n]*(<[^<>\n]*>|(?:[^\s()\\]|\\.|\([^\s()]*\))*)"
    r"(?:[ \t\n]+(?:\"[^\"]*\"|'[^']*'|\([^()]*\)))?[ \t\n]*\)")
EXTERNAL = re.compile(r"^(?:https?|mailto):", re.IGNORECASE)


def fenced_blocks(lines):
    """(first line index, last line index) of each fenced code block, fences included."""
    blocks, start, fence = [], None, None
    for index, line in enumerate(lines):
        match = FENCE.match(line)
        if start is None:
            if match:
                start, fence = index, match.group(1)
        elif match and match.group(1)[0] == fence[0] and len(match.group(1)) >= len(fence) \
                and line.strip() == match.group(1):
            blocks.append((start, index))
            start = None
    if start is not None:  # an unclosed fence runs to the end of the file
        blocks.append((start, len(lines) - 1))
    return blocks


def prose_lines(lines):
    """The lines with those of fenced code blocks blanked, so line numbers stay."""
    result = list(lines)
    for first, last in fenced_blocks(lines):
        for index in range(first, last + 1):
            result[index] = ""
    return result


def mask_code_spans(text):
    """Code spans replaced by spaces (line breaks kept): their brackets are no links."""
    return CODE_SPAN.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


def heading_text_to_anchor(text):
    text = re.sub(r"!?\[((?:[^\[\]]|\[[^\[\]]*\])*)\]\([^)]*\)", r"\1", text)  # links: their text
    text = text.strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)  # \w: letters, digits and the underscore
    return text.replace(" ", "-")


def anchors(path):
    """The GitHub-style anchors of a Markdown file's headings."""
    with open(path, encoding="utf-8") as handle:
        lines = prose_lines(handle.read().split("\n"))
    found, seen = set(), {}
    for index, line in enumerate(lines):
        text = None
        match = ATX_HEADING.match(line)
        if match:
            text = match.group(2) or ""
        elif index > 0 and SETEXT_UNDERLINE.match(line) and lines[index - 1].strip() \
                and not ATX_HEADING.match(lines[index - 1]) and "|" not in lines[index - 1]:
            text = lines[index - 1]
        if text is None:
            continue
        anchor = heading_text_to_anchor(text)
        count = seen.get(anchor, 0)
        seen[anchor] = count + 1
        found.add(anchor if count == 0 else "%s-%d" % (anchor, count))
    return found


def check_links(root, path, problems, anchor_cache):
    """Checks every relative link of one Markdown file; returns how many resolve."""
    name = os.path.relpath(path, root)
    with open(path, encoding="utf-8") as handle:
        text = mask_code_spans("\n".join(prose_lines(handle.read().split("\n"))))
    passed = 0
    for match in LINK.finditer(text):
        target = match.group(3)
        if target.startswith("<") and target.endswith(">"):
            target = target[1:-1]
        if EXTERNAL.match(target):
            continue
        line = text.count("\n", 0, match.start()) + 1
        label = " ".join(match.group(2).split())
        label = label if len(label) <= 40 else label[:37] + "..."
        shown = "%s:%d: %s[%s](%s)" % (name, line, match.group(1), label, match.group(3))
        file_part, _, anchor = target.partition("#")
        file_part = unquote(file_part)
        if not target:
            problems.append("%s: empty target" % shown)
            continue
        if file_part.startswith("/"):
            resolved = os.path.join(root, file_part.lstrip("/"))
        elif file_part:
            resolved = os.path.join(os.path.dirname(path), file_part)
        else:
            resolved = path
        resolved = os.path.normpath(resolved)
        if not os.path.exists(resolved):
            problems.append("%s: no such file: %s" % (shown, os.path.relpath(resolved, root)))
            continue
        if "#" in target:
            anchor = unquote(anchor)
            if not resolved.endswith(".md") or not os.path.isfile(resolved):
                problems.append("%s: an anchor into a file that is not Markdown" % shown)
                continue
            if resolved not in anchor_cache:
                anchor_cache[resolved] = anchors(resolved)
            if anchor not in anchor_cache[resolved]:
                problems.append("%s: no heading with the anchor #%s in %s"
                                % (shown, anchor, os.path.relpath(resolved, root)))
                continue
        passed += 1
    return passed


def check_command_block(root, problems):
    """README.md's first fenced code block, before any section: exactly two command lines."""
    path = os.path.join(root, "README.md")
    with open(path, encoding="utf-8") as handle:
        lines = handle.read().split("\n")
    blocks = fenced_blocks(lines)
    if not blocks:
        problems.append("README.md: no fenced code block with the two commands")
        return
    first, last = blocks[0]
    sections = [i for i, line in enumerate(prose_lines(lines)[:first])
                if re.match(r"^ {0,3}#{2,6}(?:[ \t]|$)", line)]
    if sections:
        problems.append("README.md:%d: the first code block comes after a section (line %d)"
                        % (first + 1, sections[0] + 1))
    body = [line for line in lines[first + 1:last] if line.strip()]
    commands = [line for line in body if not line.lstrip().startswith("#")]
    if len(body) != 2 or len(commands) != 2:
        problems.append("README.md:%d: the first code block holds %d lines, %d of them commands,"
                        " not exactly two command lines" % (first + 1, len(body), len(commands)))


def main(argv):
    root = os.path.abspath(argv[1] if len(argv) > 1 else
                           os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    files = [os.path.join(root, "README.md")] + sorted(glob.glob(os.path.join(root, "docs", "*.md")))
    problems, passed, anchor_cache = [], 0, {}
    for path in files:
        if not os.path.isfile(path):
            problems.append("%s: missing" % os.path.relpath(path, root))
            continue
        passed += check_links(root, path, problems, anchor_cache)
    if os.path.isfile(files[0]):
        check_command_block(root, problems)
    for problem in problems:
        print(problem)
    print("%d passed, %d failed" % (passed, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
