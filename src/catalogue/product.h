// Who the program is: its name and version as the title bar, the console, the About window and
// the update check show them. True constants, shared by every front end.
#pragma once

#include <string>
#include <string_view>

namespace catalogue {

inline constexpr std::string_view kProductName = "Pixelvane";
// The maker's homepage: the console heading, the About window and the screenshot caption show it.
inline constexpr std::string_view kMakerHomepage = "https://www.vorndale.com/pixelvane";

// The version as three decimal digits: major, minor, patch.
inline constexpr int AppVersion = 280;

// The version for people: "2.8" for 280, "2.8.1" for 281 (a patch level of 0 is left out).
[[nodiscard]] std::string VersionText(int version = AppVersion);

// The product name, a space and VersionText: "Pixelvane 2.8". Window and console title, and the
// name of the single-instance lock.
[[nodiscard]] std::string AppTitle(int version = AppVersion);

} // namespace catalogue
