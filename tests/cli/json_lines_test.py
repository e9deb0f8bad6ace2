#!/usr/bin/env python3
"""Every mode with --json, run on a machine whose paths hold quotes, backslashes, control bytes,
Chinese and bytes that are not UTF-8: each line is one JSON object that Python's json reads, the
summary comes last, the exit status is the TAB run's, and each object says what its TAB line says.

    json_lines_test.py PROGRAM HELPER
"""

import base64
import json
import os
import shutil
import subprocess
import sys
import tempfile

PROGRAM, HELPER = sys.argv[1].encode(), sys.argv[2].encode()
RUN_KEY = b"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
MODES = [["--autostart"], ["--kill", "--dry-run"], ["--kill"], ["--list-backups"], ["--restore"]]


def printable(data):
    return bytes(ord("?") if b < 32 or b == 127 else b for b in data)


def exact(obj, key):
    """The bytes of field `key` by the README's rule."""
    if key + "_base64" in obj:
        return base64.b64decode(obj[key + "_base64"])
    return obj[key].encode()


class Machine:
    """A program folder with the program, a data folder whose path holds every hard byte, a
    running program and a stray file named on the list, and a start-up value of the first."""

    def __init__(self, root):
        self.root = root
        self.app = os.path.join(root, b"app")
        self.data = os.path.join(root, b'd\x01"\\\n\xff\xe4\xb8\xad')
        windows = os.path.join(self.data, b"pestrel", b"Windows")
        os.makedirs(self.app)
        os.makedirs(windows)
        folder = os.path.join(root, b'bin\x02"\\\x7f\xfe\xe7\x97\x85')
        os.makedirs(folder)
        shutil.copy(PROGRAM, os.path.join(self.app, b"pestrel"))
        running = b"json-%d.exe" % os.getpid()
        stray = b'q"uo\'te\xff\xe4\xb8\xad.exe'
        program = os.path.join(folder, running)
        shutil.copy(HELPER, program)
        with open(os.path.join(windows, stray), "wb") as file:
            file.write(b"stray")
        with open(os.path.join(self.app, b"VirusList.txt"), "wb") as file:
            file.write(stray + b"\r\n" + running + b"\r\n")
        os.makedirs(os.path.join(self.data, b"pestrel", b"Registry"))
        with open(os.path.join(self.data, b"pestrel", b"Registry", b"HKEY_CURRENT_USER.reg"),
                  "wb") as hive:
            hive.write(b'REGEDIT4\r\n\r\n[%s]\r\n"%s"="C:\\\\Tools\\\\%s /min"\r\n\r\n'
                       % (RUN_KEY, running, running))
        self.helper = subprocess.Popen([program])

    def run(self, arguments):
        env = {b"XDG_DATA_HOME": self.data, b"HOME": self.root, b"PATH": b"/usr/bin:/bin"}
        done = subprocess.run([os.path.join(self.app, b"pestrel")] + arguments, env=env,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120)
        return done.returncode, done.stdout.split(b"\n")[:-1]

    def close(self):
        self.helper.kill()
        self.helper.wait()
        shutil.rmtree(self.root)


def outputs(root, json_lines):
    machine = Machine(root)
    try:
        extra = [b"--json"] if json_lines else []
        return [machine.run([m.encode() for m in mode] + extra) for mode in MODES]
    finally:
        machine.close()


def values(obj):
    """The printable bytes of an object's fields, in no order."""
    found = []
    for key in obj:
        if key in ("verb", "failed", "listed", "taken", "restored", "time") or key.endswith("_base64"):
            continue
        if key == "fields":
            exacts = obj.get("fields_base64", [None] * len(obj[key]))
            found += [base64.b64decode(e) if e else v.encode() for v, e in zip(obj[key], exacts)]
        else:
            found.append(exact(obj, key))
    return sorted(printable(value) for value in found)


def same_action(obj, line):
    fields = line.split(b"\t")
    failed = fields[0] == b"failed"
    fields = fields[1:] if failed else fields
    if obj["verb"] == "terminate":  # the two machines' programs have their own ids
        obj, fields = dict(obj, pid="ID"), [fields[0], b"ID"] + fields[2:]
    return (obj["verb"].encode() == fields[0] and obj["failed"] == failed
            and values(obj) == sorted(fields[1:]))


def same_entry(obj, line):
    fields = line.split(b"\t")
    marks = [b"listed"] if obj["listed"] else []
    marks += [obj["taken"].encode()] if "taken" in obj else []
    return fields[3:] == marks and values(obj) == sorted(fields[:3])


# The place's and the kept text's names of each kind of deletion.
DELETION_KEYS = {"file": ("path", "copy"), "link": ("path", "target"),
                 "crontab": ("user", "before"), "value": ("place", "data")}


def same_deletion(obj, line):
    place_key, kept_key = DELETION_KEYS[obj["verb"]]
    kept, place = exact(obj, kept_key), exact(obj, place_key)
    return (printable(kept) in line and printable(place) in line
            and obj["restored"] == line.endswith(b"(restored)"))


def main():
    root = tempfile.mkdtemp().encode()
    os.rmdir(root)
    tab, jsn = outputs(root, False), outputs(root, True)
    problems = []
    for mode, (tab_status, tab_lines), (json_status, json_lines) in zip(MODES, tab, jsn):
        say = lambda text: problems.append(f"{' '.join(mode)}: {text}")
        if tab_status != json_status:
            say(f"exit status {json_status}, the TAB run's is {tab_status}")
        try:
            objects = [json.loads(line.decode("utf-8")) for line in json_lines]
        except ValueError as error:
            say(f"a line is not JSON in UTF-8: {error}")
            continue
        verbs = [obj.get("verb") for obj in objects]
        if not objects or verbs[-1] != "summary" or verbs.count("summary") != 1:
            say(f"the summary is not the one last object: {verbs}")
            continue
        listing = mode[0] in ("--autostart", "--list-backups")
        actions = tab_lines if listing else tab_lines[:-1]
        same = {"--autostart": same_entry, "--list-backups": same_deletion}.get(mode[0], same_action)
        if len(actions) != len(objects) - 1:
            say(f"{len(objects) - 1} objects for {len(actions)} TAB lines")
        for obj, line in zip(objects, actions):
            if not same(obj, line):
                say(f"{obj} does not say {line!r}")
        if not listing:
            counts = dict(field.split(b"=") for field in tab_lines[-1].split(b"\t")[1:] if b"=" in field)
            summary = {k.encode(): str(v).encode() for k, v in objects[-1].items()
                       if k not in ("verb", "finished")}
            if summary != counts:
                say(f"summary {objects[-1]} against {tab_lines[-1]!r}")
    kinds = {obj_verb for _, lines in jsn for obj_verb in
             (json.loads(line).get("verb") for line in lines)}
    for needed in ("terminate", "backup", "delete", "regdelete", "repair", "restore", "entry",
                   "file", "value"):
        if needed not in kinds:
            problems.append(f"no {needed} object in any mode: the machine is not what it should be")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
