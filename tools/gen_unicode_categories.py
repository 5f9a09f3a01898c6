#!/usr/bin/python3
"""Builds the "CATEGORIES" resource of the XML library from the Unicode
Character Database (UnicodeData.txt and PropList.txt).

Format, read to the end: records of {category: u8, range count: s32 LE,
ranges: count x (first: u24 LE, last: u24 LE)}. Category numbers are the
positions in TCharacterCategory (xml/KelUnicode.h).

Usage: gen_unicode_categories.py UCD_DIR OUT_BIN OUT_RC OUT_INC
  OUT_RC  a resource script embedding OUT_BIN as RCDATA "CATEGORIES" of
          type "UNICODEDATA" (Windows builds)
  OUT_INC the same bytes as a C++ array initialiser (other builds)
"""
import os
import struct
import sys

CATEGORIES = """
LetterUppercase LetterLowercase LetterTitlecase MarkNonSpacing MarkSpacingCombining
MarkEnclosing NumberDecimalDigit NumberLetter NumberOther SeparatorSpace SeparatorLine
SeparatorParagraph OtherControl OtherFormat OtherSurrogate OtherPrivate OtherUnassigned
LetterModifier LetterOther PunctuationConnector PunctuationDash PunctuationOpen
PunctuationClose PunctuationInitialQuote PunctuationFinalQuote PunctuationOther SymbolMath
SymbolCurrency SymbolModifier SymbolOther
LeftToRight LeftToRightEmbedding LeftToRightOverride RightToLeft RightToLeftArabic
RightToLeftEmbedding RightToLeftOverride PopDirectionalFormat EuropeanNumber
EuropeanNumberSeparator EuropeanNumberTerminator ArabicNumber CommonNumberSeparator
BoundaryNeutral SegmentSeparator WhiteSpace OtherNeutrals LeftToRightIsolate
RightToLeftIsolate FirstStrongIsolate PopDirectionalIsolate
Composed NonBreaking Symmetric HexDigit QuotationMark Mirroring Assigned
ASCIIHexDigit BidiControl Dash Deprecated Diacritic Extender Hyphen Ideographic
IDSBinaryOperator IDSTrinaryOperator JoinControl LogicalOrderException
NonCharacterCodePoint OtherAlphabetic OtherDefaultIgnorableCodePoint OtherGraphemeExtend
OtherIDContinue OtherIDStart OtherLowercase OtherMath OtherUppercase PatternSyntax
PatternWhiteSpace Radical SoftDotted STerm TerminalPunctuation UnifiedIdeograph
VariationSelector SentenceTerminal PrependedQuotationMark RegionalIndicator
""".split()
CC = {name: i for i, name in enumerate(CATEGORIES)}
assert len(CATEGORIES) == 90

GENERAL = {
    "Lu": "LetterUppercase", "Ll": "LetterLowercase", "Lt": "LetterTitlecase",
    "Mn": "MarkNonSpacing", "Mc": "MarkSpacingCombining", "Me": "MarkEnclosing",
    "Nd": "NumberDecimalDigit", "Nl": "NumberLetter", "No": "NumberOther",
    "Zs": "SeparatorSpace", "Zl": "SeparatorLine", "Zp": "SeparatorParagraph",
    "Cc": "OtherControl", "Cf": "OtherFormat", "Cs": "OtherSurrogate", "Co": "OtherPrivate",
    "Lm": "LetterModifier", "Lo": "LetterOther", "Pc": "PunctuationConnector",
    "Pd": "PunctuationDash", "Ps": "PunctuationOpen", "Pe": "PunctuationClose",
    "Pi": "PunctuationInitialQuote", "Pf": "PunctuationFinalQuote", "Po": "PunctuationOther",
    "Sm": "SymbolMath", "Sc": "SymbolCurrency", "Sk": "SymbolModifier", "So": "SymbolOther",
}
# NSM and B have no class of their own in the enumeration: left out, so
# that marks and separators are classified by their general category alone.
BIDI = {
    "L": "LeftToRight", "LRE": "LeftToRightEmbedding", "LRO": "LeftToRightOverride",
    "R": "RightToLeft", "AL": "RightToLeftArabic", "RLE": "RightToLeftEmbedding",
    "RLO": "RightToLeftOverride", "PDF": "PopDirectionalFormat", "EN": "EuropeanNumber",
    "ES": "EuropeanNumberSeparator", "ET": "EuropeanNumberTerminator", "AN": "ArabicNumber",
    "CS": "CommonNumberSeparator", "BN": "BoundaryNeutral",
    "S": "SegmentSeparator", "WS": "WhiteSpace",
    "ON": "OtherNeutrals", "LRI": "LeftToRightIsolate", "RLI": "RightToLeftIsolate",
    "FSI": "FirstStrongIsolate", "PDI": "PopDirectionalIsolate",
}
# Dash and STerm are left out of the resource, as in the data this replaces.
PROPS = {
    "White_Space": "WhiteSpace", "Hex_Digit": "HexDigit", "Quotation_Mark": "QuotationMark",
    "ASCII_Hex_Digit": "ASCIIHexDigit", "Bidi_Control": "BidiControl",
    "Deprecated": "Deprecated", "Diacritic": "Diacritic", "Extender": "Extender",
    "Hyphen": "Hyphen", "Ideographic": "Ideographic",
    "IDS_Binary_Operator": "IDSBinaryOperator", "IDS_Trinary_Operator": "IDSTrinaryOperator",
    "Join_Control": "JoinControl", "Logical_Order_Exception": "LogicalOrderException",
    "Noncharacter_Code_Point": "NonCharacterCodePoint", "Other_Alphabetic": "OtherAlphabetic",
    "Other_Default_Ignorable_Code_Point": "OtherDefaultIgnorableCodePoint",
    "Other_Grapheme_Extend": "OtherGraphemeExtend", "Other_ID_Continue": "OtherIDContinue",
    "Other_ID_Start": "OtherIDStart", "Other_Lowercase": "OtherLowercase",
    "Other_Math": "OtherMath", "Other_Uppercase": "OtherUppercase",
    "Pattern_Syntax": "PatternSyntax", "Pattern_White_Space": "PatternWhiteSpace",
    "Radical": "Radical", "Soft_Dotted": "SoftDotted",
    "Terminal_Punctuation": "TerminalPunctuation", "Unified_Ideograph": "UnifiedIdeograph",
    "Variation_Selector": "VariationSelector", "Sentence_Terminal": "SentenceTerminal",
    "Prepended_Concatenation_Mark": "PrependedQuotationMark",
    "Regional_Indicator": "RegionalIndicator",
}


def read_unicode_data(path, sets):
    first = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split(";")
            if len(fields) < 15:
                continue
            cp = int(fields[0], 16)
            name, gc, bidi, decomp, mirrored = fields[1], fields[2], fields[4], fields[5], fields[9]
            if name.endswith(", First>"):
                first = cp
                continue
            lo = first if name.endswith(", Last>") and first is not None else cp
            first = None
            cps = range(lo, cp + 1)
            names = ["Assigned"]
            if gc in GENERAL:
                names.append(GENERAL[gc])
            if bidi in BIDI:
                names.append(BIDI[bidi])
            if decomp and not decomp.startswith("<"):
                names.append("Composed")
            if decomp.startswith("<noBreak>"):
                names.append("NonBreaking")
            if mirrored == "Y":
                names += ["Symmetric", "Mirroring"]
            for n in names:
                sets[CC[n]].update(cps)


def read_prop_list(path, sets):
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            rng, prop = (x.strip() for x in line.split(";"))
            if prop not in PROPS:
                continue
            lo, _, hi = rng.partition("..")
            sets[CC[PROPS[prop]]].update(range(int(lo, 16), int(hi or lo, 16) + 1))


def ranges(cps):
    out = []
    for cp in sorted(cps):
        if out and out[-1][1] + 1 == cp:
            out[-1][1] = cp
        else:
            out.append([cp, cp])
    return out


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    ucd, out_bin, out_rc, out_inc = sys.argv[1:]
    sets = [set() for _ in CATEGORIES]
    read_unicode_data(os.path.join(ucd, "UnicodeData.txt"), sets)
    read_prop_list(os.path.join(ucd, "PropList.txt"), sets)
    data = bytearray()
    for cat, cps in enumerate(sets):
        if not cps:
            continue
        rs = ranges(cps)
        data += struct.pack("<Bi", cat, len(rs))
        for lo, hi in rs:
            data += lo.to_bytes(3, "little") + hi.to_bytes(3, "little")
    with open(out_bin, "wb") as f:
        f.write(data)
    with open(out_rc, "w", encoding="ascii") as f:
        path = os.path.abspath(out_bin).replace("\\", "/")
        f.write('CATEGORIES UNICODEDATA "%s"\n' % path)
    with open(out_inc, "w", encoding="ascii") as f:
        for i in range(0, len(data), 24):
            f.write(",".join(str(b) for b in data[i:i + 24]) + ",\n")


if __name__ == "__main__":
    main()
