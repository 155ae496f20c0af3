"""Reads the JSON form of a comparison strictly (UTF-8, RFC 8259: no NaN or
Infinity, no duplicate member names), checks the types of its members, and
prints one line per compared test, so that a test can check what a script
would see:

    <test> <verdict> <p-value or null> <change in percent, 1 decimal> <warnings, comma-separated or ->

then "only_before ..." and "only_now ..." with the test numbers.

Usage: comparison_summary.py <comparison.json>
"""
import sys

from strict_json import loads


def check_run(run):
    assert isinstance(run["run_id"], str) and isinstance(run["time"], str)
    assert run["timed"] in ("repeated", "once")
    assert isinstance(run["repetitions"], int) and run["repetitions"] >= 1
    assert run["fastest_ms"] <= run["median_ms"] <= run["slowest_ms"]
    assert run["noise"] in ("quiet", "busy", None)


def main():
    with open(sys.argv[1], "rb") as source:
        document = loads(source.read())
    assert document["schema"] == 1
    assert document["comparison"] in ("latest_against_previous", "against_journal")
    for side in ("before", "now"):
        assert isinstance(document[side]["description"], str)
        assert isinstance(document[side]["clock_mhz"], int)
    assert document["thresholds"] == {"p_value_below": 0.01, "change_percent_min": 1,
                                      "repetitions_min": 5}
    for test in document["tests"]:
        check_run(test["before"])
        check_run(test["now"])
        p = test["p_value"]
        assert p is None or 0 < p <= 1
        assert (p is None) == (test["verdict"] == "not_judged")
        change = test["change_percent"]
        print(test["test"], test["verdict"], "null" if p is None else "%.3g" % p,
              "null" if change is None else "%.1f" % change,
              ",".join(test["warnings"]) or "-")
    print("only_before", *document["only_before"])
    print("only_now", *document["only_now"])


main()
