#include "core/launch_record.h"

#include "core/record_source.h"

namespace tidewell {

LaunchRecord makeRecord(const RecordSource& source) {
    LaunchRecord record;
    record.source = &source;
    record.details = source.newDetails();
    return record;
}

} // namespace tidewell
