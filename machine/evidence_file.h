// The file an examiner names as evidence (a disk image, or the first of its
// segments, or a collection's zip), opened once for the whole scan: what it
// is, is told from its own bytes, and the library that reads it reads
// through this same opening.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/files.h"

namespace tidewell {

struct EvidenceFile {
    std::wstring path;
    ReadableFile file;
    std::uint64_t size = 0;
    std::uint32_t openError = 0; // the system's code when it could not be opened and sized
};
using EvidenceFileHandle = std::shared_ptr<EvidenceFile>;

// Never null: openError says why it is not open.
EvidenceFileHandle openEvidenceFile(const std::wstring& path);
bool evidenceOpen(const EvidenceFile& evidence);

// A further file of the same evidence (a segment, an extent) named path: read
// only where it is a regular file in the first's own folder, reached through
// no link; openError says why not (ERROR_CANT_RESOLVE_FILENAME: not so).
EvidenceFileHandle openEvidenceFileBeside(const EvidenceFile& first, const std::wstring& path);

// Up to size bytes from offset, fewer only where the file ends; any size.
bool readEvidenceAt(const EvidenceFile& evidence, std::uint64_t offset, std::uint8_t* buffer,
                    std::size_t size, std::size_t& bytesRead);

// A zip file begins with a member (PK\3\4) or, empty, with its end (PK\5\6).
bool startsAsZip(const EvidenceFile& evidence);

// Why it could not be opened, in words: "access was denied", ...
std::wstring openFailureText(std::uint32_t error);

} // namespace tidewell
