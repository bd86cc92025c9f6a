// Cells of a hive and the records they hold: key nodes ("nk"), value keys
// ("vk"), subkey lists ("li", "lf", "lh", and "ri" for a list of lists),
// value lists and big data ("db"). Every offset is checked against the bins
// before it is used; a record that points outside them, into a cell that is
// not allocated, or at the wrong kind of record is refused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hive/hive_image.h"
#include "platform/byte_reader.h"

namespace tidewell {

// The data of the allocated cell at offset (relative to the bins), bounded
// by the cell and by its bin; false for anything else.
bool cellData(const HiveImage& hive, std::uint32_t offset, ByteView& data);

struct KeyNode {
    std::uint32_t subkeyList = 0; // 0xFFFFFFFF or a count of 0: none
    std::uint32_t subkeyCount = 0;
    std::uint32_t valueList = 0;
    std::uint32_t valueCount = 0;
    ByteView name;                 // as stored
    bool asciiName = false;        // one byte per character
    std::uint64_t lastWritten = 0; // FILETIME of the key's last change
};

bool readKeyNode(const HiveImage& hive, std::uint32_t offset, KeyNode& node);

// A stored name as text: one unit per byte for a compressed (ASCII) name,
// else UTF-16LE.
std::wstring storedName(const ByteView& name, bool ascii);

// The key node at position index of the node's subkey lists, in stored
// order. False with pastEnd set when there is no such position; false
// without it when a list cannot be read.
bool subkeyAt(const HiveImage& hive, const KeyNode& node, std::uint32_t index,
              std::uint32_t& subkey, bool& pastEnd);

// What a subkey list stores beside each key node: nothing ("li"), the first
// four characters of its name ("lf") or the hash of its upper-case name
// ("lh").
enum class SubkeyHint {
    None,
    NamePrefix,
    NameHash,
};

// Calls visit(node, hint kind, hint) for every subkey in stored order, until
// it returns false. False when a list cannot be read.
template <typename Visit>
bool visitSubkeys(const HiveImage& hive, const KeyNode& node, Visit&& visit);

// The "lh" hash of a name: 37 times the hash so far plus each character, of
// the name in upper case. Only for names of ASCII characters, whose upper
// case is not in doubt.
std::uint32_t asciiNameHash(std::wstring_view name);

struct KeyValue {
    std::uint32_t type = 0;
    std::uint32_t dataSize = 0; // without the inline flag
    bool inlineData = false;    // up to four bytes, kept in dataField itself
    std::uint32_t dataField = 0;
    ByteView name;
    bool asciiName = false;
};

// The value at position index of the node's value list. False with pastEnd
// set when there is no such position.
bool valueAt(const HiveImage& hive, const KeyNode& node, std::uint32_t index, KeyValue& value,
             bool& pastEnd);

// Copies the value's whole data (value.dataSize bytes) to out, which must
// hold that many; big data is gathered from its segments. False when the
// data cannot be read in full.
bool copyValueData(const HiveImage& hive, const KeyValue& value, std::uint8_t* out);

namespace detail {

// A leaf list's elements: their count, size and kind of hint.
bool leafList(const ByteView& list, std::uint32_t& count, std::uint32_t& stride, SubkeyHint& hint);
bool listCell(const HiveImage& hive, std::uint32_t offset, ByteView& list);

// What a visit of one leaf list asks next.
enum class LeafStep {
    Next, // on to the next leaf
    Stop, // done, successfully
    Fail, // the leaf could not be read
};

// Calls visit(leaf) for each leaf list of the node's subkey list in stored
// order: the list itself when it is a leaf, each list it names when it is an
// index root ("ri", one level deep: its lists are leaves, never lists of
// lists). False when a list cannot be read.
template <typename VisitLeaf>
bool forEachLeaf(const HiveImage& hive, const KeyNode& node, VisitLeaf&& visit) {
    if (node.subkeyCount == 0 || node.subkeyList == 0xFFFFFFFFu) {
        return true;
    }
    ByteView list;
    if (!listCell(hive, node.subkeyList, list)) {
        return false;
    }
    if (list.size < 2 || list.data[0] != 'r' || list.data[1] != 'i') {
        return visit(list) != LeafStep::Fail;
    }
    std::uint16_t leaves = 0;
    list.readU16(2, leaves);
    if (!list.contains(4, 4ULL * leaves)) {
        return false;
    }
    for (std::uint32_t i = 0; i < leaves; ++i) {
        std::uint32_t leafOffset = 0;
        list.readU32(4 + 4ULL * i, leafOffset);
        ByteView leaf;
        if (!listCell(hive, leafOffset, leaf)) {
            return false;
        }
        const LeafStep step = visit(leaf);
        if (step != LeafStep::Next) {
            return step == LeafStep::Stop;
        }
    }
    return true;
}

} // namespace detail

template <typename Visit>
bool visitSubkeys(const HiveImage& hive, const KeyNode& node, Visit&& visit) {
    return detail::forEachLeaf(hive, node, [&](const ByteView& leaf) {
        std::uint32_t count = 0;
        std::uint32_t stride = 0;
        SubkeyHint kind = SubkeyHint::None;
        if (!detail::leafList(leaf, count, stride, kind)) {
            return detail::LeafStep::Fail;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t subkey = 0;
            std::uint32_t hint = 0;
            leaf.readU32(4 + static_cast<std::uint64_t>(i) * stride, subkey);
            if (stride == 8) {
                leaf.readU32(8 + static_cast<std::uint64_t>(i) * stride, hint);
            }
            if (!visit(subkey, kind, hint)) {
                return detail::LeafStep::Stop;
            }
        }
        return detail::LeafStep::Next;
    });
}

} // namespace tidewell
