// What a Velociraptor collection says of itself, in the JSON files beside its
// uploads: the client it ran on (client_info.json), when it was made
// (collection_context.json) and each file it uploaded (uploads.json, one
// JSON document a line).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/whole_file.h"

namespace tidewell {

struct CollectionMetadata {
    std::wstring hostName;         // empty: not recorded
    std::uint64_t collectedAt = 0; // FILETIME; 0: not recorded
    std::uint32_t uploadsListed = 0;
    // Uploads the collection itself records as not collected whole: an error
    // in place of the file, or fewer bytes stored than the file held.
    std::uint32_t filesNotCollected = 0;
};

// Each reads one file's text into the metadata; false when the text is not
// what the file must hold (not JSON, or not an object), the metadata as it was.
bool readClientInfo(std::string_view text, CollectionMetadata& metadata);
bool readCollectionContext(std::string_view text, CollectionMetadata& metadata);
// A line that does not parse makes the whole false, the lines that do counted.
bool readUploadsList(std::string_view text, CollectionMetadata& metadata);

// The collector's own files, by their names beside the uploads, each with
// its reader.
struct MetadataFile {
    const char* name;
    bool (*read)(std::string_view text, CollectionMetadata& metadata);
    std::uint64_t limit; // a larger file is not read
};
std::span<const MetadataFile> metadataFiles();

// One of them as its reading went: missing says nothing; one that could not
// be read, or did not read as it must, is named in unreadable.
void readMetadataFile(const MetadataFile& file, WholeFileRead outcome,
                      const std::vector<std::uint8_t>& bytes, CollectionMetadata& metadata,
                      std::vector<std::wstring>& unreadable);

// A time the collector wrote as a count since 1970 (seconds, milliseconds,
// microseconds or nanoseconds, told apart by size), as a FILETIME; 0 when no
// reading of it falls between 1990 and 2200.
std::uint64_t fileTimeFromUnixCount(std::uint64_t count);

} // namespace tidewell
