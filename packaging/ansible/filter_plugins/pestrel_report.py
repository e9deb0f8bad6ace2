"""The report of a kill pass over many hosts, made from each host's `pestrel --json` lines."""

import json


def _host_report(run):
    if not run or "stdout_lines" not in run:
        reason = (run or {}).get("msg", "unreachable, or failed before the pass")
        return {"status": None, "error": reason, "counts": {}, "failed": [], "actions": []}
    actions, unparsed, summary = [], [], None
    for line in run["stdout_lines"]:
        try:
            item = json.loads(line)
        except ValueError:
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


def _fields(item):
    return " ".join(
        f"{key}={value}"
        for key, value in sorted(item.items())
        if key not in ("verb", "failed")
    )


def pestrel_report_text(report):
    """The report for people: a line per host, then its failed actions and its actions."""
    lines = []
    for host, run in sorted(report.items()):
        if run["status"] is None:
            lines.append(f"{host}: no run ({run['error']})")
            continue
        counts = " ".join(f"{verb}={count}" for verb, count in sorted(run["counts"].items()))
        state = "finished" if run["finished"] else "ended early"
        lines.append(f"{host}: status {run['status']}, {state}, {counts or 'nothing done'}")
        lines += [f"  failed {item['verb']} {_fields(item)}" for item in run["failed"]]
        lines += [f"  {item['verb']} {_fields(item)}" for item in run["actions"]
                  if not item.get("failed")]
        lines += [f"  message: {line}" for line in run["messages"]]
    return "\n".join(lines) + "\n"


class FilterModule:
    def filters(self):
        return {"pestrel_report": pestrel_report, "pestrel_report_text": pestrel_report_text}
