#!/usr/bin/env bash
# An evidence folder laid out to mislead or hang the examiner's tool, read by
# the command-line tool as an examiner runs it: a named pipe and a link to a
# device where Prefetch files belong, a Prefetch file and a user's hive that
# are links to sound files outside the evidence, links in a loop, and the
# SYSTEM hive replaced by a pipe. The scan must end promptly, read nothing
# outside the folder, and count and say every such entry.
# Runs the native tool, or with "wine" first the Windows one under Wine.
set -euo pipefail

runner=()
if [ "$1" = wine ]; then
    runner=("$(cd "$(dirname "$0")" && pwd)/../../scripts/wine-run")
    shift
fi
seed=$1   # evidence-seed
report=$2 # tidewell-report
work=$3   # a scratch folder in the build tree

rm -rf "$work"
mkdir -p "$work/outside"
native_path() {
    if [ ${#runner[@]} -eq 0 ]; then echo "$1"; else winepath -w "$1" 2>/dev/null; fi
}
run() { "${runner[@]}" "$@"; }

run "$seed" "$(native_path "$work/evidence")"
drive="$work/evidence/C"
prefetch="$drive/Windows/Prefetch"
mkfifo "$prefetch/PIPE.EXE-00000001.pf"
ln -s /dev/zero "$prefetch/ZERO.EXE-00000002.pf"
mv "$prefetch/MSPAINT.EXE-5D2A6F01.pf" "$work/outside/"
ln -s "$work/outside/MSPAINT.EXE-5D2A6F01.pf" "$prefetch/MSPAINT.EXE-5D2A6F01.pf"
ln -s LOOPB-00000004.pf "$prefetch/LOOPA-00000003.pf"
ln -s LOOPA-00000003.pf "$prefetch/LOOPB-00000004.pf"
mv "$drive/Windows/System32/config/SYSTEM" "$work/outside/SYSTEM"
mkfifo "$drive/Windows/System32/config/SYSTEM"
mv "$drive/Users/bob/NTUSER.DAT" "$work/outside/NTUSER.DAT"
ln -s "$work/outside/NTUSER.DAT" "$drive/Users/bob/NTUSER.DAT"

status=0
timeout 120 "${runner[@]}" "$report" --evidence "$(native_path "$work/evidence")" \
    --format json "$(native_path "$work/report.json")" >"$work/stdout" 2>"$work/stderr" ||
    status=$?
if [ "$status" -ne 3 ]; then
    echo "FAIL: exit status $status (124: it hung)"; cat "$work/stdout" "$work/stderr"; exit 1
fi

python3 - "$work/report.json" <<'PYTHON'
import json
import sys

document = json.load(open(sys.argv[1], encoding="utf-8"))
counters = document["coverage"]["counters"]
refused = document["scanned"]["refused_entries"]
hives = document["scanned"]["hives"]


def fail(message):
    print("FAIL:", message)
    print(json.dumps(document["scanned"], indent=1))
    sys.exit(1)


def refusal(name):
    for entry in refused:
        if entry["path"].replace("\\", "/").endswith("/" + name):
            return entry["why"]
    return None


if any(record["name"] == "MSPAINT.EXE" for record in document["records"]):
    fail("a Prefetch file outside the evidence was read")
for name, why in (("PIPE.EXE-00000001.pf", "named pipe"),
                  ("ZERO.EXE-00000002.pf", "leads out of the evidence"),
                  ("MSPAINT.EXE-5D2A6F01.pf", "leads out of the evidence")):
    if why not in (refusal(name) or ""):
        fail(f"{name}: refused for {refusal(name)!r}, not for what it is")
# A link that leads round in a loop is refused as one, where the listing
# shows it at all (Wine's does not).
for name in ("LOOPA-00000003.pf", "LOOPB-00000004.pf"):
    if refusal(name) is not None and "loop" not in refusal(name):
        fail(f"{name}: refused for {refusal(name)!r}")
refused_prefetch = sum(1 for entry in refused if entry["path"].endswith(".pf"))
if counters["prefetch_unreadable"] != refused_prefetch:
    fail(f"{counters['prefetch_unreadable']} unreadable, {refused_prefetch} refused")
if counters["prefetch_seen"] != counters["prefetch_parsed"] + counters["prefetch_unreadable"] + \
        counters["prefetch_decompress_failed"] + counters["prefetch_not_prefetch"] + \
        counters["prefetch_malformed"] + counters["prefetch_unknown_version"]:
    fail("a Prefetch entry without its one outcome")

by_hive = {(hive["hive"], hive["user_name"]): hive for hive in hives}
system = by_hive.get(("SYSTEM", None))
if system is None or system["outcome"] != "unreadable" or "named pipe" not in system["why"]:
    fail(f"SYSTEM: {system}")
if counters["system_hives_unreadable"] != 1:
    fail("the SYSTEM pipe is not counted")
bob = by_hive.get(("NTUSER.DAT", "bob"))
if bob is None or bob["outcome"] != "unreadable" or "leads out" not in bob["why"]:
    fail(f"bob: {bob}")
if counters["hives_unreadable"] != 1:
    fail("bob's hive is not counted unreadable")
print(f"hostile evidence ok: {len(refused)} entries refused, "
      f"{counters['prefetch_parsed']} Prefetch files read")
PYTHON
