#include "core/launch_record.h"

#include <utility>

namespace tidewell {

namespace {

template <std::size_t... index>
RecordDetails detailsAt(std::size_t wanted, std::index_sequence<index...>) {
    RecordDetails details;
    // The alternative whose index the source is; the first for any other.
    static_cast<void>(((wanted == index ? (details.emplace<index>(), true) : false) || ...));
    return details;
}

} // namespace

LaunchRecord makeRecord(RecordSource source) {
    LaunchRecord record;
    record.source = source;
    record.details =
        detailsAt(static_cast<std::size_t>(source), std::make_index_sequence<recordSourceCount>{});
    return record;
}

} // namespace tidewell
