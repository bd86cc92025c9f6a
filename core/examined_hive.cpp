#include "core/examined_hive.h"

namespace tidewell {

const wchar_t* hiveOutcomeWord(HiveOutcome outcome) {
    switch (outcome) {
    case HiveOutcome::Clean:
        return L"clean";
    case HiveOutcome::Recovered:
        return L"recovered";
    case HiveOutcome::Stale:
        return L"stale";
    case HiveOutcome::Unreadable:
        return L"unreadable";
    case HiveOutcome::Malformed:
        return L"malformed";
    case HiveOutcome::TooLarge:
        return L"too large";
    case HiveOutcome::Missing:
        break;
    }
    return L"missing";
}

} // namespace tidewell
