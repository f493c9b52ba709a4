#include "engine/naming.h"

namespace engine {

// Placeholders until the token rules land: the mask and the text come back as written.
std::string expandTokens(std::string_view text, TokenMode, const TokenSource&)
{
    return std::string(text);
}

std::string expandFilenameMask(std::string_view mask, const TokenSource& src)
{
    return expandTokens(mask.empty() ? "%filename%.%ext%" : mask, TokenMode::FilenameMask, src);
}

std::string expandWatermarkText(std::string_view text, const TokenSource& src)
{
    return expandTokens(text, TokenMode::WatermarkText, src);
}

std::string outputPath(const settings::AdvancedSettings& s, const TokenSource& src)
{
    std::string path = src.job.outputFolder;
    if (s.keepSubfolders) path += src.current.subfolder;
    return path + expandFilenameMask(s.filenameMask, src);
}

std::string baseName(std::string_view inputPath)
{
    const auto slash = inputPath.rfind('/');
    std::string_view name = slash == std::string_view::npos ? inputPath : inputPath.substr(slash + 1);
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::time_t timeFromLocalSeconds(std::int32_t localSeconds)
{
    return localSeconds;
}

bool applyFileTimestamp(const settings::AdvancedSettings&, const std::string&, const std::string&)
{
    return true;
}

} // namespace engine
