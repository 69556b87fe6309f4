#!/usr/bin/env python3
"""Runs the golden cases of one batch file against tervane-cli.

    run_batch.py BATCH VARS... -- PROGRAM...

PROGRAM is the command that starts tervane-cli, with any emulator in front
of it. VARS are NAME=VALUE pairs that a command line may use as ${NAME}; in the
expected output they stand for the values the program printed.

A batch file holds several cases, each a command line after "$ ", then
"[exit N]", then the expected standard output indented by two spaces, and
"[stderr]" with the expected standard error indented the same way. Lines
starting with "#" are comments. In a command line "\\xHH" is the byte HH,
and a last word "> /dev/full" sends the standard output to a full disk.
Output is compared byte for byte: a CR is written "\\r", a backslash
"\\\\", a byte that is not UTF-8 "\\xHH", and a last line without its line
feed ends in "\\z".

With TERVANE_UPDATE_GOLDENS=1 in the environment the file is rewritten
with what the program prints now.
"""
import difflib
import os
import re
import shlex
import subprocess
import sys

INDENT = "  "


def encode(data):
    text = data.decode("utf-8", "surrogateescape")
    text = text.replace("\\", "\\\\").replace("\r", "\\r")
    text = re.sub("[\udc80-\udcff]", lambda m: "\\x%02X" % (ord(m.group()) - 0xDC00), text)
    lines = text.split("\n")
    if lines[-1] == "":
        lines.pop()
    else:
        lines[-1] += "\\z"
    return [INDENT + line for line in lines]


def parse(path):
    cases, case, block = [], None, None
    for line in open(path, encoding="utf-8").read().splitlines():
        if line.startswith("$ "):
            case = {"command": line[2:], "exit": None, "out": [], "err": [], "comments": []}
            cases.append(case)
            block = "out"
        elif case is None or line.startswith("#"):
            (case["comments"] if case else cases_head).append(line)
        elif m := re.fullmatch(r"\[exit (\d+)\]", line):
            case["exit"] = int(m.group(1))
        elif line == "[stderr]":
            block = "err"
        elif line.startswith(INDENT) or line == "":
            case[block].append(line)
    for c in cases:
        for block in ("out", "err"):
            while c[block] and c[block][-1] == "":
                c[block].pop()
            c[block] = [line if line else INDENT for line in c[block]]
    return cases


def run(case, variables, program):
    command = case["command"]
    for name, value in variables.items():
        command = command.replace("${%s}" % name, value)
    full = command.endswith(" > /dev/full")
    if full:
        command = command[:-len(" > /dev/full")]
    args = [re.sub(rb"\\x([0-9A-F]{2})", lambda m: bytes([int(m.group(1), 16)]), arg.encode("utf-8"))
            for arg in shlex.split(command)]
    with open("/dev/full", "wb") if full else open(os.devnull, "rb") as sink:
        done = subprocess.run(program + args, stdout=sink if full else subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=60, cwd=variables["DATA_DIR"])
    result = {"exit": done.returncode}
    for block, data in (("out", done.stdout or b""), ("err", done.stderr)):
        lines = encode(data)
        for name, value in sorted(variables.items(), key=lambda item: -len(item[1])):
            lines = [line.replace(value, "${%s}" % name) for line in lines]
        result[block] = lines
    return result


def write(path, cases):
    lines = list(cases_head)
    for case in cases:
        lines += ["$ " + case["command"], "[exit %d]" % case["exit"]] + case["out"]
        if case["err"]:
            lines += ["[stderr]"] + case["err"]
        lines += [""] + case["comments"]
    open(path, "w", encoding="utf-8", newline="\n").write("\n".join(lines).rstrip("\n") + "\n")


cases_head = []
batch = sys.argv[1]
split = sys.argv.index("--")
variables = dict(arg.split("=", 1) for arg in sys.argv[2:split])
program = sys.argv[split + 1:]
cases = parse(batch)
update = os.environ.get("TERVANE_UPDATE_GOLDENS") == "1"
failures = 0
for case in cases:
    actual = run(case, variables, program)
    if update:
        case.update(actual)
        continue
    expected = ["[exit %s]" % case["exit"]] + case["out"] + ["[stderr]"] + case["err"]
    got = ["[exit %s]" % actual["exit"]] + actual["out"] + ["[stderr]"] + actual["err"]
    if expected != got:
        failures += 1
        print("FAILED: $ " + case["command"])
        sys.stdout.writelines(line + "\n" for line in
                              difflib.unified_diff(expected, got, "expected", "actual", lineterm=""))
if update:
    write(batch, cases)
    print("rewrote %s (%d cases)" % (batch, len(cases)))
print("%d of %d cases failed" % (failures, len(cases)) if failures else "%d cases passed" % len(cases))
sys.exit(1 if failures else 0)
