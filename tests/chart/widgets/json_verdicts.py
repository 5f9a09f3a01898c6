#!/usr/bin/env python3
"""Has Python's json module judge the documents of data/JsonCases.txt.

Writes data/JsonCases.expected, one line a document:
  <bytes in hex> valid <tokens...>   or   <bytes in hex> invalid
with the tokens the reader test dumps: { } [ ] k<name> s<text> t f n
i<integer that fits in 64 bits> d<bits of a double>, names and texts as
UTF-16 code units in hex. With --check, only compares with the file there.
Offline and standard library only.
"""
import json
import pathlib
import struct
import sys

HERE = pathlib.Path(__file__).resolve().parent
CASES = HERE / "data" / "JsonCases.txt"
EXPECTED = HERE / "data" / "JsonCases.expected"


def reject_constant(name):
    raise ValueError("not JSON: " + name)  # NaN, Infinity, -Infinity


def units(text):
    raw = text.encode("utf-16-le", "surrogatepass")
    return "".join("%02x%02x" % (raw[i + 1], raw[i]) for i in range(0, len(raw), 2))


def double(value):
    if value != value or value in (float("inf"), float("-inf")):
        raise SystemExit("a table number does not fit a double: keep such cases out of the table")
    return "d%016x" % struct.unpack("<Q", struct.pack("<d", value))[0]


def tokens(value, out):
    if isinstance(value, tuple):  # an object, as its pairs in order
        out.append("{")
        for name, item in value[1]:
            out.append("k" + units(name))
            tokens(item, out)
        out.append("}")
    elif isinstance(value, list):
        out.append("[")
        for item in value:
            tokens(item, out)
        out.append("]")
    elif value is True:
        out.append("t")
    elif value is False:
        out.append("f")
    elif value is None:
        out.append("n")
    elif isinstance(value, str):
        out.append("s" + units(value))
    elif isinstance(value, int):
        out.append("i%d" % value if -2**63 <= value < 2**63 else double(float(value)))
    else:
        out.append(double(value))


def verdict(data):
    try:
        text = data.decode("utf-8")
        value = json.loads(text, object_pairs_hook=lambda pairs: ("object", pairs),
                           parse_constant=reject_constant)
    except (UnicodeDecodeError, ValueError):
        return "invalid"
    if not isinstance(value, (tuple, list)):
        return "invalid"  # the reader takes an object or an array as the root only
    out = []
    tokens(value, out)
    return "valid " + " ".join(out)


def documents():
    for line in CASES.read_bytes().split(b"\n"):
        if line.startswith(b"#") or not line:
            continue
        if line.startswith(b"hex:"):
            yield bytes.fromhex(line[4:].decode("ascii"))
        else:
            yield line


def main():
    lines = ["%s %s" % (data.hex() or "-", verdict(data)) for data in documents()]
    text = "\n".join(lines) + "\n"
    if "--check" in sys.argv[1:]:
        if EXPECTED.read_text(encoding="ascii") != text:
            print("data/JsonCases.expected is out of date: run json_verdicts.py", file=sys.stderr)
            return 1
        print("%d verdicts agree" % len(lines))
        return 0
    EXPECTED.write_text(text, encoding="ascii", newline="\n")
    print("%d verdicts written" % len(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
