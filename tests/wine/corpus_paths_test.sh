#!/usr/bin/env bash
# Exact program paths on a Wine machine whose drives carry the volume serials
# of the real corpus files: every corpus Prefetch file goes into
# C:\windows\Prefetch, tidewell-report writes its report, and each record's
# path and path status must be what corpus_paths.txt says. Windows XP to 8.1
# files name their volumes by device path, which the files' own volume lists
# tie to serials; Windows 10 and 11 files by \VOLUME{...}.
set -euo pipefail

exe=$1      # the built tidewell-report.exe
corpus=$2   # the shared corpus folder
work=$3     # a scratch folder in the build tree
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../scripts/wine-run"
expected="$here/corpus_paths.txt"

if [ ! -d "$corpus/prefetch" ]; then
    echo "corpus folder $corpus is absent; the path test needs its files (skipped)"
    exit 77 # ctest's skip code for this test
fi

rm -rf "$work"
mkdir -p "$work/drives"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
"$wine_run" cmd /c exit 0 >/dev/null 2>&1

# A drive is a link in dosdevices/; Wine reads its serial from the
# .windows-serial file at its root. The server is restarted so that the
# volume listing sees the new drives.
while IFS=$'\t' read -r kind letter serial; do
    [ "$kind" = drive ] || continue
    if [ "$letter" = C ]; then
        root="$WINEPREFIX/drive_c"
    else
        root="$work/drives/$letter"
        mkdir -p "$root"
        ln -sfn "$root" "$WINEPREFIX/dosdevices/$(echo "$letter" | tr 'A-Z' 'a-z'):"
    fi
    echo "$serial" > "$root/.windows-serial"
done < "$expected"
WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true

prefetch="$WINEPREFIX/drive_c/windows/Prefetch"
mkdir -p "$prefetch"
while IFS=$'\t' read -r kind file rest; do
    [ "$kind" = file ] || continue
    cp "$corpus/prefetch/$file" "$prefetch/${file//\//__}"
done < "$expected"

status=0
"$wine_run" "$exe" "$(winepath -w "$work/report.csv" 2>/dev/null)" >"$work/summary" 2>&1 || status=$?
cat "$work/summary"
if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
    echo "FAIL: the report was not written (exit status $status)"; exit 1
fi
WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true

python3 - "$work/report.csv" "$expected" <<'PY'
import csv, io, sys
report, expected = sys.argv[1], sys.argv[2]
text = open(report, "rb").read()[2:].decode("utf-16-le")
lines = text.split("\r\n")
blank = lines.index("")
counters = {}
for line in lines[:blank]:
    label, _, value = line[2:].rpartition(",")
    if value.isdigit():
        counters[label] = int(value)
rows = list(csv.DictReader(io.StringIO("\n".join(lines[blank + 1:]))))
got = {row["Source file"].rsplit("\\", 1)[-1]: (row["Path status"], row["Path"])
       for row in rows if row["Source"] == "Prefetch"}
failures = 0
wanted = 0
for line in open(expected, encoding="utf-8"):
    parts = line.rstrip("\n").split("\t")
    if parts[0] != "file":
        continue
    wanted += 1
    name = parts[1].replace("/", "__")
    want = (parts[2], parts[3] if len(parts) > 3 else "")
    if got.get(name) != want:
        failures += 1
        print(f"FAIL {parts[1]}: expected {want}, got {got.get(name)}")
if len(got) != wanted:
    failures += 1
    print(f"FAIL: {len(got)} Prefetch records for {wanted} files")
if counters.get("volumes ambiguous - more than one mounted volume has that serial") != 2:
    failures += 1
    print("FAIL: the two files on the shared serial are not both counted ambiguous")
print(f"corpus paths: {wanted - failures} of {wanted} as expected")
sys.exit(1 if failures else 0)
PY
