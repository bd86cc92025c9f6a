#include "platform/whole_file.h"

#include <algorithm>

#include "platform/error_codes.h"
#include "platform/files.h"

namespace tidewell {

namespace {

constexpr std::uint32_t pieceSize = 16u * 1024 * 1024;

} // namespace

namespace {

WholeFileRead openFailure(std::uint32_t error) {
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        return WholeFileRead::Missing;
    }
    return error == ERROR_SHARING_VIOLATION ? WholeFileRead::InUse : WholeFileRead::Unreadable;
}

WholeFileRead readOpened(const ReadableFile& file, std::uint64_t limit,
                         std::vector<std::uint8_t>& bytes) {
    std::uint64_t size = 0;
    if (!getFileSize(file, size)) {
        return WholeFileRead::Unreadable;
    }
    if (size > limit) {
        return WholeFileRead::TooLarge;
    }
    bytes.resize(static_cast<std::size_t>(size));
    std::uint64_t done = 0;
    while (done < size) {
        const auto wanted =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(pieceSize, size - done));
        std::uint32_t got = 0;
        if (!readFile(file, bytes.data() + done, wanted, got) || got != wanted) {
            bytes.clear();
            return WholeFileRead::Unreadable;
        }
        done += got;
    }
    return WholeFileRead::Read;
}

// The real path's part below the real root, backslash-separated.
std::wstring belowRoot(const std::wstring& realPath, const std::wstring& realRoot) {
    std::wstring relative = realPath.substr(std::min(realRoot.size(), realPath.size()));
    while (!relative.empty() && (relative.front() == L'/' || relative.front() == L'\\')) {
        relative.erase(relative.begin());
    }
    return relative;
}

} // namespace

WholeFileRead readWholeFileUpTo(const std::wstring& path, std::uint64_t limit,
                                std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    ReadableFile file;
    std::uint32_t error = 0;
    if (!openFileForReading(path, file, error)) {
        return openFailure(error);
    }
    return readOpened(file, limit, bytes);
}

WholeFileRead readWholeFileUpTo(FileScope& scope, const std::wstring& path, std::uint64_t limit,
                                std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    Refusal why = Refusal::None;
    std::wstring realPath;
    if (!mayReadFile(scope, path, why, &realPath)) {
        return why == Refusal::None ? WholeFileRead::Missing : WholeFileRead::Refused;
    }
    if (!scope.confined) {
        return readWholeFileUpTo(path, limit, bytes);
    }
    // Opened where the check found it, following no link: a link swapped in
    // since cannot lead the read outside.
    ReadableFile file;
    std::uint32_t error = 0;
    if (!openFileBelow(scope.realRoot, belowRoot(realPath, scope.realRoot), file, error)) {
        if (error == ERROR_CANT_RESOLVE_FILENAME) {
            refuse(scope, path, Refusal::BecameLink);
            return WholeFileRead::Refused;
        }
        return openFailure(error);
    }
    return readOpened(file, limit, bytes);
}

} // namespace tidewell
