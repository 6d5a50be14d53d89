#!/usr/bin/env python3
"""Adds up the JUnit results of one test run and prints "N passed, N failed".

The first folder holds CTest's reports (one case per test executable) and pytest's; the other
folders hold GoogleTest's reports, one file per executable. An executable's own report gives its
cases; an executable that failed without a report, or whose report shows no failure although it
failed (a crash after the last case), counts as one more failure.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def counts(path):
    root = ET.parse(path).getroot()
    suites = [root] if root.tag == "testsuite" else root.findall("testsuite")
    total = failed = skipped = 0
    for suite in suites:
        total += int(suite.get("tests", 0))
        failed += int(suite.get("failures", 0)) + int(suite.get("errors", 0))
        skipped += int(suite.get("skipped", 0)) + int(suite.get("disabled", 0))
    return total - failed - skipped, failed, skipped


def main(ctest_and_pytest_dir, *gtest_dirs):
    passed = failed = skipped = 0
    gtest_reports = {p.stem: p for d in gtest_dirs for p in Path(d).glob("*.xml")}
    for report in sorted(Path(ctest_and_pytest_dir).glob("*.xml")):
        if not report.name.endswith("-ctest.xml"):
            p, f, s = counts(report)
            passed, failed, skipped = passed + p, failed + f, skipped + s
            continue
        for case in ET.parse(report).getroot().iter("testcase"):
            ok = case.get("status") == "run" and case.find("failure") is None
            own = gtest_reports.get(case.get("name"))
            p, f, s = counts(own) if own else (1 if ok else 0, 0 if ok else 1, 0)
            if not ok and f == 0:
                f = 1
            passed, failed, skipped = passed + p, failed + f, skipped + s
    line = f"{passed} passed, {failed} failed"
    print(line + (f", {skipped} skipped" if skipped else ""))
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
