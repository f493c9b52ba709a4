// Reading a profile for the option loop: the settings library reads the file, the option table
// decides what each key of its "CLI" group does.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "settings/conversion_settings.h"

namespace cli {

using ProfileKeyHook = std::function<void(std::string_view key, std::string_view value)>;

// Reads the profile at `path` and hands every key of its "CLI" group, in file order, to `applyKey`
// with its value trimmed. False when the file cannot be read.
bool loadProfileFile(const std::string& path, settings::ConversionSettings& s,
                     const ProfileKeyHook& applyKey);

} // namespace cli
