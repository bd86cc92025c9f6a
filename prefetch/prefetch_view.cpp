// How a Prefetch record is shown, and how the banner and the report speak
// of the source: its row of the table of sources.
#include "core/path_status_word.h"
#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "platform/text_format.h"
#include "platform/timestamp_format.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/prefetch_join.h"
#include "prefetch/prefetch_setup.h"
#include "prefetch/prefetch_source.h"

namespace tidewell {

namespace {

const PrefetchDetails& detailsOf(const LaunchRecord& record) {
    static const PrefetchDetails none;
    const PrefetchDetails* details = prefetchDetails(record);
    return details != nullptr ? *details : none;
}

// A path on a shadow copy (a snapshot of a volume, which carries the serial
// of the volume it copies).
bool onShadowCopy(const std::wstring& path) {
    return startsWithFolded(path, L"\\DEVICE\\HARDDISKVOLUMESHADOWCOPY");
}

// The kernel's name of a volume, as opposed to a packaged app's name.
bool isDevicePath(const std::wstring& path) {
    return startsWithFolded(path, L"\\DEVICE\\");
}

// The versions that keep eight run times; the older ones keep one.
bool keepsEightRunTimes(std::uint32_t version) {
    return version == 26 || version == 30 || version == 31;
}

// A moment as the view shows it; in UTC it says so, since the same text
// would otherwise read as local time.
std::wstring momentText(FileTime value, TimeBasis times) {
    std::wstring text = formatTimestamp(value, times);
    if (times == TimeBasis::Utc && !text.empty()) {
        text += L" UTC";
    }
    return text;
}

void cells(const LaunchRecord& record, SourceCells& cells) {
    const PrefetchDetails& details = detailsOf(record);
    cells.formatVersion = decimalText(details.formatVersion);
    cells.hash = hex8Text(details.pathHash);
    cells.referencedFiles = decimalText(details.referencedFiles.size());
}

std::wstring listDetail(const LaunchRecord& record) {
    const PrefetchDetails& details = detailsOf(record);
    return L"v" + decimalText(details.formatVersion) + L", " +
           decimalText(details.referencedFiles.size()) + L" files" +
           (details.deletedFile != 0 ? L", deleted" : L"");
}

std::wstring pathExplanation(const LaunchRecord& record, const PrefetchDetails& details,
                             const DetailContext& context) {
    switch (record.pathStatus) {
    case PathStatus::SeveralPossiblePaths:
        return std::wstring(L"  \u2014 more than one file the program loaded carries its name.") +
               detailUnder + L"The record does not say which of them the program was," +
               detailUnder + L"so all of the candidates are listed rather than one" + detailUnder +
               L"of them being chosen";
    case PathStatus::VolumeNotIdentified:
        if (onShadowCopy(record.path)) {
            return std::wstring(L"  \u2014 it lies on a shadow copy, a snapshot of a volume that") +
                   detailUnder + L"carries the serial of the volume it copies; rewritten onto" +
                   detailUnder + L"that volume it would name a file that may not be there";
        }
        if (context.evidence) {
            return std::wstring(L"  \u2014 only the examined machine's system volume can be") +
                   detailUnder + L"placed (by the serial its Prefetch files prove), and" +
                   detailUnder + L"this path is not on it";
        }
        return L"  \u2014 no single mounted volume answers to the serial it names";
    case PathStatus::Resolved:
        if (context.evidence) {
            return std::wstring(L"  \u2014 on the examined machine's system volume, which its") +
                   detailUnder + L"Prefetch files prove by its serial";
        }
        if (details.volumeSerial != 0) {
            if (details.volumeCount > 1) {
                return L"  \u2014 matched by volume serial. NOTE: the record names " +
                       decimalText(details.volumeCount) + detailUnder + L"volumes and " +
                       hex8Text(details.volumeSerial) + L" is only the first of them";
            }
            return L"  \u2014 matched to a mounted volume by serial " +
                   hex8Text(details.volumeSerial);
        }
        return L"";
    default:
        return L""; // a Prefetch record without a path only lacks a matching loaded file
    }
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const PrefetchDetails& details = detailsOf(record);
    parts.pathExplanation = pathExplanation(record, details, context);
    if (details.nameTruncated != 0) {
        parts.afterPath =
            L"\r\n    Windows stores the program's name in 60 bytes, so this one is cut\r\n"
            L"    at 29 characters and may be the front of a longer name.\r\n";
    }
    if (details.deletedFile != 0) {
        parts.afterPath +=
            L"\r\n    Read from a deleted file that the volume's file table still lists.\r\n"
            L"    What is left of it may have been overwritten: it passed every check,\r\n"
            L"    which is not proof that none of it was.\r\n";
    }
    std::wstring& text = parts.fields;
    text += L"Format version:    " + decimalText(details.formatVersion) + detailLineEnd;
    text += L"Path hash:         " + hex8Text(details.pathHash) + detailLineEnd;
    if (details.volumeSerial != 0) {
        text += L"Volume serial:     " + hex8Text(details.volumeSerial) + detailLineEnd;
        // Windows 10 and 11 files often leave the creation time empty.
        text += L"Volume created:    " +
                (details.volumeCreated == 0 ? std::wstring(L"not recorded")
                                            : momentText(details.volumeCreated, context.times)) +
                detailLineEnd;
    }
    text += L"Record file:       " + record.recordFile + detailLineEnd;
    if (!details.recordedPath.empty()) {
        text += L"Recorded path:     " + details.recordedPath + detailUnder;
        text += isDevicePath(details.recordedPath)
                    ? std::wstring(L"\u2014 the path Windows recorded for the program itself;") +
                          detailUnder + L"it names the volume as the kernel does, not by its letter"
                    : std::wstring(L"\u2014 the package Windows recorded for the program: a") +
                          detailUnder + L"packaged app, named by its package rather than a path";
        text += detailLineEnd;
    }
    if (keepsEightRunTimes(details.formatVersion)) {
        parts.runTimesTitle = L" (Windows keeps the last eight)";
    }
    std::wstring& tail = parts.afterRunTimes;
    if (details.runTimesOutOfOrder != 0) {
        tail += L"\r\n    These times are not in time order, though Windows writes the newest\r\n"
                L"    first: the clock was set back between runs (a correction at start-up,\r\n"
                L"    a virtual machine restored from a snapshot), or the file was altered.\r\n"
                L"    Last run shows the first of them, as Windows recorded it.\r\n";
    }
    if (!details.volumes.empty()) {
        tail += L"\r\nVolumes the file names (" + decimalText(details.volumes.size()) + L"):\r\n";
        for (const PrefetchVolume& volume : details.volumes) {
            tail += L"    " +
                    (volume.devicePath.empty() ? std::wstring(L"(no device path)")
                                               : volume.devicePath) +
                    L", serial " + hex8Text(volume.serial) + L", created " +
                    (volume.created == 0 ? std::wstring(L"not recorded")
                                         : momentText(volume.created, context.times)) +
                    detailLineEnd;
        }
    }
    if (!details.referencedFiles.empty()) {
        tail += L"\r\nFiles loaded while starting (" + decimalText(details.referencedFiles.size()) +
                L"):\r\n";
        for (const std::wstring& file : details.referencedFiles) {
            tail += L"    " + file + detailLineEnd;
        }
    }
}

// The members an event shares with the whole record. A deleted file (read
// from an image's file table) says so; no other ever names the member.
void fileMembers(JsonWriter& json, const PrefetchDetails& details) {
    if (details.deletedFile != 0) {
        json.memberFlag("deleted_file", true);
    }
    json.memberFlag("name_truncated", details.nameTruncated != 0);
    json.memberFlag("run_times_out_of_order", details.runTimesOutOfOrder != 0);
    json.member("format_version", details.formatVersion);
    json.member("path_hash", hex8Text(details.pathHash));
}

void jsonMembers(JsonWriter& json, const LaunchRecord* record) {
    if (record == nullptr) {
        json.memberFlag("name_truncated", false);
        for (const char* member :
             {"run_times_out_of_order", "format_version", "path_hash", "referenced_files",
              "volume_created", "volume_serial", "volume_count", "volumes", "recorded_path"}) {
            json.memberNull(member);
        }
        return;
    }
    const PrefetchDetails& details = detailsOf(*record);
    fileMembers(json, details);
    json.key("referenced_files");
    json.beginArray();
    for (const std::wstring& file : details.referencedFiles) {
        json.string(file);
    }
    json.endArray();
    jsonOptionalMoment(json, "volume_created", details.volumeCreated);
    json.member("volume_serial", details.volumeSerial);
    json.member("volume_count", details.volumeCount);
    json.key("volumes");
    json.beginArray();
    for (const PrefetchVolume& volume : details.volumes) {
        json.beginObject();
        json.member("device_path", volume.devicePath);
        json.member("serial", volume.serial);
        json.member("serial_hex", hex8Text(volume.serial));
        jsonOptionalMoment(json, "created", volume.created);
        json.endObject();
    }
    json.endArray();
    json.member("recorded_path", details.recordedPath);
}

void eventMembers(JsonWriter& json, const LaunchRecord* record) {
    if (record == nullptr) {
        json.memberFlag("name_truncated", false);
        for (const char* member : {"run_times_out_of_order", "format_version", "path_hash",
                                   "recorded_path", "volume_serial"}) {
            json.memberNull(member);
        }
        return;
    }
    const PrefetchDetails& details = detailsOf(*record);
    fileMembers(json, details);
    json.member("recorded_path", details.recordedPath);
    json.member("volume_serial", details.volumeSerial);
}

std::wstring eventMessage(const LaunchRecord& record, std::size_t run, const std::wstring& onHost,
                          const std::wstring& fromWhere) {
    return record.name + L" was started" + onHost + fromWhere + L"; run time " +
           decimalText(run + 1) + L" of " + decimalText(record.runTimes.size()) +
           L" in its Prefetch file, which does not record the user";
}

// One record per Prefetch file: its name (the program and its path hash),
// the files a file table lists as deleted apart from the live ones.
std::wstring mergeKey(const LaunchRecord& record) {
    const std::wstring file = foldText(lastPart(record.recordFile));
    return detailsOf(record).deletedFile != 0 ? L"deleted " + file : file;
}

std::any newDetails() {
    return PrefetchDetails{};
}

// Prefetching switched off: Windows was not recording program starts, so
// that a program's absence from the list means nothing.
std::wstring switchedOff(const ScanFacts& facts, bool evidence) {
    const FactValue enabled = facts[prefetchEnabled];
    if (enabled.state != FactState::Known || enabled.value != 0) {
        return {};
    }
    return evidence ? L"\u26A0  Prefetching was switched off on the examined machine, so Windows "
                      L"was not recording program starts. An absent entry means nothing here."
                    : L"\u26A0  Prefetching is switched off on this machine, so Windows is not "
                      L"recording program starts. An absent entry means nothing here.";
}

// How many files the machine's Windows kept, which bounds the span.
std::wstring retentionNote(const ScanFacts& facts) {
    const FactValue limit = facts[prefetchRetentionLimit];
    if (limit.state != FactState::Known) {
        return L"; how many prefetch files the examined machine's Windows kept is not known.";
    }
    return L"; Windows keeps at most " + decimalText(limit.value) +
           L" prefetch files and discards the oldest.";
}

constexpr const wchar_t* reportCaution[] = {
    L"Prefetch records whatever the system started, including things",
    L"no person clicked. A row is not proof that somebody did it.",
    nullptr,
};

} // namespace

const RecordSource prefetchSource = {
    .number = 0,
    .word = L"Prefetch",
    .described = L"Prefetch (system record of program starts)",
    .runTimeMeaning = L"Prefetch: program run",
    .viewMenuText = L"Show &Prefetch records",
    .countsRuns = true,
    .timesAreRuns = true,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"Prefetch",
            .bannerName = L"Prefetch",
            .cautionPlace = 2,
            .reportCaution = reportCaution,
            .bannerCaution =
                L"Prefetch records whatever Windows started, including things nobody clicked.",
            // Rights are no answer for a copy: a restart would not bring its folder.
            .unreadSentence = L"\u26A0  Prefetch could not be read, so none of its records were "
                              L"examined. This list is not a full picture of what ran.  Use File > "
                              L"Restart as administrator.",
            .unreadSentenceEvidence =
                L"\u26A0  The evidence's Prefetch folder could not be read, so none of its "
                L"records were examined. This list is not a full picture of what ran.",
            .warning = switchedOff,
            .spanNote = retentionNote,
        },
    .counters = prefetchCounters,
    .facts = prefetchFacts,
    .newDetails = newDetails,
    .namedTimes = nullptr,
    .cells = cells,
    .listDetail = listDetail,
    .detailParts = detailParts,
    .jsonMembers = jsonMembers,
    .eventMembers = eventMembers,
    .eventMessage = eventMessage,
    .mergeKey = mergeKey,
    .joinFacts = prefetchJoinFacts,
    .countWords = prefetchCountWords,
};

} // namespace tidewell
