#include "machine/collection_metadata.h"

#include <nlohmann/json.hpp>

#include "platform/filetime.h"
#include "platform/text_fold.h"
#include "platform/utf8_codec.h"

namespace tidewell {

namespace {

using Json = nlohmann::json;

// What the collector writes is a few levels deep; anything deeper is no file
// of its, and would cost memory and stack in proportion to its depth.
constexpr int maxNesting = 64;
// One line of uploads.json describes one file: a few hundred bytes.
constexpr std::size_t maxUploadLine = 64 * 1024;

bool nestingWithin(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (inString) {
            if (c == '\\') {
                ++at; // the escaped character, whatever it is
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) {
                return false;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

// Discarded (not an object, nor anything) when it is not JSON or nests
// deeper than the collector ever writes.
Json parsed(std::string_view text) {
    if (!nestingWithin(text, maxNesting)) {
        return Json(Json::value_t::discarded);
    }
    return Json::parse(text.begin(), text.end(), nullptr, false);
}

// The member named so, whatever the case of its letters: collectors have
// written both Hostname and hostname.
const Json* memberFolded(const Json& object, std::wstring_view name) {
    for (auto item = object.begin(); item != object.end(); ++item) {
        if (equalsFolded(fromUtf8(item.key()), name)) {
            return &item.value();
        }
    }
    return nullptr;
}

std::wstring textMember(const Json& object, std::wstring_view name) {
    const Json* value = memberFolded(object, name);
    return value != nullptr && value->is_string() ? fromUtf8(value->get<std::string>())
                                                  : std::wstring();
}

bool countMember(const Json& object, std::wstring_view name, std::uint64_t& count) {
    const Json* value = memberFolded(object, name);
    if (value == nullptr || !value->is_number_unsigned()) {
        return false;
    }
    count = value->get<std::uint64_t>();
    return true;
}

bool notCollectedWhole(const Json& row) {
    if (!textMember(row, L"Error").empty()) {
        return true;
    }
    std::uint64_t size = 0;
    std::uint64_t stored = 0;
    return countMember(row, L"file_size", size) && countMember(row, L"uploaded_size", stored) &&
           stored < size;
}

} // namespace

std::uint64_t fileTimeFromUnixCount(std::uint64_t count) {
    constexpr std::uint64_t earliest = 631152000ULL; // 1990-01-01, in seconds since 1970
    constexpr std::uint64_t latest = 7258118400ULL;  // 2200-01-01
    std::uint64_t perSecond = 1;
    for (int step = 0; step < 4; ++step, perSecond *= 1000) {
        const std::uint64_t seconds = count / perSecond;
        if (seconds >= earliest && seconds < latest) {
            const std::uint64_t ticksPerUnit =
                perSecond >= fileTimeTicksPerSecond ? 0 : fileTimeTicksPerSecond / perSecond;
            const std::uint64_t ticks = ticksPerUnit != 0
                                            ? count * ticksPerUnit
                                            : count / (perSecond / fileTimeTicksPerSecond);
            return ticks +
                   static_cast<std::uint64_t>(fileTimeEpochToUnixSeconds) * fileTimeTicksPerSecond;
        }
    }
    return 0;
}

bool readClientInfo(std::string_view text, CollectionMetadata& metadata) {
    const Json info = parsed(text);
    if (!info.is_object()) {
        return false;
    }
    // The short host name, as the registry records it; the full name where
    // only that was written.
    std::wstring name = textMember(info, L"Hostname");
    if (name.empty()) {
        name = textMember(info, L"Fqdn");
    }
    metadata.hostName = name;
    return true;
}

bool readCollectionContext(std::string_view text, CollectionMetadata& metadata) {
    const Json context = parsed(text);
    if (!context.is_object()) {
        return false;
    }
    std::uint64_t count = 0;
    if (countMember(context, L"create_time", count) || countMember(context, L"start_time", count)) {
        metadata.collectedAt = fileTimeFromUnixCount(count);
    }
    return true;
}

bool readUploadsList(std::string_view text, CollectionMetadata& metadata) {
    bool whole = true;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.find_first_not_of(" \t\r") == std::string_view::npos) {
            continue;
        }
        const Json row = line.size() <= maxUploadLine ? parsed(line) : Json();
        if (!row.is_object()) {
            whole = false;
            continue;
        }
        ++metadata.uploadsListed;
        metadata.filesNotCollected += notCollectedWhole(row) ? 1 : 0;
    }
    return whole;
}

namespace {

// Each file read only up to what the collector could write: a description
// of the client or the collection is a few kilobytes, the list of uploads a
// line for each file.
constexpr std::uint64_t mebibyte = 1024 * 1024;
constexpr MetadataFile files[] = {
    {"client_info.json", readClientInfo, mebibyte},
    {"collection_context.json", readCollectionContext, 16 * mebibyte},
    {"uploads.json", readUploadsList, 256 * mebibyte},
};

} // namespace

std::span<const MetadataFile> metadataFiles() {
    return files;
}

void readMetadataFile(const MetadataFile& file, WholeFileRead outcome,
                      const std::vector<std::uint8_t>& bytes, CollectionMetadata& metadata,
                      std::vector<std::wstring>& unreadable) {
    if (outcome == WholeFileRead::Missing) {
        return;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (outcome != WholeFileRead::Read || !file.read(text, metadata)) {
        unreadable.push_back(fromUtf8(file.name));
    }
}

} // namespace tidewell
