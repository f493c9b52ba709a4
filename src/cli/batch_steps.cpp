#include "cli/batch_steps.h"


namespace cli {
bool BatchResources::loadWatermarkFont(const settings::WatermarkSettings& w)
{
    platform::FontSpec spec;
    spec.family = w.font;
    spec.sizePoints = w.fontSize;
    spec.bold = w.fontStyle == 1 || w.fontStyle == 3;
    spec.italic = w.fontStyle == 2 || w.fontStyle == 3;
    spec.underline = w.fontEffect == 1;
    spec.strikethrough = w.fontEffect == 2;
    return fonts.load(platform::kWatermarkFontSlot, spec);
}

int importInput(BatchContext& ctx, BatchResources& resources)
{
    // TODO: the file list's imports.
    return 0;
}

int convertFiles(BatchContext& ctx, BatchResources& resources, bool debug, bool quiet)
{
    // TODO: the engine's worker.
    return 0;
}

} // namespace cli
