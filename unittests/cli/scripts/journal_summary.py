"""Reads a run journal strictly (every line one JSON object, UTF-8, RFC 8259:
no NaN or Infinity, no duplicate member names) and prints one line per
journal line, so that a test can compare what the program wrote with what
it expects:

    <test> <record> <timed> <repetitions> <run id> <clock source> <build> | <first output line>

A line that cannot be read makes the script fail with its number.

Usage: journal_summary.py <runs.jsonl>
"""
import json
import sys


def refuse(name):
    raise ValueError("not a JSON number: " + name)


def unique(pairs):
    names = [name for name, _ in pairs]
    if len(names) != len(set(names)):
        raise ValueError("duplicate member names")
    return dict(pairs)


def main():
    with open(sys.argv[1], "rb") as journal:
        lines = journal.read().split(b"\n")
    if lines[-1] != b"":
        sys.exit("the last line has no line end")
    for number, raw in enumerate(lines[:-1], 1):
        try:
            line = json.loads(raw.decode("utf-8"), parse_constant=refuse,
                              object_pairs_hook=unique)
        except ValueError as error:
            sys.exit("line %d: %s" % (number, error))
        program, system, test = line["program"], line["system"], line["test"]
        assert line["schema"] == 1
        assert isinstance(system["clock_before_mhz"], (int, type(None)))
        assert isinstance(system["memory_bytes"], int)
        assert len(test["repetitions_ms"]) >= 1
        build = "%s-%s-%s" % (program["architecture"], program["floating_point"], program["os"])
        output = test["output"][0] if test["output"] else ""
        print(test["number"], line["record"], test["timed"], len(test["repetitions_ms"]),
              line["run_id"], system["clock_source"], build, "|", output)


main()
