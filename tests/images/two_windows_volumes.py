"""A raw disk with two MBR partitions, each a copy of the one NTFS volume of
the corpus MBR disk (which holds Windows): the tool must ask which to read."""
import struct
import sys

source, target = sys.argv[1], sys.argv[2]
SECTOR = 512
data = open(source, "rb").read()
start, count = struct.unpack_from("<II", data, 446 + 8)
volume = data[start * SECTOR:(start + count) * SECTOR]
first, second = 2048, 2048 + count
disk = bytearray((second + count + 2048) * SECTOR)
disk[first * SECTOR:first * SECTOR + len(volume)] = volume
disk[second * SECTOR:second * SECTOR + len(volume)] = volume
for slot, at in enumerate((first, second)):
    entry = 446 + 16 * slot
    disk[entry + 4] = 0x07  # NTFS
    struct.pack_into("<II", disk, entry + 8, at, count)
disk[510:512] = b"\x55\xaa"
open(target, "wb").write(disk)
