// This build reads no disk images: the Linux tool does (it has The Sleuth Kit,
// libqcow and libvshadow). Every image is refused with that said.
#include "machine/disk_image.h"

namespace tidewell {

struct DiskImage {};
struct ImageFileSystem {};

bool diskImagesReadable() {
    return false;
}

void DiskImageClose::operator()(DiskImage* image) const {
    delete image;
}

void ImageFileSystemClose::operator()(ImageFileSystem* fileSystem) const {
    delete fileSystem;
}

DiskImageHandle openDiskImage(const EvidenceFileHandle&, ImageSurvey& survey) {
    survey = ImageSurvey{};
    survey.problem = L"disk images are read by the Linux build of tidewell-report; this build "
                     L"reads folders and this machine";
    return nullptr;
}

ImageFileSystemHandle openImageVolume(DiskImage&, const ImageVolume&) {
    return nullptr;
}

std::vector<ShadowCopy> listShadowCopies(DiskImage&, const ImageVolume&, std::wstring& problem) {
    problem.clear();
    return {};
}

ImageFileSystemHandle openShadowCopy(DiskImage&, const ImageVolume&, std::uint32_t) {
    return nullptr;
}

bool listImageFolder(ImageFileSystem&, const std::wstring&, std::vector<ImageEntry>& entries,
                     bool) {
    entries.clear();
    return false;
}

WholeFileRead readImageFile(ImageFileSystem&, const std::wstring&, std::uint64_t,
                            std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    return WholeFileRead::Unreadable;
}

WholeFileRead readDeletedImageFile(ImageFileSystem&, std::uint64_t, std::uint64_t,
                                   std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    return WholeFileRead::Unreadable;
}

bool sameFileInCopy(ImageFileSystem&, ImageFileSystem&, const std::wstring&) {
    return false;
}

std::uint32_t failedImageReads(const DiskImage&) {
    return 0;
}

const std::vector<std::wstring>& filesReadFailed(const DiskImage&) {
    static const std::vector<std::wstring> none;
    return none;
}

} // namespace tidewell
