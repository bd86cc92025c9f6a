"""Parses back the four outputs of one scan with Python's own parsers and
checks that they say the same: the CSV report in local time and in UTC, the
JSON document and the JSON Lines timeline.

Usage: check_interchange.py LOCAL.csv UTC.csv REPORT.json TIMELINE.jsonl COUNTER-TABLE [--seeded]

The times of the local report are compared with the UTC ones converted by
Python's own zone rules for the TZ the scan ran under. With --seeded the
outputs come from evidence-seed, and the odd names it writes must come back
unit for unit, and its run times must cross a daylight-saving change.
"""
import csv
import datetime
import io
import json
import sys

FILETIME_UNIX_EPOCH = 116444736000000000  # 1970-01-01 in 100 ns ticks since 1601


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def counter_table(path):
    """(key, report label, which reports list it, the source whose presence
    line it follows) for each counter, as the program's own table gives them
    (written by its counter-table tool), so that this check cannot drift."""
    entries = []
    for line in open(path, encoding="utf-8").read().splitlines():
        if line.strip():
            key, _failure, kind, owner, label = line.split("\t", 4)
            entries.append((key, label, kind, None if owner == "-" else owner))
    if len(entries) < 29:
        fail(f"the counter table in {path} could not be read")
    return entries


# What each source's times mean on the timeline, and for the sources whose
# times are not runs, the members of a record they stand in, in order.
RUN_MEANINGS = {"Prefetch": "Prefetch: program run", "UserAssist": "UserAssist: last shell launch",
                "BAM/DAM": "BAM/DAM: last run", "PCA": "PCA: last launch",
                "RunMRU": "RunMRU: newest command typed into Run",
                "RecentApps": "RecentApps: last launch"}
NAMED_TIMES = {
    "AppCompatCache": [("cache_file_modified", "AppCompatCache: file modified")],
    "Amcache": [("entry_last_written", "Amcache: entry last written"),
                ("amcache_file_modified", "Amcache: file modified"),
                ("amcache_file_created", "Amcache: file created"),
                ("link_time", "Amcache: file linked (its PE header's date)")],
    "FeatureUsage": [("feature_usage_key_written", None)],
    "MUICache": [("mui_cache_key_written", "MUICache: key last written")],
    "Compatibility store": [("compatibility_store_key_written",
                             "Compatibility Assistant store: key last written")],
    "PCA": [("pca_event_time", "PCA: event of a started program (such as its abnormal exit)")],
}
COUNTS_RUNS = {"Prefetch", "UserAssist", "RecentApps"}


def read_csv(path):
    raw = open(path, "rb").read()
    if not raw.startswith(b"\xff\xfe"):
        fail(f"{path}: no UTF-16LE byte-order mark")
    # surrogatepass keeps a lone surrogate as the unit it is.
    text = raw[2:].decode("utf-16-le", errors="surrogatepass")
    lines = text[:-2].split("\r\n")
    blank = lines.index("")
    header, rows = lines[:blank], lines[blank + 2:]
    return header, list(csv.reader(io.StringIO("\n".join(rows))))


def header_values(header):
    values = {}
    for line in header[1:]:
        name, _, value = line[2:].rpartition(",")
        if name:
            values[name] = value
    return values


def filetime_to_datetime(value, zone):
    moment = datetime.datetime(1601, 1, 1, tzinfo=datetime.timezone.utc) + \
        datetime.timedelta(microseconds=value // 10)
    return moment.astimezone(zone)


def shown(value, zone):
    return filetime_to_datetime(value, zone).strftime("%Y-%m-%d %H:%M:%S")


def iso_utc(value):
    """ISO 8601 to the FILETIME's 100 ns, as the JSON document gives it."""
    moment = filetime_to_datetime(value, datetime.timezone.utc)
    return moment.strftime("%Y-%m-%dT%H:%M:%S.") + f"{value % 10000000:07d}Z"


def yes_no(flag, unknown="not known"):
    """A fact's word in the CSV header; null in the JSON when not established."""
    if flag is None:
        return unknown
    return "yes" if flag else "no"


def check_coverage(header, document, table, zone):
    values = header_values(header)
    coverage = document["coverage"]
    facts = coverage["facts"]
    evidence = header[1].startswith("# Evidence folder,")
    if evidence != (document["scanned"]["kind"] in ("evidence root", "disk image")):
        fail("the CSV and the JSON disagree on what was scanned")
    if evidence and values["Evidence folder"] != document["scanned"]["evidence_folder"]:
        fail("the evidence folder")
    machine = "the examined machine" if evidence else "this machine"
    # The examiner's own process is no fact of an examined machine.
    if evidence and facts["elevated"] is not None:
        fail("an evidence scan states this machine's elevation")
    retention = facts["prefetch_retention_limit"]
    expected = {
        "Elevated": yes_no(facts["elevated"], "not applicable"),
        "Prefetch enabled": yes_no(facts["prefetch_enabled"]),
        "Prefetch directory readable": yes_no(facts["prefetch_dir_readable"]),
        "Prefetch retains at most": "not known" if retention is None else
            f'{retention} files (older ones are evicted)',
        "EnablePrefetcher value present": yes_no(facts["enable_prefetcher_present"]),
        f"Result is a complete picture of {machine}": yes_no(coverage["complete"]),
    }
    if facts["enable_prefetcher_present"] is None:
        expected["EnablePrefetcher raw value"] = "not known"
    elif facts["enable_prefetcher_present"]:
        expected["EnablePrefetcher raw value"] = str(facts["enable_prefetcher_value"])
    elif facts["enable_prefetcher_value"] is None:
        expected["EnablePrefetcher raw value"] = "not applicable"
    if facts["span_known"]:
        expected["Surviving records span"] = (
            shown(facts["span_oldest"]["filetime"], zone) + " to " +
            shown(facts["span_newest"]["filetime"], zone))
        for end in ("span_oldest", "span_newest"):
            if facts[end]["utc"] != iso_utc(facts[end]["filetime"]):
                fail(f"{end}: {facts[end]['utc']} is not its FILETIME")
    elif facts["span_oldest"] is not None:
        fail("a span without its moments known gives them")
    for name, value in expected.items():
        if values.get(name) != value:
            fail(f"header {name!r}: CSV {values.get(name)!r}, JSON says {value!r}")
    counters = coverage["counters"]
    if len(counters) != len(table):
        fail(f"{len(counters)} counters in the JSON, {len(table)} in the table")
    image = document["scanned"]["kind"] == "disk image"
    collection = document["scanned"]["kind"] == "velociraptor collection"
    # Whether a counter's line is one this kind of scan lists.
    listed = {"Image": image, "Copies": image or collection, "Collection": collection}
    presence = {entry["source"]: entry["presence"] for entry in document["scanned"]["sources"]}
    for key, label, line, owner in table:
        if line == "Source" and not evidence and presence[owner] == "not present":
            if counters[key] != 0 or label in values or owner in values:
                fail(f"{key} counted or listed for a source this machine does not keep")
            continue
        if line == "Source" and values.get(owner, "").split(" (")[0].split(" - ")[0] != \
                presence[owner]:
            fail(f"{owner}: CSV says {values.get(owner)!r}, JSON {presence[owner]!r}")
        if line in listed and not listed[line]:
            if counters[key] != 0:
                fail(f"{key} counted where it cannot be ({document['scanned']['kind']})")
            if label in values:
                fail(f"{key} listed in a report of {document['scanned']['kind']}")
        elif line == "Evidence" and not evidence:
            if counters[key] != 0:
                fail(f"{key} counted on this machine")
            if label in values:
                fail(f"{key} listed in a report of this machine")
        elif line == "NotInLiveCsv" and not evidence:
            if label in values:
                fail(f"{key} listed in the CSV report of this machine")
        elif int(values.get(label, -1)) != counters[key]:
            fail(f"counter {key}: CSV {values.get(label)!r}, JSON {counters[key]}")
    reasons = coverage["reasons"]
    if coverage["complete"] != (not reasons):
        fail("complete, yet reasons against it (or the other way round)")


def check_records(rows, document, zone):
    records = document["records"]
    runs_are_times = {entry["source"]: entry["times_are_runs"]
                      for entry in document["scanned"]["sources"]}
    if len(rows) != len(records):
        fail(f"{len(rows)} CSV lines, {len(records)} JSON records")
    for row, record in zip(rows, records):
        times = [run["filetime"] for run in record["run_times"]]
        prefetch = record["source"] == "Prefetch"
        focus = record["has_focus"]
        runs = runs_are_times[record["source"]]
        if not runs and times:
            fail(f"{record['name']}: run times from a source whose times are no runs")
        count = "" if record["source"] not in COUNTS_RUNS else \
            "unverified" if record["run_count"] is None else str(record["run_count"])
        expected = [
            record["source"], record["name"], record["path"], record["path_status"],
            count,
            "" if not runs else shown(times[0], zone) if times else "not recorded",
            " | ".join(shown(time, zone) for time in times),
            record["user_name"], record["user_sid"],
            str(record["focus_count"]) if focus else "",
            f'{record["focus_milliseconds"] / 1000:.1f}' if focus else "",
            str(record["format_version"]) if prefetch else "",
            record["path_hash"] if prefetch else "",
            str(len(record["referenced_files"])) if prefetch else "",
            record["record_file"],
        ]
        if row != expected:
            fail(f"a record differs:\n  CSV  {row!r}\n  JSON {expected!r}")
        if (record["run_count"] is None) == record["run_count_known"]:
            fail(f"{record['name']}: a withheld count must be null, a known one a number")
        for run in record["run_times"]:
            if run["utc"] != iso_utc(run["filetime"]):
                fail(f"{record['name']}: {run['utc']} is not {run['filetime']}")
        if prefetch:
            if len(record["volumes"]) > record["volume_count"]:
                fail(f"{record['name']}: more volumes than the file counts")
        elif any(record[field] is not None for field in (
                "referenced_files", "volumes", "recorded_path", "format_version")):
            fail(f"{record['name']}: a Prefetch field given for another source's record")


def check_utc_report(local_header, local_rows, utc_header, utc_rows, document):
    utc = datetime.timezone.utc
    if utc_header[:1] != local_header[:1] or "# Times are in,UTC" not in utc_header:
        fail("the UTC report must say so in its header")
    if [line for line in utc_header if line != "# Times are in,UTC"] != [
            line if not line.startswith("# Surviving records span,") else
            "# Surviving records span," + shown(document["coverage"]["facts"]["span_oldest"][
                "filetime"], utc) + " to " + shown(document["coverage"]["facts"]["span_newest"][
                    "filetime"], utc) for line in local_header]:
        fail("the UTC report's header differs from the local one by more than its times")
    check_records(utc_rows, document, utc)
    if len(local_rows) != len(utc_rows) or any(
            a[:5] + a[7:] != b[:5] + b[7:] for a, b in zip(local_rows, utc_rows)):
        fail("the UTC report's records differ by more than their times")


def check_timeline(path, document):
    coverage = document["coverage"]
    expected = []
    for record in document["records"]:
        for index, run in enumerate(record["run_times"]):
            expected.append((record, index, run["filetime"], RUN_MEANINGS[record["source"]],
                             None))
        for member, meaning in NAMED_TIMES.get(record["source"], []):
            if record[member] is not None:
                if meaning is None:  # named by the record's own key
                    meaning = f"FeatureUsage: {record['feature_usage_key']} key last written"
                expected.append((record, None, record[member]["filetime"], meaning, member))
    raw = open(path, "rb").read()
    lines = raw.decode("utf-8", errors="strict").split("\n")
    if lines[-1] != "" or "" in lines[:-1]:
        fail("the timeline must be one object per line, each line ending in LF")
    events = [json.loads(line) for line in lines[:-1]]
    if len(events) != len(expected):
        fail(f"{len(events)} events for {len(expected)} recorded times")
    for event, (record, index, filetime, meaning, member) in zip(events, expected):
        for field in ("message", "datetime", "timestamp", "timestamp_desc"):
            if field not in event:
                fail(f"an event without {field}")
        moment = datetime.datetime.fromisoformat(event["datetime"])
        if moment.utcoffset() != datetime.timedelta(0) or not event["datetime"].endswith("+00:00"):
            fail(f"{event['datetime']} is not UTC")
        since = (moment - datetime.datetime(1970, 1, 1, tzinfo=datetime.timezone.utc))
        if event["timestamp"] != since // datetime.timedelta(microseconds=1):
            fail(f"timestamp {event['timestamp']} disagrees with {event['datetime']}")
        if event["timestamp"] != (filetime - FILETIME_UNIX_EPOCH) // 10 or \
                event["filetime"] != filetime:
            fail(f"timestamp {event['timestamp']} is not the run time {filetime}")
        if event["timestamp_desc"] != meaning:
            fail(f"timestamp_desc {event['timestamp_desc']!r}, not {meaning!r}")
        if record["name"] not in event["message"] or (
                record["path"] and record["path"] not in event["message"]):
            fail(f"the message does not say what ran from where: {event['message']!r}")
        if record["source"] == "UserAssist" and record["user_name"] and \
                record["user_name"] not in event["message"]:
            fail(f"the message does not say for whom: {event['message']!r}")
        for field in ("source", "name", "path", "path_status", "run_count", "user_name",
                      "user_sid", "focus_count", "focus_milliseconds", "format_version",
                      "path_hash", "record_file", "recorded_path", "run_times_out_of_order",
                      "folder_at_default"):
            if event[field] != record[field]:
                fail(f"event field {field}: {event[field]!r}, the record has {record[field]!r}")
        if member is not None:
            if event.get("time_name") != member or "run_index" in event:
                fail(f"a {member} event must name its time and claim no run")
        elif event["run_index"] != index + 1 or event["run_times_recorded"] != len(
                record["run_times"]):
            fail("the event's place among the record's run times")
        if event["coverage_complete"] != coverage["complete"] or \
                event["coverage_reasons"] != coverage["reasons"]:
            fail("an event without the scan's coverage verdict")
        if event["host"] != document["scanned"]["host"] or \
                event["evidence_folder"] != document["scanned"]["evidence_folder"]:
            fail("an event that does not name the host")
    return events


def check_run_order(document):
    """A Prefetch record is marked out of order exactly when its run times,
    as recorded, do not stand newest first; the counter counts them."""
    marked = 0
    for record in document["records"]:
        flag = record["run_times_out_of_order"]
        if record["source"] != "Prefetch":
            if flag is not None:
                fail("a record of another source with a Prefetch file's run order")
            continue
        times = [t["filetime"] for t in record["run_times"]]
        if flag != (times != sorted(times, reverse=True)):
            fail(f"{record['name']}: run order flag {flag} for {times}")
        marked += 1 if flag else 0
    if marked != document["coverage"]["counters"]["prefetch_run_times_out_of_order"]:
        fail("the out-of-order counter is not the records marked so")


def check_seeded(rows, document, events, utc_rows):
    names = {record["name"] for record in document["records"]}
    paths = {record["path"] for record in document["records"]}
    odd = ["lone\ud800surrogate.exe", "tab\there\x01bell\x07end.exe",
           "na\u00efve caf\u00e9 \u65e5\u672c \U0001F600.exe"]
    for name in odd:
        if name not in names:
            fail(f"the JSON lost the name {name!r}")
        if not any(row[1] == name for row in rows):
            fail(f"the CSV lost the name {name!r}")
        if not any(event["name"] == name for event in events):
            fail(f"the timeline lost the name {name!r}")
    if not any(path.startswith('C:\\Tools\\say "hi"\\') for path in paths):
        fail("quotes and backslashes of a path were not kept")
    kinds = {
        "a withheld count": any(r["run_count"] is None for r in document["records"]),
        "no run time": any(not r["run_times"] for r in document["records"]),
        "eight run times": any(len(r["run_times"]) == 8 for r in document["records"]),
        "several paths": any(r["path_status"] == "several possible paths"
                             for r in document["records"]),
        "an unresolved folder id": any(r["path_status"] == "folder id unresolved"
                                       for r in document["records"]),
        "a recorded path": any(r["recorded_path"] for r in document["records"]
                               if r["source"] == "Prefetch"),
        "run times out of time order": any(r["run_times_out_of_order"]
                                           for r in document["records"]),
        "a BAM/DAM last run": any(r["source"] == "BAM/DAM" and r["run_times"]
                                  for r in document["records"]),
        "a compatibility cache entry": any(r["source"] == "AppCompatCache"
                                           for r in document["records"]),
        "an Amcache entry of each layout": {r["amcache_layout"] for r in document["records"]
                                            if r["source"] == "Amcache"} ==
        {"InventoryApplicationFile", "File"},
    }
    for kind, present in kinds.items():
        if not present:
            fail(f"the seeded scan has no record with {kind}")
    # Somewhere two runs an hour apart in UTC must be two hours, or none,
    # apart in local time: the times crossed a daylight-saving change.
    crossed = False
    for local, utc in zip(rows, utc_rows):
        local_times = [datetime.datetime.fromisoformat(t) for t in local[6].split(" | ") if t]
        utc_times = [datetime.datetime.fromisoformat(t) for t in utc[6].split(" | ") if t]
        for i in range(len(utc_times) - 1):
            if (utc_times[i] - utc_times[i + 1]) != (local_times[i] - local_times[i + 1]):
                crossed = True
    if not crossed:
        fail("no run times across a daylight-saving change (is TZ set to a zone with one?)")


def check_programs(header, document, events, seeded):
    """Every record in exactly one program, the counts as the header and the
    document both state them, each event naming its record's program, and
    runs and users taken only from records that prove a run."""
    records = document["records"]
    programs = document["programs"]
    owner = {}
    for program in programs:
        if [join["record"] for join in program["record_joins"]] != program["records"]:
            fail(f"program {program['id']} lists its records twice differently")
        for index in program["records"]:
            if index in owner:
                fail(f"record {index} stands in two programs")
            owner[index] = program["id"]
        ran = [records[i] for i, join in zip(program["records"], program["record_joins"])
               if join["proves"] == "ran"]
        runs = [run["filetime"] for record in ran for run in record["run_times"]]
        last = program["last_run"]
        if (last is None) != (not runs) or (runs and last["filetime"] != max(runs)):
            fail(f"program {program['id']}'s last run is not its latest recorded run")
        sids = {record["user_sid"] for record in ran if record["user_sid"]}
        if {user["sid"] for user in program["users"]} != sids:
            fail(f"program {program['id']}'s users are not those of its records that ran")
        if not ran and "present_only" not in program["flags"]:
            fail(f"program {program['id']} was never recorded running but is not flagged")
    if sorted(owner) != list(range(len(records))):
        fail("not every record stands in a program")
    counts = document["program_counts"]
    values = header_values(header)
    if counts["programs"] != len(programs) or int(values["Programs"]) != len(programs):
        fail("the program count")
    if int(values["Volumes proven by Prefetch hash"]) != counts["volumes_proven_by_prefetch_hash"]:
        fail("the CSV and the JSON disagree on the volumes proven")
    # Events come in record order, one per recorded time.
    at = 0
    for index, record in enumerate(records):
        times = len(record["run_times"]) + sum(
            1 for member, _ in NAMED_TIMES.get(record["source"], []) if record[member] is not None)
        for event in events[at:at + times]:
            if event["program"] != owner[index]:
                fail(f"an event of record {index} names program {event['program']}")
        at += times
    if not seeded:
        return
    def program_with(source, name):
        for program in programs:
            for join in program["record_joins"]:
                record = records[join["record"]]
                if record["source"] == source and record["name"] == name:
                    return program
        fail(f"no program holds the {source} record {name}")
    shell = program_with("Prefetch", "POWERSHELL.EXE")
    if [j["source"] for j in shell["record_joins"]] != ["Prefetch", "BAM/DAM", "FeatureUsage"]:
        fail("PowerShell's Prefetch file, its BAM value and its jump list are one program")
    if [j["proves"] for j in shell["record_joins"]] != ["ran", "ran", "interacted"]:
        fail(f"an opened jump list proves the user used PowerShell: {shell['record_joins']}")
    if shell["record_joins"][1]["joined"] != "Prefetch hash":
        fail("PowerShell's BAM value joins by the hash of its device path")
    tool = program_with("Amcache", "tool.exe")
    if sorted(j["source"] for j in tool["record_joins"]) != ["Amcache", "AppCompatCache",
                                                              "BAM/DAM", "RunMRU"]:
        fail(f"bob's tool.exe: {tool['record_joins']}")
    if tool["path"] != "C:\\Users\\bob\\Downloads\\tool.exe" or \
            "\\DEVICE\\HARDDISKVOLUME3 is C:" not in tool["placed"]:
        fail(f"bob's tool.exe is placed on C: and says how: {tool['path']} {tool['placed']}")
    if tool["sha1"] != ["7777777777777777777777777777777777777777"] or tool["ran_per"] is None:
        fail("bob's tool.exe keeps Amcache's SHA-1 and its BAM run")
    calculator = program_with("BAM/DAM", "Microsoft.WindowsCalculator_8wekyb3d8bbwe")
    if len(calculator["records"]) != 3:
        fail("the calculator's BAM value, cache entry and taskbar count join by package family")
    folder = program_with("UserAssist", "tool.exe")
    if folder["record_joins"][0]["joins"] or len(folder["records"]) != 1:
        fail("a path under a folder id not placed joins nothing")
    if counts["volumes_proven_by_prefetch_hash"] != 1:
        fail("one volume is proven by Prefetch hash")


def main():
    if len(sys.argv) not in (6, 7):
        fail(__doc__)
    local_path, utc_path, json_path, timeline_path, table_path = sys.argv[1:6]
    seeded = sys.argv[6:] == ["--seeded"]
    table = counter_table(table_path)
    local_header, local_rows = read_csv(local_path)
    utc_header, utc_rows = read_csv(utc_path)
    raw = open(json_path, "rb").read()
    if raw.startswith(b"\xef\xbb\xbf"):
        fail("JSON must not begin with a byte-order mark")
    document = json.loads(raw.decode("utf-8", errors="strict"))
    if document["tool"]["name"] != "Tidewell" or not document["tool"]["version"]:
        fail("the tool and its version")
    check_coverage(local_header, document, table, None)
    check_records(local_rows, document, None)
    check_run_order(document)
    check_utc_report(local_header, local_rows, utc_header, utc_rows, document)
    events = check_timeline(timeline_path, document)
    check_programs(local_header, document, events, seeded)
    if seeded:
        check_seeded(local_rows, document, events, utc_rows)
    print(f"interchange ok: {len(local_rows)} records, {len(events)} events, "
          f"complete: {document['coverage']['complete']}")


main()
