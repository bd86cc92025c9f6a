// Writes each fuzz target's seeds into a folder of its own below the folder
// given, each small enough for the target's input bound: Prefetch images of
// every version, compressed streams and containers of them, UserAssist
// entries, and hives clean and dirty, all made here; with a corpus folder
// given, also those of its Prefetch files that fit (compressed ones
// unpacked for the parser).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "prefetch/mam_container.h"
#include "sample/hive_writer.h"
#include "sample/prefetch_image_builder.h"
#include "sample/program_records.h"
#include "sample/userassist_values.h"
#include "sample/xpress_huffman_encoder.h"
#include "support/xpress_test_data.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using namespace tidewell::sample;

// The bound scripts/fuzz gives the targets that read whole files.
constexpr std::size_t fileBound = 32 * 1024;

bool failed = false;

void writeSeed(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    failed |= !out.good();
}

Bytes readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes container(const Bytes& image) {
    return wrapInMamContainer(compressXpressHuffman(image.data(), image.size()),
                              static_cast<std::uint32_t>(image.size()), true);
}

// The decoder target's own form: the output size in two bytes (in KiB and
// bytes), then the stream.
Bytes sizedStream(const Bytes& data) {
    Bytes seed = {static_cast<std::uint8_t>(data.size() >> 10),
                  static_cast<std::uint8_t>(data.size() & 0x3FF)};
    const Bytes stream = compressXpressHuffman(data.data(), data.size());
    seed.insert(seed.end(), stream.begin(), stream.end());
    return seed;
}

std::vector<Bytes> prefetchImages() {
    std::vector<Bytes> images;
    for (std::uint32_t version : {17u, 23u, 26u, 30u, 31u}) {
        PrefetchImageSpec spec = programSpec(version, L"TOOL.EXE", 0x1A2B3C4D,
                                             {133500000000000000ULL, 133400000000000000ULL}, 2);
        spec.referencedFiles = {
            L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\WINDOWS\\SYSTEM32\\NTDLL.DLL",
            L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\TOOLS\\TOOL.EXE"};
        if (version == 17 || version == 23) {
            spec.volumes = {
                SampleVolume{L"\\DEVICE\\HARDDISKVOLUME2", 0x01CB3C4D5E6F7081ULL, 0x96A49C74}};
        }
        if (version == 31) {
            spec.recordedPath = L"\\DEVICE\\HARDDISKVOLUME3\\TOOLS\\TOOL.EXE";
        }
        images.push_back(buildPrefetchImage(spec));
    }
    return images;
}

void prefetchSeeds(const fs::path& seeds) {
    const std::vector<Bytes> images = prefetchImages();
    for (std::size_t i = 0; i < images.size(); ++i) {
        const std::string name = "made-" + std::to_string(i);
        writeSeed(seeds / "prefetch_parser", name, images[i]);
        writeSeed(seeds / "prefetch_file", name, images[i]);
        writeSeed(seeds / "prefetch_file", name + "-mam", container(images[i]));
        writeSeed(seeds / "mam_container", name, container(images[i]));
        writeSeed(seeds / "xpress_huffman", name, sizedStream(images[i]));
    }
    for (std::size_t size : {0u, 1u, 300u, 4096u, 20000u}) {
        const Bytes data = tidewell::testing::prefetchLikeBytes(size, 5);
        writeSeed(seeds / "xpress_huffman", "prefetch-like-" + std::to_string(size),
                  sizedStream(data));
        writeSeed(seeds / "mam_container", "prefetch-like-" + std::to_string(size),
                  container(data));
    }
    // The round trip's input: an options byte, then data.
    for (std::uint8_t options = 0; options < 8; ++options) {
        Bytes seed = {options};
        const Bytes data = tidewell::testing::prefetchLikeBytes(200u + 150u * options, options);
        seed.insert(seed.end(), data.begin(), data.end());
        writeSeed(seeds / "xpress_roundtrip", "options-" + std::to_string(options), seed);
    }
}

// The corpus's Prefetch files that fit the bound, in each target's form.
void corpusSeeds(const fs::path& seeds, const fs::path& corpus) {
    if (!fs::is_directory(corpus)) {
        return;
    }
    std::size_t index = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".pf") {
            continue;
        }
        const Bytes bytes = readFile(entry.path());
        const std::string name = "corpus-" + std::to_string(index++);
        const bool compressed =
            bytes.size() >= 8 && bytes[0] == 'M' && bytes[1] == 'A' && bytes[2] == 'M';
        Bytes image = bytes;
        if (compressed && !tidewell::decompressMam(bytes.data(), bytes.size(), image)) {
            image.clear();
        }
        if (bytes.size() <= fileBound) {
            writeSeed(seeds / "prefetch_file", name, bytes);
            if (compressed) {
                writeSeed(seeds / "mam_container", name, bytes);
                writeSeed(seeds / "xpress_huffman", name, bytes);
            }
        }
        if (!image.empty() && image.size() <= fileBound) {
            writeSeed(seeds / "prefetch_parser", name, image);
        }
    }
}

void userAssistSeeds(const fs::path& seeds) {
    // Flags, the name's length in units, the name, then the value's data.
    const std::wstring names[] = {L"UEME_CTLSESSION",
                                  L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\calc.exe",
                                  L"C:\\Tools\\tool.exe", L"Microsoft.Windows.Explorer"};
    std::size_t index = 0;
    for (const std::wstring& name : names) {
        for (const Bytes& data : {userAssistData(3, 2, 4000, 133500000000000000ULL),
                                  userAssistData(0, 0, 0, 133500000000000000ULL),
                                  userAssistData(5, 1, 10, 0), Bytes(16, 1)}) {
            Bytes seed = {static_cast<std::uint8_t>(index & 1),
                          static_cast<std::uint8_t>(name.size())};
            for (wchar_t unit : rot13(name)) {
                seed.push_back(static_cast<std::uint8_t>(unit));
                seed.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
            }
            seed.insert(seed.end(), data.begin(), data.end());
            writeSeed(seeds / "userassist_entry", "made-" + std::to_string(index++), seed);
        }
    }
}

// The hive target's form: the primary file's length, the primary file, its log.
Bytes hiveSeed(const Bytes& primary, const Bytes& log) {
    const auto size = static_cast<std::uint32_t>(primary.size());
    Bytes seed = {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                  static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
    seed.insert(seed.end(), primary.begin(), primary.end());
    seed.insert(seed.end(), log.begin(), log.end());
    return seed;
}

HiveSpec hiveSpec(SubkeyListKind kind, std::size_t bigValue, std::uint32_t sequence) {
    HiveSpec hive;
    hive.sequence = sequence;
    HiveKeySpec software{L"Software", {}, {}, kind, 2};
    software.values = {{L"Count", 4, {1, 0, 0, 0}},
                       {L"Entry", 3, Bytes(72, 7)},
                       {L"\u00C9t\u00E9", 1, {'a', 0, 0, 0}}};
    if (bigValue != 0) {
        software.values.push_back({L"Big", 3, Bytes(bigValue, 3)});
    }
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        software.subkeys.push_back({name, {{L"v", 4, {2, 0, 0, 0}}}, {}, kind, 2});
    }
    hive.root.subkeys = {software};
    return hive;
}

void hiveSeeds(const fs::path& seeds) {
    const fs::path folder = seeds / "hive";
    for (SubkeyListKind kind : {SubkeyListKind::IndexLeaf, SubkeyListKind::FastLeaf,
                                SubkeyListKind::HashLeaf, SubkeyListKind::IndexRoot}) {
        writeSeed(folder, "clean-" + std::to_string(static_cast<int>(kind)),
                  hiveSeed(writeHive(hiveSpec(kind, 0, 5)), {}));
    }
    writeSeed(folder, "big-data",
              hiveSeed(writeHive(hiveSpec(SubkeyListKind::HashLeaf, 20000, 5)), {}));
    const Bytes before = writeHive(hiveSpec(SubkeyListKind::HashLeaf, 0, 5));
    const Bytes after = writeHive(hiveSpec(SubkeyListKind::IndexRoot, 17000, 6));
    Bytes primary = before;
    setSequenceNumbers(primary, 6, 5);
    const auto binsSize = static_cast<std::uint32_t>(after.size() - 4096);
    writeSeed(folder, "dirty-new-log",
              hiveSeed(primary, writeNewFormatLog(primary, 6,
                                                  {{6, binsSize, changedPages(before, after)}})));
    writeSeed(folder, "dirty-old-log", hiveSeed(primary, writeOldFormatLog(before, after)));
}

// The records beside Prefetch and UserAssist: cache values of every layout
// read, BAM/DAM values in the target's own form, and Amcache hives.
void programRecordSeeds(const fs::path& seeds) {
    const std::vector<CacheEntrySpec> entries = {
        {L"\\??\\C:\\Windows\\system32\\cmd.exe",
         0x01D5F51EA48267CAULL,
         2,
         0x100,
         {1, 2, 3, 4},
         L""},
        {L"SYSVOL\\x.exe", 0x01CF6F90E174D8D4ULL, 7, 0, {}, L"Contoso.Tool"}};
    for (CacheLayoutSpec layout :
         {CacheLayoutSpec::Windows7x86, CacheLayoutSpec::Windows7x64, CacheLayoutSpec::Windows80,
          CacheLayoutSpec::Windows81, CacheLayoutSpec::Windows10,
          CacheLayoutSpec::Windows10Creators}) {
        writeSeed(seeds / "compat_cache", "layout-" + std::to_string(static_cast<int>(layout)),
                  compatCacheValue(layout, entries));
    }
    const auto bamSeed = [](std::uint8_t typeAndModerator, const std::wstring& name,
                            const Bytes& value) {
        Bytes seed = {typeAndModerator, static_cast<std::uint8_t>(name.size() * 2),
                      static_cast<std::uint8_t>(name.size() * 2 >> 8)};
        for (wchar_t unit : name) {
            seed.push_back(static_cast<std::uint8_t>(unit));
            seed.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
        }
        seed.insert(seed.end(), value.begin(), value.end());
        return seed;
    };
    writeSeed(seeds / "bam_value", "device",
              bamSeed(3, L"\\Device\\HarddiskVolume3\\cmd.exe", bamData(0x01D9A1B2C3D4E5F6ULL)));
    writeSeed(seeds / "bam_value", "package",
              bamSeed(0x13, L"Microsoft.Windows.Photos_8wekyb3d8bbwe", bamData(0)));
    writeSeed(seeds / "bam_value", "short", bamSeed(3, L"\\Device\\x", Bytes(7, 1)));
    const HiveSpec amcache =
        amcacheHive({{L"a.exe|1", L"c:\\a.exe", L"a.exe", L"0000" + std::wstring(40, L'a'), L"p",
                      L"1.0", L"12/26/2021 14:00:00", 7}},
                    {{L"{v}", L"10000123", L"c:\\b.exe", L"0000" + std::wstring(40, L'b'), 5, 6,
                      1600000000, 9}});
    writeSeed(seeds / "amcache", "both-layouts", hiveSeed(writeHive(amcache), {}));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER [CORPUS-PREFETCH-FOLDER]\n");
        return 2;
    }
    const fs::path seeds = argv[1];
    prefetchSeeds(seeds);
    if (argc == 3) {
        corpusSeeds(seeds, argv[2]);
    }
    userAssistSeeds(seeds);
    hiveSeeds(seeds);
    programRecordSeeds(seeds);
    if (failed) {
        std::fprintf(stderr, "make_fuzz_seeds: a seed could not be written\n");
        return 1;
    }
    return 0;
}
