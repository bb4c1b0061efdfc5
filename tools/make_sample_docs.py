#!/usr/bin/env python3
"""Writes the sample package's Readme.txt and InstallGuide.PDF, the two files
the launcher's notice points to: short texts of our own, the PDF a one-page
document in the standard Helvetica font, byte for byte the same each time.

Usage: make_sample_docs.py PACKAGE_FOLDER
"""
import os
import sys

README = """ZEMBRIX VQ-2200 Series printer driver package (sample)
=======================================================

Supported systems: Windows 7 / Windows Server 2008 R2 and later, 32-bit,
64-bit (x64) and ARM64.

Install the printer driver before you connect the printer:

  1. Start Setup.exe from this folder.
  2. Read the notice and click OK.
  3. Click OK on the page.  Tick "Use a network port" for a printer on the
     network: the Add Printer wizard then follows.
  4. When Setup says the driver is ready, connect the printer and turn it on.

On another operating system, do not run Setup.exe: this package does not
serve it.

For administrators:
  Setup.exe /quiet /log=C:\\Windows\\Temp\\VQ2200-setup.log   installs quietly
  Setup.exe /uninstall /quiet                               removes the package
  Setup.exe /?                                              lists every switch

See InstallGuide.PDF for the installation guide.  This sample holds
placeholder files only: it contains no driver code.
"""

GUIDE = [
    "ZEMBRIX VQ-2200 Series printer driver package",
    "Installation guide (sample package)",
    "",
    "1. Do not connect the printer yet.",
    "2. Start Setup.exe from this folder and read the notice.",
    "3. Click OK on the page. Tick \"Use a network port\" for a network printer:",
    "   the Add Printer wizard then follows.",
    "4. When Setup says the driver is ready, connect the printer and turn it on.",
    "",
    "Administrators: Setup.exe /quiet /log=PATH installs with no window,",
    "Setup.exe /uninstall /quiet removes the package again,",
    "and Setup.exe /? lists every switch.",
    "This sample holds placeholder files only: no driver code.",
]


def pdf_text(text):
    return text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")


def make_pdf(lines):
    """A one-page PDF 1.4 with lines of 12-point Helvetica, top left of an A4 page."""
    content = "BT\n/F1 12 Tf\n14 TL\n72 760 Td\n" + "".join("(%s) '\n" % pdf_text(line) for line in lines) + "ET\n"
    objects = [
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 4 0 R >> >> "
        "/Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Length %d >>\nstream\n%sendstream" % (len(content), content),
    ]
    data = b"%PDF-1.4\n"
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(data))
        data += ("%d 0 obj\n%s\nendobj\n" % (number, body)).encode("ascii")
    table = len(data)
    data += ("xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)).encode("ascii")
    data += b"".join(("%010d 00000 n \n" % offset).encode("ascii") for offset in offsets)
    data += ("trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, table)).encode()
    return data


def main(folder):
    with open(os.path.join(folder, "Readme.txt"), "wb") as handle:
        handle.write(README.replace("\n", "\r\n").encode("ascii"))
    with open(os.path.join(folder, "InstallGuide.PDF"), "wb") as handle:
        handle.write(make_pdf(GUIDE))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
