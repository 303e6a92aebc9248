#!/usr/bin/env python3
"""Keeps src/ layered: each folder includes only the folders below it, and the
operating system is reached from platform/ alone.

    check_includes.py SRC_DIR      exits 1, naming file and line, on a breach
    check_includes.py --self-test  proves that a breach is caught
"""
import pathlib
import re
import sys
import tempfile

# The folders each folder may include, itself among them.
ALLOWED = {
    "text": {"text"},
    "rules": {"rules", "text"},
    "platform": {"platform"},
    "art": {"art", "rules", "platform", "text"},
    "ui": {"ui", "platform", "text"},
    "game": {"game", "rules", "platform", "art", "ui", "text"},
}
# System headers that only the platform folder may use: the display system,
# the file and process calls, the font finder.
SYSTEM_ONLY = re.compile(r"^(X11/|windows\.h|unistd\.h|fcntl\.h|sys/|fontconfig/|io\.h|strings\.h)")
# SDL is the rules' and the art's to avoid: they are plain code.
SDL = re.compile(r"^SDL")
PLAIN = {"text", "rules", "art"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def breaches(src):
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".h", ".cpp", ".in"} or not path.is_file():
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in ALLOWED:
            found.append(f"{path}: folder '{folder}' has no place in the layers")
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            quoted, header = m.group(1) == '"', m.group(2)
            where = f"{path}:{number}: {line.strip()}"
            if quoted:
                target = header.split("/")[0]
                if "/" not in header or target not in ALLOWED:
                    found.append(f"{where}: includes outside the layers")
                elif target not in ALLOWED[folder]:
                    found.append(f"{where}: {folder}/ may not include {target}/")
            elif folder != "platform" and SYSTEM_ONLY.match(header):
                found.append(f"{where}: only platform/ talks to the operating system")
            elif folder in PLAIN and SDL.match(header):
                found.append(f"{where}: {folder}/ is plain code, without SDL")
    return found


def self_test():
    with tempfile.TemporaryDirectory() as tmp:
        src = pathlib.Path(tmp)
        for folder in ALLOWED:
            (src / folder).mkdir()
        (src / "rules" / "ok.h").write_text('#include "text/utf8.h"\n#include <vector>\n')
        (src / "game" / "ok.cpp").write_text('#include "ui/window.h"\n#include "rules/ok.h"\n')
        assert breaches(src) == [], breaches(src)
        (src / "rules" / "bad.cpp").write_text('#include "ui/window.h"\n#include <SDL.h>\n')
        (src / "ui" / "bad.cpp").write_text('#include "game/frmBoard.h"\n#include <X11/Xlib.h>\n')
        (src / "platform" / "bad.cpp").write_text('#include <X11/Xlib.h>\n#include "rules/lattice.h"\n')
        got = breaches(src)
        expected = ["rules/bad.cpp:1", "rules/bad.cpp:2", "ui/bad.cpp:1", "ui/bad.cpp:2",
                    "platform/bad.cpp:2"]
        for mark in expected:
            assert any(mark in b for b in got), (mark, got)
        assert len(got) == len(expected), got
    print("check_includes: self-test caught every planted breach")


def main():
    if sys.argv[1:] == ["--self-test"]:
        self_test()
        return 0
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    found = breaches(pathlib.Path(sys.argv[1]))
    for b in found:
        print(b)
    if found:
        return 1
    print("check_includes: every folder includes only the ones below it")
    return 0


if __name__ == "__main__":
    sys.exit(main())
