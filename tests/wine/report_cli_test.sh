#!/usr/bin/env bash
# tidewell-report.exe as a responder's script runs it, under Wine on a prefix
# this test prepares: first a machine where every source is complete (exit
# 0), then the same machine with a damaged Prefetch file, another user's
# loaded hive and profiles that are not loaded (exit 3), then destinations
# that cannot be written (exit 1, nothing left behind).
set -euo pipefail

exe=$1      # the built tidewell-report.exe
corpus=$2   # the shared corpus folder
work=$3     # a scratch folder in the build tree
table=$4    # counter-table.exe, which writes the program's own table of counters
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../scripts/wine-run"

if [ ! -d "$corpus/prefetch" ] || [ ! -d "$corpus/userassist-reg" ]; then
    echo "corpus folder $corpus is absent; the command-line test needs its files (skipped)"
    exit 77 # ctest's skip code for this test
fi

rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all

wine_quiet() { "$wine_run" "$@" >/dev/null 2>&1; }

# The prefix comes up on first use. Then one server for the whole test: the
# other user's hive loaded below lives only in the server's memory, and a
# server that exits between two runs would take it away.
wine_quiet cmd /c exit 0
counters=$work/counters.tsv
"$wine_run" "$table" >"$counters" 2>/dev/null
wineserver -w
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
prefetch="$WINEPREFIX/drive_c/windows/Prefetch"
mkdir -p "$prefetch"
index=0
find "$corpus/prefetch" -type f -name '*.pf' ! -path '*/Bad/*' | sort | while read -r file; do
    index=$((index + 1))
    cp "$file" "$prefetch/$index-$(basename "$file")"
done
wine_quiet regedit /S "$(winepath -w "$corpus/userassist-reg/regipy-NTUSER.reg" 2>/dev/null)"

check() { # expected-status report-path
    local expected=$1 report=$2
    local output status=0
    output=$("$wine_run" "$exe" "$(winepath -w "$report" 2>/dev/null)" 2>"$work/stderr") || status=$?
    echo "$output"
    if [ "$status" -ne "$expected" ]; then
        echo "FAIL: exit status $status, expected $expected"; cat "$work/stderr"; exit 1
    fi
    python3 "$here/check_report.py" "$report" "$output" "$expected" "$counters"
}

echo "-- a complete machine"
check 0 "$work/complete.csv"

echo "-- a damaged file, another user's hive, profiles not loaded"
cp "$corpus/prefetch/EZ-Prefetch/Bad/notAPrefetch.pf" "$prefetch/"
sed 's/^\[HKEY_CURRENT_USER/[HKEY_USERS\\S-1-5-21-111-222-333-1002/' \
    "$corpus/userassist-reg/plaso-NTUSER-WIN7.reg" > "$work/other-user.reg"
wine_quiet regedit /S "$(winepath -w "$work/other-user.reg" 2>/dev/null)"
for sid in S-1-5-21-111-222-333-1002 S-1-5-21-111-222-333-1003; do
    wine_quiet reg add "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\$sid" /f
done
check 3 "$work/partial.csv"

echo "-- the same machine in UTC, as one JSON document and as a timeline"
for form in "utc.csv --utc" "report.json --format json" "timeline.jsonl --format timeline"; do
    set -- $form
    file=$1
    shift
    status=0
    "$wine_run" "$exe" "$@" "$(winepath -w "$work/$file" 2>/dev/null)" >/dev/null \
        2>"$work/stderr" || status=$?
    [ "$status" -eq 3 ] || { echo "FAIL: $* gave exit status $status"; cat "$work/stderr"; exit 1; }
done
python3 "$here/../interchange/check_interchange.py" "$work/partial.csv" "$work/utc.csv" \
    "$work/report.json" "$work/timeline.jsonl" "$counters"

echo "-- the records Windows keeps beside them, in this machine's registry and files"
# A moderator's values for the running user, a Windows 10 compatibility
# cache (the corpus's), and the corpus's Amcache with its logs.
python3 - "$corpus/sources/appcompatcache/EZ-AppCompatCacheParser/Win10.bin" \
    "$work/programs.reg" <<'PYTHON'
import struct, sys
cache = open(sys.argv[1], "rb").read()
def hexed(data):
    # Wrapped as regedit writes it: 25 bytes a line, a backslash to go on.
    pieces = [",".join(f"{b:02x}" for b in data[at:at + 25]) for at in range(0, len(data), 25)]
    return ",\\\r\n  ".join(pieces)
bam = struct.pack("<QQII", 133500000000000000, 0, 0, 2)
key = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\bam\\State\\UserSettings\\S-1-5-21-111-222-333-1001"
lines = ["Windows Registry Editor Version 5.00", "",
         f"[{key}]",
         f'"\\\\Device\\\\HarddiskVolume1\\\\Windows\\\\System32\\\\cmd.exe"=hex:{hexed(bam)}',
         f'"Microsoft.WindowsCalculator_8wekyb3d8bbwe"=hex:{hexed(bam)}',
         '"Version"=dword:00000001', "",
         "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\AppCompatCache]",
         f'"AppCompatCache"=hex:{hexed(cache)}', ""]
open(sys.argv[2], "w", encoding="utf-16").write("\r\n".join(lines))
PYTHON
wine_quiet regedit /S "$(winepath -w "$work/programs.reg" 2>/dev/null)"
programs="$WINEPREFIX/drive_c/windows/AppCompat/Programs"
mkdir -p "$programs"
cp "$corpus/sources/amcache/DFIRArtifactMuseum/Win10-APTSimulatorVM/"Amcache.hve* "$programs/"
status=0
"$wine_run" "$exe" --format json "$(winepath -w "$work/programs.json" 2>/dev/null)" \
    >/dev/null 2>"$work/stderr" || status=$?
[ "$status" -eq 3 ] || { echo "FAIL: exit status $status"; cat "$work/stderr"; exit 1; }
python3 - "$work/programs.json" <<'PYTHON'
import json, sys
document = json.load(open(sys.argv[1], encoding="utf-8"))
presence = {s["source"]: s["presence"] for s in document["scanned"]["sources"]}
counts = {}
for record in document["records"]:
    counts[record["source"]] = counts.get(record["source"], 0) + 1
expected = {"BAM/DAM": 2, "AppCompatCache": 350, "Amcache": 123}
for source, count in expected.items():
    if presence[source] != "read" or counts.get(source) != count:
        sys.exit(f"FAIL: {source} {presence[source]} with {counts.get(source)} records")
counters = document["coverage"]["counters"]
if counters["bam_bookkeeping_skipped"] != 1 or counters["amcache_stale"] != 1:
    sys.exit("FAIL: the bookkeeping value, or the Amcache read as it stands, not counted")
print("this machine's BAM/DAM, compatibility cache and Amcache read under Wine")
PYTHON
for form in "programs.csv" "programs-utc.csv --utc" "programs.jsonl --format timeline"; do
    set -- $form
    file=$1
    shift
    status=0
    "$wine_run" "$exe" "$@" "$(winepath -w "$work/$file" 2>/dev/null)" >/dev/null \
        2>"$work/stderr" || status=$?
    [ "$status" -eq 3 ] || { echo "FAIL: $* gave exit status $status"; cat "$work/stderr"; exit 1; }
done
python3 "$here/../interchange/check_interchange.py" "$work/programs.csv" \
    "$work/programs-utc.csv" "$work/programs.json" "$work/programs.jsonl" "$counters"

echo "-- a pipeline: every form to standard output, the summary to standard error"
for form in "programs-utc.csv --utc" "programs.jsonl --format timeline"; do
    set -- $form
    file=$1
    shift
    status=0
    "$wine_run" "$exe" "$@" - >"$work/piped-$file" 2>"$work/stderr" || status=$?
    [ "$status" -eq 3 ] || { echo "FAIL: $* - gave exit status $status"; cat "$work/stderr"; exit 1; }
    cmp "$work/$file" "$work/piped-$file" ||
        { echo "FAIL: $* - wrote other bytes than the file"; exit 1; }
    grep -qF "records written to standard output; complete picture: no (" "$work/stderr" ||
        { echo "FAIL: no summary on standard error"; cat "$work/stderr"; exit 1; }
done
echo "-- the fleet artifact's command line, exactly as the artifact gives it"
artifact="$here/../../contrib/velociraptor/Windows.Tidewell.LaunchHistory.yaml"
checker="$here/../velociraptor/check_artifact.py"
mapfile -t argv < <(python3 "$checker" argv "$artifact")
[ "${#argv[@]}" -gt 0 ] || { echo "FAIL: the artifact gives the tool no arguments"; exit 1; }
status=0
"$wine_run" "$exe" "${argv[@]}" >"$work/artifact.out" 2>"$work/stderr" || status=$?
[ "$status" -eq 3 ] || { echo "FAIL: ${argv[*]} gave exit status $status"; cat "$work/stderr"; exit 1; }
python3 "$checker" rows "$artifact" "$work/artifact.out"
status=0
version=$("$wine_run" "$exe" --version 2>"$work/stderr") || status=$?
[ "$status" -eq 0 ] && [ ! -s "$work/stderr" ] || { echo "FAIL: --version gave $status"; exit 1; }
python3 - "$exe" "$version" <<'PYTHON'
import re, sys
# The version block's FileVersion string, as the resource compiler stored it.
image = open(sys.argv[1], "rb").read()
key = "FileVersion".encode("utf-16-le") + b"\0\0"
at = image.find(key)
if at < 0:
    sys.exit("FAIL: the executable has no FileVersion")
at += len(key)
at += (4 - at % 4) % 4  # the value starts on a 32-bit boundary
end = image.find(b"\0\0", at)
end += (end - at) % 2
block = image[at:end].decode("utf-16-le")
said = sys.argv[2].strip()
if not re.fullmatch(r"tidewell-report " + re.escape(block) + r"( \(commit [0-9a-f]{7,40}\))?", said):
    sys.exit(f"FAIL: --version said {said!r}; the version block holds {block!r}")
print(f"--version: {said}")
PYTHON

echo "-- an evidence root: the corpus files as a collected drive, one folder down"
evidence="$work/evidence/C"
mkdir -p "$evidence/Windows/Prefetch" "$evidence/Users/alice" "$evidence/Users/bob"
cp "$prefetch"/*.pf "$evidence/Windows/Prefetch/"
cp "$corpus/hives/regipy/NTUSER.DAT" "$evidence/Users/alice/NTUSER.DAT"
cp "$corpus/hives/plaso/NTUSER-WIN7.DAT" "$evidence/Users/bob/NTUSER.DAT"
output=$("$wine_run" "$exe" --evidence "$(winepath -w "$work/evidence" 2>/dev/null)" \
    "$(winepath -w "$work/evidence.csv" 2>/dev/null)" 2>"$work/stderr") || status=$?
echo "$output"
[ "${status:-0}" -eq 3 ] || { echo "FAIL: the evidence gave exit status ${status:-0}"; exit 1; }
python3 "$here/check_report.py" "$work/evidence.csv" "$output" 3 "$counters"
status=0
mkdir -p "$work/no-windows-here"
"$wine_run" "$exe" --evidence "$(winepath -w "$work/no-windows-here" 2>/dev/null)" \
    "$(winepath -w "$work/nothing.csv" 2>/dev/null)" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || { echo "FAIL: a root without Windows gave $status"; exit 1; }

echo "-- a disk image, which this build leaves to the Linux tool"
if [ -f "$corpus/images/corpus-gpt.E01" ]; then
    status=0
    "$wine_run" "$exe" --evidence "$(winepath -w "$corpus/images/corpus-gpt.E01" 2>/dev/null)" \
        "$(winepath -w "$work/image.csv" 2>/dev/null)" >/dev/null 2>"$work/stderr" || status=$?
    if [ "$status" -ne 2 ] || [ -e "$work/image.csv" ] ||
        ! grep -qF "disk images are read by tidewell-report on Linux" "$work/stderr"; then
        echo "FAIL: an image gave exit status $status and said:"; cat "$work/stderr"; exit 1
    fi
fi

echo "-- destinations that cannot be written"
status=0
"$wine_run" "$exe" 'Z:\nonexistent-tidewell-folder\report.csv' >/dev/null 2>&1 || status=$?
[ "$status" -eq 1 ] || { echo "FAIL: a missing folder gave $status"; exit 1; }
mkdir -p "$work/taken"
status=0
"$wine_run" "$exe" "$(winepath -w "$work/taken" 2>/dev/null)" >/dev/null 2>&1 || status=$?
[ "$status" -eq 1 ] || { echo "FAIL: a folder as destination gave $status"; exit 1; }
if ls "$work" | grep -q partial[0-9]; then
    echo "FAIL: a temporary file was left behind"; ls "$work"; exit 1
fi
[ -d "$work/taken" ] || { echo "FAIL: the folder was replaced"; exit 1; }

echo "report command: all checks passed"
