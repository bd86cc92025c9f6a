// Resolving links with realpath() and looking at what is there with stat()
// or lstat(), none of which opens the file itself.
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/file_place.h"
#include "platform/posix/posix_host.h"
#include "platform/utf8_codec.h"

namespace tidewell {

FilePlace resolvePlace(const std::wstring& path) {
    FilePlace place;
    const std::unique_ptr<char, decltype(&std::free)> real(
        ::realpath(posix::hostPath(path).c_str(), nullptr), &std::free);
    if (real == nullptr) {
        place.type = errno == ELOOP                        ? PlaceType::LinkLoop
                     : errno == ENOENT || errno == ENOTDIR ? PlaceType::Missing
                                                           : PlaceType::Unreadable;
        return place;
    }
    struct stat info {};
    if (::stat(real.get(), &info) != 0) {
        place.type = PlaceType::Unreadable;
        return place;
    }
    place.type = S_ISREG(info.st_mode)   ? PlaceType::File
                 : S_ISDIR(info.st_mode) ? PlaceType::Folder
                                         : PlaceType::Special;
    place.realPath = fromUtf8(real.get());
    return place;
}

FilePlace resolveEntryPlace(const std::wstring& realFolder, std::wstring_view name,
                            const std::wstring& path) {
    std::wstring entry = realFolder;
    if (entry.empty() || entry.back() != L'/') {
        entry.push_back(L'/');
    }
    entry.append(name);
    FilePlace place;
    struct stat info {};
    if (::lstat(posix::hostPath(entry).c_str(), &info) != 0) {
        place.type =
            errno == ENOENT || errno == ENOTDIR ? PlaceType::Missing : PlaceType::Unreadable;
        return place;
    }
    if (S_ISLNK(info.st_mode)) {
        return resolvePlace(path);
    }
    place.type = S_ISREG(info.st_mode)   ? PlaceType::File
                 : S_ISDIR(info.st_mode) ? PlaceType::Folder
                                         : PlaceType::Special;
    place.realPath = std::move(entry);
    return place;
}

} // namespace tidewell
