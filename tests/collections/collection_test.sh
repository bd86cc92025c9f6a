#!/usr/bin/env bash
# The command-line tool on Velociraptor collections laid out from the corpus
# drive: every accessor and device spelling, extracted and zipped (Python's
# zipfile and Debian's zip), each giving the records and counts of a plain
# folder holding the same files; a shadow-copy device with older copies of a
# Prefetch file and of a user's hive merged as an image's shadow copies are;
# the collection's own word on its host and time set beside the registry's.
# Then the refusals and the counted damage: a zip cut short, a secured one,
# one without uploads, a collection with no Windows drive or with two, a
# member whose data is damaged, a name that does not decode.
set -euo pipefail

report=$1 # tidewell-report (native)
corpus=$2 # the shared corpus folder
work=$3   # a scratch folder in the build tree
here=$(cd "$(dirname "$0")" && pwd)
make=(python3 "$here/make_collection.py")
check=(python3 "$here/check_collection.py")

if [ ! -f "$corpus/images/corpus-gpt.E01" ]; then
    echo "corpus images are absent (skipped)"
    exit 77
fi
for tool in tsk_recover zip; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (skipped)"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work"

scan() { # expected-status output evidence [options]
    local expected=$1 out=$2 status=0
    shift 2
    "$report" --evidence "$@" --format json "$out" >"$work/stdout" 2>"$work/stderr" || status=$?
    if [ "$status" -ne "$expected" ]; then
        echo "FAIL: $* gave exit status $status, expected $expected"
        cat "$work/stdout" "$work/stderr"
        exit 1
    fi
}

refused() { # expected-message evidence [options]
    local message=$1 status=0
    shift
    "$report" --evidence "$@" "$work/refused.csv" >"$work/stdout" 2>"$work/stderr" || status=$?
    if [ "$status" -ne 2 ] || ! grep -qF -e "$message" "$work/stderr" || [ -e "$work/refused.csv" ]
    then
        echo "FAIL: $* gave exit status $status and said:"; cat "$work/stderr"; exit 1
    fi
}

# The drive as a plain folder: the corpus volume's files.
drive=$work/drive
tsk_recover -a -o 71680 "$corpus/images/corpus-gpt.E01" "$drive" >/dev/null
scan 3 "$work/folder.json" "$drive"

# Every accessor and device spelling, extracted; split puts the Prefetch
# files under auto/C%3A and the hives under ntfs/%5C%5C.%5CC%3A.
for layout in auto ntfs lazy_ntfs mft split; do
    "${make[@]}" "$drive" "$work/$layout" --layout "$layout"
    scan 3 "$work/$layout.json" "$work/$layout"
    "${check[@]}" same "$work/$layout.json" "$work/folder.json" folder
done

# Zipped by Python's zipfile, and by Debian's zip from the extracted folder.
"${make[@]}" "$drive" "$work/split-python.zip" --layout split --zip
scan 3 "$work/split-python.json" "$work/split-python.zip"
"${check[@]}" same "$work/split-python.json" "$work/folder.json" zip
(cd "$work/auto" && zip -qr "$work/auto-debian.zip" .)
scan 3 "$work/auto-debian.json" "$work/auto-debian.zip"
"${check[@]}" same "$work/auto-debian.json" "$work/folder.json" zip

# A shadow copy of the volume: an older CMD.EXE-087B4001.pf and NOTEPAD
# Prefetch file, a Prefetch file since deleted, and alice's hive as it was.
older=$work/older
mkdir -p "$older/Windows/Prefetch" "$older/Windows/System32" "$older/Users/alice"
cp -r "$drive/Windows/System32/config" "$older/Windows/System32/"
cp "$corpus/prefetch/plaso/CMD.EXE-087B4001.pf" "$corpus/prefetch/plaso/NOTEPAD.EXE-D8414F97.pf" \
    "$corpus/prefetch/plaso/PING.EXE-B29F6629.pf" "$older/Windows/Prefetch/"
cp "$corpus/hives/plaso/NTUSER-CCLEANER.DAT" "$older/Users/alice/NTUSER.DAT"
scan 3 "$work/older.json" "$older"
for form in folder zip; do
    zipped=()
    [ "$form" = zip ] && zipped=(--zip)
    "${make[@]}" "$drive" "$work/copies-$form" --layout ntfs --copy "$older" "${zipped[@]}" \
        --host WKS-WIN732BITA --created 1770000000000000 --not-collected 2
    scan 3 "$work/copies-$form.json" "$work/copies-$form"
    "${check[@]}" merged "$work/copies-$form.json" "$work/folder.json" "$work/older.json" "$form"
    scan 3 "$work/no-copies-$form.json" "$work/copies-$form" --no-shadow-copies
    "${check[@]}" same "$work/no-copies-$form.json" "$work/folder.json" "$form"
done

# A host name the registry does not record, and a time before the newest run.
"${make[@]}" "$drive" "$work/other-host" --layout auto --host LAPTOP-7 --created 1600000000
"$report" --evidence "$work/other-host" --utc "$work/other-host.csv" >/dev/null || true
python3 - "$work/other-host.csv" <<'PYTHON'
import sys
header = open(sys.argv[1], encoding="utf-16").read().split("\r\n\r\n")[0]
for line in ("# Host name recorded by the collection,LAPTOP-7 - DIFFERS from the examined "
             "machine's registry, which records WKS-WIN732BITA",
             "# Collection time recorded by the collection,2020-09-13 12:26:40 - the newest run "
             "time recorded (2026-02-04 13:43:44) is LATER than it",
             "# Drive read,C: (uploads/auto/C%3A)",
             "# Velociraptor collection,"):
    if line not in header:
        sys.exit(f"FAIL: the header lacks {line!r}:\n{header}")
print("the collection's own word said beside the registry's")
PYTHON

# The refusals: never misread as an empty collection.
cp "$work/split-python.zip" "$work/cut.zip"
truncate -s 300000 "$work/cut.zip"
refused "cannot be read as a Velociraptor collection: it is not a zip file, or it is cut short" \
    "$work/cut.zip"
(cd "$work/auto" && zip -qr -P secret "$work/secured.zip" .)
refused "it is a secured collection" "$work/secured.zip"
(cd "$drive" && zip -qr "$work/plain.zip" Windows)
refused "it is a zip file, but not a Velociraptor collection" "$work/plain.zip"
mkdir -p "$work/users-only/Users"
cp -r "$drive/Users/alice" "$work/users-only/Users/"
"${make[@]}" "$work/users-only" "$work/no-windows.zip" --layout auto --zip
refused "it holds no Windows drive" "$work/no-windows.zip"
grep -qF "C: (uploads/auto/C%3A, 1 file)" "$work/stderr" ||
    { echo "FAIL: the devices are not named"; cat "$work/stderr"; exit 1; }
# Thousands of devices: ten named, the rest counted, the message a line.
python3 - "$work/many-devices.zip" <<'PYTHON'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as collection:
    for number in range(5000):
        collection.writestr(f"uploads/auto/%5C%5C.%5CHarddiskVolume{number}/x.txt", "x")
PYTHON
refused "it holds no Windows drive" "$work/many-devices.zip"
grep -qF "; and 4,990 more" "$work/stderr" && [ "$(wc -c < "$work/stderr")" -lt 4000 ] ||
    { echo "FAIL: the devices are not bounded"; head -c 600 "$work/stderr"; exit 1; }

# Two drives that hold Windows: the examiner chooses, and may.
"${make[@]}" "$drive" "$work/two" --layout auto
cp -r "$work/two/uploads/auto/C%3A" "$work/two/uploads/auto/D%3A"
refused "several of its drives hold Windows, so choose one with --drive" "$work/two"
scan 3 "$work/drive-d.json" "$work/two" --drive D:
"${check[@]}" same "$work/drive-d.json" "$work/folder.json" folder D:
refused "it holds no drive E:" "$work/two" --drive E:

# A member whose data is damaged, and a name that does not decode: counted,
# the rest read.
python3 "$here/damage_member.py" "$work/split-python.zip" "$work/damaged.zip" \
    "CMD.EXE-087B4001.pf"
scan 3 "$work/damaged.json" "$work/damaged.zip"
"${check[@]}" damaged "$work/damaged.json" "$work/folder.json"
cp "$drive/Windows/Prefetch/CALC.EXE-3FBEF7FD.pf" "$work/auto/uploads/auto/C%3A/Windows/Prefetch/CALC%ZZ.pf"
scan 3 "$work/undecodable.json" "$work/auto"
"${check[@]}" undecodable "$work/undecodable.json" "$work/folder.json"
echo "collections ok"
