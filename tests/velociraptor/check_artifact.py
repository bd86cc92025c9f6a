#!/usr/bin/env python3
"""The contract between the fleet artifact and the tool, without Velociraptor.

  check_artifact.py argv ARTIFACT       prints the arguments the artifact gives
                                        the tool (after the tool), one a line
  check_artifact.py rows ARTIFACT FILE  splits FILE, the tool's standard output,
                                        as the artifact's execve does and parses
                                        every piece as its parse_jsonl does,
                                        into the fields its SELECT names
"""
import datetime
import json
import re
import sys

import yaml


def fail(message):
    sys.exit(f"FAIL: {message}")


def load(path):
    artifact = yaml.safe_load(open(path, encoding="utf-8"))
    for key in ("name", "description", "type", "tools", "sources"):
        if key not in artifact:
            fail(f"the artifact has no {key}")
    if artifact["type"] != "CLIENT":
        fail("the artifact does not run on the endpoint")
    tools = {tool["name"]: tool for tool in artifact["tools"]}
    if "TidewellReport" not in tools:
        fail("the artifact ships no TidewellReport tool")
    if "windows" not in artifact.get("precondition", ""):
        fail("the artifact is not limited to Windows")
    if len(artifact["sources"]) != 1:
        fail("one source is expected")
    query = artifact["sources"][0]["query"]
    if 'FetchBinary(ToolName="TidewellReport"' not in query:
        fail("the query does not fetch the tool it ships")
    return query


def string_literal(text):
    if not (text.startswith('"') and text.endswith('"')):
        fail(f"{text} is not a string")
    return json.loads(text)  # VQL strings escape as JSON's do


def arguments(query):
    found = re.search(r"execve\(argv=\[(.*?)\],\s*sep=(\"[^\"]*\")", query, re.S)
    if not found:
        fail("the query runs no execve with an argv and a separator")
    items = [item.strip() for item in found.group(1).split(",")]
    if items[0] != "Tool[0].OSPath":
        fail("the command is not the fetched tool")
    return [string_literal(item) for item in items[1:]], string_literal(found.group(2))


def selected(query):
    found = re.search(r"query=\{\s*SELECT (.*?)\s+FROM parse_jsonl\(filename=Stdout, "
                      r"accessor=\"data\"\)", query, re.S)
    if not found:
        fail("the query does not parse each line of standard output as JSON")
    return [field.strip() for field in found.group(1).split(",")]


# What every event has; the rest depends on its source and its kind of time.
always = ("host", "coverage_complete", "coverage_reasons", "datetime", "timestamp",
          "timestamp_desc", "message", "source", "name", "filetime", "evidence_folder")


def check_rows(query, output):
    _, separator = arguments(query)
    fields = selected(query)
    if len(set(fields)) != len(fields):
        fail("a field is named twice")
    if fields[:3] != ["host", "coverage_complete", "coverage_reasons"]:
        fail("the rows do not start with the host and the coverage verdict")
    text = open(output, encoding="utf-8").read()
    rows = 0
    for piece in text.split(separator):
        if not piece.strip():
            continue  # execve's WHERE Stdout drops an empty piece
        row = json.loads(piece)
        unnamed = [key for key in row if key not in fields]
        if unnamed:
            fail(f"row {rows + 1} has fields the artifact would drop: {unnamed}")
        missing = [field for field in always if field not in row]
        if missing:
            fail(f"row {rows + 1} lacks {missing}")
        if ("run_index" in row) == ("time_name" in row):
            fail(f"row {rows + 1} is neither a run time nor a named time")
        if not isinstance(row["host"], str) or not row["host"]:
            fail(f"row {rows + 1} has no host")
        if not isinstance(row["coverage_complete"], bool):
            fail(f"row {rows + 1} has no coverage verdict")
        if not isinstance(row["coverage_reasons"], list):
            fail(f"row {rows + 1} has no coverage reasons")
        moment = datetime.datetime.fromisoformat(row["datetime"])
        if moment.utcoffset() != datetime.timedelta(0):
            fail(f"row {rows + 1} is not in UTC")
        stamp = moment.replace(tzinfo=datetime.timezone.utc).timestamp()
        if abs(stamp * 1_000_000 - row["timestamp"]) > 1:
            fail(f"row {rows + 1}: timestamp {row['timestamp']} is not {row['datetime']}")
        if not row["message"] or not row["timestamp_desc"]:
            fail(f"row {rows + 1} lacks what a timeline tool shows")
        rows += 1
    if rows == 0:
        fail("no rows")
    print(f"{rows} rows, every field of each among the {len(fields)} the artifact selects")


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "argv":
        for argument in arguments(load(sys.argv[2]))[0]:
            print(argument)
    elif len(sys.argv) == 4 and sys.argv[1] == "rows":
        check_rows(load(sys.argv[2]), sys.argv[3])
    else:
        sys.exit(__doc__)


main()
