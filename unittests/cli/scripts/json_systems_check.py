"""Checks the "systems" member of a JSON listing against the records the
same document lists: for each system (description and clock), its least
time per test; a test counts when that time is positive; its figure is the
geometric mean of (the test's fastest counted time / its time), in percent
rounded down to a tenth, computed here with exact fractions. The systems
must come highest figure first, then more tests first, then in order of
their first record; systems without a counted test last, with null.

Prints what differs and ends with status 1, or prints nothing.

Usage: json_systems_check.py <listing.json>
"""
from fractions import Fraction
import json
import sys


def permille(ratios):
    """The greatest k with (k/1000)^n <= the product of the n ratios."""
    product = Fraction(1)
    for ratio in ratios:
        product *= ratio
    n = len(ratios)
    low, high = 0, 1000
    while low < high:
        middle = (low + high + 1) // 2
        if Fraction(middle, 1000) ** n <= product:
            low = middle
        else:
            high = middle - 1
    return low


def main():
    with open(sys.argv[1], "rb") as listing:
        document = json.loads(listing.read().decode("utf-8"))
    systems = []  # in order of first record
    best = {}  # (system, test index) -> least time
    for index, test in enumerate(document["tests"]):
        for result in test["results"]:
            system = (result["description"], result["clock_mhz"])
            if system not in systems:
                systems.append(system)
            key = (system, index)
            best[key] = min(best.get(key, result["time_ms"]), result["time_ms"])
    fastest = {}
    for (system, index), time in best.items():
        if time > 0:
            fastest[index] = min(fastest.get(index, time), time)

    expected = []
    for order, system in enumerate(systems):
        ratios = [Fraction(fastest[index], time) for (other, index), time in best.items()
                  if other == system and time > 0]
        figure = permille(ratios) if ratios else None
        expected.append((figure is None, -(figure or 0), -len(ratios), order, system, figure,
                         len(ratios)))
    expected.sort()

    listed = document["systems"]
    problems = []
    if len(listed) != len(expected):
        problems.append("%d systems listed, %d expected" % (len(listed), len(expected)))
    for at, (entry, want) in enumerate(zip(listed, expected)):
        system, figure, tests = want[4], want[5], want[6]
        got = (entry["description"], entry["clock_mhz"])
        percent = entry["overall_percent"]
        if (got != system or entry["tests"] != tests or
                (percent is None) != (figure is None) or
                (figure is not None and percent != figure / 10)):
            problems.append("at %d: %r %r over %r, expected %r %r over %d" %
                            (at, got, percent, entry["tests"], system,
                             None if figure is None else figure / 10, tests))
    for problem in problems:
        print(problem)
    sys.exit(1 if problems else 0)


main()
