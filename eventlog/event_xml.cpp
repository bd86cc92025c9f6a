#include "eventlog/event_xml.h"

#include "platform/system_clock.h"
#include "platform/utc_calendar.h"
#include "platform/utf8_codec.h"

namespace tidewell {

namespace {

// Elements nest no deeper than this in an event; deeper ones are passed over.
constexpr std::size_t deepest = 32;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool decimal(std::string_view text, std::uint64_t limit, std::uint64_t& value) {
    text = trimmed(text);
    if (text.empty() || text.size() > 20) {
        return false;
    }
    std::uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (result > (limit - digit) / 10) {
            return false;
        }
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

// A character reference's code point: &#123; or &#x1F;.
bool characterReference(std::string_view digits, std::uint32_t& point) {
    const bool hex = !digits.empty() && (digits.front() == 'x' || digits.front() == 'X');
    if (hex) {
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > 8) {
        return false;
    }
    std::uint32_t value = 0;
    for (char c : digits) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        value = value * (hex ? 16 : 10) + digit;
    }
    // Surrogates are no code points; past U+10FFFF there are none.
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    point = value;
    return true;
}

// Text with its entity and character references replaced; a reference that
// is not one stays as written.
void appendDecoded(std::string& out, std::string_view text) {
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t amp = text.find('&', from);
        if (amp == std::string_view::npos) {
            out.append(text.substr(from));
            return;
        }
        out.append(text.substr(from, amp - from));
        const std::size_t semicolon = text.find(';', amp);
        const std::string_view name = semicolon == std::string_view::npos || semicolon - amp > 12
                                          ? std::string_view{}
                                          : text.substr(amp + 1, semicolon - amp - 1);
        std::uint32_t point = 0;
        if (name == "lt") {
            out += '<';
        } else if (name == "gt") {
            out += '>';
        } else if (name == "amp") {
            out += '&';
        } else if (name == "quot") {
            out += '"';
        } else if (name == "apos") {
            out += '\'';
        } else if (name.size() > 1 && name.front() == '#' &&
                   characterReference(name.substr(1), point)) {
            appendUtf8(out, point);
        } else {
            out += '&';
            from = amp + 1;
            continue;
        }
        from = semicolon + 1;
    }
}

// The attribute's decoded value; false where the tag has no such attribute.
bool attribute(std::string_view attributes, std::string_view name, std::string& value) {
    std::size_t at = 0;
    while (at < attributes.size()) {
        while (at < attributes.size() && isSpace(attributes[at])) {
            ++at;
        }
        const std::size_t equals = attributes.find('=', at);
        if (equals == std::string_view::npos) {
            return false;
        }
        const std::string_view key = trimmed(attributes.substr(at, equals - at));
        std::size_t open = equals + 1;
        while (open < attributes.size() && isSpace(attributes[open])) {
            ++open;
        }
        if (open >= attributes.size() || (attributes[open] != '"' && attributes[open] != '\'')) {
            return false;
        }
        const std::size_t close = attributes.find(attributes[open], open + 1);
        if (close == std::string_view::npos) {
            return false;
        }
        if (key == name) {
            value.clear();
            appendDecoded(value, attributes.substr(open + 1, close - open - 1));
            return true;
        }
        at = close + 1;
    }
    return false;
}

// Where the tag that starts at open ends ('>'), quotes respected; npos
// where it does not.
std::size_t tagEnd(std::string_view xml, std::size_t open) {
    std::size_t at = open + 1;
    for (;;) {
        at = xml.find_first_of("\"'>", at);
        if (at == std::string_view::npos || xml[at] == '>') {
            return at;
        }
        at = xml.find(xml[at], at + 1); // past the quoted value
        if (at == std::string_view::npos) {
            return at;
        }
        ++at;
    }
}

// The members of System whose text is kept.
enum class Leaf : std::uint8_t { None, EventId, Version, RecordId, Channel, Computer, Data };

struct Reader {
    EventXml& event;
    std::string_view path[deepest];
    std::size_t depth = 0;
    bool inEvent = false;
    bool eventClosed = false;
    Leaf leaf = Leaf::None;
    std::size_t leafDepth = 0;
    std::string text;

    bool under(std::string_view parent) const {
        return depth == 2 && path[0] == "Event" && path[1] == parent;
    }

    void open(std::string_view name, std::string_view attributes, bool selfClosing) {
        if (depth == 0 && name == "Event") {
            inEvent = true;
        }
        if (leaf == Leaf::None && under("System")) {
            std::string value;
            if (name == "Provider" && attribute(attributes, "Name", value)) {
                event.provider = std::move(value);
            } else if (name == "TimeCreated" && attribute(attributes, "SystemTime", value)) {
                FileTime time = 0;
                event.timeCreated = parseUtcText(value, time) ? time : 0;
            } else if (name == "Security" && attribute(attributes, "UserID", value)) {
                event.securityUserId = std::move(value);
            } else if (name == "EventID") {
                leaf = Leaf::EventId;
            } else if (name == "Version") {
                leaf = Leaf::Version;
            } else if (name == "EventRecordID") {
                leaf = Leaf::RecordId;
            } else if (name == "Channel") {
                leaf = Leaf::Channel;
            } else if (name == "Computer") {
                leaf = Leaf::Computer;
            }
        } else if (leaf == Leaf::None && under("EventData") && name == "Data") {
            std::string itemName;
            attribute(attributes, "Name", itemName);
            event.data.emplace_back(std::move(itemName), std::string{});
            leaf = Leaf::Data;
        }
        if (leaf != Leaf::None && leafDepth == 0) {
            leafDepth = depth + 1;
            text.clear();
        }
        if (selfClosing) {
            closeLeafAt(depth + 1);
            if (depth == 0 && name == "Event") {
                eventClosed = true;
            }
            return;
        }
        if (depth < deepest) {
            path[depth] = name;
        }
        ++depth;
    }

    void close() {
        if (depth == 0) {
            return;
        }
        closeLeafAt(depth);
        --depth;
        if (depth == 0 && inEvent) {
            eventClosed = true;
        }
    }

    void closeLeafAt(std::size_t at) {
        if (leaf == Leaf::None || leafDepth != at) {
            return;
        }
        std::uint64_t number = 0;
        switch (leaf) {
        case Leaf::EventId:
            event.eventIdRead = decimal(text, UINT32_MAX, number);
            event.eventId = static_cast<std::uint32_t>(number);
            break;
        case Leaf::Version:
            if (decimal(text, UINT32_MAX, number)) {
                event.version = static_cast<std::uint32_t>(number);
            }
            break;
        case Leaf::RecordId:
            event.recordIdRead = decimal(text, UINT64_MAX, number);
            event.recordId = number;
            break;
        case Leaf::Channel:
            event.channel = std::string(trimmed(text));
            break;
        case Leaf::Computer:
            event.computer = std::string(trimmed(text));
            break;
        case Leaf::Data:
            event.data.back().second = std::move(text);
            break;
        case Leaf::None:
            break;
        }
        leaf = Leaf::None;
        leafDepth = 0;
        text.clear();
    }

    void characters(std::string_view raw, bool decode) {
        if (leaf == Leaf::None) {
            return;
        }
        if (decode) {
            appendDecoded(text, raw);
        } else {
            text.append(raw);
        }
    }
};

} // namespace

const std::string* EventXml::item(std::string_view name) const {
    for (const auto& [itemName, value] : data) {
        if (itemName == name) {
            return &value;
        }
    }
    return nullptr;
}

bool parseEventXml(std::string_view xml, EventXml& event) {
    event = EventXml{};
    Reader reader{event, {}, 0, false, false, Leaf::None, 0, {}};
    std::size_t at = 0;
    while (at < xml.size() && !reader.eventClosed) {
        const std::size_t lt = xml.find('<', at);
        reader.characters(xml.substr(at, lt == std::string_view::npos ? xml.size() - at : lt - at),
                          true);
        if (lt == std::string_view::npos) {
            break;
        }
        const std::string_view rest = xml.substr(lt);
        std::size_t end = std::string_view::npos;
        if (rest.starts_with("<!--")) {
            end = xml.find("-->", lt + 4);
            end = end == std::string_view::npos ? end : end + 2;
        } else if (rest.starts_with("<![CDATA[")) {
            const std::size_t close = xml.find("]]>", lt + 9);
            if (close != std::string_view::npos) {
                reader.characters(xml.substr(lt + 9, close - lt - 9), false);
                end = close + 2;
            }
        } else if (rest.starts_with("<?")) {
            end = xml.find("?>", lt + 2);
            end = end == std::string_view::npos ? end : end + 1;
        } else {
            end = tagEnd(xml, lt);
            if (end != std::string_view::npos && !rest.starts_with("<!")) {
                std::string_view tag = xml.substr(lt + 1, end - lt - 1);
                const bool closing = tag.starts_with('/');
                const bool selfClosing = !closing && tag.ends_with('/');
                if (closing) {
                    tag.remove_prefix(1);
                } else if (selfClosing) {
                    tag.remove_suffix(1);
                }
                std::size_t nameEnd = 0;
                while (nameEnd < tag.size() && !isSpace(tag[nameEnd])) {
                    ++nameEnd;
                }
                if (closing) {
                    reader.close();
                } else {
                    reader.open(tag.substr(0, nameEnd), tag.substr(nameEnd), selfClosing);
                }
            }
        }
        if (end == std::string_view::npos) {
            break; // cut inside markup
        }
        at = end + 1;
    }
    return reader.inEvent && reader.eventClosed;
}

} // namespace tidewell
