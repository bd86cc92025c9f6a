#include "platform/possible_date.h"

namespace tidewell {

bool isPossibleDate(FileTime value, FileTime now) {
    if (value < earliestPossibleDate) {
        return false;
    }
    // now + one day cannot wrap for any clock reading before the year 30000,
    // but a saturated bound keeps the test honest whatever the clock says.
    const FileTime latest =
        now > ~FileTime{0} - fileTimeTicksPerDay ? ~FileTime{0} : now + fileTimeTicksPerDay;
    return value <= latest;
}

} // namespace tidewell
