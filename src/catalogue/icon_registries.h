// The names of the program's icons and the image numbers they are loaded under: the large
// buttons of the main window, the menu icons and the toolbar icons. An icon set replaces the
// image under a number; menus, toolbar and buttons look their icon up by name.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace catalogue {

// Icon name ("OutFolder") to image number; names compare exactly.
using IconRegistry = std::map<std::string, int, std::less<>>;

struct IconRegistries {
    IconRegistry ButtonImages;   // "Convert" 2, "InFiles" 3, "InFolder" 4
    IconRegistry MenuIcons;      // "New" 5 .. "About" 28
    IconRegistry ToolbarIcons;   // the menu names, each at its menu number + 24 ("New" 29 .. "About" 52)
};

// The three registries filled with every name and number.
[[nodiscard]] IconRegistries BuildIconRegistries();

// The image number of `name`, or -1 when the registry has no such icon.
[[nodiscard]] int imageNumber(const IconRegistry& registry, std::string_view name);

// Number of the About window's banner image (360 x 40), loaded besides the registered icons.
inline constexpr int kAboutBannerImage = 0;
// The toolbar image of an icon is its menu image number plus this.
inline constexpr int kToolbarImageOffset = 24;

} // namespace catalogue
