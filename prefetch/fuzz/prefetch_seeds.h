// The Prefetch targets' seeds share these: images of every version made by
// the sample builder, and the corpus's real files that fit the bound.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fuzz/seed_writer.h"
#include "prefetch/mam_container.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "prefetch/sample/xpress_huffman_encoder.h"

namespace tidewell::fuzz {

// The bound scripts/fuzz gives the targets that read whole files.
inline constexpr std::size_t fileBound = 32 * 1024;

inline std::vector<Bytes> prefetchImages() {
    std::vector<Bytes> images;
    for (std::uint32_t version : {17u, 23u, 26u, 30u, 31u}) {
        sample::PrefetchImageSpec spec = sample::programSpec(
            version, L"TOOL.EXE", 0x1A2B3C4D, {133500000000000000ULL, 133400000000000000ULL}, 2);
        spec.referencedFiles = {
            L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\WINDOWS\\SYSTEM32\\NTDLL.DLL",
            L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\TOOLS\\TOOL.EXE"};
        if (version == 17 || version == 23) {
            spec.volumes = {sample::SampleVolume{L"\\DEVICE\\HARDDISKVOLUME2",
                                                 0x01CB3C4D5E6F7081ULL, 0x96A49C74}};
        }
        if (version == 31) {
            spec.recordedPath = L"\\DEVICE\\HARDDISKVOLUME3\\TOOLS\\TOOL.EXE";
        }
        images.push_back(sample::buildPrefetchImage(spec));
    }
    return images;
}

inline Bytes container(const Bytes& image) {
    return sample::wrapInMamContainer(sample::compressXpressHuffman(image.data(), image.size()),
                                      static_cast<std::uint32_t>(image.size()), true);
}

// The corpus's Prefetch files, each handed over as it is stored (plain or
// compressed) and as its image (unpacked where it was compressed).
inline void eachCorpusFile(const SeedFolder& seeds,
                           const std::function<void(const std::string& name, const Bytes& stored,
                                                    bool compressed, const Bytes& image)>& use) {
    const std::filesystem::path folder = seeds.corpus / "prefetch";
    if (seeds.corpus.empty() || !std::filesystem::is_directory(folder)) {
        return;
    }
    std::size_t index = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".pf") {
            continue;
        }
        const Bytes bytes = readFile(entry.path());
        const bool compressed =
            bytes.size() >= 8 && bytes[0] == 'M' && bytes[1] == 'A' && bytes[2] == 'M';
        Bytes image = bytes;
        if (compressed && !decompressMam(bytes.data(), bytes.size(), image)) {
            image.clear();
        }
        use("corpus-" + std::to_string(index++), bytes, compressed, image);
    }
}

} // namespace tidewell::fuzz
