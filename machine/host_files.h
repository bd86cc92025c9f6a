// The files of a machine read from the host's own file system: this
// machine's as they are, a folder's copy of a drive only inside the folder
// (the machine's scope says which). The kinds that read the host's files
// share these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "machine/machine_files.h"

namespace tidewell {

FolderListing listHostFolder(ExaminedMachine& machine, const std::wstring& folder,
                             bool withDeleted);
bool findHostEntry(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                   EntryKind kind, std::wstring& path);
WholeFileRead readHostFile(ExaminedMachine& machine, const std::wstring& path, std::uint64_t limit,
                           std::vector<std::uint8_t>& bytes);
std::wstring realHostFolder(ExaminedMachine& machine, const std::wstring& folder);

} // namespace tidewell
