"""A collection's JSON document against plain-folder scans of the same
files. Modes:
  same OUT FOLDER FORM [DEVICE]     the records and counts of the folder's
  merged OUT FOLDER OLDER FORM      the folder's as it is, with a shadow copy
                                    whose files are OLDER's, merged
  damaged OUT FOLDER                one Prefetch member damaged in the zip
  undecodable OUT FOLDER            one Prefetch member's name undecodable"""
import json
import sys
from urllib.parse import unquote

mode, out_path, folder_path = sys.argv[1:4]
rest = sys.argv[4:]
out = json.load(open(out_path, encoding="utf-8"))
folder = json.load(open(folder_path, encoding="utf-8"))
counters = out["coverage"]["counters"]
collection = out["scanned"].get("collection")

# The collection's own counters, and those of its shadow copies.
OWN = {"shadow_copies_examined", "shadow_copies_unreadable", "shadow_copy_failures",
       "shadow_copy_only_records", "shadow_copy_run_times_added",
       "collection_members_unreadable", "collection_names_undecodable",
       "collection_files_not_collected", "collection_metadata_unreadable"}


def fail(message):
    print("FAIL:", out_path, message)
    sys.exit(1)


def comparable(record):
    kept = dict(record)
    kept.pop("record_file")
    return json.dumps(kept, sort_keys=True)


def folder_counters_hold(skip=()):
    for key, value in folder["coverage"]["counters"].items():
        if key not in OWN and key not in skip and counters[key] != value:
            fail(f"counter {key}: {counters[key]} in the collection, {value} in the folder")


def merge_key(record):
    if record["source"] == "Prefetch":
        # The file's own name, as the collector stored it or as the folder has it.
        stored = record["record_file"].replace("\\", "/").split("/")[-1]
        return ("Prefetch", unquote(stored).lower())
    return (record["source"], (record["user_sid"] or record["user_name"]).lower(),
            (record["path"] or record["name"]).lower())


def times(record):
    return {run["filetime"] for run in record["run_times"]}


if out["scanned"]["kind"] != "velociraptor collection" or collection is None:
    fail(f"says it read {out['scanned']['kind']}")

if mode == "same":
    form = rest[0]
    device = rest[1] if len(rest) > 1 else "C:"
    if collection["form"] != form or collection["device"] != device:
        fail(f"says it read {collection['form']} {collection['device']}")
    if sorted(map(comparable, out["records"])) != sorted(map(comparable, folder["records"])):
        fail("records differ from the folder's")
    folder_counters_hold()
    for record in out["records"]:
        where = record["record_file"]
        if record["source"] == "Prefetch" and "uploads" not in where:
            fail(f"a record does not say where in the collection it lies: {where}")
        if form == "zip" and record["source"] == "Prefetch" and " :: uploads/" not in where:
            fail(f"a zipped record does not name its member: {where}")
    if any(copy for copy in out["scanned"].get("copies", [])[1:]) or \
            counters["shadow_copies_examined"] != 0:
        fail("shadow copies read where none was to be")
    print(f"{out_path}: {len(out['records'])} records as the folder's")

elif mode == "merged":
    older = json.load(open(rest[0], encoding="utf-8"))
    copies = out["scanned"]["copies"]
    if [c["label"] for c in copies] != ["current volume", "shadow copy 1"] or \
            not all(c["read"] for c in copies) or \
            "HarddiskVolumeShadowCopy1" not in copies[1]["identifier"]:
        fail(f"the copies: {copies}")
    if counters["shadow_copies_examined"] != 1 or counters["shadow_copy_failures"] != 0:
        fail(f"shadow copy counters: {counters}")
    if counters["collection_files_not_collected"] != 2:
        fail(f"files not collected: {counters['collection_files_not_collected']}")
    if collection["host_name"] != "WKS-WIN732BITA" or collection["host_name_agrees"] is not True:
        fail(f"host name: {collection}")
    if collection["collected_at"]["utc"] != "2026-02-02T02:40:00.0000000Z":
        fail(f"collection time: {collection['collected_at']}")
    # Every record once, and every run time of either state in it.
    expected = {}
    for state, records in ((0, folder["records"]), (1, older["records"])):
        for record in records:
            if record["source"] in ("Prefetch", "UserAssist"):
                entry = expected.setdefault(merge_key(record), [set(), set(), record])
                entry[0].add(state)
                entry[1] |= times(record)
    merged = {merge_key(r): r for r in out["records"] if r["source"] in ("Prefetch", "UserAssist")}
    if set(merged) != set(expected):
        fail(f"programs: {sorted(set(merged) ^ set(expected))[:5]}")
    added = 0
    for key, (states, runs, _) in expected.items():
        record = merged[key]
        if set(record.get("copies") or [0]) != states or times(record) != runs:
            fail(f"{key}: copies {record.get('copies')} and {len(times(record))} run times, "
                 f"expected {sorted(states)} and {len(runs)}")
        if record.get("only_in_shadow_copies") != (states == {1}):
            fail(f"{key}: only in shadow copies {record.get('only_in_shadow_copies')}")
        for run in record["run_times"]:
            if "copy" in run and run["copy"] not in states:
                fail(f"{key}: a run time from a copy that does not hold it")
        added += len(runs) - len(times(next(r for r in folder["records"] if merge_key(r) == key))) \
            if 0 in states else 0
    cmd = merged[("Prefetch", "cmd.exe-087b4001.pf")]
    if cmd["copies"] != [0, 1] or not any(run.get("copy") == 1 for run in cmd["run_times"]):
        fail(f"the older CMD.EXE Prefetch file is not merged: {cmd['run_times']}")
    if not merged[("Prefetch", "ping.exe-b29f6629.pf")]["only_in_shadow_copies"]:
        fail("the Prefetch file deleted since is not kept")
    if not any(k[0] == "UserAssist" and 1 in expected[k][0] and 0 not in expected[k][0]
               for k in expected):
        fail("alice's older hive gives no record of its own")
    print(f"{out_path}: current and shadow copy merged ({len(merged)} programs, "
          f"{counters['shadow_copy_only_records']} only in the copy, "
          f"{counters['shadow_copy_run_times_added']} run times added)")

elif mode == "damaged":
    if counters["collection_members_unreadable"] != 1 or counters["prefetch_unreadable"] != 1:
        fail(f"the damaged member: {counters}")
    if out["coverage"]["complete"] or not any(
            "collection member" in reason for reason in out["coverage"]["reasons"]):
        fail(f"the damage is not said: {out['coverage']['reasons']}")
    lost = [r for r in folder["records"] if merge_key(r) == ("Prefetch", "cmd.exe-087b4001.pf")]
    kept = [r for r in folder["records"] if r not in lost]
    if len(lost) != 1 or sorted(map(comparable, out["records"])) != sorted(map(comparable, kept)):
        fail("the other records are not all there")
    # Its record lost, and what it alone would have counted.
    folder_counters_hold({"prefetch_unreadable", "prefetch_parsed", "volumes_not_identified"})
    print(f"{out_path}: the damaged member counted, the other records read")

elif mode == "undecodable":
    if counters["collection_names_undecodable"] != 1:
        fail(f"names undecodable: {counters['collection_names_undecodable']}")
    extra = [r for r in out["records"] if r["record_file"].endswith("CALC%ZZ.pf")]
    if len(extra) != 1 or extra[0]["name"] != "CALC.EXE":
        fail("the file under an undecodable name is not read")
    if len(out["records"]) != len(folder["records"]) + 1:
        fail("records lost beside it")
    print(f"{out_path}: the undecodable name counted and its file read")
else:
    fail(f"no mode {mode}")
