#include "engine/loading.h"

#include "engine/library_messages.h"
#include "support/engine_dng_fixture.h"
#include "support/engine_fixtures.h"
#include "support/filelist_fixtures.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"   // Exiv2 0.27 hands out std::auto_ptr
#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>

#include <string>

namespace {

using engine::Bitmap;
using engine_fixtures::showsUprightPatches;
using filelist_fixtures::TempFolder;

settings::InputSettings inputAs(int rawLoadAs)
{
    settings::InputSettings in;
    in.rawLoadAs = rawLoadAs;
    return in;
}

struct RawBitsCase {
    const char* what;
    int code;
    std::size_t fileSize;
    int header, width, height;
    int expectWidth, expectHeight;   // 0 = the import yields nothing
};

TEST(RawPixelImport, SizesFromSettingsOrFromTheDataLength)
{
    const RawBitsCase cases[] = {
        {"16-bit square from 1,000,000 bytes", 2, 1000000, 0, 0, 0, 707, 707},
        {"8-bit square from 10 bytes", 1, 10, 0, 0, 0, 3, 3},
        {"given size, file too short", 1, 5050, 50, 100, 100, 100, 100},
        {"header longer than the file", 2, 100, 200, 0, 0, 0, 0},
        {"header as long as the file", 2, 100, 100, 0, 0, 0, 0},
        {"negative header", 2, 100, -1, 0, 0, 0, 0},
        {"20 GB worth of 16-bit pixels", 2, 100, 0, 100000, 100000, 0, 0},
        {"one row of 2 GiB", 1, 100, 0, 2147483647, 1, 0, 0},
        {"a little over 1 GiB", 2, 100, 0, 32768, 16385, 0, 0},
        {"negative width", 1, 100, 0, -10, 10, 0, 0},
        {"empty file", 1, 0, 0, 0, 0, 0, 0},
    };
    TempFolder dir;
    for (const RawBitsCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.write("data.bin", std::string(c.fileSize, '\x7f'));
        settings::InputSettings in = inputAs(c.code);
        in.rawHeaderSize = c.header;
        in.rawImageWidth = c.width;
        in.rawImageHeight = c.height;
        Bitmap b = engine::importRawBits(path, c.code, in);
        if (c.expectWidth == 0) {
            EXPECT_FALSE(b);
            continue;
        }
        ASSERT_TRUE(b);
        EXPECT_EQ(FreeImage_GetWidth(b.get()), unsigned(c.expectWidth));
        EXPECT_EQ(FreeImage_GetHeight(b.get()), unsigned(c.expectHeight));
        EXPECT_EQ(FreeImage_GetBPP(b.get()), unsigned(c.code == 1 ? 8 : 16));
    }
}

TEST(RawPixelImport, FirstRowOnTopAndMissingBytesReadAsZero)
{
    // 100 x 100 at 8 bits after a 50-byte header, from a 5,050-byte file: 5,000 bytes of data, so
    // the upper half comes from the file and the lower half is 0.
    TempFolder dir;
    std::string bytes(50, '\x01');
    bytes += std::string(5000, '\xc8');
    const std::string path = dir.write("half.raw", bytes);
    settings::InputSettings in = inputAs(1);
    in.rawHeaderSize = 50;
    in.rawImageWidth = 100;
    in.rawImageHeight = 100;
    Bitmap b = engine::importRawBits(path, 1, in);
    ASSERT_TRUE(b);
    BYTE top = 0, bottom = 0;
    FreeImage_GetPixelIndex(b.get(), 10, 99, &top);      // FreeImage row 99 is the top row
    FreeImage_GetPixelIndex(b.get(), 10, 0, &bottom);
    EXPECT_EQ(top, 0xc8);
    EXPECT_EQ(bottom, 0);
}

TEST(LoadImage, RawPixelImportOnlyWhenChosen)
{
    // Nothing but raw pixel import reads a text file: with Auto it fails instead of becoming noise.
    TempFolder dir;
    const std::string text = dir.write("notes.nef", std::string(4000, 'x'));
    EXPECT_FALSE(engine::loadImage(text, inputAs(engine::kLoadAuto)));
    EXPECT_FALSE(engine::loadImage(text, inputAs(engine::kLoadRgb24)));
    Bitmap chosen = engine::loadImage(text, inputAs(engine::kLoadRawBits16));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(FreeImage_GetWidth(chosen.get()), 45u);   // sqrt(4000 / 2) = 44.7
}

TEST(LoadImage, BrokenInputsFailQuietly)
{
    TempFolder dir;
    std::vector<std::string> paths = {dir.write("empty.dng", ""), dir.write("text.nef", "not a photo\n"),
                                      dir / "missing.cr2"};
    const std::string broken = engine_fixtures::samplesFolder("raw-broken");
    if (!broken.empty()) {
        paths.push_back(broken + "/Sony_ZV-E10_truncated_100000B.arw");
        paths.push_back(broken + "/Canon_EOS_300D_stripped.crw");
    }
    engine::routeLibraryMessages(false);
    for (int mode : {engine::kLoadAuto, engine::kLoadRgb24, engine::kLoadRgb48Half, engine::kLoadRgb48}) {
        for (const std::string& path : paths) {
            SCOPED_TRACE(path + " as " + std::to_string(mode));
            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            Bitmap b = engine::loadImage(path, inputAs(mode));
            const std::string out = testing::internal::GetCapturedStdout();
            const std::string err = testing::internal::GetCapturedStderr();
            EXPECT_FALSE(b);
            EXPECT_EQ(out, "");
            EXPECT_EQ(err, "");   // the RAW decoder's own complaints are kept away too
        }
    }
}

TEST(LoadImage, DecoderMessagesGoToStandardErrorWhenAsked)
{
    TempFolder dir;
    std::vector<std::pair<std::string, std::string>> cases = {
        {dir.write("text.nef", "not a photo\n"), "FreeImage RAW: LibRaw : failed to open input stream"}};
    const std::string broken = engine_fixtures::samplesFolder("raw-broken");
    if (!broken.empty()) {
        // LibRaw's own report, which it would print itself, arrives through the same routing.
        cases.push_back({broken + "/Canon_EOS_300D_stripped.crw", "FreeImage RAW: unknown file: Unexpected end of file"});
    }
    engine::routeLibraryMessages(true);
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        Bitmap b = engine::loadImage(path, inputAs(engine::kLoadRgb24));
        const std::string out = testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(b);
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find(message), std::string::npos) << err;
    }
    engine::routeLibraryMessages(false);
}

// Every orientation, with a JPEG preview (the decoder turns it) and an uncompressed one (the loader
// turns it): Auto (the preview) and RGB 24-bit (the full decode) give the same upright picture.
TEST(LoadImage, PreviewAndFullDecodeComeOutUprightInEveryOrientation)
{
    TempFolder dir;
    for (bool jpeg : {true, false}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE((jpeg ? "JPEG preview, orientation " : "RGB preview, orientation ") + std::to_string(orientation));
            fixtures::TestDngOptions dng{.width = 96, .height = 64, .orientation = orientation, .previewLongSide = 72};
            dng.previewJpeg = jpeg;
            const std::string path = dir / "o.dng";
            ASSERT_TRUE(fixtures::writeTestDng(path, dng));

            Bitmap preview = engine::loadImage(path, inputAs(engine::kLoadAuto));
            ASSERT_TRUE(preview);
            EXPECT_EQ(FreeImage_GetWidth(preview.get()), 72u);   // the preview, not the full decode
            EXPECT_EQ(FreeImage_GetHeight(preview.get()), 48u);
            EXPECT_TRUE(showsUprightPatches(preview.get()));

            Bitmap full = engine::loadImage(path, inputAs(engine::kLoadRgb24));
            ASSERT_TRUE(full);
            EXPECT_EQ(FreeImage_GetWidth(full.get()), 96u);
            EXPECT_EQ(FreeImage_GetHeight(full.get()), 64u);
            EXPECT_TRUE(showsUprightPatches(full.get()));
        }
    }
}

TEST(LoadImage, AutoDecodesTheFullPictureWhenThePreviewIsOnlyAThumbnail)
{
    TempFolder dir;
    struct Case {
        int previewLongSide;
        unsigned expectWidth;
    };
    for (const Case c : {Case{24, 64}, Case{47, 64}, Case{48, 32}, Case{0, 64}}) {
        SCOPED_TRACE(c.previewLongSide);
        const std::string path = dir / "thumb.dng";
        // A portrait picture stored sideways: the full decode is 64 x 96 upright.
        ASSERT_TRUE(fixtures::writeTestDng(path, {.width = 64, .height = 96, .orientation = 8, .previewLongSide = c.previewLongSide}));
        Bitmap b = engine::loadImage(path, inputAs(engine::kLoadAuto));
        ASSERT_TRUE(b);
        EXPECT_EQ(FreeImage_GetWidth(b.get()), c.expectWidth);
        EXPECT_GT(FreeImage_GetHeight(b.get()), FreeImage_GetWidth(b.get()));
        EXPECT_TRUE(showsUprightPatches(b.get()));
        EXPECT_EQ(FreeImage_GetBPP(b.get()), 24u);
    }
}

TEST(LoadImage, DepthAndSizePerLoadMode)
{
    TempFolder dir;
    const std::string path = dir / "modes.dng";
    ASSERT_TRUE(fixtures::writeTestDng(path, {.width = 96, .height = 64, .orientation = 6, .previewLongSide = 0}));
    struct Case {
        int mode;
        FREE_IMAGE_TYPE type;
        unsigned width;
    };
    for (const Case c : {Case{engine::kLoadRgb24, FIT_BITMAP, 96}, Case{engine::kLoadRgb48Half, FIT_RGB16, 48},
                         Case{engine::kLoadRgb48, FIT_RGB16, 96}, Case{9, FIT_RGB16, 96}}) {
        SCOPED_TRACE(c.mode);
        Bitmap b = engine::loadImage(path, inputAs(c.mode));
        ASSERT_TRUE(b);
        EXPECT_EQ(FreeImage_GetImageType(b.get()), c.type);
        EXPECT_EQ(FreeImage_GetWidth(b.get()), c.width);
    }
}

TEST(LoadImage, JpegIsTurnedUprightByItsExifOrientation)
{
    TempFolder dir;
    const std::string raw = dir / "src.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 96, .height = 64}));
    Bitmap upright = engine::loadImage(raw, inputAs(engine::kLoadRgb24));
    // Store the picture turned a quarter anticlockwise, tagged "rotate clockwise to view".
    Bitmap stored(FreeImage_Rotate(upright.get(), 90));
    const std::string jpeg = dir / "turned.jpg";
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, stored.get(), jpeg.c_str(), 95));
    auto image = Exiv2::ImageFactory::open(jpeg);
    image->readMetadata();
    image->exifData()["Exif.Image.Orientation"] = uint16_t(6);
    image->writeMetadata();

    Bitmap b = engine::loadImage(jpeg, inputAs(engine::kLoadAuto));
    ASSERT_TRUE(b);
    EXPECT_EQ(FreeImage_GetWidth(b.get()), 96u);
    EXPECT_TRUE(showsUprightPatches(b.get()));
}

// A 48-bit picture with some range in it (the operators reject a black one).
Bitmap rgb16Ramp()
{
    Bitmap b(FreeImage_AllocateT(FIT_RGB16, 64, 64));
    for (unsigned y = 0; y < 64; ++y) {
        auto* line = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(b.get(), y));
        for (unsigned x = 0; x < 64; ++x) line[x] = {WORD(x * 1000 + 10), WORD(y * 1000 + 10), WORD(30000)};
    }
    return b;
}

TEST(ToneMap, OnlyFortyEightBitLoadsAreMapped)
{
    Bitmap wide(FreeImage_AllocateT(FIT_RGB16, 8, 8));
    FIBITMAP* const given = wide.get();

    settings::InputSettings in = inputAs(engine::kLoadRgb48);
    in.rawToneMapping = 0;
    wide = engine::toneMap(std::move(wide), in);
    EXPECT_EQ(wide.get(), given);   // no operator: the same bitmap goes on

    in.rawLoadAs = engine::kLoadRgb24;
    in.rawToneMapping = 2;
    wide = engine::toneMap(std::move(wide), in);
    EXPECT_EQ(wide.get(), given);   // not a 48-bit load

    for (int op : {1, 2, 3, 4}) {
        SCOPED_TRACE(op);
        in.rawLoadAs = engine::kLoadRgb48Half;
        in.rawToneMapping = op;
        Bitmap mapped = engine::toneMap(rgb16Ramp(), in);
        ASSERT_TRUE(mapped);
        EXPECT_EQ(FreeImage_GetImageType(mapped.get()), FIT_BITMAP);
        EXPECT_EQ(FreeImage_GetBPP(mapped.get()), 24u);
    }
    EXPECT_FALSE(engine::toneMap(Bitmap(), in));
}

TEST(LoadFlags, PerLoadMode)
{
    EXPECT_EQ(engine::rawLoadFlags(0), RAW_PREVIEW);
    EXPECT_EQ(engine::rawLoadFlags(1), RAW_DEFAULT);
    EXPECT_EQ(engine::rawLoadFlags(2), RAW_DEFAULT);
    EXPECT_EQ(engine::rawLoadFlags(3), RAW_DISPLAY);
    EXPECT_EQ(engine::rawLoadFlags(4), RAW_HALFSIZE);
    EXPECT_EQ(engine::rawLoadFlags(5), RAW_DEFAULT);
    EXPECT_EQ(engine::rawLoadFlags(-7), RAW_DEFAULT);
}

} // namespace
