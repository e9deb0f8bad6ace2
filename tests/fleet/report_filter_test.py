#!/usr/bin/env python3
"""The report filter against lines a host's output can be split into: every line that is not
one JSON object is kept as unparsed, never taken as a record, and no character of a record, of a
message or of a host's name can start a line of the text report.

    report_filter_test.py FILTER_FOLDER
"""

import json
import sys

sys.path.insert(0, sys.argv[1])
from pestrel_report import pestrel_report, pestrel_report_text  # noqa: E402

BREAKS = "\n\r\v\f\x1c\x1d\x1e\x85\u2028\u2029"
name = "/x/" + "host9: status 0, finished, nothing done".join(BREAKS) + "\\.exe"
lines = [
    json.dumps({"verb": "delete", "failed": False, "path": name, "kept": "k"}),
    "[1]",
    "2",
    '"text"',
    "not json",
    '{"verb": "summary", "finished": true}',
]
hostvars = {
    "host1": {"pestrel_run": {"rc": 0, "stdout_lines": lines, "stderr_lines": ["a\nb"]}},
    "host\n2": {},
}
report = pestrel_report(["host1", "host\n2"], hostvars)
assert report["host1"]["unparsed"] == lines[1:5], report["host1"]
assert [item["path"] for item in report["host1"]["actions"]] == [name], report["host1"]
text = pestrel_report_text(report).splitlines()
hosts = [line for line in text if not line.startswith("  ")]
assert hosts == ["host\\x0a2: no run (unreachable, or failed before the pass)",
                 "host1: status 0, finished, delete=1"], text
assert all(part not in "".join(text) for part in BREAKS), text
print("report_filter_test: passed")
