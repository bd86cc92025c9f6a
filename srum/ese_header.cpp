#include "srum/ese_header.h"

namespace tidewell {

namespace {

constexpr std::uint64_t signatureOffset = 4;
constexpr std::uint64_t stateOffset = 52;
constexpr std::uint64_t pageSizeOffset = 236;
// The part of the header every version of the engine sums.
constexpr std::uint64_t summedHeaderEnd = 668;
// The page sizes the engine has used; a header naming none is not read as
// one, so the whole-page sum never runs past a page it cannot have.
constexpr std::uint32_t pageSizes[] = {2048, 4096, 8192, 16384, 32768};

// The engine's header sum: its seed exclusive-or'd with every 32-bit word
// from the one after the checksum up to end.
bool headerSum(ByteView bytes, std::uint64_t end, std::uint32_t& sum) {
    if (!bytes.contains(0, end)) {
        return false;
    }
    sum = eseSignature;
    for (std::uint64_t offset = signatureOffset; offset + 4 <= end; offset += 4) {
        std::uint32_t word = 0;
        bytes.readU32(offset, word);
        sum ^= word;
    }
    return true;
}

bool knownPageSize(std::uint32_t size) {
    for (std::uint32_t known : pageSizes) {
        if (size == known) {
            return true;
        }
    }
    return false;
}

} // namespace

EseHeader readEseHeader(ByteView bytes) {
    EseHeader header;
    std::uint32_t signature = 0;
    std::uint32_t stored = 0;
    if (!bytes.readU32(0, stored) || !bytes.readU32(signatureOffset, signature) ||
        signature != eseSignature) {
        return header;
    }
    header.signature = true;
    bytes.readU32(stateOffset, header.state);
    bytes.readU32(pageSizeOffset, header.pageSize);
    std::uint32_t sum = 0;
    if (headerSum(bytes, summedHeaderEnd, sum) && sum == stored) {
        header.checksum = EseChecksum::Agrees;
    } else if (knownPageSize(header.pageSize) && headerSum(bytes, header.pageSize, sum) &&
               sum == stored) {
        header.checksum = EseChecksum::WholePage;
    }
    return header;
}

bool eseShutDownCleanly(std::uint32_t state) {
    return state == static_cast<std::uint32_t>(EseState::CleanShutdown);
}

bool matchEseHeaderChecksum(std::vector<std::uint8_t>& bytes) {
    const EseHeader primary = readEseHeader(ByteView{bytes.data(), bytes.size()});
    // A header wrong both ways is the reader's to refuse, whatever its backup.
    if (primary.checksum == EseChecksum::Wrong) {
        return false;
    }
    bool matched = false;
    for (const std::uint64_t at : {std::uint64_t{0}, std::uint64_t{primary.pageSize}}) {
        if (at >= bytes.size()) {
            break;
        }
        const ByteView copy{bytes.data() + at, bytes.size() - at};
        if (readEseHeader(copy).checksum != EseChecksum::WholePage) {
            continue;
        }
        std::uint32_t sum = 0;
        headerSum(copy, summedHeaderEnd, sum);
        for (std::size_t byte = 0; byte < 4; ++byte) {
            bytes[at + byte] = static_cast<std::uint8_t>(sum >> (8 * byte));
        }
        matched = true;
    }
    return matched;
}

} // namespace tidewell
