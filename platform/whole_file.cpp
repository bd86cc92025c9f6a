#include "platform/whole_file.h"

#include <algorithm>

#include "platform/error_codes.h"
#include "platform/files.h"

namespace tidewell {

namespace {

constexpr std::uint32_t pieceSize = 16u * 1024 * 1024;

} // namespace

WholeFileRead readWholeFileUpTo(const std::wstring& path, std::uint64_t limit,
                                std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    ReadableFile file;
    std::uint32_t error = 0;
    if (!openFileForReading(path, file, error)) {
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return WholeFileRead::Missing;
        }
        return error == ERROR_SHARING_VIOLATION ? WholeFileRead::InUse : WholeFileRead::Unreadable;
    }
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

WholeFileRead readWholeFileUpTo(FileScope& scope, const std::wstring& path, std::uint64_t limit,
                                std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    Refusal why = Refusal::None;
    if (!mayReadFile(scope, path, why)) {
        return why == Refusal::None ? WholeFileRead::Missing : WholeFileRead::Refused;
    }
    return readWholeFileUpTo(path, limit, bytes);
}

} // namespace tidewell
