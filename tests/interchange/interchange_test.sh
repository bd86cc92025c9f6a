#!/usr/bin/env bash
# The machine-readable outputs as a script that imports them sees them: an
# evidence root with a record of every kind is scanned into the CSV report
# (local time and UTC), the JSON document and the timeline, which Python's
# own parsers read back and compare; then the usage errors of the options.
# Runs the native tool, or with "wine" first the Windows one under Wine.
set -euo pipefail

runner=()
if [ "$1" = wine ]; then
    runner=("$(cd "$(dirname "$0")" && pwd)/../../scripts/wine-run")
    shift
fi
seed=$1     # evidence-seed
report=$2   # tidewell-report
work=$3     # a scratch folder in the build tree
table=$4    # counter-table, which writes the program's own table of counters
here=$(cd "$(dirname "$0")" && pwd)

# The zone's daylight-saving changes are what the local report is tested across.
export TZ=Europe/Berlin
rm -rf "$work"
mkdir -p "$work"

# Paths as the tool under test spells them.
native_path() {
    if [ ${#runner[@]} -eq 0 ]; then echo "$1"; else winepath -w "$1" 2>/dev/null; fi
}
run() { "${runner[@]}" "$@"; }

run "$table" >"$work/counters.tsv"
counters=$work/counters.tsv
run "$seed" "$(native_path "$work/evidence")"
root=$(native_path "$work/evidence")

produce() { # output-file option...
    local out=$1 status=0
    shift
    run "$report" --evidence "$root" "$@" "$(native_path "$out")" >"$work/stdout" \
        2>"$work/stderr" || status=$?
    # One hive is missing and one Prefetch file is damaged: written, incomplete.
    if [ "$status" -ne 3 ]; then
        echo "FAIL: $* gave exit status $status"; cat "$work/stdout" "$work/stderr"; exit 1
    fi
}
produce "$work/local.csv"
produce "$work/utc.csv" --utc
produce "$work/report.json" --format json
produce "$work/timeline.jsonl" --format timeline
produce "$work/explicit.csv" --format csv
cmp "$work/local.csv" "$work/explicit.csv" || { echo "FAIL: --format csv is not the default"; exit 1; }
python3 "$here/check_interchange.py" "$work/local.csv" "$work/utc.csv" "$work/report.json" \
    "$work/timeline.jsonl" "$counters" --seeded

refused() { # expected-message argument...
    local message=$1 status=0
    shift
    run "$report" "$@" >"$work/stdout" 2>"$work/stderr" || status=$?
    if [ "$status" -ne 2 ] || ! grep -qF -e "$message" "$work/stderr"; then
        echo "FAIL: $* gave exit status $status and said:"; cat "$work/stderr"; exit 1
    fi
    if ls "$work"/refused* >/dev/null 2>&1; then
        echo "FAIL: $* left a file"; exit 1
    fi
}
out=$(native_path "$work/refused.json")
refused 'there is no format "xml"' --evidence "$root" --format xml "$out"
refused 'there is no format "JSON"' --evidence "$root" --format JSON "$out"
refused '--utc applies to the csv and programs formats only' --evidence "$root" --format json --utc "$out"
refused '--utc applies to the csv and programs formats only' --utc --format timeline "$out"
refused 'usage: tidewell-report' --evidence "$root" --format "$out"
refused 'usage: tidewell-report' --format json --format csv "$out"
refused 'usage: tidewell-report' --utc --utc "$out"
echo "interchange test passed"
