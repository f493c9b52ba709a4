#include "settings/settings_file.h"

#include "settings/ini_text.h"
#include "settings/settings_keys.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace settings
{

namespace fs = std::filesystem;

namespace
{

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kSeparator = "; ";

// Far more than any settings file or profile holds; a larger "file" (a device, a runaway
// pipe) is refused instead of filling the memory.
constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;

// The whole file, or nothing when it cannot be opened or read (a folder, no permission, too big).
std::optional<std::string> readFileBytes(const fs::path& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return std::nullopt;
    std::string bytes;
    char buffer[16384];
    std::size_t n = 0;
    bool tooBig = false;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.append(buffer, n);
        if (bytes.size() > kMaxFileBytes) {
            tooBig = true;
            break;
        }
    }
    const bool failed = tooBig || std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        return std::nullopt;
    return bytes;
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return home;
    struct passwd entry {
    };
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return "/tmp";
}

// The user's configuration folder as the XDG base-directory rules name it; a relative
// $XDG_CONFIG_HOME is invalid there and ignored.
std::string configHome()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr) {
        const std::string_view trimmed = ini::trimBlanks(xdg);
        if (!trimmed.empty() && trimmed.front() == '/')
            return std::string(trimmed);
    }
    return homeFolder() + "/.config";
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes `bytes` to a new file beside `path` and renames it over `path`: readers see the old
// file or the new one, never a part; any failure removes the temporary file and keeps the old one.
bool replaceFile(const fs::path& link, std::string_view bytes)
{
    // A settings file kept elsewhere through a symbolic link (a dotfiles folder) is replaced
    // where it really lives, so the link survives the save.
    fs::path path = link;
    std::error_code ec;
    if (fs::is_symlink(link, ec)) {
        if (fs::path target = fs::canonical(link, ec); !ec)
            path = std::move(target);
    }

    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string stem = "." + path.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-";

    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder / (stem + std::to_string(attempt));
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    // A file the user restricted (chmod 600) stays restricted.
    struct stat old {
    };
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 0777);

    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here loses nothing already written.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void appendKeyLine(std::string& out, std::string_view key, std::string_view value)
{
    out.append(key).append(" = ").append(value).append(kLineEnd);
}

void upgradeOlderLayouts(ConversionSettings& s)
{
    // Layouts before 11 named output files without their extension.
    if (s.general.cfg < 11 && s.advanced.filenameMask.find("%ext%") == std::string::npos) {
        s.advanced.filenameMask += ".%ext%";
    }
    // Layouts before 14 had no "Auto" and no 8/16-bit raw import: their codes moved up by two.
    if (s.general.cfg < 14 && s.input.rawLoadAs != 0)
        s.input.rawLoadAs += 2;
}

// The file names three delimiters by word, since a bare TAB, space or line break would not survive.
void translateCsvDelimiter(std::string& delimiter)
{
    if (ini::equalsIgnoreCase(delimiter, "tab"))
        delimiter = "\t";
    else if (ini::equalsIgnoreCase(delimiter, "space"))
        delimiter = " ";
    else if (ini::equalsIgnoreCase(delimiter, "crlf"))
        delimiter = "\r\n";
}

} // namespace

std::string SettingsFolder()
{
    std::string folder = configHome();
    if (folder.back() != '/')
        folder += '/';
    folder += "Vorndale/pxvconv/";
    std::error_code ignored; // an uncreatable folder shows up as a failed save, not here
    fs::create_directories(folder, ignored);
    return folder;
}

std::string settingsFileText(const ConversionSettings& s, const std::vector<std::string>& inputFormats,
                             const std::vector<std::string>& outputFormats)
{
    std::string out;
    out.reserve(4096);
    out.append(kByteOrderMark).append(kLineEnd);

    const std::vector<SettingsKey>& keys = settingsKeys();
    for (const std::string_view group : settingsGroups()) {
        out.append("[").append(group).append("]").append(kLineEnd);

        for (const SettingsKey& k : keys) {
            if (k.group != group)
                continue;
            const bool write = k.written == Written::Always || (k.written == Written::WithWindowPosition &&
                                                                s.general.saveWindowPosition != 0);
            if (!write)
                continue;
            if (k.key == "CFG") {
                appendKeyLine(out, k.key, std::to_string(kSettingsLayout));
            } else {
                appendKeyLine(out, k.key, formatValue(s, k));
            }
        }

        // The options of each format on the edition lists, in list order; other formats' keys
        // are left out (and so dropped from a file that had them).
        for (const bool input : {true, false}) {
            const Written kind = input ? Written::ForInputFormat : Written::ForOutputFormat;
            for (const std::string& format : input ? inputFormats : outputFormats) {
                for (const SettingsKey& k : keys) {
                    if (k.group == group && k.written == kind && k.format == format) {
                        appendKeyLine(out, k.key, formatValue(s, k));
                    }
                }
            }
        }
        out.append(kSeparator).append(kLineEnd);
    }
    return out;
}

void readSettingsText(ConversionSettings& s, std::string_view bytes)
{
    // The loader's defaults: the desktop ones, except that a file without CFG counts as the
    // oldest layout and a window without a stored place opens at 100, 100.
    ResetToDefaults(s, false);
    s.general.cfg = 0;
    s.window.x = 100;
    s.window.y = 100;

    const ini::Document doc = ini::Document::parse(bytes);
    for (const SettingsKey& k : settingsKeys()) {
        if (const std::string* value = doc.findValue(k.group, k.key))
            setFromText(s, k, *value);
    }
    upgradeOlderLayouts(s);
    translateCsvDelimiter(s.file.csvDelimiter);
}

bool LoadSettings(ConversionSettings& s, const fs::path& path, DesktopSize desktop)
{
    const std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes) {
        ResetToDefaults(s, false, desktop);
        return false;
    }
    readSettingsText(s, *bytes);
    return true;
}

bool SaveSettings(const ConversionSettings& s, const fs::path& path)
{
    if (path.empty())
        return false;
    return replaceFile(path, settingsFileText(s));
}

bool LoadProfile(const fs::path& path, const ProfileOptionHandler& apply)
{
    if (path.empty())
        return false;
    const std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes)
        return false;

    const ini::Document doc = ini::Document::parse(*bytes);
    const ini::Group* cli = doc.findGroup("CLI");
    if (cli == nullptr)
        return true;

    for (const ini::Entry& e : cli->entries) {
        if (ini::findEntry(*cli, e.key) != &e)
            continue; // a repeated key: the first one counts
        if (apply)
            apply(ini::toUpperAscii(e.key), e.value);
    }
    return true;
}

} // namespace settings
