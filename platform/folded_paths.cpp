#include "platform/folded_paths.h"

#include "platform/files.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

bool kindMatches(EntryKind kind, bool isDirectory) {
    return kind == EntryKind::Any || (kind == EntryKind::Folder) == isDirectory;
}

} // namespace

bool findEntryFolded(const std::wstring& folder, std::wstring_view name, EntryKind kind,
                     std::wstring& path) {
    DirectoryListing listing;
    DirectoryEntry entry;
    std::uint32_t error = 0;
    if (name.empty() || !findFirstFile(joinPath(folder, L"*"), listing, entry, error)) {
        return false;
    }
    std::wstring folded;
    do {
        if (!kindMatches(kind, entry.isDirectory) || !equalsFolded(entry.name, name)) {
            continue;
        }
        if (entry.name == name) {
            path = joinPath(folder, entry.name);
            return true;
        }
        if (folded.empty()) {
            folded = entry.name;
        }
    } while (findNextFile(listing, entry, error));
    if (folded.empty()) {
        return false;
    }
    path = joinPath(folder, folded);
    return true;
}

bool findPathFolded(const std::wstring& base, std::wstring_view relative, EntryKind kind,
                    std::wstring& path) {
    std::wstring current = base;
    std::size_t at = 0;
    while (at <= relative.size()) {
        std::size_t end = relative.find(L'\\', at);
        if (end == std::wstring_view::npos) {
            end = relative.size();
        }
        const std::wstring_view part = relative.substr(at, end - at);
        at = end + 1;
        if (part.empty()) {
            continue;
        }
        const bool last = at > relative.size();
        if (!findEntryFolded(current, part, last ? kind : EntryKind::Folder, current)) {
            return false;
        }
    }
    path = current;
    return true;
}

} // namespace tidewell
