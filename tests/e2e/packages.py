"""Lays out launcher packages for the cases: the sample package with the
launcher copied in, optionally renamed, with its setup file edited or removed,
in a folder whose Windows path has an exact length."""

import os
import shutil

from winenv import REPO_ROOT, windows_path

SAMPLE_PACKAGE = os.path.join(REPO_ROOT, "examples", "package")
SAMPLE_SETUP_FILE = "Setup.INI"


def folder_of_length(parent, length, stem="p"):
    """A folder path under parent whose Windows form (Z:\\...) is exactly length
    characters long.  Raises ValueError when parent is already too long."""
    base = windows_path(parent)
    room = length - len(base) - 1  # one for the backslash before the new name
    if room < len(stem):
        raise ValueError("parent %s is too long for a %d-character folder" % (base, length))
    path = os.path.join(parent, stem + "x" * (room - len(stem)))
    assert len(windows_path(path)) == length
    return path


def edit_setup_text(text, edits):
    """Applies edits to INI text: {(section, key): value} sets or adds a value,
    value None removes the key; {(section, None): None} removes the section."""
    lines = text.splitlines()
    for (section, key), value in edits.items():
        lines = apply_one_edit(lines, section, key, value)
    return "\r\n".join(lines) + "\r\n"


def apply_one_edit(lines, section, key, value):
    result, current, done = [], None, False
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            if current == section and not done and key is not None and value is not None:
                result.append("%s=%s" % (key, value))
                done = True
            current = stripped[1:-1]
            if current == section and key is None:
                continue
            result.append(line)
            continue
        if current == section and (key is None or stripped.split("=", 1)[0].strip() == key):
            if key is not None and value is not None and not done:
                result.append("%s=%s" % (key, value))
                done = True
            continue
        result.append(line)
    if not done and key is not None and value is not None:
        if current != section:
            result.append("[%s]" % section)
        result.append("%s=%s" % (key, value))
    return result


def lay_out_package(folder, setup_exe, exe_name="Setup.exe", setup_file_name=SAMPLE_SETUP_FILE,
                    edits=None, with_setup_file=True):
    """Makes folder a package: the sample's files, the launcher as exe_name, the
    sample setup file (edited) as setup_file_name unless with_setup_file is False."""
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    shutil.copytree(SAMPLE_PACKAGE, folder, ignore=shutil.ignore_patterns(SAMPLE_SETUP_FILE))
    shutil.copyfile(setup_exe, os.path.join(folder, exe_name))
    if with_setup_file:
        with open(os.path.join(SAMPLE_PACKAGE, SAMPLE_SETUP_FILE), encoding="latin-1") as handle:
            text = handle.read()
        if edits:
            text = edit_setup_text(text, edits)
        with open(os.path.join(folder, setup_file_name), "w", encoding="latin-1", newline="") as handle:
            handle.write(text)
    return folder
