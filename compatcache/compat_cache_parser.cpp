#include "compatcache/compat_cache_parser.h"

#include "platform/byte_reader.h"
#include "platform/utf16_text.h"

namespace tidewell {

namespace {

constexpr std::uint32_t xpSignature = 0xDEADBEEF;
constexpr std::uint32_t server2003Signature = 0xBADC0FFE;
constexpr std::uint32_t windows7Signature = 0xBADC0FEE;
constexpr std::uint32_t windows7HeaderSize = 0x80;
constexpr std::uint32_t windows8HeaderSize = 0x80;
constexpr std::uint32_t windows10HeaderSize = 0x30;
constexpr std::uint32_t windows10CreatorsHeaderSize = 0x34;
constexpr std::uint32_t entryHeadSize = 12; // signature, an unknown word, the entry's size

// "00ts" and "10ts" as they stand in the value.
constexpr std::uint32_t signature80 = 0x73743030;
constexpr std::uint32_t signature81 = 0x73743031;

bool signatureAt(const ByteView& value, std::uint64_t offset, std::uint32_t signature) {
    std::uint32_t found = 0;
    return value.readU32(offset, found) && found == signature;
}

// UTF-16LE text of size bytes at offset; false when it lies outside the
// value or has an odd size.
bool textAt(const ByteView& value, std::uint64_t offset, std::uint64_t size, std::wstring& text) {
    text.clear();
    if (size % 2 != 0 || !value.contains(offset, size)) {
        return false;
    }
    text = utf16leText(value.data + offset, static_cast<std::size_t>(size));
    return true;
}

bool bytesAt(const ByteView& value, std::uint64_t offset, std::uint64_t size,
             std::vector<std::uint8_t>& bytes) {
    if (!value.contains(offset, size)) {
        return false;
    }
    bytes.assign(value.data + offset, value.data + offset + size);
    return true;
}

bool allZero(const ByteView& value, std::uint64_t from) {
    for (std::uint64_t at = from; at < value.size; ++at) {
        if (value.data[at] != 0) {
            return false;
        }
    }
    return true;
}

// --- Windows 7 and Server 2008 R2: an array of fixed entries, then strings ---

struct Windows7Shape {
    std::uint32_t entrySize;
    std::uint32_t pathOffsetAt, modifiedAt, insertionAt, shimAt, dataSizeAt, dataOffsetAt;
    bool wideOffsets; // offsets and sizes of 8 bytes
};

constexpr Windows7Shape windows7x86{32, 4, 8, 16, 20, 24, 28, false};
constexpr Windows7Shape windows7x64{48, 8, 16, 24, 28, 32, 40, true};

bool readWide(const ByteView& value, std::uint64_t offset, bool wide, std::uint64_t& out) {
    if (wide) {
        return value.readU64(offset, out);
    }
    std::uint32_t narrow = 0;
    const bool read = value.readU32(offset, narrow);
    out = narrow;
    return read;
}

bool readWindows7Entry(const ByteView& value, std::uint64_t at, const Windows7Shape& shape,
                       CompatCacheEntry& entry) {
    std::uint16_t pathSize = 0;
    std::uint64_t pathOffset = 0;
    std::uint64_t dataSize = 0;
    std::uint64_t dataOffset = 0;
    if (!value.readU16(at, pathSize) ||
        !readWide(value, at + shape.pathOffsetAt, shape.wideOffsets, pathOffset) ||
        !value.readU64(at + shape.modifiedAt, entry.modified) ||
        !value.readU32(at + shape.insertionAt, entry.insertionFlags) ||
        !value.readU32(at + shape.shimAt, entry.shimFlags) ||
        !readWide(value, at + shape.dataSizeAt, shape.wideOffsets, dataSize) ||
        !readWide(value, at + shape.dataOffsetAt, shape.wideOffsets, dataOffset)) {
        return false;
    }
    entry.hasFlags = true;
    if (pathSize == 0 || !textAt(value, pathOffset, pathSize, entry.path)) {
        return false;
    }
    return dataSize == 0 || bytesAt(value, dataOffset, dataSize, entry.data);
}

void parseWindows7(const ByteView& value, CompatCacheParse& parse) {
    std::uint32_t count = 0;
    value.readU32(4, count);
    parse.headerCountStated = true;
    parse.headerCount = count;
    if (count == 0) {
        parse.layout = CompatCacheLayout::Windows7;
        return;
    }
    // A 64-bit entry pads its path sizes to eight bytes; a 32-bit one has
    // its path offset there, which is never 0.
    std::uint32_t word = 0;
    if (!value.readU32(windows7HeaderSize + 4, word)) {
        parse.layout = CompatCacheLayout::Windows7;
        parse.walkStopped = true;
        parse.malformedEntries = count;
        return;
    }
    const Windows7Shape& shape = word == 0 ? windows7x64 : windows7x86;
    parse.layout = word == 0 ? CompatCacheLayout::Windows7x64 : CompatCacheLayout::Windows7x86;
    const std::uint64_t room = (value.size - windows7HeaderSize) / shape.entrySize;
    const std::uint64_t present = count < room ? count : room;
    for (std::uint64_t index = 0; index < present; ++index) {
        CompatCacheEntry entry;
        entry.position = static_cast<std::uint32_t>(index + 1);
        if (readWindows7Entry(value, windows7HeaderSize + index * shape.entrySize, shape, entry)) {
            parse.entries.push_back(std::move(entry));
        } else {
            ++parse.malformedEntries;
        }
    }
    if (present < count) {
        // The header promises entries the value has no room for.
        parse.walkStopped = true;
        parse.malformedEntries += static_cast<std::uint32_t>(count - present);
    }
}

// --- Windows 8, 10 and 11: signed entries of their own sizes, to the end ---

// The body of an entry, after its 12-byte head, which must be used up
// exactly by its fields.
bool readSignedEntry(const ByteView& body, bool windows8, CompatCacheEntry& entry) {
    std::uint16_t pathSize = 0;
    std::uint64_t at = 0;
    if (!body.readU16(at, pathSize) || !textAt(body, at + 2, pathSize, entry.path) ||
        pathSize == 0) {
        return false;
    }
    at += 2 + pathSize;
    if (windows8) {
        std::uint16_t packageSize = 0;
        if (!body.readU16(at, packageSize) || !textAt(body, at + 2, packageSize, entry.package)) {
            return false;
        }
        at += 2 + packageSize;
        if (!body.readU32(at, entry.insertionFlags) || !body.readU32(at + 4, entry.shimFlags)) {
            return false;
        }
        entry.hasFlags = true;
        at += 8;
    }
    std::uint32_t dataSize = 0;
    if (!body.readU64(at, entry.modified) || !body.readU32(at + 8, dataSize)) {
        return false;
    }
    at += 12;
    return bytesAt(body, at, dataSize, entry.data) && at + dataSize == body.size;
}

void walkSignedEntries(const ByteView& value, std::uint64_t start, bool windows8,
                       CompatCacheParse& parse) {
    std::uint64_t at = start;
    std::uint32_t position = 0;
    while (value.contains(at, entryHeadSize)) {
        const bool signed8 =
            signatureAt(value, at, signature80) || signatureAt(value, at, signature81);
        const bool signed10 = signatureAt(value, at, signature81);
        if (!(windows8 ? signed8 : signed10)) {
            break;
        }
        std::uint32_t size = 0;
        value.readU32(at + 8, size);
        ++position;
        if (!value.contains(at + entryHeadSize, size)) {
            ++parse.malformedEntries;
            parse.walkStopped = true;
            return;
        }
        const ByteView body{value.data + at + entryHeadSize, size};
        CompatCacheEntry entry;
        entry.position = position;
        if (readSignedEntry(body, windows8, entry)) {
            parse.entries.push_back(std::move(entry));
        } else {
            ++parse.malformedEntries;
        }
        at += entryHeadSize + size;
    }
    // Zeros after the last entry are normal slack; anything else is not.
    if (!allZero(value, at)) {
        parse.walkStopped = true;
    }
}

} // namespace

bool isEarlierLayout(CompatCacheLayout layout) {
    return layout == CompatCacheLayout::WindowsXP || layout == CompatCacheLayout::Windows2003;
}

const wchar_t* compatCacheLayoutName(CompatCacheLayout layout) {
    switch (layout) {
    case CompatCacheLayout::WindowsXP:
        return L"Windows XP";
    case CompatCacheLayout::Windows2003:
        return L"Windows Server 2003 or Vista or Server 2008";
    case CompatCacheLayout::Windows7:
        return L"Windows 7 or Server 2008 R2";
    case CompatCacheLayout::Windows7x86:
        return L"Windows 7 or Server 2008 R2 (32-bit)";
    case CompatCacheLayout::Windows7x64:
        return L"Windows 7 or Server 2008 R2 (64-bit)";
    case CompatCacheLayout::Windows8:
        return L"Windows 8 or 8.1";
    case CompatCacheLayout::Windows80:
        return L"Windows 8.0";
    case CompatCacheLayout::Windows81:
        return L"Windows 8.1";
    case CompatCacheLayout::Windows10:
        return L"Windows 10 before 1703";
    case CompatCacheLayout::Windows10Creators:
        // No comma: the report gives it after one.
        return L"Windows 10 1703 and later or Windows 11";
    case CompatCacheLayout::Unknown:
        break;
    }
    return L"unknown";
}

CompatCacheParse parseCompatCache(const std::uint8_t* data, std::size_t size) {
    CompatCacheParse parse;
    const ByteView value{data, size};
    std::uint32_t first = 0;
    if (!value.readU32(0, first)) {
        return parse;
    }
    if (first == xpSignature) {
        parse.layout = CompatCacheLayout::WindowsXP;
        return parse;
    }
    if (first == server2003Signature) {
        parse.layout = CompatCacheLayout::Windows2003;
        return parse;
    }
    if (first == windows7Signature) {
        if (size < windows7HeaderSize) {
            parse.layout = CompatCacheLayout::Windows7;
            parse.walkStopped = true;
            return parse;
        }
        parseWindows7(value, parse);
        return parse;
    }
    // Windows 10 first: its first entry may be long enough to put a
    // signature where Windows 8's first entry would stand.
    if ((first == windows10HeaderSize || first == windows10CreatorsHeaderSize) &&
        (size == first || signatureAt(value, first, signature81))) {
        parse.layout = first == windows10HeaderSize ? CompatCacheLayout::Windows10
                                                    : CompatCacheLayout::Windows10Creators;
        parse.headerCountStated = value.readU32(first - 12, parse.headerCount);
        walkSignedEntries(value, first, false, parse);
        return parse;
    }
    // Windows 8: entries after a 128-byte header whose first word is not to
    // be relied on (Windows 8.0 may leave it 0).
    const bool signed80 = signatureAt(value, windows8HeaderSize, signature80);
    if (signed80 || signatureAt(value, windows8HeaderSize, signature81)) {
        parse.layout = signed80 ? CompatCacheLayout::Windows80 : CompatCacheLayout::Windows81;
        walkSignedEntries(value, windows8HeaderSize, true, parse);
        return parse;
    }
    if (first == windows8HeaderSize && allZero(value, windows8HeaderSize)) {
        parse.layout = CompatCacheLayout::Windows8; // no entry to tell 8.0 from 8.1
        return parse;
    }
    return parse;
}

} // namespace tidewell
