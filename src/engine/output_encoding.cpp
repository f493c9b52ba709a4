#include "engine/output_encoding.h"

namespace engine {

// Placeholders until the real rules land: default flags, automatic depth, no conversion.
int saveFlags(const settings::OutputSettings&, std::string_view)
{
    return 0;
}

int bitDepthSetting(const settings::OutputSettings&, std::string_view)
{
    return 0;
}

void prepareOutputEncoding(ConversionJob& job, const settings::OutputSettings& out)
{
    job.targetBitDepth = bitDepthSetting(out, job.outputExtension);
    job.automaticDepth = job.targetBitDepth == 0;
    job.saveFlags = saveFlags(out, job.outputExtension);
}

int automaticBitDepth(std::string_view, int sourceDepth)
{
    return sourceDepth;
}

void chooseTargetBitDepth(ConversionJob& job, int sourceDepth, std::string_view allowedDepths)
{
    if (job.automaticDepth) job.targetBitDepth = automaticBitDepth(allowedDepths, sourceDepth);
}

Bitmap convertToBitDepth(Bitmap image, int, std::string_view)
{
    return image;
}

Bitmap convertToTargetDepth(Bitmap image, ConversionJob& job, int sourceDepth, std::string_view allowedDepths)
{
    chooseTargetBitDepth(job, sourceDepth, allowedDepths);
    return convertToBitDepth(std::move(image), job.targetBitDepth, job.outputExtension);
}

} // namespace engine
