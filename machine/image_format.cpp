// An image's format, told from its own signatures: the start of an E01,
// VHDX, dynamic VHD, VMDK or QCOW2 file, or the footer at the end of a fixed
// VHD; anything else is read as raw.
#include <cstring>

#include "machine/image_internals.h"

namespace tidewell::disk {

ImageFormat imageFormatOf(const EvidenceFile& evidence) {
    std::uint8_t head[512] = {};
    std::uint8_t tail[512] = {};
    std::size_t headRead = 0;
    std::size_t tailRead = 0;
    readEvidenceAt(evidence, 0, head, sizeof head, headRead);
    if (evidence.size >= sizeof tail) {
        readEvidenceAt(evidence, evidence.size - sizeof tail, tail, sizeof tail, tailRead);
    }
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
