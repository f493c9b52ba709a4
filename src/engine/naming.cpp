#include "engine/naming.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace engine {

namespace {

// Case changes touch ASCII letters only, so UTF-8 names keep every byte of their other
// characters and byte positions stay the same between a text and its lower-cased copy.
char lowerChar(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

char upperChar(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerChar);
    return out;
}

std::string upperAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), upperChar);
    return out;
}

std::string titleAscii(std::string_view text)
{
    std::string out = lowerAscii(text);
    if (!out.empty()) out.front() = upperChar(out.front());
    return out;
}

std::string padded(long long value, int width)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, value);
    return buf;
}

struct Token {
    std::string_view name; // lower case, as matched
    std::string value;
};

// The tokens in the order they are expanded; the order is part of the naming rules, because a
// value may itself contain a later token.
std::array<Token, 18> tokenValues(const TokenSource& src)
{
    const std::string name = baseName(src.current.inputPath);
    const std::string& ext = src.job.outputExtension;
    std::tm t{};
    localtime_r(&src.now, &t);
    return {{
        {"%filename%", name},
        {"%filename[u]%", upperAscii(name)},
        {"%filename[l]%", lowerAscii(name)},
        {"%filename[t]%", titleAscii(name)},
        {"%ext%", ext},
        {"%ext[u]%", upperAscii(ext)},
        {"%ext[t]%", titleAscii(ext)},
        {"%yyyy%", padded(t.tm_year + 1900LL, 4)},
        {"%mm%", padded(t.tm_mon + 1, 2)},
        {"%dd%", padded(t.tm_mday, 2)},
        {"%hh%", padded(t.tm_hour, 2)},
        {"%ii%", padded(t.tm_min, 2)},
        {"%ss%", padded(t.tm_sec, 2)},
        {"%bpp%", std::to_string(src.job.targetBitDepth)},
        {"%width%", std::to_string(src.current.width)},
        {"%height%", std::to_string(src.current.height)},
        {"%rnd%", padded(src.counters.randomNumber, 5)},
        {"%n%", padded(src.counters.sequenceNumber, 5)},
    }};
}

// Replaces every occurrence of `token` (lower case) in `text`, matching without regard to case.
// Replacement values are not searched again for the same token.
void replaceAll(std::string& text, std::string_view token, const std::string& value)
{
    const std::string lowered = lowerAscii(text);
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = lowered.find(token); at != std::string::npos; at = lowered.find(token, from)) {
        out.append(text, from, at - from);
        out += value;
        from = at + token.size();
    }
    if (from == 0) return;
    out.append(text, from, std::string::npos);
    text = std::move(out);
}

} // namespace

std::string expandTokens(std::string_view text, TokenMode mode, const TokenSource& src)
{
    if (mode == TokenMode::WatermarkText) {
        if (std::count(text.begin(), text.end(), '%') < 2) return std::string(text);
        // Only tokens written in the text itself count; one that turns up inside a value (a
        // file named "%n%.cr2") stays literal unless the text asked for it too.
        const std::string original = lowerAscii(text);
        std::string out(text);
        for (const Token& t : tokenValues(src))
            if (original.find(t.name) != std::string::npos) replaceAll(out, t.name, t.value);
        return out;
    }

    std::string out = lowerAscii(text);
    if (out.find('%') == std::string::npos) return out;
    for (const Token& t : tokenValues(src))
        if (lowerAscii(out).find(t.name) != std::string::npos) replaceAll(out, t.name, t.value);
    return out;
}

std::string expandFilenameMask(std::string_view mask, const TokenSource& src)
{
    return expandTokens(mask.empty() ? std::string_view("%filename%.%ext%") : mask, TokenMode::FilenameMask,
                        src);
}

std::string expandWatermarkText(std::string_view text, const TokenSource& src)
{
    return expandTokens(text, TokenMode::WatermarkText, src);
}

std::string outputPath(const settings::AdvancedSettings& s, const TokenSource& src)
{
    std::string path = src.job.outputFolder;
    if (!path.empty() && path.back() != '/') path += '/';
    if (s.keepSubfolders) path += src.current.subfolder;
    return path + expandFilenameMask(s.filenameMask, src);
}

std::string baseName(std::string_view inputPath)
{
    const auto slash = inputPath.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? inputPath : inputPath.substr(slash + 1);
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::time_t timeFromLocalSeconds(std::int32_t localSeconds)
{
    // The stored number reads as a calendar date and clock time of the local zone: split it as
    // if it were UTC, then ask the local zone (with its daylight saving) which moment that is.
    const std::time_t asUtc = localSeconds;
    std::tm parts{};
    gmtime_r(&asUtc, &parts);
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

bool applyFileTimestamp(const settings::AdvancedSettings& s, const std::string& inputPath,
                        const std::string& outputPath)
{
    timespec times[2]{};
    times[0].tv_nsec = UTIME_OMIT; // the access time stays as it is
    switch (s.fileTimestamp) {
    case 1: {
        struct stat info {};
        if (::stat(inputPath.c_str(), &info) != 0) return false;
        times[1] = info.st_mtim;
        break;
    }
    case 2:
        times[1].tv_sec = timeFromLocalSeconds(s.customTimestamp);
        times[1].tv_nsec = 0;
        break;
    default:
        return true; // the time of writing stays
    }
    return ::utimensat(AT_FDCWD, outputPath.c_str(), times, 0) == 0;
}

} // namespace engine
