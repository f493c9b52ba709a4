#include "catalogue/icon_registries.h"

#include <utility>

namespace catalogue {

namespace {

constexpr std::pair<std::string_view, int> kButtonImages[] = {
    {"Convert", 2}, {"InFiles", 3}, {"InFolder", 4},
};

// Numbers 23 and 24 are not used.
constexpr std::pair<std::string_view, int> kMenuIcons[] = {
    {"New", 5},           {"Add", 6},         {"InFiles", 7},          {"InFolder", 8},  {"OutFolder", 9},
    {"OutFormat", 10},    {"FavFolder", 11},  {"ImportFiles", 12},     {"ExportFiles", 13},
    {"Exit", 14},         {"Copy", 15},       {"Delete", 16},          {"SelectAll", 17}, {"Convert", 18},
    {"Error", 19},        {"Preferences", 20}, {"CustomConverter", 21}, {"Help", 22},
    {"Email", 25},        {"Web", 26},        {"Updates", 27},         {"About", 28},
};

} // namespace

IconRegistries BuildIconRegistries()
{
    IconRegistries r;
    for (const auto& [name, number] : kButtonImages) r.ButtonImages.emplace(name, number);
    for (const auto& [name, number] : kMenuIcons) {
        r.MenuIcons.emplace(name, number);
        r.ToolbarIcons.emplace(name, number + kToolbarImageOffset);
    }
    return r;
}

int imageNumber(const IconRegistry& registry, std::string_view name)
{
    const auto it = registry.find(name);
    return it == registry.end() ? -1 : it->second;
}

} // namespace catalogue
