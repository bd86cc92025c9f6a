// Turning what a user's hive stores into names a reader can use: a
// known-folder id at the front of a path into the folder's real path, and a
// hive's SID into its account name.
#pragma once

#include <string>
#include <string_view>

#include "machine/machine_folders.h"

namespace tidewell {

// The folder ids that are the same for every account (program files, the
// system and Windows folders, the public and all-users folders): the only
// ones that can be resolved for a hive that is not the running account's.
inline constexpr std::wstring_view machineWideFolderIds[] = {
    L"{6D809377-6AF0-444B-8957-A3773F02200E}", // ProgramFilesX64
    L"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}", // ProgramFilesX86
    L"{905E63B6-C1BF-494E-B29C-65B732D3D21A}", // ProgramFiles
    L"{F7F1ED05-9F6D-47A2-AAAE-29D317C6F066}", // ProgramFilesCommon
    L"{6365D5A7-0F0D-45E5-87F6-0DA56B6A4F7D}", // ProgramFilesCommonX64
    L"{DE974D24-D9C6-4D3E-BF91-F4455120B917}", // ProgramFilesCommonX86
    L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}", // System
    L"{D65231B0-B2F1-4857-A4CE-A8E7C6EA7D27}", // SystemX86
    L"{F38BF404-1D43-42F2-9305-67DE0B28FC23}", // Windows
    L"{62AB5D82-FDC1-4DC3-A9DD-070D1D495D97}", // ProgramData
    L"{0139D44E-6AFE-49F2-8690-3DAFCAE6FFB8}", // CommonPrograms
    L"{A4115719-D62E-491D-AA7C-E74B8BE3B067}", // CommonStartMenu
    L"{C4AA340D-F20F-4863-AFEF-F87EF2E6BA25}", // PublicDesktop
    L"{DFDF76A2-C82A-4D63-906A-5644AC457385}", // Public
    L"{ED4824AF-DCE4-45A8-81E2-FC7965083634}", // PublicDocuments
};

// Whether a braced folder id is one of the machine-wide ones (ASCII case ignored).
bool isMachineWideFolderId(std::wstring_view folderId);

// Resolves a path that begins with a braced known-folder id. For a hive
// that is not the running account's only machine-wide folders resolve: the
// shell answers for the running account alone. Clears resolved first; true
// when it now holds the folder joined with the rest of the path.
bool resolveFolderIdPath(const std::wstring& path, bool ownHive, std::wstring& resolved);

// The same through a table instead of this machine's shell; an id the table
// does not hold stays unresolved. documentedDefault says whether the folder
// was placed at its documented default location.
bool resolveFolderIdFromTable(const std::wstring& path, const FolderTable& table,
                              std::wstring& resolved, bool& documentedDefault);

} // namespace tidewell
