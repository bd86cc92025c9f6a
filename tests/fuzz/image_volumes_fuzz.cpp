// A raw disk image held in memory, read as a scan reads one: its partition
// tables and volumes found, each volume's file system opened, its root and
// Windows folder listed with the deleted names, every deleted file read as
// far as it still stands, and each shadow copy opened and its root files
// compared with the volume's for reuse. Nothing may fault, hang or read
// outside the image.
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "machine/disk_image.h"
#include "machine/evidence_file.h"

namespace {

using namespace tidewell;

void readFolder(ImageFileSystem& fileSystem, ImageFileSystem* copyOf, const std::wstring& folder) {
    std::vector<ImageEntry> entries;
    if (!listImageFolder(fileSystem, folder, entries, true)) {
        return;
    }
    std::size_t read = 0;
    for (const ImageEntry& entry : entries) {
        if (entry.isDirectory || read++ == 16) {
            continue;
        }
        std::vector<std::uint8_t> bytes;
        const std::wstring path = folder + (folder == L"\\" ? L"" : L"\\") + entry.name;
        if (entry.deleted) {
            readDeletedImageFile(fileSystem, entry.address, 1 << 20, bytes);
        } else {
            readImageFile(fileSystem, path, 1 << 20, bytes);
            if (copyOf != nullptr) {
                sameFileInCopy(fileSystem, *copyOf, path);
            }
        }
    }
}

} // namespace

// The Sleuth Kit leaves the name it allocated for a folder behind when the
// folder cannot be opened, and libewf a chunk past a cut segment: theirs to
// free, not this program's. Their frames are found only by the slow unwinder.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:tsk_fs_name_alloc\nleak:libewf_chunk_data_initialize\n";
}
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The image as a file of its own in memory, opened by its name as any
    // image is.
    const int descriptor = memfd_create("image", 0);
    if (descriptor < 0) {
        return 0;
    }
    std::size_t written = 0;
    while (written < size) {
        const ssize_t wrote = write(descriptor, data + written, size - written);
        if (wrote <= 0) {
            break;
        }
        written += static_cast<std::size_t>(wrote);
    }
    {
        const std::wstring name = L"/proc/self/fd/" + std::to_wstring(descriptor);
        ImageSurvey survey;
        const DiskImageHandle image = openDiskImage(openEvidenceFile(name), survey);
        if (image != nullptr) {
            for (const ImageVolume& volume : survey.volumes) {
                const ImageFileSystemHandle now = openImageVolume(*image, volume);
                if (now == nullptr) {
                    continue;
                }
                readFolder(*now, nullptr, L"\\");
                readFolder(*now, nullptr, L"\\Windows\\Prefetch");
                std::wstring problem;
                for (const ShadowCopy& copy : listShadowCopies(*image, volume, problem)) {
                    if (const ImageFileSystemHandle older =
                            openShadowCopy(*image, volume, copy.store)) {
                        readFolder(*older, now.get(), L"\\");
                    }
                }
            }
        }
    }
    close(descriptor);
    return 0;
}
