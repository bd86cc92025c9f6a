#include "bam/bam_value.h"

#include "platform/byte_reader.h"
#include "platform/possible_date.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

constexpr std::uint32_t registryBinary = 3; // REG_BINARY

// The last part of a backslash-separated path.
std::wstring lastPart(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

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
    if (type != registryBinary || !bytes.readU64(0, lastRun)) {
        ++tally.bamUnknownShape;
        return false;
    }
    record = makeRecord(RecordSource::Bam);
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
        ++tally.bamNoTime;
    } else if (!isPossibleDate(lastRun, context.now)) {
        ++tally.bamImpossibleDate; // withheld rather than shown wrongly
    } else {
        record.runTimes.push_back(lastRun);
    }
    ++tally.bamParsed;
    return true;
}

} // namespace tidewell
