// Any value name and data through the UserAssist entry decoder: one outcome,
// doubts counted beside the record, nothing read outside the data; an XP
// launch's name takes 16 bytes and no focus figures.
#include <cstdlib>
#include <string>

#include "userassist/userassist_counters.h"
#include "userassist/userassist_details.h"
#include "userassist/userassist_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    // First byte: flags; second: the name's length in UTF-16 units; then the
    // name; the rest is the value's data.
    const bool ownHive = (data[0] & 1) != 0;
    const std::size_t nameUnits = data[1];
    std::size_t at = 2;
    std::wstring encoded;
    for (std::size_t i = 0; i < nameUnits && at + 1 < size; ++i, at += 2) {
        encoded.push_back(static_cast<wchar_t>(data[at] | (data[at + 1] << 8)));
    }
    const std::wstring decoded = tidewell::decodeValueName(encoded);
    if (decoded.size() != encoded.size()) {
        std::abort();
    }
    const tidewell::HiveContext hive{L"S-1-5-21-1-2-3-1001", L"someone", ownHive};
    tidewell::ScanTally tally;
    tidewell::LaunchRecord record;
    const std::size_t dataSize = size - at;
    std::wstring kind;
    std::wstring launched;
    const bool windowsXp = tidewell::xpLaunchName(decoded, kind, launched);
    const std::size_t shape = windowsXp ? 16 : 72;
    const bool made =
        tidewell::makeUserAssistRecord(decoded, dataSize == 0 ? nullptr : data + at,
                                       static_cast<std::uint32_t>(dataSize), hive, tally, record);
    if (!made) {
        if (tally[tidewell::userAssistWrongSize] != 1 || tally[tidewell::userAssistParsed] != 0 ||
            dataSize == shape) {
            std::abort();
        }
        return 0;
    }
    const bool consistent =
        dataSize == shape && tally[tidewell::userAssistParsed] == 1 &&
        tally[tidewell::userAssistWrongSize] == 0 &&
        tidewell::userAssistDetails(record) != nullptr &&
        tidewell::userAssistDetails(record)->hasFocus == (windowsXp ? 0 : 1) &&
        tidewell::userAssistDetails(record)->windowsXpLayout == (windowsXp ? 1 : 0) &&
        record.runCountKnown == (tally[tidewell::userAssistXpCountBelowStart] == 0 ? 1 : 0) &&
        record.runTimes.size() <= 1 &&
        tally[tidewell::userAssistNoTimestamp] == (record.runTimes.empty() ? 1u : 0u) &&
        tally[tidewell::userAssistImpossibleDate] <= tally[tidewell::userAssistNoTimestamp] &&
        tally[tidewell::userAssistStampOnly] <= 1 &&
        tally[tidewell::folderIdsOtherUser] <= tally[tidewell::folderIdsUnresolved] &&
        (ownHive ? tally[tidewell::folderIdsOtherUser] == 0 : true) &&
        (record.pathStatus == tidewell::PathStatus::FolderIdUnresolved) ==
            (tally[tidewell::folderIdsUnresolved] == 1) &&
        (record.path.empty() || record.path.back() == L'\\' || !record.name.empty());
    if (!consistent) {
        std::abort();
    }
    return 0;
}
