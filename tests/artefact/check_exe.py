#!/usr/bin/env python3
"""Checks a built Setup.exe as Windows sees it: PE format, subsystem, imported
DLLs and the resources (icon 204, manifest, version record).

Usage: check_exe.py EXE [win32|win64]
Prints one line per check and a closing count; exits 1 when any check fails.
"""
import struct
import sys
import json
import os
import re
import xml.etree.ElementTree as ET

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE = 0x8000
# DLLs the loader always takes from System32, whatever folder the exe lies in: ntdll
# and the KnownDLLs that Windows 7, 8.1 and 10 all list (32- and 64-bit).  Static
# imports are resolved before the first line of the launcher runs, so any other DLL
# (comctl32, winspool.drv, ...) must be loaded by full path at its point of use.
ALLOWED_STATIC_DLLS = {
    "ntdll.dll", "kernel32.dll", "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll",
    "gdi32.dll", "imagehlp.dll", "imm32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll",
    "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll",
    "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll"}
# What the launcher imports statically: no more than a program that only shows
# a dialog (the bench's floor); shell32, shlwapi and the rest are loaded by full
# path where first used, so starting the launcher maps nothing else.
STATIC_IMPORTS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"}
# 35 KiB before the removal, protected print mode and the administrator's log
# header came, 48 KiB before the network printer (its spooler work, the INF's
# models and the printer switches: some 8 KiB of code and text), 56 KiB before
# the package beside the program, the log's trace and the check's source files.
SHIPPED_SIZE_LIMIT = 60 * 1024
REPO_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEFAULT_BRAND = os.path.join(REPO_ROOT, "res", "brand.cmake")
BRAND_TEXTS = ("title", "window_class", "mutex", "log_name")  # the names a brand must not share
WIN7 = "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"
WIN8 = "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"


class Pe:
    """The parts of a PE image the checks read."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[pe:pe + 4] == b"PE\0\0", "not a PE image"
        self.machine, sections = struct.unpack_from("<HH", data, pe + 4)
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, opt + 68)
        directories = opt + (96 if self.magic == 0x10B else 112)
        self.directory = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = opt + optional_size
        for i in range(sections):
            vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((va, max(vsize, rawsize), raw))

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError("address outside every section: %#x" % rva)

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """Names of the DLLs in the import directory (resolved at load time)."""
        return self._dll_names(1, 20, 3)

    def delay_imports(self):
        """Names of the DLLs in the delay-load directory (loaded by bare name on first call)."""
        return self._dll_names(13, 32, 1)

    def _dll_names(self, directory, entry_size, name_field):
        rva = self.directory[directory][0]
        names = []
        while rva:
            fields = struct.unpack_from("<%dI" % (entry_size // 4), self.data, self.offset(rva))
            if not any(fields):
                break
            names.append(self.cstring(fields[name_field]))
            rva += entry_size
        return names

    def resources(self):
        """{(type, name): data} for every resource, any language."""
        if not self.directory[2][0]:
            return {}
        base = self.offset(self.directory[2][0])
        found = {}

        def entries(offset):
            named, ids = struct.unpack_from("<HH", self.data, base + offset + 12)
            for i in range(named + ids):
                key, target = struct.unpack_from("<II", self.data, base + offset + 16 + 8 * i)
                yield key, target

        for rtype, t in entries(0):
            for name, n in entries(t & 0x7FFFFFFF):
                for _lang, leaf in entries(n & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    found[(rtype, name)] = self.data[self.offset(rva):self.offset(rva) + size]
        return found


def version_strings(block):
    """The strings of a VS_VERSIONINFO, as {table: {key: value}}, and its fixed info."""
    def read_node(offset):
        length, value_length, kind = struct.unpack_from("<HHH", block, offset)
        end = block.index(b"\0\0", offset + 6)
        while (end - offset) % 2:
            end = block.index(b"\0\0", end + 1)
        key = block[offset + 6:end].decode("utf-16-le")
        value_at = (end + 2 + 3) & ~3
        return length, value_length, kind, key, value_at

    def children(start, end):
        offset = (start + 3) & ~3
        while offset < end:
            length = struct.unpack_from("<H", block, offset)[0]
            if not length:
                break
            yield offset
            offset = (offset + length + 3) & ~3

    length, value_length, _, key, value_at = read_node(0)
    fixed = struct.unpack_from("<13I", block, value_at)
    tables = {}
    for child in children(value_at + value_length, length):
        clen, _, _, ckey, cvalue = read_node(child)
        if ckey != "StringFileInfo":
            continue
        for table in children(cvalue, child + clen):
            tlen, _, _, tkey, tvalue = read_node(table)
            strings = {}
            for entry in children(tvalue, table + tlen):
                elen, vlen, _, ekey, evalue = read_node(entry)
                strings[ekey] = block[evalue:evalue + 2 * vlen].decode("utf-16-le").rstrip("\0")
            tables[tkey] = strings
    return fixed, tables


def build_brand(exe):
    """The brand the exe was built for: brand/brand.json of its build folder."""
    with open(os.path.join(os.path.dirname(os.path.abspath(exe)), "brand", "brand.json")) as handle:
        return json.load(handle)


def brand_file_values(path):
    """{key: value} of the set() lines of the brand file at path."""
    with open(path) as handle:
        return dict(re.findall(r'^set\((\w+) "([^"]*)"\)', handle.read(), re.MULTILINE))


def default_brand_texts():
    """The default brand's title, window class, mutex and log name, read from its file."""
    keys = {"BRAND_TITLE": "title", "BRAND_WINDOW_CLASS": "window_class", "BRAND_MUTEX": "mutex",
            "BRAND_LOG_NAME": "log_name"}
    return {keys[key]: value for key, value in brand_file_values(DEFAULT_BRAND).items() if key in keys}


def expected_version_text(brand):
    """The version strings' text as the brand file asks for it, read from the
    file itself: BRAND_VERSION_TEXT, else the four numbers."""
    values = brand_file_values(brand["file"])
    return values.get("BRAND_VERSION_TEXT") or values["BRAND_VERSION"]


def icon_image(path):
    """The one image of the .ico file at path."""
    with open(path, "rb") as handle:
        data = handle.read()
    size, offset = struct.unpack_from("<II", data, 6 + 8)
    return data[offset:offset + size]


def check(exe, target):
    results = []
    brand = build_brand(exe)

    def expect(name, ok, detail=""):
        results.append(ok)
        print("%s %s%s" % ("ok  " if ok else "FAIL", name, (": " + detail) if detail and not ok else ""))

    data = open(exe, "rb").read()
    pe = Pe(data)
    print("size: %d bytes" % len(data))
    if target == "win32":
        expect("shipped build at most %d bytes" % SHIPPED_SIZE_LIMIT, len(data) <= SHIPPED_SIZE_LIMIT,
               "%d bytes" % len(data))
    want_magic, want_machine = (0x10B, 0x14C) if target == "win32" else (0x20B, 0x8664)
    expect("PE format for " + target, pe.magic == want_magic and pe.machine == want_machine,
           "magic %#x machine %#x" % (pe.magic, pe.machine))
    expect("GUI subsystem", pe.subsystem == 2, "subsystem %d" % pe.subsystem)
    # Else, on a Remote Desktop session host, GetWindowsDirectoryA names a
    # folder of the user's own to the launcher.
    expect("terminal-services aware", pe.dll_characteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE,
           "DllCharacteristics %#06x" % pe.dll_characteristics)
    dlls = sorted({name.lower() for name in pe.imports()})
    print("static imports: " + " ".join(dlls))
    expect("imports statically only DLLs always loaded from System32",
           set(dlls) <= ALLOWED_STATIC_DLLS, ", ".join(sorted(set(dlls) - ALLOWED_STATIC_DLLS)))
    expect("static imports are " + " ".join(sorted(STATIC_IMPORTS)), set(dlls) == STATIC_IMPORTS, " ".join(dlls))
    delayed = sorted({name.lower() for name in pe.delay_imports()})
    expect("no delay-loaded DLLs", not delayed, ", ".join(delayed))

    res = pe.resources()
    group = res.get((RT_GROUP_ICON, 204))
    expect("icon 204 present", group is not None)
    if group:
        count = struct.unpack_from("<H", group, 4)[0]
        width, height, colours, _, _, bits = struct.unpack_from("<BBBBHH", group, 6)
        expect("icon 204 is one 32 x 32 image in 16 colours",
               (count, width, height, colours, bits) == (1, 32, 32, 16, 4),
               "count %d, %dx%d, %d colours, %d bits" % (count, width, height, colours, bits))
        image_id = struct.unpack_from("<H", group, 6 + 12)[0]
        expect("icon 204 is the brand's " + os.path.basename(brand["icon"]),
               res.get((RT_ICON, image_id)) == icon_image(brand["icon"]))

    manifest = res.get((RT_MANIFEST, 1))
    expect("manifest present", manifest is not None)
    if manifest:
        check_manifest(ET.fromstring(manifest), expect)

    version = res.get((RT_VERSION, 1))
    expect("version record present", version is not None)
    if version:
        fixed, tables = version_strings(version)
        a, b, c, d = (int(number) for number in brand["version"].split("."))
        expect("file and product version " + brand["version"],
               fixed[2:6] == (a << 16 | b, c << 16 | d, a << 16 | b, c << 16 | d), "%r" % (fixed[2:6],))
        strings = tables.get("000004b0", {})
        expect("string table 000004b0", bool(strings), ", ".join(tables))
        text = expected_version_text(brand)
        expect("version texts " + text, strings.get("FileVersion") == text and strings.get("ProductVersion") == text,
               "%r %r" % (strings.get("FileVersion"), strings.get("ProductVersion")))
        expect("internal name", strings.get("InternalName") == "Package Installer")
        expect("description and product name name the product",
               brand["title"] in strings.get("FileDescription", "") and brand["title"] == strings.get("ProductName"))
        maker = ({"CompanyName": brand["company"], "LegalCopyright": brand["copyright"]} if brand["names_maker"]
                 else {"CompanyName": None, "LegalCopyright": None})
        expect("company and copyright as the brand gives them",
               {key: strings.get(key) for key in maker} == maker, "%r" % strings)
    if os.path.realpath(brand["file"]) != os.path.realpath(DEFAULT_BRAND):
        default = default_brand_texts()
        left = [text for key, text in sorted(default.items())
                if text != brand[key] and (text.encode("ascii") in data or text.encode("utf-16-le") in data)]
        expect("none of the default brand's names", not left, ", ".join(left))
    return results


def check_manifest(root, expect):
    ns = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
          "c": "urn:schemas-microsoft-com:compatibility.v1"}
    identity = root.find("v1:assemblyIdentity", ns)
    expect("manifest identity 1.0.0.0 X86 win32",
           identity is not None and (identity.get("version"), identity.get("processorArchitecture"),
                                     identity.get("type")) == ("1.0.0.0", "X86", "win32"))
    level = root.find(".//v3:requestedExecutionLevel", ns)
    expect("manifest asks for administrator rights without UI access",
           level is not None and (level.get("level"), level.get("uiAccess")) == ("requireAdministrator", "false"))
    systems = {e.get("Id") for e in root.findall(".//c:supportedOS", ns)}
    expect("manifest names exactly Windows 7 and 8", systems == {WIN7, WIN8}, ", ".join(sorted(systems)))
    tags = {child.tag.split("}")[1] for child in root}
    expect("manifest holds nothing else", tags == {"assemblyIdentity", "trustInfo", "compatibility"},
           ", ".join(sorted(tags)))


def main():
    exe = sys.argv[1]
    target = sys.argv[2] if len(sys.argv) > 2 else "win32"
    results = check(exe, target)
    print("artefact: %d passed, %d failed" % (results.count(True), results.count(False)))
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
