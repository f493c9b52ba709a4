#include "settings/conversion_settings.h"

#include <ctime>

namespace settings {

namespace {

constexpr int kDefaultWindowWidth = 510;
constexpr int kDefaultWindowHeight = 330;
constexpr int kOffDesktopPosition = 100;

// Centres the default window on a desktop wider (or taller) than it; 100 otherwise.
int centred(int desktopSide, int windowSide)
{
    return windowSide < desktopSide ? (desktopSide - windowSide) / 2 : kOffDesktopPosition;
}

// Reads one colour pair: hex digits up to the first character that is not one.
std::uint8_t hexPair(char hi, char lo)
{
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    const int h = digit(hi);
    if (h < 0) return 0;
    const int l = digit(lo);
    if (l < 0) return static_cast<std::uint8_t>(h);
    return static_cast<std::uint8_t>(h * 16 + l);
}

} // namespace

void ResetToDefaults(ConversionSettings& s, bool commandLine, DesktopSize desktop)
{
    std::string keepPath = std::move(s.settingsPath);
    s = ConversionSettings{};
    s.settingsPath = std::move(keepPath);

    const std::int32_t now = localTimeNow();
    s.general.updateDate = now;
    s.advanced.customTimestamp = now;
    s.input.format = InputFormatList().front();
    s.output.format = OutputFormatList().front();
    s.window.x = centred(desktop.width, kDefaultWindowWidth);
    s.window.y = centred(desktop.height, kDefaultWindowHeight);
    s.window.width = kDefaultWindowWidth;
    s.window.height = kDefaultWindowHeight;
    s.watermark.text = defaultWatermarkText();
    s.transform.keepAspectRatio = commandLine ? 0 : 1;
}

void UpdateColorCorrectionFlag(ConversionSettings& s)
{
    const AdjustmentSettings& a = s.adjustment;
    const bool changed = a.imageBrightness != 0 || a.imageContrast != 0 || a.imageGamma != 1.0f || a.imageInvert != 0;
    s.adjustment.doImageColorCorrection = changed ? 1 : 0;
}

const std::vector<std::string>& InputFormatList()
{
    static const std::vector<std::string> list{"raw"};
    return list;
}

const std::vector<std::string>& OutputFormatList()
{
    static const std::vector<std::string> list{"jpg"};
    return list;
}

std::string defaultWatermarkText()
{
    return "\u00A9 2009-2026 Vorndale";
}

std::int32_t localTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::int32_t>(now + local.tm_gmtoff);
}

Rgb ParseColor(std::string_view text)
{
    // Six characters, not six bytes: a non-ASCII character counts once and is never a digit.
    char units[6];
    std::size_t count = 0;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80) continue;   // UTF-8 continuation byte
        if (count == 6) return {};
        units[count++] = byte < 0x80 ? c : '?';
    }
    if (count != 6) return {};
    return Rgb{hexPair(units[0], units[1]), hexPair(units[2], units[3]), hexPair(units[4], units[5])};
}

std::string FormatColor(Rgb c)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out(6, '0');
    const std::uint8_t parts[3] = {c.r, c.g, c.b};
    for (int i = 0; i < 3; ++i) {
        out[2 * i] = kDigits[parts[i] >> 4];
        out[2 * i + 1] = kDigits[parts[i] & 0xF];
    }
    return out;
}

} // namespace settings
