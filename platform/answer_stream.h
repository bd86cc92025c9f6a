// The bytes a reader in a process of its own hands back (isolated_work.h):
// little-endian numbers and length-prefixed bytes, written in one process
// and read back in the other with every length checked against what is
// left, as any outside bytes are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/byte_reader.h"

namespace tidewell {

struct AnswerWriter {
    std::vector<std::uint8_t>& out;

    void u8(std::uint8_t value) { out.push_back(value); }
    void u32(std::uint32_t value) {
        for (int byte = 0; byte < 4; ++byte) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * byte)));
        }
    }
    void u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value));
        u32(static_cast<std::uint32_t>(value >> 32));
    }
    // Text of the program's own (UTF-16 units), each unit in four bytes.
    void text(const std::wstring& value) {
        u64(value.size());
        for (wchar_t unit : value) {
            u32(static_cast<std::uint32_t>(unit));
        }
    }
    template <typename Bytes> void bytes(const Bytes& value) {
        u64(value.size());
        out.insert(out.end(), value.begin(), value.end());
    }
};

struct AnswerReader {
    ByteView in;
    std::uint64_t at = 0;
    bool sound = true; // false once anything was cut short or past the end

    std::uint8_t u8() {
        if (!in.contains(at, 1)) {
            sound = false;
            return 0;
        }
        return in.data[at++];
    }
    std::uint32_t u32() {
        std::uint32_t value = 0;
        sound = sound && in.readU32(at, value);
        at += 4;
        return sound ? value : 0;
    }
    std::uint64_t u64() {
        std::uint64_t value = 0;
        sound = sound && in.readU64(at, value);
        at += 8;
        return sound ? value : 0;
    }
    // A count of entries each at least minimum bytes long, checked against
    // what is left before anything is made of it.
    std::uint64_t count(std::uint64_t minimum) {
        const std::uint64_t entries = u64();
        if (!sound || at > in.size || (minimum != 0 && entries > (in.size - at) / minimum)) {
            sound = false;
            return 0;
        }
        return entries;
    }
    void text(std::wstring& value) {
        for (std::uint64_t units = count(4); units != 0 && sound; --units) {
            value.push_back(static_cast<wchar_t>(u32() & 0xffff));
        }
    }
    template <typename Bytes> void bytes(Bytes& value) {
        const std::uint64_t size = count(1);
        if (!sound) {
            return;
        }
        value.assign(in.data + at, in.data + at + size);
        at += size;
    }
    // Whole: sound, and nothing left over.
    bool whole() const { return sound && at == in.size; }
};

} // namespace tidewell
