#include "srum/srum_ids.h"

#include <algorithm>

#include "platform/decimal_text.h"
#include "platform/text_fold.h"
#include "platform/utf16_text.h"

namespace tidewell {

namespace {

constexpr std::size_t sidMostSubAuthorities = 15;

// The part of text before the first '!' at or after start.
std::wstring fieldAt(const std::wstring& text, std::size_t start) {
    const std::size_t end = text.find(L'!', start);
    return text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

std::wstring lastComponent(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool startsWithFolded(const std::wstring& text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           foldText(text.substr(0, prefix.size())) == foldText(std::wstring(prefix));
}

bool drivePath(const std::wstring& text) {
    return text.size() >= 3 && text[1] == L':' && text[2] == L'\\' &&
           ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z'));
}

} // namespace

bool sidText(const std::vector<std::uint8_t>& bytes, std::wstring& text) {
    if (bytes.size() < 8 || bytes[0] != 1 || bytes[1] > sidMostSubAuthorities ||
        bytes.size() != 8 + 4 * static_cast<std::size_t>(bytes[1])) {
        return false;
    }
    std::uint64_t authority = 0;
    for (std::size_t byte = 2; byte < 8; ++byte) {
        authority = (authority << 8) | bytes[byte]; // big-endian, unlike the rest
    }
    text = L"S-1-" + decimalText(authority);
    for (std::size_t sub = 0; sub < bytes[1]; ++sub) {
        const std::size_t at = 8 + 4 * sub;
        const std::uint32_t value = static_cast<std::uint32_t>(bytes[at]) |
                                    (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
                                    (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
                                    (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
        text += L"-" + decimalText(value);
    }
    return true;
}

SrumProgram srumProgram(const SrumIdEntry* entry) {
    SrumProgram program;
    if (entry == nullptr) {
        return program;
    }
    program.recorded = utf16leTextTrimmed(entry->blob.data(), entry->blob.size());
    const std::wstring& text = program.recorded;
    program.name = text;
    switch (static_cast<SrumIdType>(entry->type)) {
    case SrumIdType::Service:
        program.kind = SrumProgramKind::Service;
        return program;
    case SrumIdType::Package:
        program.kind = SrumProgramKind::Package;
        program.package = fieldAt(text, 0);
        program.name = program.package;
        return program;
    case SrumIdType::User: {
        // A user where a program belongs: named by its SID, if it is one.
        program.kind = SrumProgramKind::Named;
        std::wstring sid;
        if (sidText(entry->blob, sid)) {
            program.recorded = sid;
            program.name = sid;
        }
        return program;
    }
    case SrumIdType::Application:
    default:
        break;
    }
    if (text.starts_with(L"!!")) {
        // !!svchost.exe!2013/03/29:14:54:16!1f834![netsvcs] [Schedule]
        program.kind = SrumProgramKind::HostedName;
        const std::wstring file = fieldAt(text, 2);
        if (!file.empty()) {
            program.name = file;
        }
    } else if (startsWithFolded(text, L"\\device\\") || drivePath(text)) {
        program.kind = SrumProgramKind::Path;
        program.path = text;
        program.name = lastComponent(text);
    } else {
        program.kind = SrumProgramKind::Named;
    }
    return program;
}

SrumIdMap srumIdMap(const std::vector<SrumIdEntry>& ids) {
    SrumIdMap map;
    map.sorted.reserve(ids.size());
    for (const SrumIdEntry& entry : ids) {
        map.sorted.push_back(&entry);
    }
    std::stable_sort(
        map.sorted.begin(), map.sorted.end(),
        [](const SrumIdEntry* a, const SrumIdEntry* b) { return a->index < b->index; });
    return map;
}

const SrumIdEntry* SrumIdMap::find(std::uint32_t index) const {
    const auto found = std::lower_bound(
        sorted.begin(), sorted.end(), index,
        [](const SrumIdEntry* entry, std::uint32_t wanted) { return entry->index < wanted; });
    return found != sorted.end() && (*found)->index == index ? *found : nullptr;
}

} // namespace tidewell
