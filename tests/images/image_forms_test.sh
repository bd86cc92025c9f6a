#!/usr/bin/env bash
# The command-line tool on the corpus disk in every form an examiner is
# handed (E01 in one segment and in several, raw with MBR and with GPT, split
# raw, VHDX, VMDK, QCOW2): each gives the records and counts of a plain
# folder holding the same files (extracted by The Sleuth Kit's own
# tsk_recover), plus the deleted Prefetch file its file table still lists.
# Then the refusals: a disk with two Windows volumes, a volume without
# Windows, a file that is no image, an image cut short.
set -euo pipefail

report=$1 # tidewell-report (native)
corpus=$2 # the shared corpus folder
work=$3   # a scratch folder in the build tree
here=$(cd "$(dirname "$0")" && pwd)
images=$corpus/images

if [ ! -f "$images/corpus-gpt.E01" ]; then
    echo "corpus images are absent at $images (skipped)"
    exit 77
fi
for tool in tsk_recover qemu-img ewfacquire ewfverify xz; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (skipped)"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work"

# Every form of the GPT disk, and the MBR disk.
xz -dc "$images/corpus-gpt.vhdx.xz" > "$work/gpt.vhdx"
xz -dc "$images/corpus-mbr.raw.xz" > "$work/mbr.raw"
qemu-img convert -f qcow2 -O raw "$images/corpus-gpt.qcow2" "$work/gpt.raw"
(cd "$work" && split -b 20M -d -a 3 --numeric-suffixes=1 gpt.raw split.raw.)
ewfacquire -u -t "$work/segments" -f encase6 -c deflate:fast -S 1MiB -q "$work/gpt.raw" \
    >/dev/null 2>&1
[ -f "$work/segments.E03" ] || { echo "FAIL: ewfacquire made no segments"; exit 1; }

scan() { # expected-status output image [options]
    local expected=$1 out=$2 status=0
    shift 2
    "$report" --evidence "$@" --format json "$out" >"$work/stdout" 2>"$work/stderr" || status=$?
    if [ "$status" -ne "$expected" ]; then
        echo "FAIL: $* gave exit status $status, expected $expected"
        cat "$work/stdout" "$work/stderr"
        exit 1
    fi
}

# The same files as a folder: the Windows volume's allocated files.
tsk_recover -a -o 71680 "$images/corpus-gpt.E01" "$work/folder" >/dev/null
scan 3 "$work/folder.json" "$work/folder"

forms=("$images/corpus-gpt.E01:E01" "$work/segments.E01:E01" "$work/gpt.raw:raw"
       "$work/split.raw.001:raw" "$work/gpt.vhdx:VHDX" "$images/corpus-gpt.vmdk:VMDK"
       "$images/corpus-gpt.qcow2:QCOW2" "$work/mbr.raw:raw")
index=0
for form in "${forms[@]}"; do
    index=$((index + 1))
    scan 3 "$work/form$index.json" "${form%:*}"
    python3 "$here/check_image_scan.py" "$work/form$index.json" "$work/folder.json" \
        "${form##*:}" "$corpus/prefetch/plaso/PING.EXE-B29F6629.pf"
done
scan 3 "$work/no-copies.json" "$images/corpus-gpt.E01" --no-shadow-copies

refused() { # expected-message image [options]
    local message=$1 status=0
    shift
    "$report" --evidence "$@" "$work/refused.csv" >"$work/stdout" 2>"$work/stderr" || status=$?
    if [ "$status" -ne 2 ] || ! grep -qF -e "$message" "$work/stderr" || [ -e "$work/refused.csv" ]
    then
        echo "FAIL: $* gave exit status $status and said:"; cat "$work/stderr"; exit 1
    fi
}

# Two volumes that hold Windows: the examiner chooses, and may.
python3 "$here/two_windows_volumes.py" "$work/mbr.raw" "$work/two.raw"
refused "several of its volumes hold a Windows folder, so choose one with --partition N" \
    "$work/two.raw"
grep -qF "partition 1 (NTFS / exFAT (0x07), NTFS, 0 shadow copies, holds Windows); partition 2" \
    "$work/stderr" || { echo "FAIL: the volumes are not each named"; cat "$work/stderr"; exit 1; }
scan 3 "$work/second.json" "$work/two.raw" --partition 2
refused "it has no partition 5" "$work/two.raw" --partition 5
refused "partition 1 holds no NTFS file system" "$images/corpus-gpt.E01" --partition 1
refused "none of its volumes holds Windows" "$images/vsstest.qcow2"
grep -qF "NTFS, 2 shadow copies" "$work/stderr" || { echo "FAIL: the copies unsaid"; exit 1; }
# Partition tables that fail their checks: a GPT header whose entry count
# runs past the image (its checksum made to match) is not walked, its backup
# read; an MBR entry past the image's end loses nothing beside it.
cp "$work/gpt.raw" "$work/gpt-lying.raw"
python3 - "$work/gpt-lying.raw" <<'PYTHON'
import struct, sys, zlib
with open(sys.argv[1], "r+b") as disk:
    disk.seek(512)
    header = bytearray(disk.read(92))
    struct.pack_into("<II", header, 80, 4294967295, 128)
    struct.pack_into("<I", header, 16, 0)
    struct.pack_into("<I", header, 16, zlib.crc32(bytes(header)))
    disk.seek(512)
    disk.write(header)
PYTHON
scan 3 "$work/gpt-lying.json" "$work/gpt-lying.raw"
python3 - "$work/gpt-lying.json" "$work/form3.json" <<'PYTHON'
import json, sys
lying, whole = (json.load(open(p, encoding="utf-8")) for p in sys.argv[1:])
damage = lying["scanned"]["image"].get("partition_table_damage") or ""
if "4,294,967,295 entries" not in damage or "backup header" not in damage:
    sys.exit(f"FAIL: the damaged GPT is not said: {damage!r}")
if len(lying["records"]) != len(whole["records"]):
    sys.exit("FAIL: the backup GPT did not give the same volume")
PYTHON
python3 - "$work/gpt-lying.raw" <<'PYTHON'
import sys
with open(sys.argv[1], "r+b") as disk:
    disk.seek(-512, 2)
    disk.write(b"\0" * 8)  # and no backup either
PYTHON
refused "it has no sound backup header" "$work/gpt-lying.raw"
rm -f "$work/gpt-lying.raw"
cp "$work/mbr.raw" "$work/mbr-past.raw"
python3 - "$work/mbr-past.raw" <<'PYTHON'
import os, struct, sys
sectors = os.path.getsize(sys.argv[1]) // 512
with open(sys.argv[1], "r+b") as disk:
    disk.seek(446 + 16)
    disk.write(bytes([0, 0, 0, 0, 7, 0, 0, 0]) + struct.pack("<II", sectors + 100, 1000))
PYTHON
scan 3 "$work/mbr-past.json" "$work/mbr-past.raw"
grep -qF '"partition_table_damage":"its MBR entry 2 lies past the image' "$work/mbr-past.json" ||
    { echo "FAIL: the MBR entry past the end is not said"; exit 1; }
rm -f "$work/mbr-past.raw"

# One damaged byte in the shadow-copy catalog: the copies are not there to
# list, and that is said rather than taken for a volume without copies.
qemu-img convert -f qcow2 -O raw "$images/vsstest.qcow2" "$work/vss.raw"
python3 - "$work/vss.raw" <<'PYTHON'
import struct, sys
with open(sys.argv[1], "r+b") as volume:
    volume.seek(0x1E00 + 0x30)  # the volume header's catalog offset
    catalog = struct.unpack("<Q", volume.read(8))[0]
    volume.seek(catalog)
    volume.write(b"\0")
PYTHON
refused "the whole image (NTFS, shadow copy catalog unreadable)" "$work/vss.raw"
rm -f "$work/vss.raw"
# One damaged byte inside an E01 chunk: libewf hands the data on and lists
# the chunk as failing its checksum; the read is counted and its file named.
cp "$images/corpus-gpt.E01" "$work/damaged.E01"
chmod u+w "$work/damaged.E01"
python3 - "$work/damaged.E01" <<'PYTHON'
import os, sys
at = int(os.path.getsize(sys.argv[1]) * 0.55)
with open(sys.argv[1], "r+b") as image:
    image.seek(at)
    byte = image.read(1)
    image.seek(at)
    image.write(bytes([byte[0] ^ 0xFF]))
PYTHON
if ewfverify -q "$work/damaged.E01" >/dev/null 2>&1; then
    echo "FAIL: the damaged E01 verifies"; exit 1
fi
scan 3 "$work/damaged.json" "$work/damaged.E01"
python3 - "$work/damaged.json" <<'PYTHON'
import json, sys
document = json.load(open(sys.argv[1], encoding="utf-8"))
errors = document["coverage"]["counters"]["image_read_errors"]
named = [e for e in document["scanned"].get("refused_entries") or []
         if "could not be read whole from the image" in e["why"]]
if errors == 0 or not named:
    sys.exit(f"FAIL: damaged chunks unsaid: {errors} read errors, {named}")
print(f"damaged E01: {errors} read error(s), in {named[0]['path']}")
PYTHON
rm -f "$work/damaged.E01"

# One torn sector in a system file record ($Bitmap's, which has no mirror):
# the volume still opens, the record mended and counted.
cp "$work/gpt.raw" "$work/torn.raw"
python3 - "$work/torn.raw" <<'PYTHON'
import struct, sys
volume = 71680 * 512
with open(sys.argv[1], "r+b") as disk:
    disk.seek(volume)
    boot = disk.read(512)
    cluster = struct.unpack_from("<H", boot, 11)[0] * boot[13]
    per_record = struct.unpack_from("<b", boot, 0x40)[0]
    size = cluster * per_record if per_record > 0 else 1 << -per_record
    record = volume + struct.unpack_from("<Q", boot, 0x30)[0] * cluster + 6 * size
    disk.seek(record + 510)
    byte = disk.read(1)
    disk.seek(record + 510)
    disk.write(bytes([byte[0] ^ 0xFF]))
PYTHON
scan 3 "$work/torn.json" "$work/torn.raw"
python3 - "$work/torn.json" "$work/form3.json" <<'PYTHON'
import json, sys
torn, whole = (json.load(open(p, encoding="utf-8")) for p in sys.argv[1:])
if torn["coverage"]["counters"]["image_system_records_mended"] != 1 or \
        len(torn["records"]) != len(whole["records"]):
    sys.exit("FAIL: the torn system record is not mended and counted")
PYTHON
rm -f "$work/torn.raw"

# A segment that is a link to a file elsewhere is not read through.
mkdir -p "$work/linked"
cp "$work/split.raw.001" "$work/linked/"
ln -s "$work/split.raw.002" "$work/linked/split.raw.002"
refused "is not a regular file beside the first, reached through no link" \
    "$work/linked/split.raw.001"
rm -rf "$work/linked"

# Refusals that say what is wrong: an E01 cut short, a differential QCOW2.
head -c 1000000 "$images/corpus-gpt.E01" > "$work/cut.E01"
refused "it is an E01 image, but neither a partition table nor a file system could be read in it: its segment files are cut short or damaged" \
    "$work/cut.E01"
qemu-img create -q -f qcow2 -b "$images/corpus-gpt.qcow2" -F qcow2 "$work/differential.qcow2"
refused "it is a differential image whose other data lies in its backing file" \
    "$work/differential.qcow2"
head -c 100000 /dev/urandom > "$work/noise.bin"
refused "is not an image of a format this tool reads" "$work/noise.bin"

# An image cut short inside the Windows volume: every file past the cut is
# counted as it ends, and the image's read errors are said.
head -c 50000000 "$work/gpt.raw" > "$work/cut.raw"
status=0
"$report" --evidence "$work/cut.raw" --format json "$work/cut.json" >/dev/null 2>&1 || status=$?
python3 - "$work/cut.json" "$status" <<'PYTHON'
import json, sys
status = int(sys.argv[2])
document = json.load(open(sys.argv[1], encoding="utf-8"))
counters = document["coverage"]["counters"]
if status != 3 or document["coverage"]["complete"]:
    sys.exit(f"FAIL: a cut image gave status {status} and complete {document['coverage']['complete']}")
if counters["prefetch_seen"] != sum(counters[k] for k in (
        "prefetch_parsed", "prefetch_unreadable", "prefetch_decompress_failed",
        "prefetch_not_prefetch", "prefetch_malformed", "prefetch_unknown_version")):
    sys.exit("FAIL: a file of the cut image without its one outcome")
if counters["image_read_errors"] == 0 or "read errors inside the image" not in \
        " ".join(document["coverage"]["reasons"]):
    sys.exit("FAIL: the reads that failed past the cut are not said")
print(f"cut image: {counters['image_read_errors']} read errors, "
      f"{counters['prefetch_unreadable']} Prefetch files unreadable")
PYTHON
echo "image forms ok"
