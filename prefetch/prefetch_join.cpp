// What a Prefetch record says that ties it to its program beyond its path:
// the hash its name carries, the device path it records for the program, a
// packaged application's name, and when the program's volume was created.
#include "prefetch/prefetch_join.h"

#include "platform/decimal_text.h"
#include "platform/text_fold.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/volume_path.h"

namespace tidewell {

namespace {

// A loaded file that is the program itself: its name is the executable's,
// or begins with it where the name field cut a long name short.
// plainName: the program's name holds no separator, so that a whole one can
// be compared with the path's tail alone.
bool namesProgram(std::wstring_view referenced, const LaunchRecord& record,
                  const PrefetchDetails& details, bool plainName) {
    if (details.nameTruncated == 0 && plainName) {
        // The whole name, at the end after a separator: only the tail is read.
        const std::size_t size = record.name.size();
        if (referenced.size() < size) {
            return false;
        }
        const std::size_t at = referenced.size() - size;
        return (at == 0 || referenced[at - 1] == L'\\' || referenced[at - 1] == L'/') &&
               equalsFolded(referenced.substr(at), record.name);
    }
    const std::size_t separator = referenced.find_last_of(L"\\/");
    const std::wstring_view name =
        separator == std::wstring_view::npos ? referenced : referenced.substr(separator + 1);
    return details.nameTruncated != 0 ? startsWithFolded(name, record.name)
                                      : equalsFolded(name, record.name);
}

// The one loaded file that is the program; empty where none or several
// different ones are.
std::wstring_view programReference(const LaunchRecord& record, const PrefetchDetails& details,
                                   bool devicePathsOnly) {
    std::wstring_view found;
    const bool plainName = record.name.find_first_of(L"\\/") == std::wstring::npos;
    for (const std::wstring& referenced : details.referencedFiles) {
        if (!namesProgram(referenced, record, details, plainName)) {
            continue;
        }
        DevicePath device;
        if (devicePathsOnly && !parseDevicePath(referenced, device)) {
            continue;
        }
        if (!found.empty() && !equalsFolded(found, referenced)) {
            return {};
        }
        found = referenced;
    }
    return found;
}

std::uint64_t volumeCreatedFor(std::wstring_view programPath, const PrefetchDetails& details) {
    VolumePath named;
    if (parseVolumePath(programPath, named)) {
        for (const PrefetchVolume& volume : details.volumes) {
            if (volume.serial == named.serial) {
                return volume.created;
            }
        }
        return 0;
    }
    for (const PrefetchVolume& volume : details.volumes) {
        if (!volume.devicePath.empty() && startsWithFolded(programPath, volume.devicePath) &&
            programPath.size() > volume.devicePath.size() &&
            programPath[volume.devicePath.size()] == L'\\') {
            return volume.created;
        }
    }
    return 0;
}

} // namespace

void prefetchJoinFacts(const LaunchRecord& record, JoinFacts& facts) {
    const PrefetchDetails* details = prefetchDetails(record);
    if (details == nullptr) {
        return;
    }
    facts.prefetchFile = true;
    facts.prefetchHash = details->pathHash;
    facts.prefetchVersion = details->formatVersion;
    DevicePath device;
    if (parseDevicePath(details->recordedPath, device)) {
        if (!isShadowCopyDevice(device.device)) {
            facts.devicePath = details->recordedPath;
        }
    } else if (!details->recordedPath.empty() && details->recordedPath.front() != L'\\') {
        facts.package = details->recordedPath; // a packaged application's full name
    }
    if (facts.devicePath.empty()) {
        const std::wstring_view referenced = programReference(record, *details, true);
        if (parseDevicePath(referenced, device) && !isShadowCopyDevice(device.device)) {
            facts.devicePath = referenced;
        }
    }
    const std::wstring_view program =
        !facts.devicePath.empty() ? facts.devicePath : programReference(record, *details, false);
    facts.volumeCreated = volumeCreatedFor(program, *details);
}

void prefetchCountWords(const LaunchRecord& record, std::wstring& text) {
    if (record.runCountKnown == 0) {
        text += L"run count withheld";
        return;
    }
    appendDecimal(text, record.runCount);
    text += record.runCount == 1 ? L" run" : L" runs";
}

} // namespace tidewell
