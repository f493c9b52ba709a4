// One file through the whole pipeline and out as a JPEG: orientation, size, metadata, and the
// ways a file can fail without harming anything on disk.
#include "engine/pipeline.h"
#include "engine/saving.h"
#include "engine/worker.h"

#include "support/engine_dng_fixture.h"
#include "support/engine_fixtures.h"
#include "support/filelist_fixtures.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"   // Exiv2 0.27 hands out std::auto_ptr
#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using engine::Bitmap;
using engine_fixtures::ConversionRun;
using engine_fixtures::decodeFile;
using engine_fixtures::metadataValue;
using engine_fixtures::showsUprightPatches;
using filelist_fixtures::readBytes;
using filelist_fixtures::TempFolder;

std::size_t filesIn(const std::string& folder)
{
    std::size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(folder)) n += e.is_regular_file();
    return n;
}

TEST(Conversion, PortraitRawComesOutUprightInAutoAndTwentyFourBitModes)
{
    TempFolder in, out;
    const std::string raw = in / "portrait.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 64, .height = 96, .orientation = 6, .previewLongSide = 72}));
    struct Case {
        int mode;
        unsigned width, height;   // the preview in Auto, the full picture in 24-bit
    };
    for (const Case c : {Case{0, 48, 72}, Case{3, 64, 96}}) {
        SCOPED_TRACE(c.mode);
        ConversionRun run(out.path());
        run.settings.input.rawLoadAs = c.mode;
        run.files = {{raw, ""}};
        ASSERT_EQ(run.convert(), 1);
        Bitmap jpeg = decodeFile(out / "portrait.jpg");
        ASSERT_TRUE(jpeg);
        EXPECT_EQ(FreeImage_GetWidth(jpeg.get()), c.width);
        EXPECT_EQ(FreeImage_GetHeight(jpeg.get()), c.height);
        EXPECT_TRUE(showsUprightPatches(jpeg.get()));
        // Upright pixels: the written orientation must not turn them again.
        EXPECT_EQ(metadataValue(out / "portrait.jpg", "Exif.Image.Orientation"), "1");
        EXPECT_EQ(metadataValue(out / "portrait.jpg", "Exif.Photo.PixelXDimension"), std::to_string(c.width));
        EXPECT_EQ(metadataValue(out / "portrait.jpg", "Exif.Photo.PixelYDimension"), std::to_string(c.height));
    }
}

TEST(Conversion, EveryLoadModeAndToneMappingWritesAJpeg)
{
    TempFolder in, out;
    const std::string raw = in / "modes.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 96, .height = 64, .orientation = 1, .previewLongSide = 72}));
    struct Case {
        int loadAs, toneMapping;
        unsigned width;
        bool patches;   // raw pixel import reads the DNG's bytes as pixels: no patches to find
    };
    const Case cases[] = {
        {0, 2, 72, true},  {1, 2, 0, false}, {2, 2, 0, false}, {3, 2, 96, true}, {4, 0, 48, true},
        {4, 1, 48, true},  {5, 0, 96, true}, {5, 1, 96, true}, {5, 2, 96, true}, {5, 3, 96, true},
        {5, 4, 96, true},  {5, 9, 96, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("load as " + std::to_string(c.loadAs) + ", tone mapping " + std::to_string(c.toneMapping));
        ConversionRun run(out.path());
        run.settings.input.rawLoadAs = c.loadAs;
        run.settings.input.rawToneMapping = c.toneMapping;
        run.files = {{raw, ""}};
        ASSERT_EQ(run.convert(), 1);
        Bitmap jpeg = decodeFile(out / "modes.jpg");
        ASSERT_TRUE(jpeg);
        // Automatic depth: 48-bit loads are written at 24 bits, the 8-bit pixel import as greyscale.
        EXPECT_EQ(FreeImage_GetBPP(jpeg.get()), c.loadAs == 1 ? 8u : 24u);
        if (c.width) {
            EXPECT_EQ(FreeImage_GetWidth(jpeg.get()), c.width);
        }
        // The local operators (Reinhard, Fattal) pull the flat patches towards grey.
        if (c.patches && c.toneMapping != 3 && c.toneMapping != 4) {
            EXPECT_TRUE(showsUprightPatches(jpeg.get()));
        }
    }
}

TEST(Conversion, ThumbnailOnlyRawIsDecodedAtFullSizeInAutoMode)
{
    TempFolder in, out;
    const std::string raw = in / "thumb.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 96, .height = 64, .orientation = 1, .previewLongSide = 24}));
    ConversionRun run(out.path());
    run.files = {{raw, ""}};
    ASSERT_EQ(run.convert(), 1);
    Bitmap jpeg = decodeFile(out / "thumb.jpg");
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(FreeImage_GetWidth(jpeg.get()), 96u);
    EXPECT_EQ(FreeImage_GetHeight(jpeg.get()), 64u);
    EXPECT_TRUE(showsUprightPatches(jpeg.get()));
}

TEST(Conversion, RawMetadataIncludingCaptureTimeReachesTheOutput)
{
    TempFolder in, out;
    const std::string raw = in / "meta.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 64, .height = 96, .orientation = 8, .previewLongSide = 0,
                                              .make = "Vorndale", .model = "Test Body", .dateTimeOriginal = "2021:02:03 04:05:06"}));
    ConversionRun run(out.path());
    run.settings.transform.doImageResize = 1;   // the pixel size tags follow the written size
    run.settings.transform.imageWidth = 32;
    run.settings.transform.imageHeight = 48;
    run.settings.transform.keepAspectRatio = 1;
    run.files = {{raw, ""}};
    ASSERT_EQ(run.convert(), 1);
    const std::string jpeg = out / "meta.jpg";
    EXPECT_EQ(metadataValue(jpeg, "Exif.Image.Make"), "Vorndale");
    EXPECT_EQ(metadataValue(jpeg, "Exif.Image.Model"), "Test Body");
    EXPECT_EQ(metadataValue(jpeg, "Exif.Photo.DateTimeOriginal"), "2021:02:03 04:05:06");
    EXPECT_EQ(metadataValue(jpeg, "Exif.Image.Orientation"), "1");
    EXPECT_EQ(metadataValue(jpeg, "Exif.Photo.PixelXDimension"), "32");
    EXPECT_EQ(metadataValue(jpeg, "Exif.Photo.PixelYDimension"), "48");
    // What described the RAW's own storage stays behind.
    EXPECT_EQ(metadataValue(jpeg, "Exif.Image.DNGVersion"), "");
    EXPECT_EQ(metadataValue(jpeg, "Exif.Image.CFAPattern"), "");
    EXPECT_EQ(metadataValue(jpeg, "Exif.Image.StripOffsets"), "");
}

TEST(Conversion, JpegInputKeepsItsExifIptcAndXmp)
{
    TempFolder in, out;
    const std::string raw = in / "src.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 96, .height = 64}));
    // A camera JPEG: stored a quarter turn anticlockwise, tagged to be turned clockwise.
    Bitmap upright(FreeImage_Load(FIF_RAW, raw.c_str(), RAW_DISPLAY));
    Bitmap stored(FreeImage_Rotate(upright.get(), 90));
    const std::string jpeg = in / "camera.jpg";
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, stored.get(), jpeg.c_str(), 95));
    {
        auto image = Exiv2::ImageFactory::open(jpeg);
        image->readMetadata();
        image->exifData()["Exif.Image.Make"] = "Acme";
        image->exifData()["Exif.Image.Model"] = "Snapper 5";
        image->exifData()["Exif.Image.Orientation"] = uint16_t(6);
        image->exifData()["Exif.Photo.DateTimeOriginal"] = "2019:12:31 23:59:58";
        image->iptcData()["Iptc.Application2.Keywords"] = "harbour";
        image->xmpData()["Xmp.dc.creator"] = "A. Photographer";
        image->writeMetadata();
    }
    ConversionRun run(out.path());
    run.job.outputFolder = out.path();
    run.settings.advanced.filenameMask = "%filename%_out.%ext%";
    run.files = {{jpeg, ""}};
    ASSERT_EQ(run.convert(), 1);
    const std::string written = out / "camera_out.jpg";
    Bitmap back = decodeFile(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(FreeImage_GetWidth(back.get()), 96u);
    EXPECT_TRUE(showsUprightPatches(back.get()));
    EXPECT_EQ(metadataValue(written, "Exif.Image.Make"), "Acme");
    EXPECT_EQ(metadataValue(written, "Exif.Image.Model"), "Snapper 5");
    EXPECT_EQ(metadataValue(written, "Exif.Photo.DateTimeOriginal"), "2019:12:31 23:59:58");
    EXPECT_EQ(metadataValue(written, "Exif.Image.Orientation"), "1");
    EXPECT_EQ(metadataValue(written, "Iptc.Application2.Keywords"), "harbour");
    EXPECT_NE(metadataValue(written, "Xmp.dc.creator").find("A. Photographer"), std::string::npos);
}

TEST(Conversion, MetadataTheOutputFormatCannotHoldNeverFailsTheFile)
{
    TempFolder in, out;
    const std::string raw = in / "photo.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 96, .height = 64}));
    ConversionRun run(out.path());
    run.job.outputExtension = "bmp";   // Exiv2 cannot write metadata into a BMP
    run.job.outputFormatId = engine::outputFormatId(run.registry, "bmp");
    run.files = {{raw, ""}};
    EXPECT_EQ(run.convert(), 1);
    Bitmap back = decodeFile(out / "photo.bmp");
    ASSERT_TRUE(back);
    EXPECT_TRUE(showsUprightPatches(back.get()));
    EXPECT_EQ(filesIn(out.path()), 1u);
}

TEST(Conversion, OversizedXmpIsLeftOutAndTheRestKept)
{
    TempFolder in, out;
    const std::string raw = in / "bulky.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 64, .height = 96, .orientation = 6, .previewLongSide = 0}));
    {
        // 100 KB of XMP: more than a JPEG metadata block holds.
        auto image = Exiv2::ImageFactory::open(raw);
        image->readMetadata();
        image->xmpData()["Xmp.dc.description"] = std::string(100000, 'x');
        image->writeMetadata();
    }
    ConversionRun run(out.path());
    run.files = {{raw, ""}};
    ASSERT_EQ(run.convert(), 1);
    const std::string jpeg = out / "bulky.jpg";
    EXPECT_TRUE(showsUprightPatches(decodeFile(jpeg).get()));
    EXPECT_EQ(metadataValue(jpeg, "Exif.Image.Make"), "Pixelvane");
    EXPECT_EQ(metadataValue(jpeg, "Exif.Photo.DateTimeOriginal"), "2024:05:17 10:30:00");
    EXPECT_EQ(metadataValue(jpeg, "Exif.Image.Orientation"), "1");
    EXPECT_EQ(metadataValue(jpeg, "Xmp.dc.description"), "");
}

TEST(Conversion, NonAsciiPathsAreWrittenAsGiven)
{
    TempFolder in, out;
    const std::string raw = in.folder("Ünïcode/") + "Fotó_été.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 96, .height = 64}));
    ConversionRun run(out.path());
    run.files = {{raw, "Ünïcode/"}};
    EXPECT_EQ(run.convert(), 1);
    EXPECT_TRUE(decodeFile(out / "Ünïcode/Fotó_été.jpg"));
    EXPECT_EQ(metadataValue(out / "Ünïcode/Fotó_été.jpg", "Exif.Image.Make"), "Pixelvane");
}

TEST(Conversion, SourceWithoutMetadataGivesOutputWithout)
{
    TempFolder in, out;
    const std::string pixels = in / "pixels.bin";
    std::string bytes;
    for (int i = 0; i < 64 * 64 * 2; ++i) bytes += char(i * 7);
    std::ofstream(pixels, std::ios::binary) << bytes;
    ConversionRun run(out.path());
    run.settings.input.rawLoadAs = 2;
    run.files = {{pixels, ""}};
    ASSERT_EQ(run.convert(), 1);
    Bitmap back = decodeFile(out / "pixels.jpg");
    ASSERT_TRUE(back);
    EXPECT_EQ(FreeImage_GetWidth(back.get()), 64u);
    EXPECT_EQ(engine_fixtures::exifCount(out / "pixels.jpg"), 0);
}

TEST(Conversion, FailedSaveLeavesTheExistingFileIntactAndNoLitter)
{
    TempFolder in, out;
    const std::string raw = in / "photo.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 96, .height = 64}));
    const std::string existing = out.write("photo.jpg", "the previous good file");
    ConversionRun run(out.path());
    run.files = {{raw, ""}};
    run.settings.output.jpgBpp = 32;   // JPEG cannot hold 32 bits: the encoder refuses
    EXPECT_EQ(run.convert(), 0);
    EXPECT_EQ(readBytes(existing), "the previous good file");
    EXPECT_EQ(filesIn(out.path()), 1u);

    run.settings.output.jpgBpp = 0;   // the same file written successfully replaces it whole
    EXPECT_EQ(run.convert(), 1);
    EXPECT_TRUE(decodeFile(existing));
    EXPECT_EQ(filesIn(out.path()), 1u);
}

TEST(Conversion, OutputThatIsTheInputFileFails)
{
    TempFolder dir;
    const std::string raw = dir / "src.dng";
    ASSERT_TRUE(fixtures::writeTestDng(raw, {.width = 96, .height = 64}));
    Bitmap picture(FreeImage_Load(FIF_RAW, raw.c_str(), RAW_DISPLAY));
    const std::string jpeg = dir / "photo.jpg";
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, picture.get(), jpeg.c_str(), 90));
    const std::string before = readBytes(jpeg);

    for (const std::string& folder : {dir.path(), dir.path() + "./", dir.path() + "sub/../"}) {
        SCOPED_TRACE(folder);
        fs::create_directories(dir / "sub");
        ConversionRun run(folder);
        run.files = {{jpeg, ""}};
        EXPECT_EQ(run.convert(), 0);
        EXPECT_EQ(readBytes(jpeg), before);
    }
    // Through a link the output is still the input.
    fs::create_symlink(jpeg, dir / "link.jpg");
    EXPECT_TRUE(engine::isSameFile(dir / "link.jpg", jpeg));
    EXPECT_FALSE(engine::isSameFile(dir / "other.jpg", jpeg));
}

TEST(Conversion, BrokenInputsFailWithoutOutputOrNoise)
{
    TempFolder in, out;
    std::vector<engine::InputFile> files = {
        {in.write("empty.dng", ""), ""},
        {in.write("notes.nef", "Shopping list: film, batteries\n"), ""},
        {in / "missing.cr2", ""},
    };
    const std::string broken = engine_fixtures::samplesFolder("raw-broken");
    if (!broken.empty()) {
        files.push_back({broken + "/Sony_ZV-E10_truncated_100000B.arw", ""});
        files.push_back({broken + "/Canon_EOS_300D_stripped.crw", ""});
    }
    ConversionRun run(out.path());
    run.files = files;
    testing::internal::CaptureStdout();
    EXPECT_EQ(run.convert(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");   // no library chatter between our lines
    EXPECT_EQ(filesIn(out.path()), 0u);

    // Raw pixel import of a size no memory holds: that file fails, the run goes on.
    ConversionRun huge(out.path());
    huge.settings.input.rawLoadAs = 2;
    huge.settings.input.rawImageWidth = 100000;
    huge.settings.input.rawImageHeight = 100000;
    huge.files = {{in.write("sensor.bin", std::string(5000, '\x10')), ""}};
    EXPECT_EQ(huge.convert(), 0);
    EXPECT_EQ(filesIn(out.path()), 0u);
}

} // namespace
