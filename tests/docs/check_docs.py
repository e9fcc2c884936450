#!/usr/bin/env python3
"""The user's documentation stays whole: every command `tessaly-book --help`
lists is shown in README.md, and every relative link in the project's Markdown
files (README.md, ARCHITECTURE.md, docs/*.md, bench/README.md) reaches a file,
and a heading where it names one.

Usage: check_docs.py <source dir> <tessaly-book>"""

import glob
import os
import re
import subprocess
import sys

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
COMMAND_LINE = re.compile(r"^  ([a-z][a-z-]*)\b")


def help_commands(program):
    run = subprocess.run([program, "--help"], capture_output=True, text=True,
                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    if run.returncode != 0:
        sys.exit(f"{program} --help ended with {run.returncode}: {run.stderr}")
    # The commands are the section headed 命令 down to its blank line.
    lines = run.stdout.splitlines()
    start = next((i + 1 for i, line in enumerate(lines) if line.startswith("命令")), len(lines))
    section = lines[start:lines.index("", start) if "" in lines[start:] else len(lines)]
    names = {m.group(1) for m in map(COMMAND_LINE.match, section) if m}
    if not names:
        sys.exit(f"{program} --help lists no commands:\n{run.stdout}")
    return sorted(names)


def anchor(heading):
    """The anchor GitHub gives a heading: lower case, punctuation dropped, blanks as '-'."""
    text = heading.strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors(path):
    with open(path, encoding="utf-8") as f:
        return {anchor(line.lstrip("#")) for line in f if re.match(r"#{1,6} ", line)}


def markdown_files(root):
    files = ["README.md", "ARCHITECTURE.md", "bench/README.md"] + sorted(
        os.path.relpath(p, root) for p in glob.glob(os.path.join(root, "docs", "*.md")))
    return [os.path.join(root, f) for f in files]


def broken_links(root):
    broken = []
    for md in markdown_files(root):
        if not os.path.exists(md):
            broken.append(f"{os.path.relpath(md, root)}: missing")
            continue
        with open(md, encoding="utf-8") as f:
            text = f.read()
        # Code spans and blocks show examples, not links.
        text = re.sub(r"```.*?```", "", text, flags=re.S)
        text = re.sub(r"`[^`\n]*`", "", text)
        for target in LINK.findall(text):
            if re.match(r"[a-z]+:", target):
                continue
            path, _, fragment = target.partition("#")
            resolved = os.path.normpath(os.path.join(os.path.dirname(md), path)) if path else md
            where = f"{os.path.relpath(md, root)}: {target}"
            if not os.path.exists(resolved):
                broken.append(f"{where} (no {os.path.relpath(resolved, root)})")
            elif fragment and resolved.endswith(".md") and fragment not in anchors(resolved):
                broken.append(f"{where} (no heading #{fragment})")
    return broken


def main():
    root, program = sys.argv[1], sys.argv[2]
    with open(os.path.join(root, "README.md"), encoding="utf-8") as f:
        readme = f.read()
    missing = [c for c in help_commands(program) if f"tessaly-book {c}" not in readme]
    problems = [f"README.md shows no `tessaly-book {c}`" for c in missing] + broken_links(root)
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
