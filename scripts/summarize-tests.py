#!/usr/bin/env python3
"""Adds up the GoogleTest XML reports of a test run and prints one closing line."""
import glob
import sys
import xml.etree.ElementTree as ET

def main(folder, failed_runs=0):
    passed = failed = skipped = 0
    reports = sorted(glob.glob(f"{folder}/**/*.xml", recursive=True))
    for path in reports:
        try:
            root = ET.parse(path).getroot()
        except ET.ParseError:
            print(f"unreadable test report: {path}")
            failed += 1
            continue
        for case in root.iter("testcase"):
            if case.get("result") == "skipped" or case.find("skipped") is not None:
                skipped += 1
            elif case.find("failure") is not None or case.find("error") is not None:
                failed += 1
            elif case.get("status", "run") == "run":
                passed += 1
    if failed_runs:
        print(f"{failed_runs} test executable(s) failed as a whole (see the log above)")
    # An executable that failed without a failed case in its report crashed or
    # timed out: count it as one failure.
    failed = max(failed, failed_runs)
    line = f"tests: {passed} passed, {failed} failed"
    if skipped:
        line += f", {skipped} skipped"
    print(line)

if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 0)
