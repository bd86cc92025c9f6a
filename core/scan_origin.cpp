#include "core/scan_origin.h"

#include <algorithm>

namespace tidewell {

const wchar_t* sourcePresenceWords(SourcePresence presence) {
    switch (presence) {
    case SourcePresence::NotLooked:
        return L"not looked for";
    case SourcePresence::Read:
        break;
    case SourcePresence::NotPresent:
        return L"not present";
    case SourcePresence::Unreadable:
        return L"could not be read";
    case SourcePresence::HeldOpen:
        return L"held open by the running Windows - not read while it runs";
    }
    return L"read";
}

SourceReading& readingOf(ScanOrigin& origin, const RecordSource& source) {
    for (SourceReading& reading : origin.sources) {
        if (reading.source == &source) {
            return reading;
        }
    }
    origin.sources.push_back({&source, SourcePresence::NotLooked, {}, {}});
    return origin.sources.back();
}

SourceReading readingOf(const ScanOrigin& origin, const RecordSource& source) {
    for (const SourceReading& reading : origin.sources) {
        if (reading.source == &source) {
            return reading;
        }
    }
    return {&source, SourcePresence::NotLooked, {}, {}};
}

void keepSpan(std::vector<KeptSpan>& spans, const std::wstring& name, std::uint64_t oldest) {
    if (oldest == 0) {
        return;
    }
    for (KeptSpan& span : spans) {
        if (span.name == name) {
            span.oldest = std::min(span.oldest, oldest);
            return;
        }
    }
    spans.push_back({name, oldest});
}

} // namespace tidewell
