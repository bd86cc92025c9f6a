#include "bam/bam_value.h"

#include "bam/bam_counters.h"
#include "bam/bam_details.h"
#include "bam/bam_source.h"
#include "platform/byte_reader.h"
#include "platform/path_join.h"
#include "platform/possible_date.h"
#include "platform/text_fold.h"
#include "registry/registry.h"

namespace tidewell {

bool isBamBookkeepingName(const std::wstring& name) {
    return equalsFolded(name, L"Version") || equalsFolded(name, L"SequenceNumber");
}

bool namesDevicePath(const std::wstring& name) {
    return startsWithFolded(name, L"\\Device\\");
}

bool makeBamRecord(const std::wstring& name, std::uint32_t type, const std::uint8_t* data,
                   std::uint32_t size, const BamContext& context, ScanTally& tally,
                   LaunchRecord& record) {
    const ByteView bytes{data, size};
    FileTime lastRun = 0;
    if (type != registryTypeBinary || !bytes.readU64(0, lastRun)) {
        ++tally[bamUnknownShape];
        return false;
    }
    record = makeRecord(bamSource);
    BamDetails& details = *bamDetails(record);
    details.desktopModerator = context.moderator == Moderator::Desktop ? 1 : 0;
    details.recordedName = name;
    if (namesDevicePath(name)) {
        record.name = lastPart(name);
        record.path = name; // placed on a drive, where that can be proved, by the scan
        record.pathStatus = PathStatus::VolumeNotIdentified;
    } else {
        // A packaged application, known by its family name.
        details.packagedApplication = 1;
        record.name = name;
        record.pathStatus = PathStatus::NoPathRecorded;
    }
    record.userSid = context.sid;
    record.userName = context.accountName;
    if (lastRun == 0) {
        ++tally[bamNoTime];
    } else if (!isPossibleDate(lastRun, context.now)) {
        ++tally[bamImpossibleDate]; // withheld rather than shown wrongly
    } else {
        record.runTimes.push_back(lastRun);
    }
    ++tally[bamParsed];
    return true;
}

} // namespace tidewell
