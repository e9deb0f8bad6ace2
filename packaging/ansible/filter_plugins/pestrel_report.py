"""The report of a kill pass over many hosts, made from each host's `pestrel --json` lines."""

import json
import unicodedata


def _host_report(run):
    if not run or "stdout_lines" not in run:
        reason = (run or {}).get("msg", "unreachable, or failed before the pass")
        return {"status": None, "error": reason, "counts": {}, "failed": [], "actions": []}
    actions, unparsed, summary = [], [], None
    for line in run["stdout_lines"]:
        try:
            item = json.loads(line)
        except ValueError:
            item = None
        # A record is an object; a line split where it should not be may parse as anything.
        if not isinstance(item, dict):
            unparsed.append(line)
            continue
        if item.get("verb") == "summary":
            summary = item
        else:
            actions.append(item)
    counts = {}
    for item in actions:
        verb = "failed" if item.get("failed") else item.get("verb")
        counts[verb] = counts.get(verb, 0) + 1
    report = {
        "status": run.get("rc"),
        "finished": bool(summary and summary.get("finished")),
        "counts": counts,
        "failed": [item for item in actions if item.get("failed")],
        "actions": actions,
        "messages": run.get("stderr_lines", []),
    }
    if unparsed:
        report["unparsed"] = unparsed
    return report


def pestrel_report(hosts, hostvars):
    """Per host: its exit status, counts per verb, its failed actions and every action."""
    return {host: _host_report(hostvars[host].get("pestrel_run")) for host in hosts}


def _shown(value):
    """`value` as text on one line: a backslash, every control character and every line or
    paragraph separator written as a backslash escape, so that no name can start a line."""
    shown = []
    for char in str(value):
        if char == "\\":
            shown.append("\\\\")
        elif unicodedata.category(char) in ("Cc", "Zl", "Zp"):
            shown.append(f"\\x{ord(char):02x}" if ord(char) < 0x100 else f"\\u{ord(char):04x}")
        else:
            shown.append(char)
    return "".join(shown)


def _fields(item):
    return " ".join(
        f"{_shown(key)}={_shown(value)}"
        for key, value in sorted(item.items())
        if key not in ("verb", "failed")
    )


def pestrel_report_text(report):
    """The report for people: a line per host, then its failed actions and its actions."""
    lines = []
    for host, run in sorted(report.items()):
        name = _shown(host)
        if run["status"] is None:
            lines.append(f"{name}: no run ({_shown(run['error'])})")
            continue
        counts = " ".join(
            f"{_shown(verb)}={count}" for verb, count in sorted(run["counts"].items(), key=str)
        )
        state = "finished" if run["finished"] else "ended early"
        lines.append(f"{name}: status {run['status']}, {state}, {counts or 'nothing done'}")
        lines += [f"  failed {_shown(item.get('verb'))} {_fields(item)}" for item in run["failed"]]
        lines += [f"  {_shown(item.get('verb'))} {_fields(item)}" for item in run["actions"]
                  if not item.get("failed")]
        lines += [f"  message: {_shown(line)}" for line in run["messages"]]
    return "\n".join(lines) + "\n"


class FilterModule:
    def filters(self):
        return {"pestrel_report": pestrel_report, "pestrel_report_text": pestrel_report_text}
