"""Reads a JSON listing strictly (UTF-8, RFC 8259: no NaN or Infinity) and
prints what the spread-sheet listing prints for the same records, after one
line with the system, so that the two can be compared byte for byte.

Descriptions are written back in the Western one-byte code page, which is
how the test's result file holds its non-ASCII descriptions.

Usage: json_as_spreadsheet.py <listing.json>
"""
import json
import sys


def refuse(name):
    raise ValueError("not a JSON number: " + name)


def encoded(text):
    return text.encode("cp1252")


def main():
    with open(sys.argv[1], "rb") as listing:
        document = json.loads(listing.read().decode("utf-8"), parse_constant=refuse)
    out = sys.stdout.buffer
    system = document["system"]
    assert isinstance(system["clock_mhz"], int)
    out.write(encoded(system["description"]) + b" %d\n" % system["clock_mhz"])
    for test in document["tests"]:
        assert isinstance(test["test"], int)
        out.write(b'\n"  ' + encoded(test["title"]) + b':",Clock[MHz],Time[s],Ref\n')
        for result in test["results"]:
            assert isinstance(result["clock_mhz"], int)
            assert isinstance(result["time_s"], float) and isinstance(result["ref"], float)
            assert isinstance(result["time_ms"], int)
            cell = b'"' + encoded(result["description"]).replace(b'"', b'""') + b'"'
            out.write(cell + b",%d,%.2f,%.2f\n" % (result["clock_mhz"], result["time_s"],
                                                   result["ref"]))


main()
