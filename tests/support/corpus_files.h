// Access to the shared corpus of real files, for tests that check the readers
// against what Windows itself wrote. Where the corpus is absent the tests
// that need it skip and say why.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tidewell::testing {

std::filesystem::path corpusRoot();

// Every regular file under corpusRoot()/subfolder, sorted; empty when the
// folder is absent.
std::vector<std::filesystem::path> corpusFiles(const std::string& subfolder);

std::vector<std::uint8_t> readWholeFile(const std::filesystem::path& file);

// UTF-16 text (one unit per element) as UTF-8, for test messages.
std::string narrow(const std::wstring& text);

// A file name as the program's text type (UTF-16 units).
std::wstring wideFileName(const std::filesystem::path& file);

} // namespace tidewell::testing

// Skips the current test when the corpus folder is missing.
#define TIDEWELL_REQUIRE_CORPUS(subfolder)                                                         \
    do {                                                                                           \
        if (::tidewell::testing::corpusFiles(subfolder).empty()) {                                 \
            GTEST_SKIP() << "corpus folder " << (::tidewell::testing::corpusRoot() / subfolder)    \
                         << " is absent; real-data checks skipped";                                \
        }                                                                                          \
    } while (false)
