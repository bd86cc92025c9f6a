// A zip file read in place through libzip: its members' names and sizes,
// and any member read whole. Nothing is ever extracted to disk.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "machine/evidence_file.h"
#include "platform/whole_file.h"

namespace tidewell {

struct ZipArchive;
struct ZipArchiveClose {
    void operator()(ZipArchive* archive) const;
};
using ZipArchiveHandle = std::unique_ptr<ZipArchive, ZipArchiveClose>;

struct ZipMember {
    std::string name; // as stored, in bytes
    std::uint64_t size = 0;
    bool encrypted = false;
    // Its data is an earlier member's own stream (both name one local
    // header): read once, for the earlier member only.
    bool sharesData = false;
};

// Reads the zip through the file the scan opened and lists its members;
// null, with the reason in words, when it cannot be read as a zip at all
// (cut short, damaged).
ZipArchiveHandle openZipArchive(const EvidenceFileHandle& file, std::vector<ZipMember>& members,
                                std::wstring& problem);

// Whether a member of the zip is encrypted (and so never read).
bool memberEncrypted(const ZipArchive& archive, std::uint64_t index);

// A member read whole, up to limit: Unreadable when its data is damaged
// (a checksum that does not match, a stream that breaks off) or encrypted.
WholeFileRead readZipMember(ZipArchive& archive, std::uint64_t index, std::uint64_t limit,
                            std::vector<std::uint8_t>& bytes);

} // namespace tidewell
