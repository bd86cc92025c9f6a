"""Lays out a Velociraptor collection the way its collector writes one, from
a folder holding a copy of a Windows drive: each file under
uploads/<accessor>/<device>/..., every part encoded as the collector encodes
it (bytes outside letters, digits, '.', '_' and '-' as %XX), with the
collector's own client_info.json, collection_context.json and uploads.json
beside. Written as a folder, or as a zip (Python's zipfile).

usage: make_collection.py DRIVE OUT --layout NAME [--zip] [--copy FOLDER]...
        [--host NAME] [--created MICROSECONDS] [--not-collected N]

Layouts say which accessor and device spelling carries which files:
  auto       every file under auto/C%3A
  ntfs       every file under ntfs/%5C%5C.%5CC%3A
  lazy_ntfs  every file under lazy_ntfs/%5C%5C.%5CC%3A
  mft        every file under mft/%5C%5C.%5CC%3A
  split      Prefetch under auto/C%3A, the rest (hives) under ntfs/\\\\.\\C:
Each --copy FOLDER is one shadow copy's files (numbered from 1, in order),
under ntfs_vss/\\\\?\\GLOBALROOT\\Device\\HarddiskVolumeShadowCopyN."""
import argparse
import json
import os
import zipfile

SAFE = set(b"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-")


def encode(name):
    return "".join(chr(b) if b in SAFE else "%%%02X" % b for b in name.encode("utf-8"))


def files_below(folder):
    for top, _, names in sorted(os.walk(folder)):
        for name in sorted(names):
            path = os.path.join(top, name)
            yield path, os.path.relpath(path, folder).split(os.sep)


def place(layout, parts):
    drive_c = "\\\\.\\C:"
    if layout == "auto":
        return "auto", "C:"
    if layout == "split":
        return ("auto", "C:") if "Prefetch" in parts else ("ntfs", drive_c)
    return layout, drive_c


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("drive")
    parser.add_argument("out")
    parser.add_argument("--layout", default="auto")
    parser.add_argument("--zip", action="store_true")
    parser.add_argument("--copy", action="append", default=[])
    parser.add_argument("--host", default="")
    parser.add_argument("--created", type=int, default=0)
    parser.add_argument("--not-collected", type=int, default=0)
    args = parser.parse_args()

    members = []  # (stored name, source path or bytes)
    uploads = []
    for path, parts in files_below(args.drive):
        accessor, device = place(args.layout, parts)
        members.append(("/".join(["uploads", accessor, encode(device)] +
                                 [encode(p) for p in parts]), path))
        size = os.path.getsize(path)
        uploads.append({"vfs_path": members[-1][0], "_Components": ["uploads", accessor, device] +
                        parts, "file_size": size, "uploaded_size": size})
    for number, copy in enumerate(args.copy, start=1):
        device = "\\\\?\\GLOBALROOT\\Device\\HarddiskVolumeShadowCopy%d" % number
        for path, parts in files_below(copy):
            members.append(("/".join(["uploads", "ntfs_vss", encode(device)] +
                                     [encode(p) for p in parts]), path))
    for index in range(args.not_collected):
        # What the collector records of a file it could not read.
        uploads.append({"vfs_path": "uploads/auto/C%%3A/locked%d" % index,
                        "file_size": 4096, "uploaded_size": 0, "Error": "access denied"})
    metadata = {}
    if args.host:
        metadata["client_info.json"] = json.dumps(
            {"ClientId": "C.0123456789abcdef", "Hostname": args.host, "Fqdn": args.host +
             ".corp.example", "OS": "windows", "Architecture": "amd64"})
    if args.created:
        metadata["collection_context.json"] = json.dumps(
            {"client_id": "C.0123456789abcdef", "session_id": "F.TEST",
             "create_time": args.created, "state": "FINISHED"})
    metadata["uploads.json"] = "".join(json.dumps(row) + "\n" for row in uploads)
    metadata["log.json"] = json.dumps({"_ts": 1700000000, "level": "INFO",
                                       "message": "Starting collection"}) + "\n"

    if args.zip:
        with zipfile.ZipFile(args.out, "w", zipfile.ZIP_DEFLATED) as archive:
            for name, text in metadata.items():
                archive.writestr(name, text)
            for name, path in members:
                archive.write(path, name)
        return
    for name, text in metadata.items():
        os.makedirs(args.out, exist_ok=True)
        with open(os.path.join(args.out, name), "w", encoding="utf-8") as out:
            out.write(text)
    for name, path in members:
        target = os.path.join(args.out, *name.split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(path, "rb") as source, open(target, "wb") as out:
            out.write(source.read())


main()
