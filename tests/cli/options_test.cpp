#include "cli/options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

using cli::CommandLine;
using cli::Vocabulary;
using settings::ConversionSettings;

struct Parsed {
    ConversionSettings s;
    CommandLine cl;
};

Parsed parse(const std::vector<std::string>& parameters)
{
    Parsed p;
    settings::ResetToDefaults(p.s, true);
    cli::runOptionLoop(parameters, p.s, p.cl);
    return p;
}

TEST(OptionNameAndValue, SplitLikeTheDocumentedExamples)
{
    EXPECT_EQ(cli::OptionName("--jpg-quality=95"), "--JPG-QUALITY");
    EXPECT_EQ(cli::OptionValue("--jpg-quality=95"), "95");
    EXPECT_EQ(cli::OptionName("-i"), "-I");
    EXPECT_EQ(cli::OptionName("photo.raw"), "");
    EXPECT_EQ(cli::OptionValue("photo.raw"), "photo.raw");
    EXPECT_EQ(cli::OptionName("  --Input=a=b  "), "--INPUT");
    EXPECT_EQ(cli::OptionValue("  --Input=a=b  "), "a=b");
    EXPECT_EQ(cli::OptionValue("--input"), "--input"); // no "=": the whole text
    EXPECT_EQ(cli::OptionName("-d=1"), "-D=1");        // only long options split at "="
}

TEST(ParseNumber, ReadsTheLeadingIntegerInThreeBases)
{
    struct Case {
        const char* text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"95", 95},
        {"95abc", 95},
        {"abc", 0},
        {"$5F", 95},
        {"$5f", 95},
        {"%1011", 11},
        {"%102", 2},
        {"-50", -50},
        {"+7", 7},
        {" \t12", 12},
        {"-$10", -16},
        {"", 0},
        {"-", 0},
        {"$", 0},
        {"4294967297", 1}, // wraps to 32 bits like the field it lands in
        {"2147483648", INT32_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(cli::parseNumber(c.text), c.expected);
    }
}

TEST(ParseReal, ReadsADecimalPrefix)
{
    EXPECT_FLOAT_EQ(cli::parseReal("1.5"), 1.5f);
    EXPECT_FLOAT_EQ(cli::parseReal(" +2.25x"), 2.25f);
    EXPECT_FLOAT_EQ(cli::parseReal("-0.5"), -0.5f);
    EXPECT_FLOAT_EQ(cli::parseReal("abc"), 0.0f);
}

TEST(Vocabularies, WordsAndCodesBothWays)
{
    EXPECT_EQ(cli::wordCode(Vocabulary::ResizeFilter, "lanczos"), 5);
    EXPECT_EQ(cli::wordCode(Vocabulary::ResizeFilter, " Bicubic "), 3);
    EXPECT_EQ(cli::wordCode(Vocabulary::ResizeFilter, "sinc"), 0);
    EXPECT_EQ(cli::wordCode(Vocabulary::RawLoadMode, "48hs"), 4);
    EXPECT_EQ(cli::wordCode(Vocabulary::FontEffect, "strikethrought"), 2);
    // The compression options share one word list; each word keeps its own format's code.
    EXPECT_EQ(cli::wordCode(Vocabulary::BmpCompression, "lzw"), 6);
    EXPECT_EQ(cli::wordCode(Vocabulary::PngCompression, "rle"), 1);
    EXPECT_EQ(cli::wordCode(Vocabulary::TiffCompression, "zlib9"), 3);
    EXPECT_EQ(cli::wordCode(Vocabulary::ExrCompression, "b44"), 4);

    EXPECT_EQ(cli::optionWord(Vocabulary::ExrCompression, 1), "ZIP");
    EXPECT_EQ(cli::optionWord(Vocabulary::TiffCompression, 1), "CCITTFAX3");
    EXPECT_EQ(cli::optionWord(Vocabulary::BmpCompression, 6), ""); // no word: empty
    EXPECT_EQ(cli::optionWord(Vocabulary::Position, 8), "BOTTOMRIGHT");
    EXPECT_EQ(cli::optionWord(Vocabulary::Position, -1), "");
    EXPECT_EQ(cli::optionWord(Vocabulary::FrameType, 1), "SOLID");
    EXPECT_EQ(cli::optionWord(Vocabulary::WatermarkType, 2), "IMAGE");
}

struct LoopCase {
    const char* name;
    std::vector<std::string> parameters;
    std::string_view error;
    std::function<void(const Parsed&)> check;
};

void noCheck(const Parsed&) {}

TEST(OptionLoop, CasesFromTheCommandLineDocumentation)
{
    const LoopCase cases[] = {
        {"-i last",
         {"-o", "out", "-i"},
         cli::kIncorrectParameters,
         [](const Parsed& p) { EXPECT_TRUE(p.cl.consoleRun); }},
        {"--input without =", {"--input", "photo.raw"}, cli::kIncorrectParameters, noCheck},
        {"--input=",
         {"--input=photo.raw"},
         "",
         [](const Parsed& p) {
             EXPECT_TRUE(p.cl.consoleRun);
             EXPECT_EQ(p.cl.input, "photo.raw");
         }},
        {"-i -o", {"-i", "-o", "out"}, cli::kIncorrectParameters, noCheck},
        {"-i followed by a long option", {"-i", "--output=out"}, cli::kIncorrectParameters, noCheck},
        {"-o value with quotes",
         {"-o", "\"my out\"", "-c", "jpg", "--conversion=png"},
         "",
         [](const Parsed& p) {
             EXPECT_EQ(p.cl.outputFolder, "my out");
             EXPECT_EQ(p.cl.outputExtension, "png");
             EXPECT_FALSE(p.cl.consoleRun);
         }},
        {"--brightness=-50",
         {"--brightness=-50"},
         "",
         [](const Parsed& p) {
             EXPECT_EQ(p.s.adjustment.imageBrightness, -50);
             EXPECT_EQ(p.s.adjustment.doImageColorCorrection, 1);
         }},
        {"--brightness=--5",
         {"--brightness=--5", "-i", "x.raw"},
         cli::kIncorrectParameters,
         [](const Parsed& p) { EXPECT_FALSE(p.cl.consoleRun); }}, // the loop stopped there
        {"--jpg-quality without value", {"--jpg-quality"}, cli::kIncorrectParameters, noCheck},
        {"--jpg-quality= empty", {"--jpg-quality="}, cli::kIncorrectParameters, noCheck},
        {"--jpg-quality=95abc",
         {"--jpg-quality=95abc"},
         "",
         [](const Parsed& p) { EXPECT_EQ(p.s.output.jpgQuality, 95); }},
        {"--jpg-quality=abc",
         {"--jpg-quality=abc"},
         "",
         [](const Parsed& p) { EXPECT_EQ(p.s.output.jpgQuality, 0); }},
        {"--jpg-quality=$5F",
         {"--JPG-Quality=$5F"},
         "",
         [](const Parsed& p) { EXPECT_EQ(p.s.output.jpgQuality, 95); }},
        {"--resize-algorithm=lanczos",
         {"--resize-algorithm=lanczos"},
         "",
         [](const Parsed& p) { EXPECT_EQ(p.s.transform.imageResizeAlgorithm, 5); }},
        {"--resize-algorithm=sinc",
         {"--resize-algorithm=sinc"},
         "",
         [](const Parsed& p) { EXPECT_EQ(p.s.transform.imageResizeAlgorithm, 0); }},
        {"--png-interlaced=0",
         {"--png-interlaced=0"},
         "",
         [](const Parsed& p) { EXPECT_EQ(p.s.output.pngInterlaced, 1); }},
        {"flag with a dashed value",
         {"--greyscale=--x"},
         "",
         [](const Parsed& p) { EXPECT_EQ(p.s.adjustment.doImageGreyscale, 1); }},
        {"--width and --height",
         {"--width=800", "--height=600"},
         "",
         [](const Parsed& p) {
             EXPECT_EQ(p.s.transform.doImageResize, 1);
             EXPECT_EQ(p.s.transform.imageWidth, 800);
             EXPECT_EQ(p.s.transform.imageHeight, 600);
             EXPECT_EQ(p.s.transform.keepAspectRatio, 0);
         }},
        {"--width=0 keeps resizing on",
         {"--width=800", "--width=0"},
         "",
         [](const Parsed& p) {
             EXPECT_EQ(p.s.transform.doImageResize, 1);
             EXPECT_EQ(p.s.transform.imageWidth, 0);
         }},
        {"--wm-image then --wm-text",
         {"--wm-image=logo.png", "--wm-text=Hello"},
         "",
         [](const Parsed& p) {
             EXPECT_EQ(p.s.watermark.doWatermark, 1);
             EXPECT_EQ(p.s.watermark.image, "logo.png");
             EXPECT_EQ(p.s.watermark.text, "Hello");
         }},
        {"text keeps inner spaces, loses quotes",
         {"--wm-text=\" a b \"", "--filename-mask=\"x %n%\""},
         "",
         [](const Parsed& p) {
             EXPECT_EQ(p.s.watermark.text, " a b ");
             EXPECT_EQ(p.s.advanced.filenameMask, "x %n%");
         }},
        {"photo.raw alone",
         {"photo.raw"},
         "",
         [](const Parsed& p) {
             EXPECT_FALSE(p.cl.consoleRun);
             EXPECT_TRUE(p.cl.input.empty());
         }},
        {"-h not first",
         {"-q", "-h", "--help", "-v", "-x"},
         "",
         [](const Parsed& p) {
             EXPECT_TRUE(p.cl.quiet);
             EXPECT_FALSE(p.cl.consoleRun);
         }},
        {"run flags",
         {"-d", "--PAUSE", "--quiet=no"},
         "",
         [](const Parsed& p) {
             EXPECT_TRUE(p.cl.debug());
             EXPECT_TRUE(p.cl.pause);
             EXPECT_TRUE(p.cl.quiet);
         }},
        {"no prefix matching",
         {"--jpg-q=5", "--wm-solid-opacity=5"},
         "",
         [](const Parsed& p) {
             EXPECT_EQ(p.s.output.jpgQuality, 95);
             EXPECT_EQ(p.s.frame.solidOpacity, 255);
         }},
        {"frame options switch the frame on",
         {"--fr-solid-top=$10", "--fr-solid-opacity=128"},
         "",
         [](const Parsed& p) {
             EXPECT_EQ(p.s.frame.doFrame, 1);
             EXPECT_EQ(p.s.frame.solidTop, 16);
             EXPECT_EQ(p.s.frame.solidOpacity, 128);
         }},
        {"--gamma",
         {"--gamma=2.5"},
         "",
         [](const Parsed& p) {
             EXPECT_FLOAT_EQ(p.s.adjustment.imageGamma, 2.5f);
             EXPECT_EQ(p.s.adjustment.doImageColorCorrection, 1);
         }},
        {"--profile= empty", {"--profile="}, cli::kIncorrectParameters, noCheck},
        {"--profile missing file",
         {"--profile=/nonexistent/x.ini", "-i", "a.raw"},
         cli::kInvalidProfile,
         [](const Parsed& p) { EXPECT_FALSE(p.cl.consoleRun); }},
    };
    for (const LoopCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed p = parse(c.parameters);
        EXPECT_EQ(p.cl.errorText, c.error);
        c.check(p);
    }
}

// A profile file in a folder of its own, removed at the end.
class ProfileFile {
  public:
    explicit ProfileFile(const std::string& text)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pixelvane-profile-XXXXXX").string();
        m_folder = mkdtemp(pattern.data());
        std::ofstream(path()) << text;
    }
    ~ProfileFile() { std::filesystem::remove_all(m_folder); }
    [[nodiscard]] std::string path() const { return (m_folder / "web.ini").string(); }
    [[nodiscard]] std::string option() const { return "--profile=" + path(); }

  private:
    std::filesystem::path m_folder;
};

TEST(Profile, AppliesItsKeysAtItsPosition)
{
    const ProfileFile profile("[General]\n--JPG-QUALITY=1\n"
                              "[cli]\n"
                              "--jpg-quality = 80\n"
                              "--WIDTH=640\n"
                              "--WM-SOLID-OPACITY = 128\n"
                              "--FR-SOLID-TOP-COLOR =   00FF00   \n"
                              "--FILENAME-MASK = \" web %filename%.%ext%\"\n"
                              "--input = elsewhere.raw\n"
                              "--QUIET\n"
                              "-i = x.raw\n");
    const Parsed p = parse({"--jpg-quality=50", "--height=10", profile.option(), "--height=480"});
    EXPECT_EQ(p.cl.errorText, "");
    EXPECT_EQ(p.s.output.jpgQuality, 80); // the profile overrides what came before
    EXPECT_EQ(p.s.transform.imageWidth, 640);
    EXPECT_EQ(p.s.transform.doImageResize, 1);
    EXPECT_EQ(p.s.transform.imageHeight, 480); // and what comes after overrides the profile
    EXPECT_EQ(p.s.frame.solidOpacity, 128);
    EXPECT_EQ(p.s.frame.doFrame, 0); // the opacity alone switches no frame on
    EXPECT_EQ(p.s.frame.solidTopColor, "00FF00");
    EXPECT_EQ(p.s.advanced.filenameMask, " web %filename%.%ext%");
    // Run control belongs to the command line only.
    EXPECT_FALSE(p.cl.consoleRun);
    EXPECT_FALSE(p.cl.quiet);
    EXPECT_TRUE(p.cl.input.empty());
}

TEST(Profile, KeysThatAreNotProfileOptions)
{
    const ProfileFile profile(
        "[CLI]\n--FR-SOLID-OPACITY=7\n--JPG-Q=1\n--GREYSCALE=0\n--JPG-CHROMA=\n--WM-TEXT=\n");
    const Parsed p = parse({profile.option()});
    EXPECT_EQ(p.cl.errorText, "");
    EXPECT_EQ(p.s.frame.solidOpacity, 255); // the command-line name is not a profile key
    EXPECT_EQ(p.s.output.jpgQuality, 95);
    EXPECT_EQ(p.s.adjustment.doImageGreyscale, 1); // a flag key sets its flag whatever it says
    EXPECT_EQ(p.s.output.jpgChroma, 0);            // empty values are accepted
    EXPECT_EQ(p.s.watermark.doWatermark, 1);
    EXPECT_EQ(p.s.watermark.text, "");
}

TEST(Profile, WithoutItsGroupChangesNothingAndSeveralApplyInTurn)
{
    const ProfileFile none("[General]\n--JPG-QUALITY=1\n");
    const ProfileFile first("[CLI]\n--JPG-QUALITY=70\n--BRIGHTNESS=-20\n");
    const ProfileFile second("[CLI]\n--JPG-QUALITY=60\n");
    const Parsed p = parse({none.option(), first.option(), second.option()});
    EXPECT_EQ(p.cl.errorText, "");
    EXPECT_EQ(p.s.output.jpgQuality, 60);
    EXPECT_EQ(p.s.adjustment.imageBrightness, -20);
    EXPECT_EQ(p.s.adjustment.doImageColorCorrection, 1);

    const Parsed folder = parse({"--profile=" + std::filesystem::temp_directory_path().string()});
    EXPECT_EQ(folder.cl.errorText, cli::kInvalidProfile);
    const ProfileFile empty("");
    EXPECT_EQ(parse({empty.option()}).cl.errorText, cli::kInvalidProfile);
}

} // namespace
