#include "engine/output_encoding.h"

#include "support/colour_fixtures.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct FlagCase {
    const char* what;
    const char* extension;
    std::function<void(settings::OutputSettings&)> set;
    int expected;
};

TEST(SaveFlags, FollowTheFormatsSaveSettings)
{
    using O = settings::OutputSettings;
    const FlagCase cases[] = {
        {"jpg defaults: quality 95, no subsampling", "jpg", [](O&) {}, 95 | 0x10000},
        {"jpg quality 95, medium chroma, progressive", "jpg", [](O& o) { o.jpgChroma = 2, o.jpgSaveAs = 3; },
         24671},
        {"jpg low chroma, simple baseline", "jpg",
         [](O& o) { o.jpgQuality = 80, o.jpgChroma = 1, o.jpgSaveAs = 1; }, 80 | 0x8000 | 0x40000},
        {"jpg high chroma, optimized", "jpg", [](O& o) { o.jpgChroma = 3, o.jpgSaveAs = 2; },
         95 | 0x1000 | 0x20000},
        {"jpg quality 0 lets the library choose", "jpg", [](O& o) { o.jpgQuality = 0, o.jpgChroma = 9; }, 0},
        {"extension in upper case", "JPG", [](O&) {}, 95 | 0x10000},
        {"png defaults: uncompressed", "png", [](O&) {}, 0x100},
        {"png uncompressed and interlaced", "png", [](O& o) { o.pngInterlaced = 1; }, 768},
        {"png zlib 1, 6, 9", "png", [](O& o) { o.pngCompression = 3; }, 9},
        {"png zlib 6 interlaced", "png", [](O& o) { o.pngCompression = 2, o.pngInterlaced = -1; }, 6 | 0x200},
        {"png unknown compression", "png", [](O& o) { o.pngCompression = 4; }, 0},
        {"tiff defaults: none", "tiff", [](O&) {}, 0x800},
        {"tiff LZW in CMYK", "tiff", [](O& o) { o.tiffCompression = 6, o.tiffColorModel = 1; }, 0x4000 | 1},
        {"tiff LogLuv in LAB", "tiff", [](O& o) { o.tiffCompression = 8, o.tiffColorModel = 2; }, 0x10000},
        {"tiff unknown compression", "tiff", [](O& o) { o.tiffCompression = 9; }, 0},
        {"exr none", "exr", [](O&) {}, 2},
        {"exr B44", "exr", [](O& o) { o.exrCompression = 4; }, 32},
        {"exr unknown", "exr", [](O& o) { o.exrCompression = 5; }, 0},
        {"bmp RLE", "bmp", [](O& o) { o.bmpCompression = 1; }, 1},
        {"bmp other", "bmp", [](O& o) { o.bmpCompression = 2; }, 0},
        {"tga RLE", "tga", [](O& o) { o.tgaCompression = 1; }, 2},
        {"jxr always lossless", "jxr", [](O&) {}, 100},
        {"webp always lossless", "webp", [](O&) {}, 0x100},
        {"gif default", "gif", [](O& o) { o.jpgQuality = 50; }, 0},
        {"psd default", "psd", [](O&) {}, 0},
        {"unknown extension", "xyz", [](O&) {}, 0},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.what);
        settings::OutputSettings out;
        c.set(out);
        EXPECT_EQ(engine::saveFlags(out, c.extension), c.expected);
    }
}

TEST(PrepareOutputEncoding, TakesDepthAndFlagsOfTheOutputFormat)
{
    settings::OutputSettings out;
    engine::ConversionJob job;
    job.outputExtension = "jpg";
    engine::prepareOutputEncoding(job, out);
    EXPECT_TRUE(job.automaticDepth);
    EXPECT_EQ(job.targetBitDepth, 0);
    EXPECT_EQ(job.saveFlags, 95 | 0x10000);

    out.jpgBpp = 8;
    out.tiffBpp = 48;
    engine::prepareOutputEncoding(job, out);
    EXPECT_FALSE(job.automaticDepth);
    EXPECT_EQ(job.targetBitDepth, 8);
    EXPECT_EQ(engine::bitDepthSetting(out, "TIFF"), 48);
    EXPECT_EQ(engine::bitDepthSetting(out, "tif"), 0);
}

TEST(AutomaticBitDepth, FirstAllowedDepthAtLeastTheSourceElseTheLast)
{
    struct Case {
        const char* depths;
        int source;
        int expected;
    };
    const Case cases[] = {
        {"8,24", 48, 24},
        {"8,24", 8, 8},
        {"8,24", 24, 24},
        {"1,4,8,24,32,48", 24, 24},
        {"1,4,8,24,32,48", 16, 24},
        {"1,4,8,24,32,48,96", 48, 48},
        {"1,4,8,16,24,32", 96, 32},
        {"8", 24, 8},
        {"", 24, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(engine::automaticBitDepth(c.depths, c.source), c.expected)
            << c.depths << " from " << c.source;
}

TEST(ConvertToTargetDepth, AutomaticDepthIsChosenPerImageFromItsOwnSource)
{
    engine::ConversionJob job;
    job.outputExtension = "jpg";
    job.automaticDepth = true;

    engine::Bitmap first =
        engine::convertToTargetDepth(fixtures::rgb16Bitmap(4, 4, 65535, 0, 0), job, 48, "8,24");
    ASSERT_TRUE(first);
    EXPECT_EQ(job.targetBitDepth, 24);
    EXPECT_EQ(FreeImage_GetBPP(first.get()), 24u);
    EXPECT_EQ(fixtures::pixelAt(first.get(), 0, 0), (settings::Rgb{255, 0, 0}));

    engine::Bitmap grey = fixtures::greyRamp(2, {7, 70});
    FIBITMAP* before = grey.get();
    engine::Bitmap second = engine::convertToTargetDepth(std::move(grey), job, 8, "8,24");
    EXPECT_EQ(job.targetBitDepth, 8);
    EXPECT_EQ(second.get(), before); // already 8 bits: saved without any conversion

    // A fixed depth is never re-chosen.
    job.automaticDepth = false;
    job.targetBitDepth = 24;
    engine::Bitmap third = engine::convertToTargetDepth(fixtures::greyRamp(2, {7, 70}), job, 8, "8,24");
    EXPECT_EQ(job.targetBitDepth, 24);
    EXPECT_EQ(FreeImage_GetBPP(third.get()), 24u);
}

TEST(ConvertToBitDepth, PicksTheConversionForTheTargetAndFormat)
{
    struct Case {
        const char* what;
        int target;
        const char* extension;
        bool deepSource;
        unsigned bpp;
        FREE_IMAGE_TYPE type;
    };
    const Case cases[] = {
        {"96 float", 96, "exr", false, 96, FIT_RGBF},
        {"48 from 24", 48, "png", false, 48, FIT_RGB16},
        {"32", 32, "png", true, 32, FIT_BITMAP},
        {"24 from 48", 24, "jpg", true, 24, FIT_BITMAP},
        {"16 from 48", 16, "bmp", true, 16, FIT_BITMAP},
        {"8 grey for jpg from 48", 8, "jpg", true, 8, FIT_BITMAP},
        {"8 palette for gif", 8, "gif", false, 8, FIT_BITMAP},
        {"4 from 48", 4, "bmp", true, 4, FIT_BITMAP},
        {"1 dithered", 1, "pbm", true, 1, FIT_BITMAP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine::Bitmap source =
            c.deepSource ? fixtures::rgb16Bitmap(8, 8, 40000, 20000, 1000) : fixtures::patternBitmap(8, 8);
        engine::Bitmap out = engine::convertToBitDepth(std::move(source), c.target, c.extension);
        ASSERT_TRUE(out);
        EXPECT_EQ(FreeImage_GetBPP(out.get()), c.bpp);
        EXPECT_EQ(FreeImage_GetImageType(out.get()), c.type);
    }
}

TEST(ConvertToBitDepth, SixteenBitsAre565ExceptForIconsAndTarga)
{
    engine::Bitmap bmp = engine::convertToBitDepth(fixtures::patternBitmap(4, 4), 16, "bmp");
    EXPECT_EQ(FreeImage_GetGreenMask(bmp.get()), unsigned{FI16_565_GREEN_MASK});
    engine::Bitmap tga = engine::convertToBitDepth(fixtures::patternBitmap(4, 4), 16, "tga");
    EXPECT_EQ(FreeImage_GetGreenMask(tga.get()), unsigned{FI16_555_GREEN_MASK});
    engine::Bitmap ico = engine::convertToBitDepth(fixtures::patternBitmap(4, 4), 16, "ico");
    EXPECT_EQ(FreeImage_GetGreenMask(ico.get()), unsigned{FI16_555_GREEN_MASK});
}

TEST(ConvertToBitDepth, EightBitsAreGreyForJpegAndQuantisedColourElsewhere)
{
    engine::Bitmap red = fixtures::solidBitmap(4, 4, 24, {255, 0, 0});
    engine::Bitmap jpg = engine::convertToBitDepth(std::move(red), 8, "jpg");
    ASSERT_TRUE(jpg);
    EXPECT_EQ(FreeImage_GetColorType(jpg.get()), FIC_MINISBLACK);

    engine::Bitmap gif = engine::convertToBitDepth(fixtures::solidBitmap(4, 4, 32, {255, 0, 0}), 8, "gif");
    ASSERT_TRUE(gif);
    EXPECT_EQ(FreeImage_GetColorType(gif.get()), FIC_PALETTE);
    EXPECT_EQ(fixtures::pixelAt(gif.get(), 2, 2), (settings::Rgb{255, 0, 0}));
}

TEST(ConvertToBitDepth, SameDepthPassesAndImpossibleDepthsFail)
{
    engine::Bitmap image = fixtures::patternBitmap(4, 4);
    FIBITMAP* before = image.get();
    engine::Bitmap same = engine::convertToBitDepth(std::move(image), 24, "jpg");
    EXPECT_EQ(same.get(), before);

    for (int depth : {0, 2, 12, 64, 128})
        EXPECT_FALSE(engine::convertToBitDepth(fixtures::patternBitmap(4, 4), depth, "png")) << depth;
    EXPECT_FALSE(engine::convertToBitDepth(nullptr, 24, "jpg"));

    engine::ConversionJob job;
    job.automaticDepth = true;
    EXPECT_FALSE(engine::convertToTargetDepth(nullptr, job, 24, "8,24"));
}

} // namespace
