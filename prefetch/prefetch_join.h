// What a Prefetch record says that ties it to its program beyond its path.
#pragma once

#include <string>

#include "core/record_source.h"

namespace tidewell {

void prefetchJoinFacts(const LaunchRecord& record, JoinFacts& facts);
// "11 runs", or that the count was withheld, appended.
void prefetchCountWords(const LaunchRecord& record, std::wstring& text);

} // namespace tidewell
