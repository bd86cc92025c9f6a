// Any value of the store: the first byte is its type, the second the
// name's length in units; then the name and the data. A named value is one
// record whose name is no empty text and which shows and merges.
#include <cstdlib>

#include "castore/castore_details.h"
#include "castore/castore_reader.h"
#include "castore/castore_source.h"
#include "ui/detail_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    if (size < 2) {
        return 0;
    }
    KeyValue value;
    value.type = data[0];
    std::size_t at = 2;
    for (std::size_t unit = 0; unit < data[1] && at + 1 < size; ++unit, at += 2) {
        value.name.push_back(static_cast<wchar_t>(data[at] | data[at + 1] << 8));
    }
    value.data.assign(data + at, data + size);
    RegistryKey none;
    const UserHive hive{L"S-1-5-21-1", L"someone", &none, false, nullptr};
    LaunchRecord record;
    const bool made = makeCompatibilityStoreRecord(value, 3, hive, record);
    if (made == value.name.empty()) {
        std::abort();
    }
    if (made &&
        (record.name.empty() || compatibilityStoreDetails(record)->dataSize != value.data.size() ||
         buildDetailText(record, DetailContext{}).empty() ||
         compatibilityStoreSource.mergeKey(record).empty())) {
        std::abort();
    }
    return 0;
}
