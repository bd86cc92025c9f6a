// What makes one kind of examined machine what it is: how its files are
// read and named, how its Windows answers (its own running registry and
// accounts, or what a copy's files record), and how its older states are
// opened. Each kind is a table of these functions in its own file, with the
// state only it keeps (this_machine.cpp, folder_machine.cpp,
// image_machine.cpp, collection_machine.cpp); the functions every source
// calls (examined_machine.h, machine_files.h, user_hives.h) answer through
// the table, so that no source asks which kind it reads.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/scan_results.h"
#include "platform/folded_paths.h"
#include "platform/whole_file.h"

namespace tidewell {

struct ExaminedMachine;
struct FolderEntry;
struct FolderListing;
struct UserHive;
struct UserHiveVisit;
struct DeviceDrive;
struct PathNaming;

struct MachineKind {
    // Its files.
    FolderListing (*listFolder)(ExaminedMachine& machine, const std::wstring& folder,
                                bool withDeleted);
    bool (*findEntry)(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                      EntryKind kind, std::wstring& path);
    WholeFileRead (*readFile)(ExaminedMachine& machine, const std::wstring& path,
                              std::uint64_t limit, std::vector<std::uint8_t>& bytes);
    // A deleted file a file table still lists; null where there are none.
    WholeFileRead (*readDeletedFile)(ExaminedMachine& machine, const FolderEntry& entry,
                                     std::uint64_t limit, std::vector<std::uint8_t>& bytes);
    // An older state's file that is byte for byte the current state's; null
    // where that cannot be shown.
    bool (*unchangedSinceCurrent)(ExaminedMachine& machine, const std::wstring& path);
    std::wstring (*realFolder)(ExaminedMachine& machine, const std::wstring& folder);
    std::wstring (*shownPath)(const ExaminedMachine& machine, const std::wstring& path);

    // Its Windows.
    std::wstring (*windowsEntry)(ExaminedMachine& machine, std::wstring_view relative,
                                 EntryKind kind);
    UserHiveVisit (*visitUserHives)(ExaminedMachine& machine, ScanResults& results,
                                    const std::function<void(const UserHive&)>& visit);
    std::wstring (*accountName)(const ExaminedMachine& machine, const std::wstring& sid);
    PathNaming (*pathNaming)(const ExaminedMachine& machine);
    std::wstring (*systemDrive)(const ExaminedMachine& machine);
    std::vector<DeviceDrive> (*deviceDrives)(const ExaminedMachine& machine);
    bool (*windowsVersion)(const ExaminedMachine& machine, std::uint32_t& major,
                           std::uint32_t& minor);
    // The SYSTEM keys could not be had for a source that reads them: says
    // what that means for the source, and counts it where the source must.
    void (*withoutSystemKeys)(const ExaminedMachine& machine, SourceReading& reading,
                              ScanTally& tally, const ScanCounter& unreadable);
    // A fact its files do not state takes Windows' own default (the machine
    // the program runs on), or stays not known (a copy of another machine).
    bool factsTakeDefaults;

    // Its older states (shadow copies); null where it has none.
    bool (*openOlderState)(ExaminedMachine& current, std::size_t index, ExaminedMachine& older,
                           ScanResults& results);
    // What the scan's reading met that only the kind counts; null: nothing.
    void (*close)(ExaminedMachine& machine, ScanResults& results);
};

// The state a kind keeps of a machine, held by the machine (and shared with
// its older states where they read the same image or collection).
template <typename State> State& kindState(ExaminedMachine& machine);
template <typename State> const State& kindState(const ExaminedMachine& machine);

} // namespace tidewell
