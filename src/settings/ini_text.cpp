#include "settings/ini_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace settings::ini
{

namespace
{

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimLeft(std::string_view t)
{
    while (!t.empty() && isBlank(t.front()))
        t.remove_prefix(1);
    return t;
}

std::string_view trimRight(std::string_view t)
{
    while (!t.empty() && isBlank(t.back()))
        t.remove_suffix(1);
    return t;
}

bool startsWithIgnoreCase(std::string_view text, std::string_view word)
{
    return text.size() >= word.size() && equalsIgnoreCase(text.substr(0, word.size()), word);
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned lowest = 0;
        unsigned cp = 0;
        if ((b & 0xE0) == 0xC0) {
            more = 1;
            cp = b & 0x1F;
            lowest = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            more = 2;
            cp = b & 0x0F;
            lowest = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            more = 3;
            cp = b & 0x07;
            lowest = 0x10000;
        } else
            return false;
        if (i + more >= s.size())
            return false;
        for (int k = 1; k <= more; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

std::string latin1ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

// Splits "key = value" at the first "="; a line without one is a key with an empty value.
Entry keyLine(std::string_view line)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return Entry{std::string(trimRight(line)), {}};
    return Entry{std::string(trimRight(line.substr(0, eq))), std::string(trimBlanks(line.substr(eq + 1)))};
}

} // namespace

std::string decodeFileBytes(std::string_view bytes)
{
    if (bytes.starts_with(kByteOrderMark))
        return std::string(bytes.substr(kByteOrderMark.size()));
    // Older files are Latin-1. A file saved by a present-day editor is UTF-8 without a mark;
    // Latin-1 text almost never forms valid multi-byte UTF-8, so valid UTF-8 is taken as such.
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return latin1ToUtf8(bytes);
}

Document Document::parse(std::string_view bytes)
{
    const std::string text = decodeFileBytes(bytes);
    Document doc;
    Group* current = nullptr; // key lines before the first group belong nowhere

    std::string_view rest = text;
    while (!rest.empty()) {
        std::size_t end = 0;
        while (end < rest.size() && !isLineBreak(rest[end]))
            ++end;
        const std::string_view line = trimLeft(rest.substr(0, end));
        rest.remove_prefix(end);
        while (!rest.empty() && isLineBreak(rest.front()))
            rest.remove_prefix(1);

        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::string_view inner = line.substr(1);
            const std::size_t close = inner.find(']');
            doc.m_groups.push_back(Group{std::string(inner.substr(0, close)), {}});
            current = &doc.m_groups.back();
            continue;
        }
        if (current != nullptr)
            current->entries.push_back(keyLine(line));
    }
    return doc;
}

const Group* Document::findGroup(std::string_view name) const
{
    for (const Group& g : m_groups) {
        if (equalsIgnoreCase(g.name, name))
            return &g;
    }
    return nullptr;
}

const std::string* Document::findValue(std::string_view group, std::string_view key) const
{
    const Group* g = findGroup(group);
    if (g == nullptr)
        return nullptr;
    const Entry* e = findEntry(*g, key);
    return e != nullptr ? &e->value : nullptr;
}

const Entry* findEntry(const Group& group, std::string_view key)
{
    for (const Entry& e : group.entries) {
        if (equalsIgnoreCase(e.key, key))
            return &e;
    }
    return nullptr;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

std::string toUpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string_view trimBlanks(std::string_view text)
{
    return trimRight(trimLeft(text));
}

std::int64_t parseInteger(std::string_view text)
{
    text = trimLeft(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint64_t magnitude = 0; // unsigned, so overlong digit runs wrap instead of overflowing
    for (const char c : text) {
        if (!isDigit(c))
            break;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (negative)
        magnitude = 0 - magnitude;
    return static_cast<std::int64_t>(magnitude);
}

float parseReal(std::string_view text)
{
    text = trimLeft(text);
    if (startsWithIgnoreCase(text, "+Infinity"))
        return std::numeric_limits<float>::infinity();
    if (startsWithIgnoreCase(text, "-Infinity"))
        return -std::numeric_limits<float>::infinity();
    if (startsWithIgnoreCase(text, "NaN"))
        return std::numeric_limits<float>::quiet_NaN();

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Find the longest prefix of the form digits [. digits] [e [sign] digits].
    std::size_t n = 0;
    std::size_t digits = 0;
    while (n < text.size() && isDigit(text[n])) {
        ++n;
        ++digits;
    }
    if (n < text.size() && text[n] == '.') {
        ++n;
        while (n < text.size() && isDigit(text[n])) {
            ++n;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0f;
    const std::size_t mantissaEnd = n;
    if (n < text.size() && (text[n] == 'e' || text[n] == 'E')) {
        std::size_t e = n + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        if (e < text.size() && isDigit(text[e])) {
            while (e < text.size() && isDigit(text[e]))
                ++e;
            n = e;
        }
    }

    float value = 0.0f;
    const char* first = text.data();
    const std::errc ec = std::from_chars(first, first + n, value, std::chars_format::general).ec;
    if (ec == std::errc::result_out_of_range) {
        // Beyond a float: an infinity when the number is large, zero when it is tiny. A double
        // tells which; beyond a double too, the sign of the exponent does.
        double wide = 0.0;
        const std::errc wideEc = std::from_chars(first, first + n, wide, std::chars_format::general).ec;
        const bool tinyExponent = mantissaEnd < n && text[mantissaEnd + 1] == '-';
        const bool huge = wideEc == std::errc{} ? std::fabs(wide) > 1.0 : !tinyExponent;
        value = huge ? std::numeric_limits<float>::infinity() : 0.0f;
    } else if (ec != std::errc{}) {
        value = 0.0f;
    }
    return negative ? -value : value;
}

std::string formatReal(float value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "+Infinity" : "-Infinity";
    char buffer[64];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, r.ec == std::errc{} ? r.ptr : buffer);
}

std::string singleLine(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (isLineBreak(c))
            c = ' ';
    }
    return out;
}

} // namespace settings::ini
