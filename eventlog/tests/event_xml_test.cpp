// Events as the event-log API and libevtx render them: the members a start
// needs, entities, text split by comments and CDATA, and text that is cut
// or not an event at all; and the two forms of time an event writes.
#include <gtest/gtest.h>

#include "eventlog/event_xml.h"

namespace tidewell {
namespace {

// A Security 4688 as the event-log API renders it: single quotes, one line.
constexpr char apiRendering[] =
    "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>"
    "<Provider Name='Microsoft-Windows-Security-Auditing' "
    "Guid='{54849625-5478-4994-a5ba-3e3b0328c30d}'/><EventID>4688</EventID>"
    "<Version>2</Version><Level>0</Level><Task>13312</Task>"
    "<TimeCreated SystemTime='2023-05-01T10:20:30.1234567Z'/>"
    "<EventRecordID>18446744073709551615</EventRecordID><Correlation/>"
    "<Execution ProcessID='4' ThreadID='96'/><Channel>Security</Channel>"
    "<Computer>ws01.corp.example</Computer><Security/></System><EventData>"
    "<Data Name='SubjectUserSid'>S-1-5-21-1-2-3-1001</Data>"
    "<Data Name='NewProcessName'>C:\\Tools\\a&amp;b.exe</Data>"
    "<Data Name='CommandLine'>a&amp;b.exe &quot;x &lt;y&gt;&quot; &#x41;&#66;&apos;</Data>"
    "<Data Name='ParentProcessName'/>"
    "</EventData></Event>";

TEST(EventXml, TheApisRenderingGivesSystemMembersAndNamedItems) {
    EventXml event;
    ASSERT_TRUE(parseEventXml(apiRendering, event));
    EXPECT_EQ(event.provider, "Microsoft-Windows-Security-Auditing");
    EXPECT_TRUE(event.eventIdRead);
    EXPECT_EQ(event.eventId, 4688u);
    EXPECT_EQ(event.version, 2u);
    EXPECT_TRUE(event.recordIdRead);
    EXPECT_EQ(event.recordId, 18446744073709551615ULL);
    EXPECT_EQ(event.channel, "Security");
    EXPECT_EQ(event.computer, "ws01.corp.example");
    EXPECT_EQ(event.securityUserId, "");
    // 2023-05-01 10:20:30 UTC is 133274100300000000 in FILETIME ticks.
    EXPECT_EQ(event.timeCreated, 133274100300000000ULL + 1234567);
    ASSERT_EQ(event.data.size(), 4u);
    EXPECT_EQ(*event.item("NewProcessName"), "C:\\Tools\\a&b.exe");
    EXPECT_EQ(*event.item("CommandLine"), "a&b.exe \"x <y>\" AB'");
    ASSERT_NE(event.item("ParentProcessName"), nullptr);
    EXPECT_EQ(*event.item("ParentProcessName"), "") << "carried, empty";
    EXPECT_EQ(event.item("TargetUserSid"), nullptr) << "not carried";
}

TEST(EventXml, LibevtxsRenderingWithItsDeclarationIndentationAndQualifiers) {
    const char xml[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                       "<Event xmlns=\"http://schemas.microsoft.com/win/2004/08/events/event\">\n"
                       "  <System>\n"
                       "    <Provider Name=\"Microsoft-Windows-Sysmon\"/>\n"
                       "    <EventID Qualifiers=\"0\"> 1 </EventID>\n"
                       "    <Version>5</Version>\n"
                       "    <TimeCreated SystemTime=\"2017-12-26T13:10:29.136879200Z\"/>\n"
                       "    <EventRecordID>1742</EventRecordID>\n"
                       "    <Security UserID=\"S-1-5-18\"/>\n"
                       "  </System>\n"
                       "  <EventData>\n"
                       "    <Data Name=\"Image\">C:\\Windows\\SysWOW64\\PING.EXE</Data>\n"
                       "    <Data Name=\"CommandLine\">ping <!-- a comment -->-n 6 "
                       "<![CDATA[<127.0.0.1>]]></Data>\n"
                       "  </EventData>\n"
                       "</Event>\n";
    EventXml event;
    ASSERT_TRUE(parseEventXml(xml, event));
    EXPECT_EQ(event.eventId, 1u);
    EXPECT_EQ(event.version, 5u);
    EXPECT_EQ(event.securityUserId, "S-1-5-18");
    EXPECT_EQ(event.timeCreated, 131587674291368792ULL);
    EXPECT_EQ(*event.item("Image"), "C:\\Windows\\SysWOW64\\PING.EXE");
    EXPECT_EQ(*event.item("CommandLine"), "ping -n 6 <127.0.0.1>");
}

TEST(EventXml, TextThatIsNoWholeEventIsRefusedAndStrangeMarkupPassedOver) {
    EventXml event;
    EXPECT_FALSE(parseEventXml("", event));
    EXPECT_FALSE(parseEventXml("<Other><EventID>4688</EventID></Other>", event));
    const std::string whole = apiRendering;
    for (std::size_t keep : {std::size_t{10}, whole.size() / 2, whole.size() - 3}) {
        EXPECT_FALSE(parseEventXml(whole.substr(0, keep), event)) << keep;
    }
    // Unknown references stay as written; an id that is no number is not read;
    // System members out of their place are not taken.
    ASSERT_TRUE(parseEventXml("<Event><System><EventID>12x</EventID>"
                              "<TimeCreated SystemTime='yesterday'/></System>"
                              "<EventID>5</EventID><EventData><Data Name='a'>&bogus; &#0; "
                              "&#xD800; &amp</Data><Data>no name</Data></EventData></Event>",
                              event));
    EXPECT_FALSE(event.eventIdRead);
    EXPECT_EQ(event.timeCreated, 0u);
    EXPECT_EQ(*event.item("a"), "&bogus; &#0; &#xD800; &amp");
    EXPECT_EQ(*event.item(""), "no name");
    // A quoted '>' inside an attribute does not end its tag.
    ASSERT_TRUE(parseEventXml("<Event><System><Provider Name='a>b'/></System></Event>", event));
    EXPECT_EQ(event.provider, "a>b");
}

} // namespace
} // namespace tidewell
