#!/usr/bin/python3
"""Every program the scripts and tests call comes with the project's packages.

Lists the external programs named in scripts/, tests/e2e/, tests/install/, the
CMake test definitions and the programs tests start with QProcess, and fails,
naming each, when one is not in programs.txt, or when programs.txt gives it a
package that scripts/install-deps.sh does not install and that is not in a
minimal Debian 12 system (debootstrap --variant=minbase). Where dpkg knows the
program's file, it must belong to that package or to one it depends on, so the
table cannot drift from the packages either.

Usage: check_programs.py [SOURCE_DIR]
"""
import os
import re
import shutil
import subprocess
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
HERE = os.path.dirname(os.path.abspath(__file__))

# The packages of a minbase Debian 12 root: Essential plus Priority required.
MINBASE = {
    "apt", "base-files", "base-passwd", "bash", "bsdutils", "coreutils", "dash", "debconf",
    "debianutils", "diffutils", "dpkg", "findutils", "gpgv", "grep", "gzip", "hostname",
    "init-system-helpers", "libc-bin", "login", "mawk", "ncurses-base", "ncurses-bin",
    "perl-base", "sed", "sysvinit-utils", "tar", "util-linux", "passwd", "mount",
}

SHELL_WORDS = {
    # keywords and builtins of bash
    "if", "then", "else", "elif", "fi", "for", "while", "until", "do", "done", "case", "esac",
    "in", "function", "select", "time", "!", "[[", "]]", "{", "}", "[", "test", "echo", "printf",
    "read", "cd", "pwd", "export", "local", "declare", "set", "unset", "shift", "return", "exit",
    "source", ".", "eval", "exec", "trap", "wait", "kill", "true", "false", ":", "command",
    "builtin", "type", "hash", "ulimit", "umask", "break", "continue", "let", "mapfile",
    "readarray", "getopts", "jobs", "fg", "bg", "disown", "pushd", "popd", "shopt", "alias",
}
# Words that run the next word as the command.
PREFIXES = {"exec", "time", "command", "env", "nice", "nohup", "builtin", "!", "$SUDO", "sudo"}
SEPARATORS = re.compile(r"\|\||&&|;;|[;|&()`\n]|\bthen\b|\bdo\b|\belse\b|\bif\b|\bwhile\b|\buntil\b|\belif\b|(?<=\s)[{}](?=\s)")


def strip_heredocs(text):
    out, end = [], None
    for line in text.splitlines():
        if end is not None:
            if line.strip() == end:
                end = None
            continue
        m = re.search(r"<<-?\s*['\"]?(\w+)['\"]?", line)
        if m and "<<<" not in line:
            end = m.group(1)
        out.append(line)
    return "\n".join(out)


def code_only(text):
    """The text with comments, quoted data, arrays and arithmetic removed; the
    command substitutions inside double quotes are kept, since they run."""
    out, i, n = [], 0, len(text)
    quote = []  # stack: '"' inside double quotes, '(' inside $( ) at that level

    def skip_to_close(i, open_, close):
        depth = 1
        while i < n and depth:
            depth += (text[i] == open_) - (text[i] == close)
            i += 1
        return i

    while i < n:
        c = text[i]
        in_dq = quote and quote[-1] == '"'
        if in_dq:
            if c == "\\":
                i += 2
            elif text.startswith("$(", i) and not text.startswith("$((", i):
                quote.append("(")
                out.append(";")
                i += 2
            elif c == '"':
                quote.pop()
                out.append('""')
                i += 1
            else:
                i += 1
            continue
        if c == "\\":
            i += 2
        elif c == "'":
            j = text.find("'", i + 1)
            out.append("''")
            i = n if j < 0 else j + 1
        elif c == '"':
            quote.append('"')
            i += 1
        elif c == "#" and (i == 0 or text[i - 1] in " \t\n;"):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("$((", i):
            i = skip_to_close(i + 3, "(", ")") + 1
            out.append("0")
        elif text.startswith("$(", i):
            quote.append("(")
            out.append(";")
            i += 2
        elif c == "(" and re.search(r"(^|\s)\w+(\[[^]]*\])?\+?=$", "".join(out[-40:])):
            i = skip_to_close(i + 1, "(", ")")  # an array's elements are data
        elif c == ")" and quote and quote[-1] == "(":
            quote.pop()
            out.append(";")
            i += 1
        else:
            out.append(c)
            i += 1
    code = "".join(out)
    # case patterns such as "build|sanitize)" name no command
    return re.sub(r"(?m)(^|\bin\b|;;)\s*[\w*.|$\"'-]+\)", r"\1 ;", code)


FUNCTION = re.compile(r"(?m)^\s*(?:function\s+)?([\w-]+)\s*\(\)")


def shell_functions(text, folder):
    """The functions the text defines, and those of the files beside it that it sources."""
    functions = set(FUNCTION.findall(text))
    for name in re.findall(r"(?m)^\s*(?:source|\.)\s+\"?\$\w+/([\w.-]+)\"?\s*$", text):
        beside = os.path.join(folder, name)
        if os.path.isfile(beside):
            with open(beside, encoding="utf-8") as f:
                functions |= set(FUNCTION.findall(f.read()))
    return functions


def shell_programs(path):
    with open(path, encoding="utf-8") as f:
        text = strip_heredocs(f.read())
    functions = shell_functions(text, os.path.dirname(path))
    found = set()
    for part in SEPARATORS.split(code_only(text)):
        words = part.split()
        while words and (re.match(r"^\w+=", words[0]) or words[0] in PREFIXES):
            words.pop(0)
        if words and words[0] in ("timeout", "xargs"):  # programs that run the next word
            found.add(words[0])
            words = [w for w in words[1:] if not re.match(r"^-|^\d", w)]
        if not words:
            continue
        word = words[0]
        if word.startswith("/usr/bin/") or word.startswith("/bin/"):
            word = os.path.basename(word)
        if (word in SHELL_WORDS or word in functions or "$" in word or "/" in word
                or not re.match(r"^[A-Za-z][\w.+-]*$", word)):
            continue
        found.add(word)
    return found


def cmake_programs(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    return {m.group(1) for m in re.finditer(r"add_test\s*\(\s*NAME\s+\S+\s+COMMAND\s+([A-Za-z][\w.+-]*)\s", text)}


def cpp_programs(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    pattern = r"(?:findExecutable|\.start|setProgram)\(\s*QStringLiteral\(\"([A-Za-z][\w.+-]*)\"\)"
    return set(re.findall(pattern, text))


def files(folder, suffixes):
    for base, _, names in os.walk(os.path.join(ROOT, folder)):
        for name in sorted(names):
            if name.endswith(suffixes):
                yield os.path.join(base, name)


def named_programs():
    named = {}
    for folder in ("scripts", "tests/e2e", "tests/install"):
        for path in files(folder, (".sh",)):
            for p in shell_programs(path):
                named.setdefault(p, os.path.relpath(path, ROOT))
    for folder in ("tests", "fuzz", "bench"):
        for path in files(folder, ("CMakeLists.txt",)):
            for p in cmake_programs(path):
                named.setdefault(p, os.path.relpath(path, ROOT))
        for path in files(folder, (".cpp",)):
            for p in cpp_programs(path):
                named.setdefault(p, os.path.relpath(path, ROOT))
    return named


def installed_packages():
    with open(os.path.join(ROOT, "scripts", "install-deps.sh"), encoding="utf-8") as f:
        text = f.read()
    block = re.search(r"PACKAGES=\((.*?)\)", text, re.S).group(1)
    return set(re.sub(r"#.*", "", block).split())


def accepted():
    table = {}
    with open(os.path.join(HERE, "programs.txt"), encoding="utf-8") as f:
        for line in f:
            line = line.split("#")[0].split()
            if line:
                table[line[0]] = line[1]
    return table


def owner(program):
    """The package dpkg says holds the program, or None when dpkg cannot tell."""
    path = shutil.which(program)
    if not path or not shutil.which("dpkg-query"):
        return None
    candidates = {path, os.path.realpath(path)}
    for p in list(candidates):
        for a, b in (("/usr/bin/", "/bin/"), ("/bin/", "/usr/bin/"), ("/usr/sbin/", "/sbin/")):
            if p.startswith(a):
                candidates.add(b + p[len(a):])
    for p in sorted(candidates):
        r = subprocess.run(["dpkg-query", "-S", p], capture_output=True, text=True)
        if r.returncode == 0:
            return r.stdout.split(":")[0].split(",")[0].strip()
    return None


def depends(package, depth=3):
    """The package and what it depends on, a few levels deep (build-essential
    brings cc through gcc and gcc-12)."""
    found, level = {package}, {package}
    for _ in range(depth):
        r = subprocess.run(["dpkg-query", "-W", "-f=${Depends},${Pre-Depends}\\n", *sorted(level)],
                           capture_output=True, text=True)
        level = {d.split()[0].split(":")[0] for d in re.split(r"[,|\n]", r.stdout) if d.strip()} - found
        found |= level
    return found


def main():
    named, table, packages = named_programs(), accepted(), installed_packages()
    problems = []
    for program, where in sorted(named.items()):
        package = table.get(program)
        if package is None:
            problems.append(f"{program} (named in {where}) is not in tests/deps/programs.txt")
        elif package == "optional":
            continue
        elif package not in packages and package not in MINBASE:
            problems.append(f"{program} (named in {where}) comes with {package}, "
                            "which scripts/install-deps.sh does not install")
        else:
            real = owner(program)
            if real and real not in depends(package):
                problems.append(f"{program} belongs to {real}, not to {package} as programs.txt says")
    for program in sorted(set(table) - set(named)):
        problems.append(f"programs.txt lists {program}, which nothing calls any more")
    for p in problems:
        print("FAIL:", p)
    print(f"{len(named)} programs named, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
