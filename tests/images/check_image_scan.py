"""An image's JSON document against the same files' folder scan: the same
records (but for where each file lies) and the same counts (but for the
image's own), the image's format said, and the deleted Prefetch file its file
table still lists read as a record of its own, marked deleted, with the run
time and count its bytes hold (read here from the same file's copy)."""
import json
import struct
import sys

image_path, folder_path, form, deleted_copy = sys.argv[1:5]
image = json.load(open(image_path, encoding="utf-8"))
folder = json.load(open(folder_path, encoding="utf-8"))


def fail(message):
    print("FAIL:", image_path, message)
    sys.exit(1)


if image["scanned"]["kind"] != "disk image" or image["scanned"]["image"]["format"] != form:
    fail(f"says it read {image['scanned']['kind']} {image['scanned'].get('image')}")
if image["scanned"]["image"]["file_system"] != "NTFS":
    fail("the volume's file system is not said")


def comparable(record):
    kept = dict(record)
    kept.pop("record_file")
    return json.dumps(kept, sort_keys=True)


live = [r for r in image["records"] if not r.get("deleted_file")]
deleted = [r for r in image["records"] if r.get("deleted_file")]
if sorted(map(comparable, live)) != sorted(map(comparable, folder["records"])):
    fail("records differ from the folder's")
for record in live:
    if record["source"] == "Prefetch" and " :: " not in record["record_file"]:
        fail(f"a record does not say where in the image it lies: {record['record_file']}")

image_counters = image["coverage"]["counters"]
folder_counters = folder["coverage"]["counters"]
own = {"shadow_copies_examined", "shadow_copies_unreadable", "shadow_copy_failures",
       "shadow_copy_only_records", "shadow_copy_run_times_added", "deleted_prefetch_read",
       "deleted_prefetch_unreadable", "image_read_errors"}
for key, value in folder_counters.items():
    if key not in own and image_counters[key] != value:
        fail(f"counter {key}: {image_counters[key]} in the image, {value} in the folder")
if image_counters["deleted_prefetch_read"] != 1 or image_counters["image_read_errors"] != 0:
    fail(f"deleted files and read errors: {image_counters}")

# The deleted file: a version 23 file, its run time at 128, its count at 152.
raw = open(deleted_copy, "rb").read()
run_time, = struct.unpack_from("<Q", raw, 128)
run_count, = struct.unpack_from("<I", raw, 152)
if len(deleted) != 1 or deleted[0]["name"] != "PING.EXE":
    fail(f"deleted records: {[r['name'] for r in deleted]}")
if [t["filetime"] for t in deleted[0]["run_times"]] != [run_time] or \
        deleted[0]["run_count"] != run_count:
    fail(f"the deleted file reads {deleted[0]['run_times']} {deleted[0]['run_count']}")


def check_programs(document):
    """Every record in exactly one program; records joined by their paths
    name one path; runs and users only from records that prove a run."""
    records = document["records"]
    owner = {}
    for program in document["programs"]:
        joined = []
        for join in program["record_joins"]:
            index = join["record"]
            if index in owner:
                fail(f"record {index} stands in programs {owner[index]} and {program['id']}")
            owner[index] = program["id"]
            record = records[index]
            if join["joined"] == "path" and record["path_status"] == "resolved":
                path = record["path"].upper()
                joined.append(path[4:] if path.startswith("\\??\\") else path)
        if len(set(joined)) > 1:
            fail(f"program {program['id']} joins different paths: {sorted(set(joined))}")
        ran = [records[j["record"]] for j in program["record_joins"] if j["proves"] == "ran"]
        runs = [t["filetime"] for record in ran for t in record["run_times"]]
        if (program["last_run"] or {}).get("filetime") != (max(runs) if runs else None):
            fail(f"program {program['id']}'s last run is not that of its records that ran")
        if {u["sid"] for u in program["users"]} != {r["user_sid"] for r in ran if r["user_sid"]}:
            fail(f"program {program['id']}'s users are not those of its records that ran")
    if sorted(owner) != list(range(len(records))):
        fail("not every record stands in one program")
    counts = document["program_counts"]
    if counts["programs"] != len(document["programs"]):
        fail("the program count")
    return counts


image_counts = check_programs(image)
folder_counts = check_programs(folder)
# The deleted file is one more record, of a program of its own or joined by its path.
if image_counts["programs"] - folder_counts["programs"] not in (0, 1):
    fail(f"programs: {image_counts['programs']} in the image, {folder_counts['programs']} in the folder")
print(f"{form}: {len(live)} records as the folder's, the deleted PING.EXE, "
      f"{image_counts['programs']} programs")
