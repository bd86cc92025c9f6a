// What a collection says in its own words, as anyone may craft it: a member's
// stored name (decoded, and its device part parsed), the collector's JSON
// files (client_info.json, collection_context.json, uploads.json) and the
// zip's central directory, each read from the same bytes. None may read outside its text or run
// away with the memory its depth or length would ask.
#include <string>
#include <string_view>

#include "machine/collection_metadata.h"
#include "machine/collection_names.h"
#include "machine/zip_directory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::wstring name;
    decodeStoredName(text, name);
    parseDeviceName(name);
    CollectionMetadata metadata;
    readClientInfo(text, metadata);
    readCollectionContext(text, metadata);
    readUploadsList(text, metadata);
    if (metadata.filesNotCollected > metadata.uploadsListed) {
        __builtin_trap();
    }
    const BytesAt read = bytesInMemory(data, size);
    std::vector<std::uint64_t> offsets;
    memberDataOffsets(read, size, offsets);
    return 0;
}
