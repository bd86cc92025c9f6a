#include "ui/detail_text.h"

#include "core/path_status_word.h"
#include "platform/decimal_text.h"
#include "platform/text_fold.h"
#include "platform/text_format.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

constexpr wchar_t lineEnd[] = L"\r\n";
// Continuation lines of an explanation start under the values.
constexpr wchar_t under[] = L"\r\n                   ";

bool isUserAssist(const LaunchRecord& record) {
    return record.source != RecordSource::Prefetch;
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

std::wstring pathExplanation(const LaunchRecord& record, const DetailContext& context) {
    switch (record.pathStatus) {
    case PathStatus::NoPathRecorded:
        // A UserAssist name without a path names an application; a Prefetch
        // record without one only lacks a matching loaded file.
        return isUserAssist(record)
                   ? L"  \u2014 this record identifies an application, not a file on disk"
                   : L"";
    case PathStatus::SeveralPossiblePaths:
        return std::wstring(L"  \u2014 more than one file the program loaded carries its name.") +
               under + L"The record does not say which of them the program was," + under +
               L"so all of the candidates are listed rather than one" + under +
               L"of them being chosen";
    case PathStatus::VolumeNotIdentified:
        if (onShadowCopy(record.path)) {
            return std::wstring(L"  \u2014 it lies on a shadow copy, a snapshot of a volume that") +
                   under + L"carries the serial of the volume it copies; rewritten onto" + under +
                   L"that volume it would name a file that may not be there";
        }
        if (context.evidence) {
            return std::wstring(L"  \u2014 only the examined machine's system volume can be") +
                   under + L"placed (by the serial its Prefetch files prove), and" + under +
                   L"this path is not on it";
        }
        return L"  \u2014 no single mounted volume answers to the serial it names";
    case PathStatus::FolderIdUnresolved:
        if (context.evidence) {
            return L"  \u2014 the examined machine's registry does not say where it was";
        }
        if (record.source == RecordSource::UserAssist && !record.userSid.empty() &&
            !equalsFolded(record.userSid, context.runningSid)) {
            return std::wstring(
                       L"  \u2014 a folder inside a profile. It can only be located with") +
                   under + L"the rights of the account it belongs to, and this" + under +
                   L"record does not belong to the account running the tool";
        }
        return L"  \u2014 the shell did not recognise this folder id";
    case PathStatus::Resolved:
        if (isUserAssist(record) && record.folderAtDefault != 0) {
            return std::wstring(L"  \u2014 the examined machine's registry does not record") +
                   under + L"where this folder was, so it is placed where Windows" + under +
                   L"puts it by default" +
                   (startsWithFolded(record.path, L"%SystemDrive%")
                        ? std::wstring(L"; nor does it record the letter") + under +
                              L"of its system drive, hence %SystemDrive%"
                        : std::wstring());
        }
        if (record.source == RecordSource::Prefetch && context.evidence) {
            return std::wstring(L"  \u2014 on the examined machine's system volume, which its") +
                   under + L"Prefetch files prove by its serial";
        }
        if (record.source == RecordSource::Prefetch && record.volumeSerial != 0) {
            if (record.volumeCount > 1) {
                return L"  \u2014 matched by volume serial. NOTE: the record names " +
                       decimalText(record.volumeCount) + under + L"volumes and " +
                       hex8Text(record.volumeSerial) + L" is only the first of them";
            }
            return L"  \u2014 matched to a mounted volume by serial " +
                   hex8Text(record.volumeSerial);
        }
        return L"";
    }
    return L""; // a status above 4
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

} // namespace

std::wstring buildDetailText(const LaunchRecord& record, const DetailContext& context) {
    const bool userAssist = isUserAssist(record);
    std::wstring text = record.name + L"\r\n\r\n";
    text += L"Source:            ";
    text += userAssist ? L"UserAssist (shell record of user launches)"
                       : L"Prefetch (system record of program starts)";
    text += lineEnd;
    text +=
        L"Path:              " + (record.path.empty() ? L"(none recorded)" : record.path) + lineEnd;
    text += std::wstring(L"Path status:       ") + pathStatusWord(record.pathStatus) +
            pathExplanation(record, context) + lineEnd;
    if (!userAssist && record.nameTruncated != 0) {
        text += L"\r\n    Windows stores the program's name in 60 bytes, so this one is cut\r\n"
                L"    at 29 characters and may be the front of a longer name.\r\n";
    }
    text += L"Times run:         ";
    text +=
        record.runCountKnown != 0
            ? decimalText(record.runCount)
            : std::wstring(L"withheld \u2014 the stored value failed a consistency check and is "
                           L"not shown rather than shown wrongly");
    text += lineEnd;
    if (record.source == RecordSource::UserAssist && record.runCount == 0 &&
        record.focusCount == 0 && record.focusMilliseconds == 0 && !record.runTimes.empty()) {
        text += L"\r\n    This record carries a timestamp while its launch tally, its focus\r\n"
                L"    count and its focus time are all zero. The shell wrote the entry and\r\n"
                L"    stamped it without counting a launch. The stamp is real; it is not on\r\n"
                L"    its own evidence that the program was started.\r\n";
    }
    if (userAssist) {
        text += L"User:              ";
        if (context.evidence) {
            text +=
                (record.userName.empty() ? std::wstring(L"(no profile folder)") : record.userName) +
                L" (the name of the profile's folder; the examined machine's" + under +
                L"account names are not read)";
        } else {
            text += record.userName.empty() ? L"(the SID resolves to no account)" : record.userName;
        }
        text += lineEnd;
        text += L"User SID:          " + (record.userSid.empty() ? L"(unknown)" : record.userSid) +
                lineEnd;
        if (record.hasFocus != 0) {
            text += L"Window focus:      " + decimalText(record.focusCount) + L" times, " +
                    fixedText(record.focusMilliseconds / 1000.0, 1) + L" seconds total" + lineEnd;
        }
    } else {
        text += L"Format version:    " + decimalText(record.formatVersion) + lineEnd;
        text += L"Path hash:         " + hex8Text(record.pathHash) + lineEnd;
        if (record.volumeSerial != 0) {
            text += L"Volume serial:     " + hex8Text(record.volumeSerial) + lineEnd;
            // Windows 10 and 11 files often leave the creation time empty.
            text += L"Volume created:    " +
                    (record.volumeCreated == 0 ? std::wstring(L"not recorded")
                                               : momentText(record.volumeCreated, context.times)) +
                    lineEnd;
        }
        text += L"Record file:       " + record.recordFile + lineEnd;
        if (!record.recordedPath.empty()) {
            text += L"Recorded path:     " + record.recordedPath + under;
            text +=
                isDevicePath(record.recordedPath)
                    ? std::wstring(L"\u2014 the path Windows recorded for the program itself;") +
                          under + L"it names the volume as the kernel does, not by its letter"
                    : std::wstring(L"\u2014 the package Windows recorded for the program: a") +
                          under + L"packaged app, named by its package rather than a path";
            text += lineEnd;
        }
    }
    text += L"\r\nRecorded run times";
    if (!userAssist && keepsEightRunTimes(record.formatVersion)) {
        text += L" (Windows keeps the last eight)";
    }
    text += L":\r\n";
    if (record.runTimes.empty()) {
        text += L"    none recorded \u2014 this is not the same as never having run\r\n";
    } else {
        for (FileTime run : record.runTimes) {
            text += L"    " + momentText(run, context.times) + lineEnd;
        }
    }
    if (!userAssist && record.runTimesOutOfOrder != 0) {
        text += L"\r\n    These times are not in time order, though Windows writes the newest\r\n"
                L"    first: the clock was set back between runs (a correction at start-up,\r\n"
                L"    a virtual machine restored from a snapshot), or the file was altered.\r\n"
                L"    Last run shows the first of them, as Windows recorded it.\r\n";
    }
    if (!record.volumes.empty()) {
        text += L"\r\nVolumes the file names (" + decimalText(record.volumes.size()) + L"):\r\n";
        for (const PrefetchVolume& volume : record.volumes) {
            text += L"    " +
                    (volume.devicePath.empty() ? std::wstring(L"(no device path)")
                                               : volume.devicePath) +
                    L", serial " + hex8Text(volume.serial) + L", created " +
                    (volume.created == 0 ? std::wstring(L"not recorded")
                                         : momentText(volume.created, context.times)) +
                    lineEnd;
        }
    }
    if (!record.referencedFiles.empty()) {
        text += L"\r\nFiles loaded while starting (" + decimalText(record.referencedFiles.size()) +
                L"):\r\n";
        for (const std::wstring& file : record.referencedFiles) {
            text += L"    " + file + lineEnd;
        }
    }
    return text;
}

} // namespace tidewell
