#include "settings/settings_file.h"
#include "settings/settings_keys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using settings::ConversionSettings;
using ::testing::HasSubstr;
using ::testing::Not;

namespace
{

constexpr std::int32_t kFixedTime = 1700000000;

// A fresh folder below the system temp folder, removed with everything in it.
class TempFolder
{
  public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "pv-settings-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

  private:
    fs::path m_path;
};

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv
{
  public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

std::string readBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const fs::path& p, std::string_view bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ConversionSettings desktopDefaults()
{
    ConversionSettings s;
    settings::ResetToDefaults(s, false, {1920, 1080});
    s.general.updateDate = kFixedTime;
    s.advanced.customTimestamp = kFixedTime;
    return s;
}

// A settings file as written by hand: a BOM-less text with these lines under LF.
ConversionSettings loadText(std::string_view text)
{
    ConversionSettings s;
    settings::readSettingsText(s, text);
    return s;
}

// Every format whose options the record carries, so that every per-format key is written.
const std::vector<std::string> kAllInputs{"dds", "gif", "ico", "raw", "tiff"};
const std::vector<std::string> kAllOutputs{"bmp", "dds", "exr", "gif",  "hdr",  "ico",  "j2k", "jng",
                                           "jp2", "jpg", "jxr", "pbm",  "pcx",  "pfm",  "pgm", "png",
                                           "ppm", "psd", "tga", "tiff", "wbmp", "webp", "xpm"};

// The lines of one group, header and separator excluded.
std::vector<std::string> groupLines(const std::string& text, const std::string& group)
{
    std::vector<std::string> lines;
    const std::size_t start = text.find("[" + group + "]\r\n");
    if (start == std::string::npos)
        return lines;
    std::size_t pos = start + group.size() + 4;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        std::string line = text.substr(pos, end - pos);
        if (line == "; ")
            break;
        lines.push_back(line);
        pos = end + 2;
    }
    return lines;
}

// ---------------------------------------------------------------- the written form

TEST(SettingsFileWritten, StartsWithMarkEmptyLineGeneralAndLayout17)
{
    ConversionSettings s = desktopDefaults();
    s.general.cfg = 5; // whatever the record holds, the file says 17
    const std::string text = settings::settingsFileText(s);
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF\r\n[General]\r\nCFG = 17\r\n")) << text.substr(0, 40);
}

TEST(SettingsFileWritten, DefaultsMatchTheGoldenFile)
{
    const fs::path golden = fs::path(__FILE__).parent_path() / "settings_file_default.ini";
    const std::string expected = readBytes(golden);
    ASSERT_FALSE(expected.empty()) << golden;
    EXPECT_EQ(settings::settingsFileText(desktopDefaults()), expected);
}

TEST(SettingsFileWritten, EveryGroupEndsWithSeparatorAndNoBlankLines)
{
    const std::string text = settings::settingsFileText(desktopDefaults());
    EXPECT_THAT(text, Not(HasSubstr("\r\n\r\n")));
    EXPECT_THAT(text, Not(HasSubstr("\n\n")));
    std::size_t headers = 0;
    for (std::size_t p = text.find("\r\n["); p != std::string::npos; p = text.find("\r\n[", p + 1)) {
        ++headers;
        if (headers > 1) {
            const std::string before = text.substr(p - 2, 2);
            EXPECT_EQ(before, "; ") << "group at " << p << " does not follow a separator";
        }
    }
    EXPECT_EQ(headers, 12u);
    EXPECT_TRUE(text.ends_with("[Privacy]\r\nClean Recent Files = 0\r\n; \r\n"));
}

TEST(SettingsFileWritten, WindowGroupIsEmptyWhenPositionIsNotSaved)
{
    ConversionSettings s = desktopDefaults();
    s.general.saveWindowPosition = 0;
    const std::string text = settings::settingsFileText(s);
    EXPECT_THAT(text, HasSubstr("Save Window Position = 0\r\n; \r\n[Window]\r\n; \r\n[Interface]\r\n"));

    // The next start places the window at the loader's defaults.
    const ConversionSettings back = loadText(text);
    EXPECT_EQ(back.window.x, 100);
    EXPECT_EQ(back.window.y, 100);
    EXPECT_EQ(back.window.width, 510);
    EXPECT_EQ(back.window.height, 330);
}

TEST(SettingsFileWritten, FlagsAreSignedBytesRealsHaveSixDecimals)
{
    ConversionSettings s = loadText("[Output]\nJPG Quality = 200\n[Transform]\nImage Resize Algorithm = 200\n"
                                    "Image Width Unit = 300\n[Adjustment]\nImage Gamma = 1.5\n");
    EXPECT_EQ(s.transform.imageResizeAlgorithm, -56);
    EXPECT_EQ(s.transform.imageWidthUnit, 44);
    EXPECT_EQ(s.output.jpgQuality, 200); // integers are not cut to 8 bits
    EXPECT_FLOAT_EQ(s.adjustment.imageGamma, 1.5f);
    const std::string text = settings::settingsFileText(s);
    EXPECT_THAT(text, HasSubstr("\r\nImage Resize Algorithm = -56\r\n"));
    EXPECT_THAT(text, HasSubstr("\r\nImage Width Unit = 44\r\n"));
    EXPECT_THAT(text, HasSubstr("\r\nJPG Quality = 200\r\n"));
    EXPECT_THAT(text, HasSubstr("\r\nImage Gamma = 1.500000\r\n"));
}

TEST(SettingsFileWritten, TextValuesNeverBreakTheirLine)
{
    ConversionSettings s = desktopDefaults();
    s.watermark.text = "line one\r\n[General]\nCFG = 3\rend\twith tab";
    const std::string text = settings::settingsFileText(s);
    EXPECT_THAT(text, HasSubstr("\r\nText = line one  [General] CFG = 3 end\twith tab\r\n"));
    const ConversionSettings back = loadText(text);
    EXPECT_EQ(back.general.cfg, 17);
    EXPECT_EQ(back.watermark.text, "line one  [General] CFG = 3 end\twith tab");
}

TEST(SettingsFileWritten, OnlyTheEditionFormatsKeysAreWritten)
{
    ConversionSettings s = loadText("[Output]\nPNG Compression = 3\n[Input]\nGIF Frame Loading = 2\n");
    EXPECT_EQ(s.output.pngCompression, 3);
    EXPECT_EQ(s.input.gifFrameLoading, 2);
    const std::string text = settings::settingsFileText(s);
    EXPECT_THAT(text, Not(HasSubstr("PNG")));
    EXPECT_THAT(text, Not(HasSubstr("GIF")));
    EXPECT_EQ(loadText(text).output.pngCompression, 0);

    // With other lists, each format's options follow in list order; unknown names write nothing.
    const std::string other = settings::settingsFileText(s, {"tiff", "nope", "gif"}, {"png", "bmp"});
    EXPECT_THAT(groupLines(other, "Input"),
                ::testing::ElementsAre("Format = raw", "TIFF Frame Loading = 0", "GIF Frame Loading = 2"));
    EXPECT_THAT(groupLines(other, "Output"),
                ::testing::ElementsAre("Format = jpg", "PNG BPP = 0", "PNG Compression = 3",
                                       "PNG Interlaced = 0", "BMP BPP = 0", "BMP Compression = 0",
                                       "BMP Color Table = 0"));
}

TEST(SettingsFileWritten, ReadOnlyKeysVanish)
{
    ConversionSettings s =
        loadText("[Window]\nHide Passwords = 1\n[File]\nTxtFields = a,b\nCsvDelimiter = ;\n");
    EXPECT_EQ(s.window.hidePasswords, 1);
    EXPECT_EQ(s.file.txtFields, "a,b");
    EXPECT_EQ(s.file.csvDelimiter, ";");
    const std::string text = settings::settingsFileText(s);
    for (const char* key : {"Hide Passwords", "Show Single Password", "Show Password List",
                            "Show Character Set", "Show Advanced Options", "TxtFields", "CsvDelimiter"}) {
        EXPECT_THAT(text, Not(HasSubstr(key)));
    }
}

// ---------------------------------------------------------------- reading hand-edited files

TEST(SettingsFileRead, HandEditedForms)
{
    ConversionSettings s = loadText("[output]\n"
                                    "jpg quality=77\n"
                                    "[Transform]\n"
                                    "Image Width = 640 ; pixels\n"
                                    "Image Rotation Back Color = 00FF00 ; green\n"
                                    "#Image Height = 480\n"
                                    "Image Height = 240\n"
                                    "[Watermark]\n"
                                    "Text = caf\xE9 ; \xA9 me  \t\n"
                                    "   Font Size = 20\n"
                                    "; Font = Comic\n"
                                    "[Adjustment]\n"
                                    "Image Gamma = 1.5\n");
    EXPECT_EQ(s.output.jpgQuality, 77);
    EXPECT_EQ(s.transform.imageWidth, 640);
    EXPECT_EQ(s.transform.imageRotationBackColor, "00FF00 ; green");
    EXPECT_EQ(s.transform.imageHeight, 240); // "#Image Height" is a key of its own, not a comment
    EXPECT_EQ(s.watermark.text, "caf\xC3\xA9 ; \xC2\xA9 me");
    EXPECT_EQ(s.watermark.fontSize, 20);
    EXPECT_EQ(s.watermark.font, "Arial");
    EXPECT_FLOAT_EQ(s.adjustment.imageGamma, 1.5f);
}

TEST(SettingsFileRead, ByteOrderMarkMeansUtf8)
{
    const ConversionSettings s = loadText("\xEF\xBB\xBF\r\n[Watermark]\r\nText = caf\xC3\xA9\r\n");
    EXPECT_EQ(s.watermark.text, "caf\xC3\xA9");
}

TEST(SettingsFileRead, FirstGroupAndFirstKeyWin)
{
    const ConversionSettings s =
        loadText("[Frame]\nSolid Left = 1\nSOLID LEFT = 2\n[FRAME]\nSolid Right = 3\n");
    EXPECT_EQ(s.frame.solidLeft, 1);
    EXPECT_EQ(s.frame.solidRight, 0);
}

TEST(SettingsFileRead, TwofoldKeysBelongToTheirGroup)
{
    const ConversionSettings s =
        loadText("[Input]\nFormat = RAW\n[Output]\nFormat = png\n"
                 "[Transform]\nImage Rotation = 90\n[Watermark]\nImage Rotation = 45\n");
    EXPECT_EQ(s.input.format, "RAW");
    EXPECT_EQ(s.output.format, "png");
    EXPECT_EQ(s.transform.imageRotation, 90);
    EXPECT_EQ(s.watermark.imageRotation, 45);
}

TEST(SettingsFileRead, AbsentKeysTakeTheLoaderDefaultEmptyValuesDoNot)
{
    const ConversionSettings s = loadText("[General]\nLanguage =\n[Output]\nJPG Quality =\n"
                                          "[Adjustment]\nImage Gamma\n[Window]\nWidth = 800\n");
    EXPECT_EQ(s.general.language, "");
    EXPECT_EQ(s.output.jpgQuality, 0);
    EXPECT_EQ(s.adjustment.imageGamma, 0.0f);
    EXPECT_EQ(s.window.width, 800);
    EXPECT_EQ(s.window.height, 330);
    EXPECT_EQ(s.window.x, 100);
    EXPECT_EQ(s.transform.keepAspectRatio, 1);
    EXPECT_EQ(s.interface.uiTheme, "handdrawn");
    EXPECT_EQ(s.general.cfg, 0);
}

TEST(SettingsFileRead, EmptyFileGivesLoaderDefaultsAndHarmlessUpgrades)
{
    const ConversionSettings s = loadText("");
    ConversionSettings expected;
    settings::ResetToDefaults(expected, false);
    EXPECT_EQ(s.general.cfg, 0);
    EXPECT_EQ(s.window.x, 100);
    EXPECT_EQ(s.window.y, 100);
    EXPECT_EQ(s.advanced.filenameMask, expected.advanced.filenameMask);
    EXPECT_EQ(s.input.rawLoadAs, 0);
    EXPECT_EQ(s.watermark.text, expected.watermark.text);
}

TEST(SettingsFileRead, OlderLayoutsAreUpgraded)
{
    struct Case {
        const char* file;
        std::int32_t rawLoadAs;
        const char* mask;
    };
    const Case cases[] = {
        {"[General]\nCFG = 13\n[Input]\nRAW Load As = 1\n", 3, "%filename%.%ext%"},
        {"[General]\nCFG = 14\n[Input]\nRAW Load As = 1\n", 1, "%filename%.%ext%"},
        {"[General]\nCFG = 13\n[Input]\nRAW Load As = 0\n", 0, "%filename%.%ext%"},
        {"[General]\nCFG = 10\n[Advanced]\nFilename Mask = %filename%\n", 0, "%filename%.%ext%"},
        {"[General]\nCFG = 10\n[Advanced]\nFilename Mask = %ext%-%filename%\n", 0, "%ext%-%filename%"},
        {"[General]\nCFG = 10\n[Advanced]\nFilename Mask = %filename%.%EXT%\n", 0, "%filename%.%EXT%.%ext%"},
        {"[General]\nCFG = 11\n[Advanced]\nFilename Mask = %filename%\n", 0, "%filename%"},
        {"[Advanced]\nFilename Mask = a\n[Input]\nRAW Load As = 2\n", 4, "a.%ext%"}, // no CFG: oldest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const ConversionSettings s = loadText(c.file);
        EXPECT_EQ(s.input.rawLoadAs, c.rawLoadAs);
        EXPECT_EQ(s.advanced.filenameMask, c.mask);
    }
    // The layout number read stays until the next save writes 17, so the upgrade happens once.
    const ConversionSettings once = loadText("[General]\nCFG = 13\n[Input]\nRAW Load As = 1\n");
    EXPECT_EQ(once.general.cfg, 13);
    EXPECT_EQ(loadText(settings::settingsFileText(once)).input.rawLoadAs, 3);
}

TEST(SettingsFileRead, CsvDelimiterWords)
{
    struct Case {
        const char* value;
        const char* expected;
    };
    const Case cases[] = {{"tab", "\t"}, {"SPACE", " "}, {"CrLf", "\r\n"}, {";", ";"}, {"tabs", "tabs"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(loadText(std::string("[File]\nCsvDelimiter = ") + c.value + "\n").file.csvDelimiter,
                  c.expected);
    }
}

TEST(SettingsFileRead, RealWordsAndGarbageNumbers)
{
    EXPECT_EQ(loadText("[Adjustment]\nImage Gamma = +infinity\n").adjustment.imageGamma,
              std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(loadText("[Adjustment]\nImage Gamma = NAN\n").adjustment.imageGamma));
    const ConversionSettings s =
        loadText("[Frame]\nSolid Left = twelve\nSolid Top = 4294967396\nSolid Opacity = -1\n");
    EXPECT_EQ(s.frame.solidLeft, 0);
    EXPECT_EQ(s.frame.solidTop, 100);    // low 32 bits, like the flags' low 8
    EXPECT_EQ(s.frame.solidOpacity, -1); // no range check
    const std::string text = settings::settingsFileText(loadText("[Adjustment]\nImage Gamma = -Infinity\n"));
    EXPECT_THAT(text, HasSubstr("\r\nImage Gamma = -Infinity\r\n"));
}

// ---------------------------------------------------------------- round trip

// Gives every field a value different from its default and from every other field.
ConversionSettings everyFieldChanged()
{
    ConversionSettings s;
    settings::ResetToDefaults(s, false);
    int i = 0;
    for (const settings::SettingsKey& k : settings::settingsKeys()) {
        ++i;
        switch (k.kind()) {
        case settings::KeyKind::Flag:
            settings::setNumber(s, k, -100 + i);
            break;
        case settings::KeyKind::Integer:
            settings::setNumber(s, k, i % 2 ? 100000 + i : -100000 - i);
            break;
        case settings::KeyKind::Real:
            std::get<settings::RealField>(k.field)(s) = 2.75f;
            break;
        case settings::KeyKind::Text:
            std::get<settings::TextField>(k.field)(s) =
                std::string(k.key) + " \xC3\xA9\t;= x" + std::to_string(i);
            break;
        }
    }
    s.general.cfg = settings::kSettingsLayout;
    return s;
}

TEST(SettingsFileRoundTrip, EveryWrittenFieldComesBack)
{
    const ConversionSettings s = everyFieldChanged();
    const std::string text = settings::settingsFileText(s, kAllInputs, kAllOutputs);
    const ConversionSettings back = loadText(text);
    for (const settings::SettingsKey& k : settings::settingsKeys()) {
        if (k.written == settings::Written::Never)
            continue;
        SCOPED_TRACE(settings::fieldName(k));
        EXPECT_EQ(settings::formatValue(back, k), settings::formatValue(s, k));
    }
    EXPECT_EQ(back.watermark.text, s.watermark.text);
    EXPECT_EQ(settings::settingsFileText(back, kAllInputs, kAllOutputs), text);
}

TEST(SettingsFileRoundTrip, ThroughTheFileOnDisk)
{
    TempFolder dir;
    const fs::path path = dir.path() / "config.ini";
    const ConversionSettings s = everyFieldChanged();
    ASSERT_TRUE(settings::SaveSettings(s, path));
    ConversionSettings back;
    back.settingsPath = "kept";
    ASSERT_TRUE(settings::LoadSettings(back, path));
    EXPECT_EQ(back.settingsPath, "kept");
    EXPECT_EQ(readBytes(path), settings::settingsFileText(s));
    EXPECT_EQ(settings::settingsFileText(back), settings::settingsFileText(s));
}

// ---------------------------------------------------------------- loading and saving files

TEST(SettingsFileDisk, UnreadableFileGivesCentredDesktopDefaults)
{
    TempFolder dir;
    ConversionSettings s = loadText("[Output]\nJPG Quality = 5\n");
    EXPECT_FALSE(settings::LoadSettings(s, dir.path() / "missing.ini", {1920, 1080}));
    EXPECT_EQ(s.output.jpgQuality, 95);
    EXPECT_EQ(s.window.x, 705);
    EXPECT_EQ(s.window.y, 375);
    EXPECT_EQ(s.general.cfg, 17);
    EXPECT_FALSE(settings::LoadSettings(s, dir.path(), {})); // a folder is not a settings file
}

TEST(SettingsFileDisk, SaveReplacesTheFileAndLeavesNoTemporaryBehind)
{
    TempFolder dir;
    const fs::path path = dir.path() / "config.ini";
    writeBytes(path, std::string(100000, 'x')); // longer than what replaces it
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(settings::SaveSettings(desktopDefaults(), path));
    EXPECT_EQ(readBytes(path), settings::settingsFileText(desktopDefaults()));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1);
}

TEST(SettingsFileDisk, SaveThroughASymbolicLinkKeepsTheLink)
{
    TempFolder dir;
    fs::create_directory(dir.path() / "dotfiles");
    const fs::path real = dir.path() / "dotfiles" / "config.ini";
    const fs::path link = dir.path() / "config.ini";
    writeBytes(real, "old");
    fs::create_symlink(real, link);
    ASSERT_TRUE(settings::SaveSettings(desktopDefaults(), link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(real), settings::settingsFileText(desktopDefaults()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 2);
}

TEST(SettingsFileDisk, EndlessInputIsRefused)
{
    ConversionSettings s;
    EXPECT_FALSE(settings::LoadSettings(s, "/dev/zero"));
    EXPECT_FALSE(settings::LoadProfile("/dev/zero", [](std::string_view, std::string_view) {}));
}

TEST(SettingsFileDisk, UnwritableFolderKeepsTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root; see the size-limit case";
    TempFolder dir;
    const fs::path path = dir.path() / "config.ini";
    writeBytes(path, "old contents");
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(settings::SaveSettings(desktopDefaults(), path));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readBytes(path), "old contents");
}

TEST(SettingsFileDisk, WriteFailingHalfwayKeepsTheOldFile)
{
    TempFolder dir;
    const fs::path path = dir.path() / "config.ini";
    writeBytes(path, "old contents");

    // A file size limit makes the write fail part of the way, as a full disk would.
    struct rlimit saved {
    };
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = settings::SaveSettings(desktopDefaults(), path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(readBytes(path), "old contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1);
}

TEST(SettingsFileDisk, MissingFolderFailsQuietly)
{
    TempFolder dir;
    EXPECT_FALSE(settings::SaveSettings(desktopDefaults(), dir.path() / "no" / "config.ini"));
    EXPECT_FALSE(settings::SaveSettings(desktopDefaults(), ""));
}

TEST(SettingsFolder, FollowsXdgConfigHomeAndCreatesTheFolders)
{
    TempFolder dir;
    const std::string base = (dir.path() / "cfg").string();
    ScopedEnv xdg("XDG_CONFIG_HOME", (" " + base + " ").c_str());
    const std::string folder = settings::SettingsFolder();
    EXPECT_EQ(folder, base + "/Vorndale/pxvconv/");
    EXPECT_TRUE(fs::is_directory(folder));

    // Saving and loading there works end to end.
    ConversionSettings s = desktopDefaults();
    s.output.jpgQuality = 61;
    ASSERT_TRUE(settings::SaveSettings(s, folder + "config.ini"));
    ConversionSettings back;
    ASSERT_TRUE(settings::LoadSettings(back, folder + "config.ini"));
    EXPECT_EQ(back.output.jpgQuality, 61);
}

TEST(SettingsFolder, FallsBackToHomeConfigWhenXdgIsUnsetOrRelative)
{
    TempFolder dir;
    ScopedEnv home("HOME", dir.path().c_str());
    for (const char* xdg : {static_cast<const char*>(nullptr), "relative/cfg", ""}) {
        ScopedEnv env("XDG_CONFIG_HOME", xdg);
        EXPECT_EQ(settings::SettingsFolder(), dir.path().string() + "/.config/Vorndale/pxvconv/");
    }
    EXPECT_TRUE(fs::is_directory(dir.path() / ".config" / "Vorndale" / "pxvconv"));
}

// ---------------------------------------------------------------- profiles

using Applied = std::vector<std::pair<std::string, std::string>>;

Applied loadProfileText(std::string_view text, bool* ok = nullptr)
{
    TempFolder dir;
    const fs::path path = dir.path() / "profile";
    writeBytes(path, text);
    Applied applied;
    const bool loaded = settings::LoadProfile(
        path, [&](std::string_view option, std::string_view value) { applied.emplace_back(option, value); });
    if (ok != nullptr)
        *ok = loaded;
    return applied;
}

TEST(Profile, HandsOverTheCliGroupInFileOrder)
{
    bool ok = false;
    const Applied applied = loadProfileText("--JPG-QUALITY = 1\n"
                                            "[General]\n--JPG-QUALITY = 2\n"
                                            "[cli]\n"
                                            "--jpg-quality=  80  \t\n"
                                            "--Wm-Text = caf\xE9 ; more\n"
                                            "--unknown-option = x\n"
                                            "--JPG-QUALITY = 70\n"
                                            "--flag-without-value\n"
                                            "[CLI]\n--RESIZE = 1\n",
                                            &ok);
    EXPECT_TRUE(ok);
    EXPECT_THAT(applied,
                ::testing::ElementsAre(std::pair<std::string, std::string>{"--JPG-QUALITY", "80"},
                                       std::pair<std::string, std::string>{"--WM-TEXT", "caf\xC3\xA9 ; more"},
                                       std::pair<std::string, std::string>{"--UNKNOWN-OPTION", "x"},
                                       std::pair<std::string, std::string>{"--FLAG-WITHOUT-VALUE", ""}));
}

TEST(Profile, WithoutCliGroupLoadsAndChangesNothing)
{
    bool ok = false;
    EXPECT_TRUE(loadProfileText("[General]\nCFG = 17\n", &ok).empty());
    EXPECT_TRUE(ok);
    EXPECT_TRUE(loadProfileText("", &ok).empty());
    EXPECT_TRUE(ok);
}

TEST(Profile, EmptyOrUnreadablePathFails)
{
    TempFolder dir;
    int calls = 0;
    const auto count = [&](std::string_view, std::string_view) { ++calls; };
    EXPECT_FALSE(settings::LoadProfile("", count));
    EXPECT_FALSE(settings::LoadProfile(dir.path() / "missing.ini", count));
    EXPECT_FALSE(settings::LoadProfile(dir.path(), count));
    EXPECT_EQ(calls, 0);
}

TEST(Profile, HookCanSetFieldsThroughTheKeyTable)
{
    // The way the command line plugs in: its option names map to fields of the table.
    ConversionSettings s;
    settings::ResetToDefaults(s, true);
    TempFolder dir;
    writeBytes(dir.path() / "p.ini", "[CLI]\n--JPG-QUALITY = 42 percent\n--WM-FONT = Liberation Sans \n");
    const std::map<std::string, std::string, std::less<>> optionField{{"--JPG-QUALITY", "JPG Quality"},
                                                                      {"--WM-FONT", "Font"}};
    ASSERT_TRUE(
        settings::LoadProfile(dir.path() / "p.ini", [&](std::string_view option, std::string_view value) {
            const auto it = optionField.find(option);
            if (it == optionField.end())
                return;
            settings::setFromText(s, *settings::findKey(it->second), value);
        }));
    EXPECT_EQ(s.output.jpgQuality, 42);
    EXPECT_EQ(s.watermark.font, "Liberation Sans");
}

} // namespace
