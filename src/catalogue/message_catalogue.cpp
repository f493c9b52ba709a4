#include "catalogue/message_catalogue.h"

#include <algorithm>

namespace catalogue {

namespace {

constexpr std::string_view kGroupMarker = "_GROUP_";
constexpr std::string_view kEndMarker = "_END_";

char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = upperAscii(c);
    return out;
}

// Compares an upper-cased stored name with a request in any letter case, byte by byte, as if
// the request had been upper-cased first. Negative, zero or positive like strcmp.
int compareUpper(std::string_view stored, std::string_view request)
{
    const std::size_t n = std::min(stored.size(), request.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(stored[i]);
        const auto b = static_cast<unsigned char>(upperAscii(request[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    if (stored.size() == request.size()) return 0;
    return stored.size() < request.size() ? -1 : 1;
}

const std::string& noStringError()
{
    static const std::string text(kNoStringError);
    return text;
}

} // namespace

MessageCatalogue BuildCatalogue()
{
    return BuildCatalogue(builtInTable());
}

MessageCatalogue BuildCatalogue(std::span<const CatalogueRow> table)
{
    MessageCatalogue catalogue;
    for (const CatalogueRow& row : table) {
        if (row.first == kEndMarker) break;
        if (row.first == kGroupMarker) {
            catalogue.groups.push_back({upperCase(row.second), {}});
        } else if (!catalogue.groups.empty()) {
            catalogue.groups.back().entries.push_back({upperCase(row.first), std::string(row.second)});
        }
    }
    // Byte order of the upper-cased keys; a stable sort keeps the table's first text of a
    // repeated key in front.
    for (CatalogueGroup& group : catalogue.groups) {
        std::stable_sort(group.entries.begin(), group.entries.end(),
                         [](const CatalogueEntry& a, const CatalogueEntry& b) { return a.key < b.key; });
    }
    return catalogue;
}

const std::string& Lookup(const MessageCatalogue& catalogue, std::string_view group, std::string_view key)
{
    // A handful of groups: a straight walk is the quickest way to the one asked for.
    const auto g = std::find_if(catalogue.groups.begin(), catalogue.groups.end(),
                                [&](const CatalogueGroup& candidate) { return compareUpper(candidate.name, group) == 0; });
    if (g == catalogue.groups.end()) return noStringError();

    const auto& entries = g->entries;
    const auto it = std::lower_bound(entries.begin(), entries.end(), key, [](const CatalogueEntry& entry, std::string_view k) {
        return compareUpper(entry.key, k) < 0;
    });
    if (it == entries.end() || compareUpper(it->key, key) != 0) return noStringError();
    return it->text;
}

std::string FormatText(std::string_view text, std::string_view value1, std::string_view value2, std::string_view value3,
                       std::string_view value4)
{
    std::string result(text);
    if (result.empty()) return result;

    const std::string_view values[4] = {value1, value2, value3, value4};
    for (int n = 0; n < 4; ++n) {
        const std::string_view value = values[n];
        if (value.empty()) continue;
        const char digit = static_cast<char>('1' + n);
        // Placeholders are four bytes: '%', 's' or 'S', the digit, '%'. Text brought in by this
        // value is not scanned again for the same placeholder.
        std::string next;
        next.reserve(result.size() + value.size());
        std::size_t i = 0;
        while (i < result.size()) {
            if (i + 4 <= result.size() && result[i] == '%' && (result[i + 1] == 's' || result[i + 1] == 'S') &&
                result[i + 2] == digit && result[i + 3] == '%') {
                next += value;
                i += 4;
            } else {
                next += result[i++];
            }
        }
        result = std::move(next);
    }
    return result;
}

} // namespace catalogue
