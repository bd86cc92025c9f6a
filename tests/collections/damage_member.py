"""Copies a zip with the compressed data of the member whose name ends so
overwritten in its middle, so that its checksum no longer matches."""
import shutil
import struct
import sys
import zipfile

source, target, ending = sys.argv[1:4]
shutil.copyfile(source, target)
with zipfile.ZipFile(source) as archive:
    member = next(info for info in archive.infolist() if info.filename.endswith(ending))
with open(target, "r+b") as out:
    out.seek(member.header_offset)
    local = out.read(30)
    name_length, extra_length = struct.unpack_from("<HH", local, 26)
    data = member.header_offset + 30 + name_length + extra_length
    out.seek(data + member.compress_size // 2)
    out.write(b"\xde\xad\xbe\xef" * 4)
