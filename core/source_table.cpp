#include "core/source_table.h"

#include "amcache/amcache_scan.h"
#include "amcache/amcache_view.h"
#include "bam/bam_scan.h"
#include "bam/bam_view.h"
#include "compatcache/compat_cache_scan.h"
#include "compatcache/compat_cache_view.h"
#include "core/record_views.h"
#include "prefetch/prefetch_scan.h"
#include "prefetch/prefetch_view.h"
#include "userassist/userassist_scan.h"
#include "userassist/userassist_view.h"

namespace tidewell {

const SourceEntry sourceTable[recordSourceCount] = {
    {RecordSource::Prefetch, scanPrefetch, &prefetchRecordView},
    {RecordSource::UserAssist, scanUserAssist, &userAssistRecordView},
    {RecordSource::Bam, scanBam, &bamRecordView},
    {RecordSource::AppCompatCache, scanAppCompatCache, &appCompatCacheRecordView},
    {RecordSource::Amcache, scanAmcache, &amcacheRecordView},
};

// A value beyond the table is shown as UserAssist, as it always was.
const RecordView& recordView(RecordSource source) {
    const auto index = static_cast<std::size_t>(source);
    return *sourceTable[index < recordSourceCount
                            ? index
                            : static_cast<std::size_t>(RecordSource::UserAssist)]
                .view;
}

} // namespace tidewell
