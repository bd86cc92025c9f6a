// Any bytes as one BAM/DAM value: the first byte gives its registry type and
// the moderator, the next two the length of its name (UTF-16LE after them),
// the rest its data. A record or exactly one counted reason, a time only
// when it is a possible one.
#include <cstdlib>
#include <string>

#include "bam/bam_counters.h"
#include "bam/bam_details.h"
#include "bam/bam_source.h"
#include "bam/bam_value.h"
#include "core/record_source.h"
#include "platform/possible_date.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const std::uint32_t type = data[0] & 0x0F;
    std::size_t nameBytes = static_cast<std::size_t>(data[1] | data[2] << 8) & ~std::size_t{1};
    nameBytes = nameBytes > size - 3 ? (size - 3) & ~std::size_t{1} : nameBytes;
    std::wstring name;
    for (std::size_t at = 3; at + 1 < 3 + nameBytes; at += 2) {
        name.push_back(static_cast<wchar_t>(data[at] | data[at + 1] << 8));
    }
    const std::uint8_t* value = data + 3 + nameBytes;
    const auto valueSize = static_cast<std::uint32_t>(size - 3 - nameBytes);
    constexpr tidewell::FileTime now = 133616736000000000ULL;
    const tidewell::BamContext context{(data[0] & 0x10) != 0 ? tidewell::Moderator::Desktop
                                                             : tidewell::Moderator::Background,
                                       L"S-1-5-21-1-2-3-1001", L"someone", now};
    tidewell::ScanTally tally;
    tidewell::LaunchRecord record;
    const bool made = tidewell::makeBamRecord(name, type, valueSize == 0 ? nullptr : value,
                                              valueSize, context, tally, record);
    if (!made) {
        if (tally[tidewell::bamUnknownShape] != 1 || tally[tidewell::bamParsed] != 0 ||
            (type == 3 && valueSize >= 8)) {
            std::abort();
        }
        return 0;
    }
    const bool consistent =
        tally[tidewell::bamParsed] == 1 && tally[tidewell::bamUnknownShape] == 0 &&
        record.runTimes.size() <= 1 &&
        tally[tidewell::bamNoTime] + tally[tidewell::bamImpossibleDate] + record.runTimes.size() ==
            1 &&
        (record.runTimes.empty() || tidewell::isPossibleDate(record.runTimes[0], now)) &&
        record.source == &tidewell::bamSource &&
        tidewell::bamDetails(record)->recordedName == name &&
        (tidewell::bamDetails(record)->packagedApplication != 0) ==
            !tidewell::namesDevicePath(name);
    if (!consistent) {
        std::abort();
    }
    return 0;
}
