#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz target into tests/fuzz/corpus/.

Each seed is the 6-byte header the target reads (launch folder padding, flags,
present mask of FL0 to FL15, folder mask of FL0 to FL7, Windows folder padding)
followed by a setup file.
The scratch launch folder is 30 bytes as a Windows path, so a padding of 69
makes it exactly 100 bytes (one more for the separator) and 70 makes it 101.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
FLAG_FOLDER, FLAG_REMOVED, FLAG_NINE_X = 0x01, 0x02, 0x04
FLAG_NETWORK, FLAG_STAGING_FAILS, FLAG_WIZARD_ADDS = 0x08, 0x10, 0x20
FLAG_LAUNCH_FAILS, FLAG_SPOOLER_ERROR = 0x40, 0x80


def setup_file(model="VQ-2200 Series", language="English", infs=("VQ2200.INF",), files=None,
               inf_count=None, file_count=None):
    files = list(files if files is not None else ["VQ2200.INF", "vq2200.cat", "Driver\\x64\\VQ2200UI.DLL"])
    lines = ["[MODEL]", "MODEL=" + model, "[LANGUAGEMENU]", "LANGUAGEMENU=" + language,
             "[INFNUM]", "INFITEM=%s" % (len(infs) if inf_count is None else inf_count), "[INFNAME]"]
    lines += ["INF%d=%s" % (i, name) for i, name in enumerate(infs)]
    lines += ["[FILENUM]", "FILEITEM=%s" % (len(files) if file_count is None else file_count), "[FILELIST]"]
    lines += ["FL%d=%s" % (j, name) for j, name in enumerate(files)]
    return ("\r\n".join(lines) + "\r\n").encode("latin-1")


def seed(padding=0, flags=0, present=0xFFFF, folders=0, windows=0, body=b""):
    return bytes([padding, flags, present & 0xFF, present >> 8, folders, windows]) + body


LONG = "L" * 254
DOUBLE_BYTE = "\x82\xa0" * 40
SEEDS = {
    "valid": seed(body=setup_file()),
    "valid_network_added": seed(flags=FLAG_NETWORK | FLAG_WIZARD_ADDS, body=setup_file()),
    "valid_network_same_count": seed(flags=FLAG_NETWORK, body=setup_file()),
    "staging_fails": seed(flags=FLAG_STAGING_FAILS, body=setup_file()),
    "folder_100_bytes": seed(padding=69, body=setup_file()),
    "folder_101_bytes": seed(padding=70, body=setup_file()),
    "nine_x": seed(flags=FLAG_NINE_X, body=setup_file()),
    "setup_file_is_folder": seed(flags=FLAG_FOLDER, body=setup_file()),
    "setup_file_removed": seed(flags=FLAG_REMOVED, body=setup_file()),
    "listed_file_missing": seed(present=0b101, body=setup_file()),
    "listed_entry_is_folder": seed(folders=0b100, body=setup_file()),
    "model_unknown": seed(body=setup_file(model="unknown")),
    "language_empty": seed(body=setup_file(language="")),
    "longest_values": seed(padding=69, body=setup_file(model=LONG, language=LONG, infs=(LONG, LONG),
                                                      files=[LONG, "a\\" + LONG[2:]])),
    "double_byte_values": seed(body=setup_file(model=DOUBLE_BYTE, infs=(DOUBLE_BYTE,), files=[DOUBLE_BYTE])),
    "counts_far_above": seed(body=setup_file(inf_count=2147483647, file_count=99999)),
    "counts_negative": seed(body=setup_file(inf_count=-3, file_count=-1)),
    "counts_not_numbers": seed(body=setup_file(inf_count="x1", file_count="12abc")),
    "seven_infs": seed(body=setup_file(infs=["D%d.INF" % i for i in range(7)])),
    "dot_dot_quotes_absolute": seed(body=setup_file(infs=('a"b.INF',),
                                                    files=["..\\x", "\"q\".INF", "C:\\Windows", "\\\\srv\\s\\f"])),
    "byte_order_mark": seed(body=b"\xef\xbb\xbf" + setup_file()),
    "launch_fails": seed(flags=FLAG_LAUNCH_FAILS, body=setup_file()),
    "spooler_error": seed(flags=FLAG_NETWORK | FLAG_SPOOLER_ERROR, body=setup_file()),
    "windows_folder_long": seed(windows=230, body=setup_file()),
    "staging_command_too_long": seed(padding=69, body=setup_file(infs=("I" * 200,), files=["x"])),
    "drive_root_like": seed(flags=FLAG_NINE_X, body=setup_file(files=["sub\\..\\x"])),
    "empty": seed(),
}


def main():
    folder = os.path.join(HERE, "corpus")
    os.makedirs(folder, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)
    print("%d seeds in %s" % (len(SEEDS), folder))


if __name__ == "__main__":
    main()
