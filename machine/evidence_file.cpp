#include "machine/evidence_file.h"

#include <algorithm>

#include "platform/error_codes.h"
#include "platform/path_join.h"

namespace tidewell {

EvidenceFileHandle openEvidenceFile(const std::wstring& path) {
    auto evidence = std::make_shared<EvidenceFile>();
    evidence->path = path;
    if (!openFileForReading(path, evidence->file, evidence->openError)) {
        return evidence;
    }
    if (!getFileSize(evidence->file, evidence->size)) {
        closeFile(evidence->file);
        evidence->openError = ERROR_CANTREAD;
    }
    return evidence;
}

EvidenceFileHandle openEvidenceFileBeside(const EvidenceFile& first, const std::wstring& path) {
    auto evidence = std::make_shared<EvidenceFile>();
    evidence->path = path;
    const auto slashed = [](std::wstring text) {
        std::replace(text.begin(), text.end(), L'\\', L'/');
        return text;
    };
    const std::wstring folder = folderPart(first.path);
    if (slashed(folderPart(path)) != slashed(folder)) {
        evidence->openError = ERROR_CANT_RESOLVE_FILENAME;
        return evidence;
    }
    if (!openFileBelow(folder.empty() ? std::wstring(L".") : folder, lastPart(path), evidence->file,
                       evidence->openError)) {
        return evidence;
    }
    if (!getFileSize(evidence->file, evidence->size)) {
        closeFile(evidence->file);
        evidence->openError = ERROR_CANTREAD;
    }
    return evidence;
}

bool evidenceOpen(const EvidenceFile& evidence) {
    return evidence.file.handle != nullptr;
}

bool readEvidenceAt(const EvidenceFile& evidence, std::uint64_t offset, std::uint8_t* buffer,
                    std::size_t size, std::size_t& bytesRead) {
    bytesRead = 0;
    // The platform reads at most 4 GiB at a time; the libraries ask for less.
    constexpr std::size_t piece = std::size_t{1} << 30;
    while (bytesRead < size) {
        const auto wanted = static_cast<std::uint32_t>(std::min(piece, size - bytesRead));
        std::uint32_t got = 0;
        if (!readFileAt(evidence.file, offset + bytesRead, buffer + bytesRead, wanted, got)) {
            return false;
        }
        bytesRead += got;
        if (got < wanted) {
            break; // the file ends here
        }
    }
    return true;
}

bool startsAsZip(const EvidenceFile& evidence) {
    std::uint8_t bytes[4] = {};
    std::size_t got = 0;
    return readEvidenceAt(evidence, 0, bytes, sizeof bytes, got) && got == sizeof bytes &&
           bytes[0] == 'P' && bytes[1] == 'K' &&
           ((bytes[2] == 3 && bytes[3] == 4) || (bytes[2] == 5 && bytes[3] == 6));
}

std::wstring openFailureText(std::uint32_t error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return L"there is no such file";
    case ERROR_ACCESS_DENIED:
        return L"access was denied";
    case ERROR_SHARING_VIOLATION:
        return L"another program holds it open";
    case ERROR_CANTREAD:
        return L"its size could not be read";
    case ERROR_CANT_RESOLVE_FILENAME:
        return L"it is not a regular file beside the first, reached through no link";
    default:
        break;
    }
    return L"system error " + std::to_wstring(error);
}

} // namespace tidewell
