#include "support/temp_folder.h"

#include <atomic>
#include <fstream>
#include <random>

#include "platform/utf8_codec.h"

namespace tidewell::testing {

std::wstring programText(const std::filesystem::path& path) {
#if defined(_WIN32)
    return path.wstring();
#else
    return fromUtf8(path.string());
#endif
}

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    std::random_device seed;
    const auto base = std::filesystem::temp_directory_path();
    do {
        path = base / ("tidewell-test-" + std::to_string(seed()) + "-" +
                       std::to_string(counter.fetch_add(1)));
    } while (!std::filesystem::create_directory(path));
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::wstring TempFolder::text() const {
    return programText(path);
}

void TempFolder::writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream out(path / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void TempFolder::makeFolder(const std::string& name) const {
    std::filesystem::create_directory(path / name);
}

} // namespace tidewell::testing
