// SRUM's rows as records: the rows of one program and one user, of both
// tables, become one record; its times are the ends of the hours in which
// the program used the processor (in the foreground or the background),
// newest first, and its figures are summed over every row.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "platform/filetime.h"
#include "srum/srum_tables.h"

namespace tidewell {

// An OLE date (days since 1899-12-30, UTC) as a FILETIME, to the
// millisecond (the date's double holds no finer figure); false for a date
// that is not one (not finite, before 1601 or past 30827).
bool oleDateFileTime(double date, FileTime& filetime);

// What of the database was read, for the source's line in the report: a
// young machine has no usage table yet, which is no failure.
std::wstring srumTablesNote(const SrumTables& tables);

// Appends a record per program and user; counts every row read, each row
// whose program or user is missing from the id map, and each whose time is
// not a date (its figures are summed, its hour withheld). Each record names
// recordFile; its user is a SID, its path as the database recorded it.
void makeSrumRecords(const SrumTables& tables, const std::wstring& recordFile, RecordList& records,
                     ScanTally& tally);

} // namespace tidewell
