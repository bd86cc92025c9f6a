#include "scan/source_table.h"

#include <array>

#include "amcache/amcache_source.h"
#include "bam/bam_source.h"
#include "castore/castore_source.h"
#include "compatcache/compat_cache_source.h"
#include "eventlog/eventlog_source.h"
#include "featureusage/featureusage_source.h"
#include "muicache/muicache_source.h"
#include "pca/pca_source.h"
#include "prefetch/prefetch_source.h"
#include "recentapps/recentapps_source.h"
#include "runmru/runmru_source.h"
#include "srum/srum_source.h"
#include "userassist/userassist_source.h"

namespace tidewell {

namespace {

// Each row's source numbers itself by its row (from 0).
constexpr SourceEntry rows[] = {
    {&prefetchSource, scanPrefetch},
    {&userAssistSource, scanUserAssist},
    {&bamSource, scanBam},
    {&appCompatCacheSource, scanAppCompatCache},
    {&amcacheSource, scanAmcache},
    {&srumSource, scanSrum},
    {&eventLogSource, scanEventLogs},
    {&pcaSource, scanPca},
    {&featureUsageSource, scanFeatureUsage},
    {&runMruSource, scanRunMru},
    {&compatibilityStoreSource, scanCompatibilityStore},
    {&muiCacheSource, scanMuiCache},
    {&recentAppsSource, scanRecentApps},
};
static_assert(std::size(rows) <= maxRecordSources, "a View toggle for every source");

constexpr auto descriptions = [] {
    std::array<const RecordSource*, std::size(rows)> sources{};
    for (std::size_t row = 0; row < sources.size(); ++row) {
        sources[row] = rows[row].source;
    }
    return sources;
}();

} // namespace

std::span<const SourceEntry> sourceTable() {
    return rows;
}

std::span<const RecordSource* const> tableSources() {
    return descriptions;
}

} // namespace tidewell
