// One value of the Background and Desktop Activity Moderators (BAM and DAM,
// Windows 10 1709 and later): named after the program, the full path of its
// file as the kernel knows it (\Device\HarddiskVolume3\...) or a packaged
// application's family name, its data holding the time the program last ran
// for that user (a FILETIME in its first eight bytes). The moderators' own
// bookkeeping values stand beside the programs'.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "platform/filetime.h"

namespace tidewell {

// Which moderator a value came from.
enum class Moderator : std::uint8_t {
    Background, // bam
    Desktop,    // dam
};

// "Version" and "SequenceNumber", in any case.
bool isBamBookkeepingName(const std::wstring& name);

// Named after a kernel device path (rather than a packaged application).
bool namesDevicePath(const std::wstring& name);

// What one user's key says, for every value of it.
struct BamContext {
    Moderator moderator = Moderator::Background;
    std::wstring sid;
    std::wstring accountName;
    FileTime now = 0; // a run time more than a day after it is not possible
};

// The value as a record, or false with its reason counted: data of another
// type than binary or shorter than a FILETIME. A time of 0 or one no clock
// could have written gives a record without a run time (the latter counted).
bool makeBamRecord(const std::wstring& name, std::uint32_t type, const std::uint8_t* data,
                   std::uint32_t size, const BamContext& context, ScanTally& tally,
                   LaunchRecord& record);

} // namespace tidewell
