"""Reads a run journal strictly (every line one JSON object, UTF-8, RFC 8259:
no NaN or Infinity, no duplicate member names) and prints one line per
journal line, so that a test can compare what the program wrote with what
it expects:

    <test> <record> <timed> <repetitions> <run id> <clock source> <build> | <first output line>

A line that cannot be read makes the script fail with its number.

Usage: journal_summary.py <runs.jsonl>
"""
import sys

from strict_json import loads


def main():
    with open(sys.argv[1], "rb") as journal:
        lines = journal.read().split(b"\n")
    if lines[-1] != b"":
        sys.exit("the last line has no line end")
    for number, raw in enumerate(lines[:-1], 1):
        try:
            line = loads(raw)
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
