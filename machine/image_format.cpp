// An image's format, told from its own signatures: the start of an E01,
// VHDX, dynamic VHD, VMDK or QCOW2 file, or the footer at the end of a fixed
// VHD; anything else is read as raw.
#include <cstdio>
#include <cstring>

#include "machine/image_internals.h"

namespace tidewell::disk {

ImageFormat imageFormatOf(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return ImageFormat::Raw; // its opening then says why
    }
    char head[512] = {};
    char tail[512] = {};
    const std::size_t headRead = std::fread(head, 1, sizeof head, file);
    std::size_t tailRead = 0;
    if (std::fseek(file, -static_cast<long>(sizeof tail), SEEK_END) == 0) {
        tailRead = std::fread(tail, 1, sizeof tail, file);
    }
    std::fclose(file);
    const auto startsWith = [&](const char* text, std::size_t length) {
        return headRead >= length && std::memcmp(head, text, length) == 0;
    };
    if (startsWith("EVF\x09\x0d\x0a\xff\x00", 8) || startsWith("EVF2\x0d\x0a\x81\x00", 8)) {
        return ImageFormat::Ewf;
    }
    if (startsWith("vhdxfile", 8)) {
        return ImageFormat::Vhdx;
    }
    // A fixed VHD has its footer at the end only; a dynamic one a copy of it
    // at the start too.
    if (startsWith("conectix", 8) ||
        (tailRead == sizeof tail && std::memcmp(tail, "conectix", 8) == 0)) {
        return ImageFormat::Vhd;
    }
    if (startsWith("KDMV", 4) || startsWith("# Disk DescriptorFile", 21)) {
        return ImageFormat::Vmdk;
    }
    if (startsWith("QFI\xfb", 4)) {
        return ImageFormat::Qcow;
    }
    return ImageFormat::Raw;
}

TSK_IMG_TYPE_ENUM sleuthKitType(ImageFormat format) {
    switch (format) {
    case ImageFormat::Ewf:
        return TSK_IMG_TYPE_EWF_EWF;
    case ImageFormat::Vhd:
    case ImageFormat::Vhdx:
        return TSK_IMG_TYPE_VHD_VHD;
    case ImageFormat::Vmdk:
        return TSK_IMG_TYPE_VMDK_VMDK;
    default:
        return TSK_IMG_TYPE_RAW;
    }
}

std::wstring formatName(ImageFormat format) {
    switch (format) {
    case ImageFormat::Ewf:
        return L"E01";
    case ImageFormat::Vhd:
        return L"VHD";
    case ImageFormat::Vhdx:
        return L"VHDX";
    case ImageFormat::Vmdk:
        return L"VMDK";
    case ImageFormat::Qcow:
        return L"QCOW2";
    case ImageFormat::Raw:
        break;
    }
    return L"raw";
}

} // namespace tidewell::disk
