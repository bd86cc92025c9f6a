#include "hive/hive_cells.h"

#include <algorithm>

#include "hive/hive_base_block.h"
#include "platform/utf16_text.h"

namespace tidewell {

namespace {

constexpr std::uint32_t binHeaderSize = 32;
constexpr std::uint32_t noOffset = 0xFFFFFFFFu;
constexpr std::uint32_t inlineFlag = 0x80000000u;
constexpr std::uint32_t bigDataSegment = 16344; // what one segment of big data holds
constexpr std::uint32_t firstBigDataMinor = 4;
constexpr std::uint16_t compressedKeyName = 0x0020;
constexpr std::uint16_t compressedValueName = 0x0001;
constexpr std::uint32_t keyNodeNameOffset = 76;
constexpr std::uint32_t keyValueNameOffset = 20;

bool hasSignature(const ByteView& data, char first, char second) {
    return data.size >= 2 && data.data[0] == static_cast<std::uint8_t>(first) &&
           data.data[1] == static_cast<std::uint8_t>(second);
}

bool leafList(const ByteView& list, std::uint32_t& count, std::uint32_t& stride) {
    SubkeyHint hint = SubkeyHint::None;
    return detail::leafList(list, count, stride, hint);
}

} // namespace

namespace detail {

bool leafList(const ByteView& list, std::uint32_t& count, std::uint32_t& stride, SubkeyHint& hint) {
    if (hasSignature(list, 'l', 'i')) {
        stride = 4;
        hint = SubkeyHint::None;
    } else if (hasSignature(list, 'l', 'f')) {
        stride = 8;
        hint = SubkeyHint::NamePrefix;
    } else if (hasSignature(list, 'l', 'h')) {
        stride = 8;
        hint = SubkeyHint::NameHash;
    } else {
        return false;
    }
    std::uint16_t elements = 0;
    list.readU16(2, elements);
    count = elements;
    return list.contains(4, static_cast<std::uint64_t>(count) * stride);
}

bool listCell(const HiveImage& hive, std::uint32_t offset, ByteView& list) {
    return cellData(hive, offset, list);
}

} // namespace detail

std::uint32_t asciiNameHash(std::wstring_view name) {
    std::uint32_t hash = 0;
    for (wchar_t unit : name) {
        const wchar_t upper = (unit >= L'a' && unit <= L'z') ? unit - L'a' + L'A' : unit;
        hash = 37 * hash + static_cast<std::uint16_t>(upper);
    }
    return hash;
}

bool cellData(const HiveImage& hive, std::uint32_t offset, ByteView& data) {
    if (offset == noOffset || offset % 8 != 0 || offset >= hive.binsSize) {
        return false;
    }
    // The bin the offset falls in.
    const auto next = std::upper_bound(hive.binStarts.begin(), hive.binStarts.end(), offset);
    if (next == hive.binStarts.begin()) {
        return false;
    }
    const std::uint64_t binStart = *(next - 1);
    const std::uint64_t binEnd = next == hive.binStarts.end() ? hive.binsSize : *next;
    if (offset < binStart + binHeaderSize || offset + 4ULL > binEnd) {
        return false;
    }
    const ByteView image{hive.bytes.data(), hive.bytes.size()};
    const std::uint64_t at = static_cast<std::uint64_t>(hiveBaseBlockSize) + offset;
    std::uint32_t rawSize = 0;
    if (!image.readU32(at, rawSize)) {
        return false;
    }
    const auto size = static_cast<std::int32_t>(rawSize);
    if (size >= 0 || size == INT32_MIN) {
        return false; // a free cell holds no record
    }
    const std::uint64_t length = static_cast<std::uint64_t>(-static_cast<std::int64_t>(size));
    if (length < 8 || offset + length > binEnd || !image.contains(at, length)) {
        return false;
    }
    data = ByteView{hive.bytes.data() + at + 4, static_cast<std::size_t>(length - 4)};
    return true;
}

bool readKeyNode(const HiveImage& hive, std::uint32_t offset, KeyNode& node) {
    ByteView cell;
    if (!cellData(hive, offset, cell) || !hasSignature(cell, 'n', 'k') ||
        !cell.contains(0, keyNodeNameOffset)) {
        return false;
    }
    std::uint16_t flags = 0;
    std::uint16_t nameLength = 0;
    cell.readU16(2, flags);
    cell.readU64(4, node.lastWritten);
    cell.readU32(20, node.subkeyCount);
    cell.readU32(28, node.subkeyList);
    cell.readU32(36, node.valueCount);
    cell.readU32(40, node.valueList);
    cell.readU16(72, nameLength);
    if (!cell.contains(keyNodeNameOffset, nameLength)) {
        return false; // the name runs past its cell
    }
    node.name = ByteView{cell.data + keyNodeNameOffset, nameLength};
    node.asciiName = (flags & compressedKeyName) != 0;
    return true;
}

std::wstring storedName(const ByteView& name, bool ascii) {
    std::wstring text;
    if (ascii) {
        text.assign(name.data, name.data + name.size);
        return text;
    }
    return utf16leText(name.data, name.size);
}

bool subkeyAt(const HiveImage& hive, const KeyNode& node, std::uint32_t index,
              std::uint32_t& subkey, bool& pastEnd) {
    pastEnd = false;
    bool found = false;
    std::uint32_t remaining = index;
    // Whole leaves are counted past without reading their elements.
    const bool read = detail::forEachLeaf(hive, node, [&](const ByteView& leaf) {
        std::uint32_t count = 0;
        std::uint32_t stride = 0;
        if (!leafList(leaf, count, stride)) {
            return detail::LeafStep::Fail;
        }
        if (remaining >= count) {
            remaining -= count;
            return detail::LeafStep::Next;
        }
        found = leaf.readU32(4 + static_cast<std::uint64_t>(remaining) * stride, subkey);
        return found ? detail::LeafStep::Stop : detail::LeafStep::Fail;
    });
    pastEnd = read && !found;
    return found;
}

bool valueAt(const HiveImage& hive, const KeyNode& node, std::uint32_t index, KeyValue& value,
             bool& pastEnd) {
    pastEnd = index >= node.valueCount;
    if (pastEnd) {
        return false;
    }
    ByteView list;
    std::uint32_t offset = 0;
    if (!cellData(hive, node.valueList, list) || !list.contains(0, 4ULL * node.valueCount) ||
        !list.readU32(4ULL * index, offset)) {
        return false;
    }
    ByteView cell;
    if (!cellData(hive, offset, cell) || !hasSignature(cell, 'v', 'k') ||
        !cell.contains(0, keyValueNameOffset)) {
        return false;
    }
    std::uint16_t nameLength = 0;
    std::uint32_t size = 0;
    std::uint16_t flags = 0;
    cell.readU16(2, nameLength);
    cell.readU32(4, size);
    cell.readU32(8, value.dataField);
    cell.readU32(12, value.type);
    cell.readU16(16, flags);
    if (!cell.contains(keyValueNameOffset, nameLength)) {
        return false;
    }
    value.inlineData = (size & inlineFlag) != 0;
    value.dataSize = size & ~inlineFlag;
    // Data kept in the bins cannot be larger than they are: a size that says
    // otherwise is not believed (nor lets a reader allocate for it).
    if (value.inlineData ? value.dataSize > 4 : value.dataSize > hive.binsSize) {
        return false;
    }
    value.name = ByteView{cell.data + keyValueNameOffset, nameLength};
    value.asciiName = (flags & compressedValueName) != 0;
    return true;
}

bool copyValueData(const HiveImage& hive, const KeyValue& value, std::uint8_t* out) {
    if (value.dataSize == 0) {
        return true;
    }
    if (value.inlineData) {
        for (std::uint32_t i = 0; i < value.dataSize; ++i) {
            out[i] = static_cast<std::uint8_t>(value.dataField >> (8 * i));
        }
        return true;
    }
    ByteView cell;
    if (!cellData(hive, value.dataField, cell)) {
        return false;
    }
    if (hive.minorVersion < firstBigDataMinor || value.dataSize <= bigDataSegment) {
        if (!cell.contains(0, value.dataSize)) {
            return false;
        }
        std::copy(cell.data, cell.data + value.dataSize, out);
        return true;
    }
    // Big data: a "db" record names a list of segments of 16,344 bytes each
    // (the last one holds the rest).
    std::uint16_t segments = 0;
    std::uint32_t listOffset = 0;
    ByteView list;
    if (!hasSignature(cell, 'd', 'b') || !cell.readU16(2, segments) ||
        !cell.readU32(4, listOffset) ||
        static_cast<std::uint64_t>(segments) * bigDataSegment < value.dataSize ||
        !cellData(hive, listOffset, list) || !list.contains(0, 4ULL * segments)) {
        return false;
    }
    std::uint32_t copied = 0;
    for (std::uint32_t i = 0; i < segments && copied < value.dataSize; ++i) {
        std::uint32_t segmentOffset = 0;
        list.readU32(4ULL * i, segmentOffset);
        const std::uint32_t wanted = std::min(bigDataSegment, value.dataSize - copied);
        ByteView segment;
        if (!cellData(hive, segmentOffset, segment) || !segment.contains(0, wanted)) {
            return false;
        }
        std::copy(segment.data, segment.data + wanted, out + copied);
        copied += wanted;
    }
    return copied == value.dataSize;
}

} // namespace tidewell
