// The adapters through which The Sleuth Kit and libvshadow read what they
// cannot open themselves: a QCOW2 file through libqcow, a shadow copy's
// store through libvshadow, and a volume of the image through libbfio for
// libvshadow. Every handle is freed by whatever closes the image it serves.
#include <libqcow.h>

#include <algorithm>
#include <cstdio>

#include "machine/image_internals.h"

// Exported by The Sleuth Kit for images it does not open itself, though its
// headers leave them out: they allocate the image structure it later closes.
extern "C" {
void* tsk_img_malloc(size_t length);
void tsk_img_free(void* pointer);
}

namespace tidewell::disk {

namespace {

// --- QCOW2 as an image The Sleuth Kit reads through us ---

struct QcowImage {
    TSK_IMG_INFO info; // first: The Sleuth Kit sees only this
    libqcow_file_t* file;
};

ssize_t readQcow(TSK_IMG_INFO* info, TSK_OFF_T offset, char* buffer, size_t length) {
    auto* image = reinterpret_cast<QcowImage*>(info);
    return libqcow_file_read_buffer_at_offset(image->file, buffer, length, offset, nullptr);
}

void closeQcow(TSK_IMG_INFO* info) {
    auto* image = reinterpret_cast<QcowImage*>(info);
    libqcow_file_close(image->file, nullptr);
    libqcow_file_free(&image->file, nullptr);
    tsk_img_free(info);
}

void statImage(TSK_IMG_INFO*, FILE*) {}

// --- a shadow copy's store as an image ---

struct StoreImage {
    TSK_IMG_INFO info;
    libvshadow_store_t* store;
};

ssize_t readStore(TSK_IMG_INFO* info, TSK_OFF_T offset, char* buffer, size_t length) {
    auto* image = reinterpret_cast<StoreImage*>(info);
    return libvshadow_store_read_buffer_at_offset(image->store, buffer, length, offset, nullptr);
}

void closeStore(TSK_IMG_INFO* info) {
    auto* image = reinterpret_cast<StoreImage*>(info);
    libvshadow_store_free(&image->store, nullptr);
    tsk_img_free(info);
}

// --- a volume inside the image, as libbfio reads it for libvshadow ---

struct VolumeRange {
    DiskImage* image;
    TSK_OFF_T start;
    TSK_OFF_T size;
    TSK_OFF_T position;
};

VolumeRange* rangeOf(intptr_t* handle) {
    return reinterpret_cast<VolumeRange*>(handle);
}

int freeRange(intptr_t** handle, libbfio_error_t**) {
    delete rangeOf(*handle);
    *handle = nullptr;
    return 1;
}

int cloneRange(intptr_t** destination, intptr_t* source, libbfio_error_t**) {
    *destination = reinterpret_cast<intptr_t*>(new VolumeRange(*rangeOf(source)));
    return 1;
}

int openRange(intptr_t*, int, libbfio_error_t**) {
    return 1;
}

int closeRange(intptr_t*, libbfio_error_t**) {
    return 0;
}

ssize_t readRange(intptr_t* handle, uint8_t* buffer, size_t size, libbfio_error_t**) {
    VolumeRange* range = rangeOf(handle);
    if (range->position >= range->size) {
        return 0;
    }
    const auto wanted = static_cast<size_t>(
        std::min<TSK_OFF_T>(static_cast<TSK_OFF_T>(size), range->size - range->position));
    const ssize_t got = tsk_img_read(range->image->image, range->start + range->position,
                                     reinterpret_cast<char*>(buffer), wanted);
    if (got < 0) {
        ++range->image->readErrors;
        return -1;
    }
    range->position += got;
    return got;
}

ssize_t writeRange(intptr_t*, const uint8_t*, size_t, libbfio_error_t**) {
    return -1; // read-only, always
}

off64_t seekRange(intptr_t* handle, off64_t offset, int whence, libbfio_error_t**) {
    VolumeRange* range = rangeOf(handle);
    const TSK_OFF_T base = whence == SEEK_CUR   ? range->position
                           : whence == SEEK_END ? range->size
                                                : 0;
    if (offset < -base) {
        return -1;
    }
    range->position = base + offset;
    return range->position;
}

int rangeExists(intptr_t*, libbfio_error_t**) {
    return 1;
}

int rangeIsOpen(intptr_t*, libbfio_error_t**) {
    return 1;
}

int rangeSize(intptr_t* handle, size64_t* size, libbfio_error_t**) {
    *size = static_cast<size64_t>(rangeOf(handle)->size);
    return 1;
}

} // namespace

TSK_IMG_INFO* openQcow(const std::string& path) {
    libqcow_file_t* file = nullptr;
    if (libqcow_file_initialize(&file, nullptr) != 1) {
        return nullptr;
    }
    size64_t size = 0;
    if (libqcow_file_open(file, path.c_str(), LIBQCOW_OPEN_READ, nullptr) != 1 ||
        libqcow_file_get_media_size(file, &size, nullptr) != 1) {
        libqcow_file_free(&file, nullptr);
        return nullptr;
    }
    auto* image = static_cast<QcowImage*>(tsk_img_malloc(sizeof(QcowImage)));
    if (image == nullptr) {
        libqcow_file_close(file, nullptr);
        libqcow_file_free(&file, nullptr);
        return nullptr;
    }
    image->file = file;
    return tsk_img_open_external(image, static_cast<TSK_OFF_T>(size), sectorSize, readQcow,
                                 closeQcow, statImage);
}

TSK_IMG_INFO* openStoreImage(libvshadow_store_t* store, std::uint64_t size) {
    auto* image = static_cast<StoreImage*>(tsk_img_malloc(sizeof(StoreImage)));
    if (image == nullptr) {
        libvshadow_store_free(&store, nullptr);
        return nullptr;
    }
    image->store = store;
    return tsk_img_open_external(image, static_cast<TSK_OFF_T>(size), sectorSize, readStore,
                                 closeStore, statImage);
}

ShadowVolume* shadowVolume(DiskImage& image, const ImageVolume& volume) {
    for (ShadowVolume& known : image.shadows) {
        if (known.offset == volume.offset) {
            return known.opened ? &known : nullptr;
        }
    }
    ShadowVolume shadow;
    shadow.offset = volume.offset;
    auto* range = new VolumeRange{&image, static_cast<TSK_OFF_T>(volume.offset),
                                  static_cast<TSK_OFF_T>(volume.length), 0};
    if (libbfio_handle_initialize(
            &shadow.handle, reinterpret_cast<intptr_t*>(range), freeRange, cloneRange, openRange,
            closeRange, readRange, writeRange, seekRange, rangeExists, rangeIsOpen, rangeSize,
            LIBBFIO_FLAG_IO_HANDLE_MANAGED | LIBBFIO_FLAG_IO_HANDLE_CLONE_BY_FUNCTION,
            nullptr) != 1) {
        delete range;
        image.shadows.push_back(shadow);
        return nullptr;
    }
    shadow.opened = libvshadow_volume_initialize(&shadow.volume, nullptr) == 1 &&
                    libvshadow_check_volume_signature_file_io_handle(shadow.handle, nullptr) == 1 &&
                    libvshadow_volume_open_file_io_handle(shadow.volume, shadow.handle,
                                                          LIBVSHADOW_OPEN_READ, nullptr) == 1;
    image.shadows.push_back(shadow);
    return shadow.opened ? &image.shadows.back() : nullptr;
}

} // namespace tidewell::disk
