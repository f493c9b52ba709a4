#include "cli/profile.h"

#include "settings/settings_file.h"

namespace cli {

bool loadProfileFile(const std::string& path, settings::ConversionSettings&, const ProfileKeyHook& applyKey)
{
    return settings::LoadProfile(path, applyKey);
}

} // namespace cli
