// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tidewell::testing {

// A host path as the program's text (UTF-16 units), as the platform lists it.
std::wstring programText(const std::filesystem::path& path);

struct TempFolder {
    std::filesystem::path path;

    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    // The folder as the program names folders (UTF-16 text).
    std::wstring text() const;

    void writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    void makeFolder(const std::string& name) const;
};

} // namespace tidewell::testing
