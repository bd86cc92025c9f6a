// Velociraptor collections read in place: the zip the collector wrote (read
// through libzip, never extracted) or the folder it was extracted to. The
// files lie under uploads/<accessor>/<device>/..., each part stored in the
// collector's encoding; they are gathered here by device, whatever accessor
// read them, under their original names. A drive's device (C:, \\.\C:) is a
// drive of the machine; a shadow-copy device an older state of its volume.
// Only the Linux build reads collections; the Windows build says so.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "machine/evidence_file.h"
#include "platform/file_scope.h"
#include "platform/whole_file.h"

namespace tidewell {

bool collectionsReadable();

// Whether a folder is meant as a collection rather than as a drive's copy:
// it holds an uploads folder and the collector's own files beside it. (A
// file is a collection when it is a zip: startsAsZip.)
bool looksLikeCollectionFolder(const std::wstring& path);

struct Collection;
struct CollectionClose {
    void operator()(Collection* collection) const;
};
using CollectionHandle = std::unique_ptr<Collection, CollectionClose>;

struct CollectionDevice {
    std::wstring name;   // as the collector named it: C:, \\.\C:, \\?\GLOBALROOT\Device\...
    std::wstring stored; // where its files lie, each place it was collected to, joined by ", "
    std::wstring drive;  // C: for a drive; empty otherwise
    std::uint32_t shadowCopy = 0; // a shadow copy's number; 0: none
    bool holdsWindows = false;    // it is a Windows drive (machine/windows_drive.h)
    std::uint64_t files = 0;
};

struct CollectionSurvey {
    bool opened = false;
    bool zip = false;
    bool secured = false; // encrypted members: a password- or certificate-protected container
    std::wstring problem; // why it cannot be read
    std::vector<CollectionDevice> devices;
    std::uint32_t namesUndecodable = 0; // kept under their stored names
    std::uint64_t members = 0;          // files in the collection's uploads
    // Members not read: one of two named alike through the same accessor
    // (the larger, else the first in name order, is read), one whose name
    // makes a file and a folder of the same path, or one whose data is an
    // earlier member's stream.
    std::uint32_t membersPassedOver = 0;
    // What the collection says of itself.
    std::wstring hostName;
    std::uint64_t collectedAt = 0; // FILETIME; 0: not recorded
    std::uint32_t filesNotCollected = 0;
    std::vector<std::wstring> metadataUnreadable; // its own files that could not be read
};

// Opens and surveys the collection; null (and why, in survey.problem) when it
// cannot be read at all. A folder's files are read only inside scope.
// A zip is read through the file the scan opened (zip); a folder (zip null)
// is walked.
CollectionHandle openCollection(const std::wstring& path, const EvidenceFileHandle& zip,
                                FileScope& scope, CollectionSurvey& survey);

// Every device's files are named by backslash paths from its root
// (\Windows\System32\config). Names that differ only in the case of A to Z
// are one name, as on Windows, listed as first spelled.
struct CollectionEntry {
    std::wstring name;
    bool isDirectory = false;
};
bool listCollectionFolder(const Collection& collection, std::size_t device,
                          const std::wstring& folder, std::vector<CollectionEntry>& entries);

WholeFileRead readCollectionFile(Collection& collection, FileScope& scope, std::size_t device,
                                 const std::wstring& path, std::uint64_t limit,
                                 std::vector<std::uint8_t>& bytes);

// Where a device's file lies, as the examiner finds it: the extracted file,
// or the zip and the member's stored name; empty when there is no such file.
std::wstring collectionFilePlace(const Collection& collection, std::size_t device,
                                 const std::wstring& path);

// Members whose data could not be read since the collection was opened.
std::uint32_t unreadableMembers(const Collection& collection);

} // namespace tidewell
