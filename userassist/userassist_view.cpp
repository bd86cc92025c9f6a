// How a UserAssist record is shown, and how the banner and the report speak
// of the source: its row of the table of sources.
#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"
#include "platform/text_format.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_details.h"
#include "userassist/userassist_source.h"

namespace tidewell {

namespace {

const UserAssistDetails& detailsOf(const LaunchRecord& record) {
    static const UserAssistDetails none;
    const UserAssistDetails* details = userAssistDetails(record);
    return details != nullptr ? *details : none;
}

// A stamp with no counted launch, focus count or focus time.
bool stampOnly(const LaunchRecord& record, const UserAssistDetails& details) {
    return record.runCount == 0 && details.focusCount == 0 && details.focusMilliseconds == 0 &&
           !record.runTimes.empty();
}

void cells(const LaunchRecord& record, SourceCells& cells) {
    const UserAssistDetails& details = detailsOf(record);
    if (details.hasFocus != 0) {
        cells.focusCount = decimalText(details.focusCount);
        cells.focusSeconds = fixedText(details.focusMilliseconds / 1000.0, 1);
    }
}

std::wstring listDetail(const LaunchRecord& record) {
    const UserAssistDetails& details = detailsOf(record);
    if (stampOnly(record, details)) {
        return L"no counted launch";
    }
    if (details.windowsXpLayout != 0) {
        return L"Windows XP entry (" + details.xpLaunchKind + L")";
    }
    if (details.hasFocus == 0) {
        return {};
    }
    return L"focus " + fixedText(details.focusMilliseconds / 1000.0, 0) + L" s";
}

std::wstring pathExplanation(const LaunchRecord& record, const UserAssistDetails& details,
                             const DetailContext& context) {
    switch (record.pathStatus) {
    case PathStatus::NoPathRecorded:
        // A UserAssist name without a path names an application.
        return L"  \u2014 this record identifies an application, not a file on disk";
    case PathStatus::FolderIdUnresolved:
        if (context.evidence) {
            return L"  \u2014 the examined machine's registry does not say where it was";
        }
        if (!record.userSid.empty() && !equalsFolded(record.userSid, context.runningSid)) {
            return std::wstring(
                       L"  \u2014 a folder inside a profile. It can only be located with") +
                   detailUnder + L"the rights of the account it belongs to, and this" +
                   detailUnder + L"record does not belong to the account running the tool";
        }
        return L"  \u2014 the shell did not recognise this folder id";
    case PathStatus::Resolved:
        if (details.folderAtDefault != 0) {
            return std::wstring(L"  \u2014 the examined machine's registry does not record") +
                   detailUnder + L"where this folder was, so it is placed where Windows" +
                   detailUnder + L"puts it by default" +
                   (startsWithFolded(record.path, L"%SystemDrive%")
                        ? std::wstring(L"; nor does it record the letter") + detailUnder +
                              L"of its system drive, hence %SystemDrive%"
                        : std::wstring());
        }
        return L"";
    default:
        return L"";
    }
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const UserAssistDetails& details = detailsOf(record);
    parts.pathExplanation = pathExplanation(record, details, context);
    if (stampOnly(record, details)) {
        parts.afterRunCount =
            L"\r\n    This record carries a timestamp while its launch tally, its focus\r\n"
            L"    count and its focus time are all zero. The shell wrote the entry and\r\n"
            L"    stamped it without counting a launch. The stamp is real; it is not on\r\n"
            L"    its own evidence that the program was started.\r\n";
    }
    std::wstring& text = parts.fields;
    text += L"User:              ";
    if (context.evidence) {
        text += (record.userName.empty() ? std::wstring(L"(no profile folder)") : record.userName) +
                L" (the name of the profile's folder; the examined machine's" + detailUnder +
                L"account names are not read)";
    } else {
        text += record.userName.empty() ? L"(the SID resolves to no account)" : record.userName;
    }
    text += detailLineEnd;
    text += L"User SID:          " + (record.userSid.empty() ? L"(unknown)" : record.userSid) +
            detailLineEnd;
    if (details.hasFocus != 0) {
        text += L"Window focus:      " + decimalText(details.focusCount) + L" times, " +
                fixedText(details.focusMilliseconds / 1000.0, 1) + L" seconds total" +
                detailLineEnd;
    }
    if (details.windowsXpLayout != 0) {
        text += L"Entry:             Windows XP's (UEME_" + details.xpLaunchKind +
                L"): a session, a count" + detailUnder +
                L"kept from 5 (shown less those 5) and the last launch; no" + detailUnder +
                L"focus figures" + detailLineEnd;
    }
}

void focusMembers(JsonWriter& json, const LaunchRecord* record) {
    const UserAssistDetails* details = record != nullptr ? userAssistDetails(*record) : nullptr;
    if (details != nullptr && details->hasFocus != 0) {
        json.member("focus_count", details->focusCount);
        json.member("focus_milliseconds", details->focusMilliseconds);
    } else {
        json.memberNull("focus_count");
        json.memberNull("focus_milliseconds");
    }
    json.memberFlag("has_focus", details != nullptr && details->hasFocus != 0);
    if (details != nullptr) {
        json.memberFlag("folder_at_default", details->folderAtDefault != 0);
    } else {
        json.memberNull("folder_at_default");
    }
}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*run*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    const std::wstring who = !record.userName.empty()  ? record.userName
                             : !record.userSid.empty() ? record.userSid
                                                       : std::wstring(L"an unknown user");
    std::wstring text =
        record.name + L" was last launched through the shell by " + who + onHost + fromWhere;
    if (record.runCountKnown == 0) {
        return text + L"; its launch count is withheld";
    }
    return text + L"; the shell counted " + decimalText(record.runCount) +
           (record.runCount == 1 ? L" launch" : L" launches");
}

// One record per user and entry: the same entry in an older copy of the
// user's hive holds an earlier run.
std::wstring mergeKey(const LaunchRecord& record) {
    return foldText(record.userSid.empty() ? record.userName : record.userSid) + L"|" +
           foldText(record.path.empty() ? record.name : record.path);
}

std::any newDetails() {
    return UserAssistDetails{};
}

constexpr const wchar_t* reportCaution[] = {
    L"UserAssist records shell launches only; command line, script,",
    L"service and scheduled task launches never appear in it.",
    nullptr,
};

// A record without a path names a packaged application by its id.
void joinFacts(const LaunchRecord& record, JoinFacts& facts) {
    // Windows XP's shell objects are named by class id, no application.
    if (record.pathStatus == PathStatus::NoPathRecorded && detailsOf(record).windowsXpLayout == 0) {
        facts.package = record.name;
    }
}

void countWords(const LaunchRecord& record, std::wstring& text) {
    if (record.runCountKnown == 0) {
        text += L"run count not recorded";
        return;
    }
    appendDecimal(text, record.runCount);
    text += record.runCount == 1 ? L" run" : L" runs";
}

} // namespace

const RecordSource userAssistSource = {
    .number = 1,
    .word = L"UserAssist",
    .described = L"UserAssist (shell record of user launches)",
    .runTimeMeaning = L"UserAssist: last shell launch",
    .viewMenuText = L"Show &UserAssist records",
    .countsRuns = true,
    .timesAreRuns = true,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"UserAssist",
            .bannerName = L"UserAssist",
            .cautionPlace = 1,
            .reportCaution = reportCaution,
            .bannerCaution = L"UserAssist records only shell launches \u2014 a command line, "
                             L"script, service or scheduled task never appears in it.",
            .unreadSentence = L"\u26A0  UserAssist could not be read, so no shell launch record "
                              L"was examined. Only what Windows started is listed below.",
            .unreadSentenceEvidence =
                L"\u26A0  No user's UserAssist could be read from the evidence, so no shell "
                L"launch record was examined. Only what Windows started is listed below.",
        },
    .counters = userAssistCounters,
    .facts = {},
    .newDetails = newDetails,
    .namedTimes = nullptr,
    .cells = cells,
    .listDetail = listDetail,
    .detailParts = detailParts,
    .jsonMembers = focusMembers,
    .eventMembers = focusMembers,
    .eventMessage = eventMessage,
    .mergeKey = mergeKey,
    .joinFacts = joinFacts,
    .countWords = countWords,
};

} // namespace tidewell
