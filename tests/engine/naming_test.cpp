#include "engine/naming.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace {

namespace fs = std::filesystem;

// The records one file of a run hands to the naming: output jpg, a 6000x4000 picture resized to
// 3000x2000, the first file after start-up.
struct OutputNaming : ::testing::Test {
    engine::ConversionJob job;
    engine::CurrentImage current;
    engine::NamingCounters counters;

    OutputNaming()
    {
        job.outputFolder = "/out/";
        job.outputExtension = "jpg";
        job.targetBitDepth = 24;
        current.inputPath = "/in/DSC01.NEF";
        current.width = 3000;
        current.height = 2000;
    }

    engine::TokenSource source(std::time_t now = std::time(nullptr)) const
    {
        return {job, current, counters, now};
    }
    std::string mask(std::string_view m) const { return engine::expandFilenameMask(m, source()); }
    std::string watermark(std::string_view t, std::time_t now) const
    {
        return engine::expandWatermarkText(t, source(now));
    }
};

// A moment given as local calendar time.
std::time_t localMoment(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

TEST_F(OutputNaming, FilenameMasksExpandTheirTokens)
{
    struct Case {
        const char* input;
        const char* mask;
        const char* expected;
    };
    const Case cases[] = {
        {"/in/DSC01.NEF", "Photo_%n%.%EXT[U]%", "photo_00001.JPG"},
        {"/in/IMG.0001.cr2", "%filename%.%ext%", "IMG.0001.jpg"},
        {"/in/IMG.0001.cr2", "", "IMG.0001.jpg"},
        {"/in/dSC_01.NEF", "%filename[t]%", "Dsc_01"},
        {"/in/dSC_01.NEF", "%FILENAME[U]%-%filename[l]%.%Ext[T]%", "DSC_01-dsc_01.Jpg"},
        {"/in/DSC01.NEF", "%width%x%height%.%ext%", "3000x2000.jpg"},
        {"/in/DSC01.NEF", "%bpp%bit_%rnd%", "24bit_00042"},
        {"/in/DSC01.NEF", "out", "out"},
        {"/in/other.NEF", "OUT", "out"},
        {"/in/noext", "%filename%.%ext%", "noext.jpg"},
        {"/in.d/.hidden", "[%filename%].%ext%", "[].jpg"},
        // A token inside a file name is expanded by a later token of the mask.
        {"/in/shot%N%.cr2", "%filename%", "shot00001"},
        {"/in/DSC01.NEF", "100%.%ext%", "100%.jpg"},
    };
    counters.randomNumber = 42;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        current.inputPath = c.input;
        EXPECT_EQ(mask(c.mask), c.expected);
    }
}

TEST_F(OutputNaming, CountersArePaddedToFiveDigits)
{
    counters.randomNumber = 7;
    counters.sequenceNumber = 99999;
    EXPECT_EQ(mask("%rnd%_%n%"), "00007_99999");
    counters.sequenceNumber = 123456; // past the field the number simply widens
    EXPECT_EQ(mask("%n%"), "123456");
}

TEST_F(OutputNaming, DateTokensShowTheLocalTimeOfExpansion)
{
    const std::time_t now = localMoment(2024, 3, 5, 7, 8, 9);
    EXPECT_EQ(engine::expandFilenameMask("%yyyy%-%mm%-%dd% %hh%.%ii%.%ss%", source(now)),
              "2024-03-05 07.08.09");
    EXPECT_EQ(watermark("%YYYY%/%MM%", now), "2024/03");
}

TEST_F(OutputNaming, WatermarkTextKeepsItsCaseAndItsLiteralPercentSigns)
{
    const std::time_t now = localMoment(2019, 12, 31, 23, 59, 0);
    EXPECT_EQ(watermark("Shot %FILENAME% on %dd%.%mm%.%yyyy%", now), "Shot DSC01 on 31.12.2019");
    EXPECT_EQ(watermark("100%", now), "100%");
    EXPECT_EQ(watermark("No tokens", now), "No tokens");
    EXPECT_EQ(watermark("50% of %Width%", now), "50% of 3000");

    // Only tokens the text itself names are expanded; one inside a value stays literal.
    current.inputPath = "/in/shot%n%.cr2";
    EXPECT_EQ(watermark("File %filename%", now), "File shot%n%");
    EXPECT_EQ(mask("%filename%"), "shot00001");
}

TEST_F(OutputNaming, OutputPathJoinsFolderSubfolderAndName)
{
    settings::AdvancedSettings s;
    current.inputPath = "/photos/2019/trip/name.NEF";
    current.subfolder = "2019/trip/";
    EXPECT_EQ(engine::outputPath(s, source()), "/out/2019/trip/name.jpg");
    s.keepSubfolders = 0;
    EXPECT_EQ(engine::outputPath(s, source()), "/out/name.jpg");
    s.filenameMask = "fixed";
    EXPECT_EQ(engine::outputPath(s, source()), "/out/fixed"); // no extension is added
}

TEST(BaseName, DropsTheFolderAndTheLastExtension)
{
    EXPECT_EQ(engine::baseName("/in/a.b.c"), "a.b");
    EXPECT_EQ(engine::baseName("/in/photo"), "photo");
    EXPECT_EQ(engine::baseName("/in.dir/photo"), "photo");
    EXPECT_EQ(engine::baseName("plain.cr2"), "plain");
    EXPECT_EQ(engine::baseName("/in/trailing."), "trailing");
}

// Sets TZ for one test and puts the previous zone back.
class ZoneScope {
  public:
    explicit ZoneScope(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) m_old = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneScope()
    {
        if (m_old)
            ::setenv("TZ", m_old->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

  private:
    std::optional<std::string> m_old;
};

class FileTimestamp : public ::testing::Test {
  protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("pixelvane-naming-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        input = (m_dir / "in.cr2").string();
        output = (m_dir / "out.jpg").string();
        std::ofstream(input) << "raw";
        std::ofstream(output) << "jpeg";
        setTimes(input, 1'000'000'000, 123'456'789, 1'000'000'000);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static void setTimes(const std::string& path, std::time_t mtime, long nsec, std::time_t atime)
    {
        timespec t[2]{{atime, 0}, {mtime, nsec}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), t, 0), 0);
    }
    static struct stat info(const std::string& path)
    {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st;
    }

    std::string input, output;

  private:
    fs::path m_dir;
};

TEST_F(FileTimestamp, OriginalCopiesTheInputsModificationTimeOnly)
{
    setTimes(output, 2'000'000'000, 0, 1'500'000'000);
    settings::AdvancedSettings s;
    s.fileTimestamp = 1;
    ASSERT_TRUE(engine::applyFileTimestamp(s, input, output));
    EXPECT_EQ(info(output).st_mtim.tv_sec, 1'000'000'000);
    EXPECT_EQ(info(output).st_mtim.tv_nsec, 123'456'789);
    EXPECT_EQ(info(output).st_atim.tv_sec, 1'500'000'000);

    EXPECT_FALSE(engine::applyFileTimestamp(s, input + ".missing", output));
}

TEST_F(FileTimestamp, CustomZeroIsMidnightOfNewYear1970InLocalTime)
{
    settings::AdvancedSettings s;
    s.fileTimestamp = 2;
    s.customTimestamp = 0;
    for (const char* zone : {"UTC0", "CET-1", "EST5"}) {
        SCOPED_TRACE(zone);
        ZoneScope scope(zone);
        ASSERT_TRUE(engine::applyFileTimestamp(s, input, output));
        const std::time_t written = info(output).st_mtim.tv_sec;
        std::tm local{};
        localtime_r(&written, &local);
        EXPECT_EQ(local.tm_year, 70);
        EXPECT_EQ(local.tm_mon, 0);
        EXPECT_EQ(local.tm_mday, 1);
        EXPECT_EQ(local.tm_hour, 0);
        EXPECT_EQ(local.tm_min, 0);
        EXPECT_EQ(local.tm_sec, 0);
    }
    ZoneScope berlin("CET-1");
    EXPECT_EQ(engine::timeFromLocalSeconds(0), -3600);
    EXPECT_EQ(engine::timeFromLocalSeconds(86'400 + 3'661), 86'400 + 3'661 - 3600);
}

TEST_F(FileTimestamp, CurrentLeavesTheTimeOfWriting)
{
    setTimes(output, 1'700'000'000, 5, 1'700'000'000);
    settings::AdvancedSettings s; // File Timestamp 0
    EXPECT_TRUE(engine::applyFileTimestamp(s, input, output));
    EXPECT_EQ(info(output).st_mtim.tv_sec, 1'700'000'000);
    EXPECT_EQ(info(output).st_mtim.tv_nsec, 5);
}

} // namespace
