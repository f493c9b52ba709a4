// Every interface text, addressed by a group and a key ("Msg" / "Ask break conversion"), with
// placeholder filling for the texts that take values ("%s1%" .. "%s4%"). The program carries the
// English texts built in; BuildCatalogue() turns them into sorted groups for quick lookups.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace catalogue {

// What Lookup() gives for a group or key the catalogue does not hold; shown like any text.
inline constexpr std::string_view kNoStringError = "%NO_STRING_ERROR%";

struct CatalogueEntry {
    std::string key;    // upper-cased
    std::string text;
};

struct CatalogueGroup {
    std::string name;                      // upper-cased
    std::vector<CatalogueEntry> entries;   // sorted by key (byte order); a key may repeat
};

// Plain data, read-only after BuildCatalogue(); lookups change nothing, so any thread may read.
struct MessageCatalogue {
    std::vector<CatalogueGroup> groups;    // in the order of the built-in table
};

// One line of the built-in table: a group start ("_GROUP_", name), an entry (key, text) or the
// end marker ("_END_", "").
struct CatalogueRow {
    std::string_view first;
    std::string_view second;
};

// The built-in English table, "_END_" row included.
[[nodiscard]] std::span<const CatalogueRow> builtInTable();

// Builds the catalogue from the built-in table. Never fails.
[[nodiscard]] MessageCatalogue BuildCatalogue();
// Builds a catalogue from any table of the same form (rows after "_END_" are ignored; entries
// before the first "_GROUP_" belong to no group and cannot be found).
[[nodiscard]] MessageCatalogue BuildCatalogue(std::span<const CatalogueRow> table);

// The text of `key` in `group`, both compared without regard to ASCII letter case, or
// kNoStringError when either is missing. The reference stays valid while the catalogue lives.
[[nodiscard]] const std::string& Lookup(const MessageCatalogue& catalogue, std::string_view group, std::string_view key);

// `text` with every "%s1%" .. "%s4%" (any letter case) replaced by the matching value, one
// placeholder number after the other, so a value may bring in a placeholder a later value fills.
// An empty value leaves its placeholder; an empty text stays empty.
[[nodiscard]] std::string FormatText(std::string_view text, std::string_view value1 = {}, std::string_view value2 = {},
                                     std::string_view value3 = {}, std::string_view value4 = {});

} // namespace catalogue
