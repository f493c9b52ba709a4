// config.ini: where it lives, how it is read (tolerant of hand edits and older layouts) and how it
// is written (always whole, always in the same exact form), and profile files for the console.
#pragma once

#include "settings/conversion_settings.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace settings
{

// The layout number written into every settings file; older numbers trigger the upgrades.
inline constexpr std::int32_t kSettingsLayout = 17;

// The per-user settings folder, ending in "/": $XDG_CONFIG_HOME (when absolute), else
// ~/.config, then "Vorndale/pxvconv/". Missing folders are created on the way; a failure to
// create them is left for the save to meet. Append "config.ini" for the settings path.
std::string SettingsFolder();

// Fills every field of `s` from the settings file at `path`. When the file cannot be read, `s`
// gets the desktop defaults (window centred on `desktop`) and the result is false; nothing is
// reported either way. `s.settingsPath` is kept.
bool LoadSettings(ConversionSettings& s, const std::filesystem::path& path, DesktopSize desktop = {});

// Writes the whole settings file from `s` through a temporary file in the same folder that is
// renamed over `path`, so a failed save leaves the previous file as it was. False on failure.
bool SaveSettings(const ConversionSettings& s, const std::filesystem::path& path);

// The exact bytes SaveSettings writes, for the given edition lists.
std::string settingsFileText(const ConversionSettings& s,
                             const std::vector<std::string>& inputFormats = InputFormatList(),
                             const std::vector<std::string>& outputFormats = OutputFormatList());

// What LoadSettings does with the bytes of a file it could read: loader defaults (CFG 0,
// window at 100, 100), every key present, the upgrades of older layouts, CsvDelimiter words.
void readSettingsText(ConversionSettings& s, std::string_view bytes);

// Receives each option of a profile's CLI group, in file order: the key upper-cased (for example
// "--JPG-QUALITY") and its value without leading and trailing spaces and TABs. The command-line
// parser supplies it from its option table; it applies the options it knows and ignores the rest.
// When a key occurs twice (in any letter case) only its first occurrence is handed over.
using ProfileOptionHandler = std::function<void(std::string_view option, std::string_view value)>;

// Reads the profile at `path` and hands every key of its group "CLI" (letter case ignored) to
// `apply`. False when the path is empty or the file cannot be read; a profile without that group
// is fine and changes nothing. The settings are changed only through `apply`.
[[nodiscard]] bool LoadProfile(const std::filesystem::path& path, const ProfileOptionHandler& apply);

} // namespace settings
