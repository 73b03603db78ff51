#!/usr/bin/env python3
"""Generate the character width tables of the standard Type 1 fonts.

The PDF writer names the standard fonts (Courier, Helvetica, Times) without
embedding them, but keeps a width table per font: the advance widths of the
character codes 32..255 in WinAnsiEncoding, in 1/1000 of the font size.

The widths are read from the AFM files of the URW base35 fonts (Debian package
fonts-urw-base35), which are metric-compatible with the standard fonts:

    Nimbus Sans            Helvetica
    Nimbus Sans Bold       Helvetica-Bold
    Nimbus Roman           Times-Roman (and Bold, Italic, BoldItalic)
    Nimbus Mono PS         Courier

AFM files list glyphs with their own (standard) encoding, so glyphs are looked
up by name through the WinAnsiEncoding glyph-name table below, never by the
AFM code.

Fixed adjustments on top of the AFM widths:
  * Helvetica and Times fonts: codes 127, 129, 141, 143, 144, 157 (no glyph in
    WinAnsiEncoding), 160 (no-break space) and 173 (soft hyphen) are 0.
  * Code 128 (Euro) is 556 in Helvetica fonts and 500 in Times fonts.
  * Courier fonts are 600 for every code, undefined codes included.
Any other code whose glyph is missing from an AFM file is an error.

The script writes src/pdf/PdfFontWidths.h and src/pdf/PdfFontWidths.cpp, then
checks a set of known widths and exits non-zero if one does not hold.

Usage: tools/gen_font_widths.py [--afm-dir DIR] [--out-dir DIR]
"""

import argparse
import os
import sys

FIRST_CODE = 32
LAST_CODE = 255
CODE_COUNT = LAST_CODE - FIRST_CODE + 1  # 224

DEFAULT_AFM_DIR = "/usr/share/fonts/type1/urw-base35"
REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_OUT_DIR = os.path.join(REPO_ROOT, "src", "pdf")

# WinAnsiEncoding (Windows-1252) glyph names of codes 32..255; None where the
# encoding has no glyph. 160 and 173 carry the names of the glyphs they are
# usually drawn with (space, hyphen); their widths are set to 0 below anyway.
_LOWER = "abcdefghijklmnopqrstuvwxyz"
_UPPER = _LOWER.upper()
_DIGITS = ["zero", "one", "two", "three", "four",
           "five", "six", "seven", "eight", "nine"]

WIN_ANSI_NAMES = (
    # 32..47
    ["space", "exclam", "quotedbl", "numbersign", "dollar", "percent",
     "ampersand", "quotesingle", "parenleft", "parenright", "asterisk",
     "plus", "comma", "hyphen", "period", "slash"]
    # 48..57
    + _DIGITS
    # 58..64
    + ["colon", "semicolon", "less", "equal", "greater", "question", "at"]
    # 65..90
    + list(_UPPER)
    # 91..96
    + ["bracketleft", "backslash", "bracketright", "asciicircum",
       "underscore", "grave"]
    # 97..122
    + list(_LOWER)
    # 123..127
    + ["braceleft", "bar", "braceright", "asciitilde", None]
    # 128..143
    + ["Euro", None, "quotesinglbase", "florin", "quotedblbase", "ellipsis",
       "dagger", "daggerdbl", "circumflex", "perthousand", "Scaron",
       "guilsinglleft", "OE", None, "Zcaron", None]
    # 144..159
    + [None, "quoteleft", "quoteright", "quotedblleft", "quotedblright",
       "bullet", "endash", "emdash", "tilde", "trademark", "scaron",
       "guilsinglright", "oe", None, "zcaron", "Ydieresis"]
    # 160..175
    + ["space", "exclamdown", "cent", "sterling", "currency", "yen",
       "brokenbar", "section", "dieresis", "copyright", "ordfeminine",
       "guillemotleft", "logicalnot", "hyphen", "registered", "macron"]
    # 176..191
    + ["degree", "plusminus", "twosuperior", "threesuperior", "acute", "mu",
       "paragraph", "periodcentered", "cedilla", "onesuperior",
       "ordmasculine", "guillemotright", "onequarter", "onehalf",
       "threequarters", "questiondown"]
    # 192..207
    + ["Agrave", "Aacute", "Acircumflex", "Atilde", "Adieresis", "Aring",
       "AE", "Ccedilla", "Egrave", "Eacute", "Ecircumflex", "Edieresis",
       "Igrave", "Iacute", "Icircumflex", "Idieresis"]
    # 208..223
    + ["Eth", "Ntilde", "Ograve", "Oacute", "Ocircumflex", "Otilde",
       "Odieresis", "multiply", "Oslash", "Ugrave", "Uacute", "Ucircumflex",
       "Udieresis", "Yacute", "Thorn", "germandbls"]
    # 224..239
    + ["agrave", "aacute", "acircumflex", "atilde", "adieresis", "aring",
       "ae", "ccedilla", "egrave", "eacute", "ecircumflex", "edieresis",
       "igrave", "iacute", "icircumflex", "idieresis"]
    # 240..255
    + ["eth", "ntilde", "ograve", "oacute", "ocircumflex", "otilde",
       "odieresis", "divide", "oslash", "ugrave", "uacute", "ucircumflex",
       "udieresis", "yacute", "thorn", "ydieresis"]
)

UNDEFINED_CODES = (127, 129, 141, 143, 144, 157)
ZERO_WIDTH_CODES = UNDEFINED_CODES + (160, 173)
EURO_CODE = 128
COURIER_WIDTH = 600

# (C++ variable, AFM file, family); family is "courier", "helvetica" or "times".
FONTS = [
    ("kCourierWidths", "NimbusMonoPS-Regular.afm", "courier"),
    ("kHelveticaWidths", "NimbusSans-Regular.afm", "helvetica"),
    ("kHelveticaBoldWidths", "NimbusSans-Bold.afm", "helvetica"),
    ("kTimesRomanWidths", "NimbusRoman-Regular.afm", "times"),
    ("kTimesBoldWidths", "NimbusRoman-Bold.afm", "times"),
    ("kTimesItalicWidths", "NimbusRoman-Italic.afm", "times"),
    ("kTimesBoldItalicWidths", "NimbusRoman-BoldItalic.afm", "times"),
]

EURO_WIDTH = {"helvetica": 556, "times": 500}


class GenError(Exception):
    pass


def read_afm_widths(path):
    """Return {glyph name: advance width} from the CharMetrics of an AFM file."""
    widths = {}
    in_metrics = False
    with open(path, encoding="latin-1") as f:
        for line_no, line in enumerate(f, 1):
            line = line.strip()
            if line.startswith("StartCharMetrics"):
                in_metrics = True
                continue
            if line.startswith("EndCharMetrics"):
                break
            if not in_metrics or not line:
                continue
            name = None
            width = None
            for field in line.split(";"):
                parts = field.split()
                if len(parts) >= 2 and parts[0] in ("WX", "W0X"):
                    width = int(round(float(parts[1])))
                elif len(parts) >= 2 and parts[0] == "N":
                    name = parts[1]
            if name is None or width is None:
                raise GenError("%s:%d: metrics line without name or width: %r"
                               % (path, line_no, line))
            widths.setdefault(name, width)
    if not in_metrics:
        raise GenError("%s: no StartCharMetrics section" % path)
    return widths


def build_table(afm_widths, family, notes, font_label):
    """Return the 224 widths of codes 32..255 for one font."""
    table = []
    for code in range(FIRST_CODE, LAST_CODE + 1):
        name = WIN_ANSI_NAMES[code - FIRST_CODE]
        afm_width = afm_widths.get(name) if name else None
        if family == "courier":
            if afm_width is not None and afm_width != COURIER_WIDTH:
                notes.append("%s: code %d (%s) is %d in the AFM, using %d"
                             % (font_label, code, name, afm_width,
                                COURIER_WIDTH))
            table.append(COURIER_WIDTH)
        elif code in ZERO_WIDTH_CODES:
            table.append(0)
        elif code == EURO_CODE:
            width = EURO_WIDTH[family]
            if afm_width is None:
                notes.append("%s: no Euro glyph in the AFM, using %d"
                             % (font_label, width))
            elif afm_width != width:
                notes.append("%s: Euro is %d in the AFM, using %d"
                             % (font_label, afm_width, width))
            table.append(width)
        elif afm_width is None:
            raise GenError("%s: no glyph %r for code %d"
                           % (font_label, name, code))
        else:
            table.append(afm_width)
    return table


HEADER_NOTICE = """\
// Generated by tools/gen_font_widths.py from the URW base35 AFM metrics
// (fonts-urw-base35). Do not edit by hand: change the script and rerun it.
"""


def render_header():
    names = [var for var, _, _ in FONTS]
    out = ["#pragma once", HEADER_NOTICE.rstrip("\n"),
           "// Advance widths of the character codes 32..255 (WinAnsiEncoding)",
           "// of the standard Type 1 fonts, in 1/1000 of the font size.",
           "#include <array>",
           "#include <cstdint>",
           "",
           "namespace tovra {",
           "",
           "using TFontWidthTable = std::array<int32_t, %d>;" % CODE_COUNT,
           ""]
    for var in names:
        out.append("extern const TFontWidthTable %s;" % var)
    out += ["", "} // namespace tovra", ""]
    return "\n".join(out)


def render_source(tables):
    out = [HEADER_NOTICE.rstrip("\n"),
           '#include "PdfFontWidths.h"',
           "",
           "namespace tovra {",
           ""]
    per_line = 16
    for var, afm_file, _ in FONTS:
        table = tables[var]
        out.append("// %s" % afm_file)
        out.append("const TFontWidthTable %s = {" % var)
        for start in range(0, CODE_COUNT, per_line):
            row = table[start:start + per_line]
            code = FIRST_CODE + start
            out.append("    %s, // %d..%d"
                       % (", ".join("%4d" % w for w in row),
                          code, code + len(row) - 1))
        out.append("};")
        out.append("")
    out += ["} // namespace tovra", ""]
    return "\n".join(out)


# Known widths that the generated tables must reproduce.
EXPECTED_CODES = [32, 48, 65, 77, 87, 97, 105, 109, 128, 160, 255]
EXPECTED_ROWS = {
    "kCourierWidths":
        [600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600],
    "kHelveticaWidths":
        [278, 556, 667, 833, 944, 556, 222, 833, 556, 0, 500],
    "kHelveticaBoldWidths":
        [278, 556, 722, 833, 944, 556, 278, 889, 556, 0, 556],
    "kTimesRomanWidths":
        [250, 500, 722, 889, 944, 444, 278, 778, 500, 0, 500],
    "kTimesBoldWidths":
        [250, 500, 722, 944, 1000, 500, 278, 833, 500, 0, 500],
    "kTimesItalicWidths":
        [250, 500, 611, 833, 833, 500, 278, 722, 500, 0, 444],
    "kTimesBoldItalicWidths":
        [250, 500, 667, 889, 889, 500, 278, 778, 500, 0, 444],
}
EXPECTED_EXTRA = [
    ("kHelveticaWidths", 64, 1015),
    ("kHelveticaWidths", 39, 191),
    ("kTimesRomanWidths", 64, 921),
    ("kTimesRomanWidths", 39, 180),
]


def verify(tables):
    """Return a list of failure messages (empty if every check holds)."""
    failures = []
    checks = []
    for var, row in EXPECTED_ROWS.items():
        checks += [(var, code, w) for code, w in zip(EXPECTED_CODES, row)]
    checks += EXPECTED_EXTRA
    for var, family in ((v, fam) for v, _, fam in FONTS):
        table = tables[var]
        if len(table) != CODE_COUNT:
            failures.append("%s has %d entries" % (var, len(table)))
            continue
        if family != "courier":
            checks += [(var, code, 0) for code in ZERO_WIDTH_CODES]
            checks.append((var, EURO_CODE, EURO_WIDTH[family]))
        else:
            checks += [(var, code, COURIER_WIDTH)
                       for code in range(FIRST_CODE, LAST_CODE + 1)]
    for var, code, expected in checks:
        actual = tables[var][code - FIRST_CODE]
        if actual != expected:
            failures.append("%s[code %d] = %d, expected %d"
                            % (var, code, actual, expected))
    return failures, len(checks)


def check_name_table():
    if len(WIN_ANSI_NAMES) != CODE_COUNT:
        raise GenError("WinAnsi name table has %d entries, expected %d"
                       % (len(WIN_ANSI_NAMES), CODE_COUNT))
    missing = [FIRST_CODE + i for i, n in enumerate(WIN_ANSI_NAMES) if n is None]
    if tuple(missing) != UNDEFINED_CODES:
        raise GenError("WinAnsi name table has no glyph at %s, expected %s"
                       % (missing, list(UNDEFINED_CODES)))


def write_if_changed(path, text):
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return False
    except FileNotFoundError:
        pass
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    return True


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--afm-dir", default=DEFAULT_AFM_DIR)
    parser.add_argument("--out-dir", default=DEFAULT_OUT_DIR)
    args = parser.parse_args(argv)

    try:
        check_name_table()
        tables = {}
        notes = []
        for var, afm_file, family in FONTS:
            afm_widths = read_afm_widths(os.path.join(args.afm_dir, afm_file))
            tables[var] = build_table(afm_widths, family, notes, afm_file)
    except (GenError, OSError, ValueError) as e:
        print("gen_font_widths: error: %s" % e, file=sys.stderr)
        return 1

    for note in notes:
        print("note: %s" % note)

    failures, count = verify(tables)
    if failures:
        for failure in failures:
            print("FAIL: %s" % failure, file=sys.stderr)
        print("gen_font_widths: %d of %d width checks failed, nothing written"
              % (len(failures), count), file=sys.stderr)
        return 1
    print("%d width checks passed" % count)

    os.makedirs(args.out_dir, exist_ok=True)
    for name, text in (("PdfFontWidths.h", render_header()),
                       ("PdfFontWidths.cpp", render_source(tables))):
        path = os.path.join(args.out_dir, name)
        state = "written" if write_if_changed(path, text) else "unchanged"
        print("%s %s" % (path, state))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
