#include "support/corpus_files.h"

#include "platform/utf8_codec.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tidewell::testing {

std::filesystem::path corpusRoot() {
    return std::filesystem::path(TIDEWELL_CORPUS_DIR);
}

std::vector<std::filesystem::path> corpusFiles(const std::string& subfolder) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path folder = corpusRoot() / subfolder;
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return files;
    }
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error)) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> readWholeFile(const std::filesystem::path& file) {
    // Sized first and read at once: the benchmarks time scans that start so.
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        return {};
    }
    const std::streamoff size = in.tellg();
    if (size <= 0) {
        return {};
    }
    in.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::string narrow(const std::wstring& text) {
    return toUtf8(text);
}

std::wstring wideFileName(const std::filesystem::path& file) {
    return programText(file.filename());
}

} // namespace tidewell::testing
