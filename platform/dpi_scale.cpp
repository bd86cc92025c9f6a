#include "platform/dpi_scale.h"

#include <cstdint>

#include "platform/screen.h"

namespace tidewell {

namespace {

int cachedDpi = 0; // 0 until first use; one thread only

} // namespace

int mulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    std::int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    // Half of the divisor towards the sign of the result rounds halves away
    // from zero; integer division then truncates towards zero.
    const std::int64_t half = divisor / 2;
    const std::int64_t rounded =
        product >= 0 ? (product + half) / divisor : (product - half) / divisor;
    if (rounded > 2147483647LL || rounded < -2147483647LL) {
        return -1;
    }
    return static_cast<int>(rounded);
}

int currentDpi() {
    if (cachedDpi == 0) {
        const int asked = queryScreenDpi();
        cachedDpi = asked < 1 ? 96 : asked;
    }
    return cachedDpi;
}

void setCurrentDpi(int dpi) {
    cachedDpi = dpi < 1 ? 96 : dpi;
}

void forgetCurrentDpi() {
    cachedDpi = 0;
}

int scaleForDpi(int length) {
    return mulDiv(length, currentDpi(), 96);
}

} // namespace tidewell
