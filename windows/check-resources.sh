#!/usr/bin/env bash
# Reads pegdrop.exe's resources back with icoutils' wrestool, as Explorer
# would find them: the version record (numbers and texts), the icon with
# every size of the .ico the build drew, and the one manifest.
#
#   windows/check-resources.sh PEGDROP.EXE PEGDROP.ICO VERSION TEXT
#
# VERSION has four parts (1.3.0.0), the record's numbers; TEXT is its texts'
# form of it (1.03).
set -euo pipefail

exe=${1:?usage: $0 PEGDROP.EXE PEGDROP.ICO VERSION TEXT}
ico=${2:?usage: $0 PEGDROP.EXE PEGDROP.ICO VERSION TEXT}
version=${3:?usage: $0 PEGDROP.EXE PEGDROP.ICO VERSION TEXT}
text=${4:?usage: $0 PEGDROP.EXE PEGDROP.ICO VERSION TEXT}
work=$(mktemp -d "${TMPDIR:-/tmp}/pegdrop-resources.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail=0
complain() {
    echo "check-resources: $*" >&2
    fail=1
}
for tool in wrestool icotool; do
    command -v "$tool" >/dev/null || { echo "check-resources: $tool is missing (Debian package icoutils)" >&2; exit 1; }
done

[ -n "$(wrestool -l "$exe" 2>/dev/null)" ] || { echo "check-resources: $exe has no resources at all" >&2; exit 1; }

# ---- The version record: VS_VERSIONINFO's fixed numbers, then its texts.
wrestool -x --raw --type=16 --name=1 "$exe" >"$work/version.bin" || complain "no version record"
python3 - "$work/version.bin" >"$work/version.txt" <<'EOF' || complain "the version record does not parse"
import struct, sys
d = open(sys.argv[1], "rb").read()

def text(at, end):  # a UTF-16 string ending in NUL, and where it ends
    s = at
    while d[s:s + 2] != b"\0\0":
        s += 2
    return d[at:s].decode("utf-16-le"), min(s + 2, end)

def node(at):  # one block: key, value, children; yields key paths and values
    length, value_length, kind = struct.unpack_from("<3H", d, at)
    end = at + length
    key, pos = text(at + 6, end)
    pos = (pos + 3) & ~3
    if kind == 1:  # text, its length in characters
        value = d[pos:pos + 2 * value_length].decode("utf-16-le").rstrip("\0")
        pos += 2 * value_length
    else:
        value = d[pos:pos + value_length]
        pos += value_length
    children = []
    pos = (pos + 3) & ~3
    while pos + 6 <= end:
        child_length = struct.unpack_from("<H", d, pos)[0]
        if child_length == 0:
            break
        children.append(node(pos))
        pos = (pos + child_length + 3) & ~3
    return key, value, children

key, fixed, blocks = node(0)
assert key == "VS_VERSION_INFO", key
sig, _, fms, fls, pms, pls, _, _, _, ftype = struct.unpack_from("<10I", fixed)
assert sig == 0xFEEF04BD, hex(sig)
four = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
print(f"fixed FileVersion={four(fms, fls)}")
print(f"fixed ProductVersion={four(pms, pls)}")
print(f"fixed FileType={ftype}")
for name, _, tables in blocks:
    if name == "StringFileInfo":
        for table, _, strings in tables:
            for k, v, _ in strings:
                print(f"{table} {k}={v}")
EOF
expect() { grep -qxF "$1" "$work/version.txt" || complain "the version record lacks '$1'"; }
expect "fixed FileVersion=$version"
expect "fixed ProductVersion=$version"
expect "fixed FileType=1" # an application
for line in "FileVersion=$text" "ProductVersion=$text" "ProductName=Pegdrop" \
    "LegalCopyright=Copyright © 2026 The Pegdrop developers" "OriginalFilename=pegdrop.exe"; do
    expect "040904B0 $line" # US English, Unicode
done
grep -q '^040904B0 FileDescription=.\{8,\}' "$work/version.txt" || complain "no file description"
[ $fail -eq 0 ] || sed 's/^/  /' "$work/version.txt" >&2

# ---- The icon: the group Explorer shows, rebuilt as an .ico, is the drawn one
# (wrestool pads the file's end, so its first bytes are compared).
wrestool -x --type=14 "$exe" >"$work/exe.ico" || complain "no icon group"
size=$(stat -c %s "$ico")
cmp -s -n "$size" "$ico" "$work/exe.ico" || complain "the icon in the exe is not $ico"
sizes=$(icotool -l "$work/exe.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\1 --bit-depth=32 .*/\1/p' | xargs)
[ "$sizes" = "16 24 32 48 64 128 256" ] || complain "the icon's sizes are '$sizes', not 16 to 256"

# ---- The manifest: one, as resource 1, asking for no administrator rights,
# aware of each monitor's density, with UTF-8 as the code page, for Windows 10 and 11.
manifests=$(wrestool -l --type=24 "$exe" | wc -l)
[ "$manifests" = 1 ] || complain "$manifests manifests, not one"
wrestool -x --raw --type=24 --name=1 "$exe" >"$work/manifest.xml" || complain "no manifest 1"
python3 - "$work/manifest.xml" <<'EOF' || complain "the manifest does not say what it should"
import sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
def one(path, ns):
    found = root.findall(path, ns)
    assert len(found) == 1, f"{len(found)} of {path}"
    return found[0]
v3 = {"a": "urn:schemas-microsoft-com:asm.v3"}
level = one(".//a:requestedExecutionLevel", v3)
assert level.get("level") == "asInvoker" and level.get("uiAccess") == "false", level.attrib
settings = "a:application/a:windowsSettings/"
assert one(settings + "w16:dpiAwareness", {**v3, "w16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}).text == "PerMonitorV2"
assert one(settings + "w19:activeCodePage", {**v3, "w19": "http://schemas.microsoft.com/SMI/2019/WindowsSettings"}).text == "UTF-8"
ids = [e.get("Id") for e in root.findall(".//c:supportedOS", {"c": "urn:schemas-microsoft-com:compatibility.v1"})]
assert ids == ["{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"], ids
EOF

[ $fail -eq 0 ] && echo "check-resources: version $version ($text), the icon at $sizes px, the manifest"
exit $fail
