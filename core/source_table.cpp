#include "core/source_table.h"

#include "core/record_views.h"
#include "prefetch/prefetch_scan.h"
#include "prefetch/prefetch_view.h"
#include "userassist/userassist_scan.h"
#include "userassist/userassist_view.h"

namespace tidewell {

const SourceEntry sourceTable[recordSourceCount] = {
    {RecordSource::Prefetch, scanPrefetch, &prefetchRecordView},
    {RecordSource::UserAssist, scanUserAssist, &userAssistRecordView},
};

const RecordView& recordView(RecordSource source) {
    const auto index = static_cast<std::size_t>(source);
    return *sourceTable[index < recordSourceCount ? index : recordSourceCount - 1].view;
}

} // namespace tidewell
