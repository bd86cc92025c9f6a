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

bool findEntryFolded(FileScope& scope, const std::wstring& folder, std::wstring_view name,
                     EntryKind kind, std::wstring& path) {
    DirectoryListing listing;
    DirectoryEntry entry;
    std::uint32_t error = 0;
    if (name.empty() || !findFirstFile(joinPath(folder, L"*"), listing, entry, error)) {
        return false;
    }
    std::wstring exact;
    std::wstring folded;
    std::wstring otherKind; // the name, but not the kind: a folder's place taken by a file, a pipe,
                            // a broken link
    do {
        if (!equalsFolded(entry.name, name)) {
            continue;
        }
        if (!kindMatches(kind, entry.isDirectory)) {
            otherKind = entry.name;
            continue;
        }
        if (entry.name == name) {
            exact = entry.name;
            break;
        }
        if (folded.empty()) {
            folded = entry.name;
        }
    } while (findNextFile(listing, entry, error));
    closeListing(listing);
    const std::wstring& found = exact.empty() ? folded : exact;
    Refusal why = Refusal::None;
    if (found.empty()) {
        // Where a folder was looked for, what stands in its place is said.
        if (kind == EntryKind::Folder && !otherKind.empty()) {
            mayListFolder(scope, joinPath(folder, otherKind), why);
        }
        return false;
    }
    if (kind == EntryKind::Folder && !mayListFolder(scope, joinPath(folder, found), why)) {
        return false;
    }
    path = joinPath(folder, found);
    return true;
}

bool findPathFolded(FileScope& scope, const std::wstring& base, std::wstring_view relative,
                    EntryKind kind, std::wstring& path) {
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
        if (!findEntryFolded(scope, current, part, last ? kind : EntryKind::Folder, current)) {
            return false;
        }
    }
    path = current;
    return true;
}

} // namespace tidewell
