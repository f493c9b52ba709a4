// The INI text form shared by config.ini and profile files: a tolerant reader for hand-edited
// files and the exact value forms the writer uses. Knows nothing of the settings record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace settings::ini
{

struct Entry {
    std::string key;   // as written, trailing blanks removed
    std::string value; // as written, leading and trailing blanks removed
};

struct Group {
    std::string name; // as written between "[" and "]"
    std::vector<Entry> entries;
};

// A parsed INI text. Lookups ignore ASCII letter case; when a group name occurs twice only the
// first group counts, and within a group the first occurrence of a key counts.
class Document
{
  public:
    // Parses raw file bytes: UTF-8 after a byte-order mark, otherwise Latin-1. Never fails;
    // lines that mean nothing (comments, key lines before the first group) are dropped.
    static Document parse(std::string_view bytes);

    // The first group of that name, or null.
    const Group* findGroup(std::string_view name) const;
    // The value of the first `key` in the first group `group`, or null when either is absent.
    const std::string* findValue(std::string_view group, std::string_view key) const;

    const std::vector<Group>& groups() const { return m_groups; }

  private:
    std::vector<Group> m_groups;
};

// The first entry of `key` in `group`, or null.
const Entry* findEntry(const Group& group, std::string_view key);

// File bytes as UTF-8 text: the byte-order mark is dropped; without one, bytes are Latin-1.
std::string decodeFileBytes(std::string_view bytes);

bool equalsIgnoreCase(std::string_view a, std::string_view b);
std::string toUpperAscii(std::string_view text);
std::string_view trimBlanks(std::string_view text); // spaces and TABs at both ends

// Optional blanks and sign, then decimal digits up to the first other character; no digits
// give 0. Digits beyond 64 bits wrap, so callers can keep the low bits they store.
std::int64_t parseInteger(std::string_view text);
// The longest decimal prefix (sign, fraction, exponent) after blanks, or 0; "+Infinity",
// "-Infinity" and "NaN" in any letter case. Too large a number is an infinity.
float parseReal(std::string_view text);

// Fixed point with six decimals ("1.000000"), or "+Infinity", "-Infinity", "NaN".
std::string formatReal(float value);
// The text with every CR and LF turned into a space, so it cannot break its line.
std::string singleLine(std::string_view text);

} // namespace settings::ini
