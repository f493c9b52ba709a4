#include "engine/pipeline.h"

#include "engine/colour.h"
#include "engine/geometry.h"
#include "engine/loading.h"
#include "engine/metadata.h"
#include "engine/naming.h"
#include "engine/output_encoding.h"
#include "engine/overlays.h"
#include "engine/saving.h"

namespace engine {

namespace {

Size sizeOf(const Bitmap& image)
{
    if (!image) return {};
    return {static_cast<int>(FreeImage_GetWidth(image.get())), static_cast<int>(FreeImage_GetHeight(image.get()))};
}

} // namespace

bool ImagePipeline(const PipelineContext& ctx)
{
    const settings::ConversionSettings& s = ctx.settings;
    CurrentImage& cur = ctx.current;

    Bitmap image = loadImage(cur.inputPath, s.input);
    const Size loaded = sizeOf(image);
    cur.sourceBitDepth = image ? static_cast<int>(FreeImage_GetBPP(image.get())) : 0;
    if (loaded.width == 0 || loaded.height == 0) return false;
    // An automatic depth is settled now, so that %bpp% in the watermark names this image's depth.
    chooseTargetBitDepth(ctx.job, cur.sourceBitDepth, ctx.allowedBitDepths);

    // Rotation, resizing and the depth conversions replace the bitmap; the metadata rides along here.
    const MetadataHolder metadata(image.get());

    image = rotateImage(std::move(image), s.transform);
    const Size rotated = sizeOf(image);
    image = resizeImage(std::move(image), s.transform, rotated.width, rotated.height);
    const Size picture = sizeOf(image);
    cur.width = picture.width;
    cur.height = picture.height;

    image = toneMap(std::move(image), s.input);
    image = flipImage(std::move(image), s.transform);
    image = correctColours(std::move(image), s.adjustment);
    image = makeGreyscale(std::move(image), s.adjustment);
    image = applyThreshold(std::move(image), s.adjustment);

    const OverlayContext overlay{s, ctx.job, cur, ctx.counters, ctx.fonts};
    image = applyFrame(std::move(image), overlay, picture.width, picture.height);
    image = applyWatermark(std::move(image), overlay, picture.width, picture.height);
    image = convertToTargetDepth(std::move(image), ctx.job, cur.sourceBitDepth, ctx.allowedBitDepths);
    metadata.restoreTo(image.get());

    cur.outputPath = outputPath(s.advanced, TokenSource{ctx.job, cur, ctx.counters});
    if (!image) return false;
    return saveImage(image.get(), ctx.job.outputFormatId, ctx.job.saveFlags, cur.outputPath, cur.inputPath);
}

} // namespace engine
