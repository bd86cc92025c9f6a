#include "core/scan_origin.h"

#include "platform/text_fold.h"

namespace tidewell {

NamesAgree hostNamesAgree(const std::wstring& recorded, const std::wstring& registry) {
    if (recorded.empty() || registry.empty()) {
        return NamesAgree::NotKnown;
    }
    const std::wstring firstLabel = recorded.substr(0, recorded.find(L'.'));
    return equalsFolded(recorded, registry) || equalsFolded(firstLabel, registry)
               ? NamesAgree::Agree
               : NamesAgree::Disagree;
}

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

} // namespace tidewell
