// The list's order, fast: each column's records are ranked once per scan,
// the first time the column is asked for, in exactly compareRows's order;
// a refresh then orders the rows it shows by those integers alone.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/launch_record.h"

namespace tidewell {

// The ranks of one scan's records, one vector per kind of order (Source,
// Name, Runs, Last run, Path, User; Detail and any other column sort by the
// name). Equal ranks are records compareRows calls equal; an empty vector
// is a column not yet asked for.
struct ListRanks {
    std::array<std::vector<std::uint32_t>, 6> byOrder;
};

// The rows among shown (indexes into records) in the column's order and
// direction, with the Last run rule: records without a run time at the
// bottom in record order. Ranks the column first where ranks lack it, or
// where they were made for a different number of records.
void orderShownRows(ListRanks& ranks, const RecordList& records, int column, bool ascending,
                    std::vector<std::size_t>& shown);

} // namespace tidewell
