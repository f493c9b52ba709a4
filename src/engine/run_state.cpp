#include "engine/run_state.h"

#include "settings/conversion_settings.h"

#include <random>

namespace engine
{

std::int32_t drawRandomNumber()
{
    std::random_device device;
    std::uniform_int_distribution<std::int32_t> range(1, 99999);
    return range(device);
}

void ResetRunState(settings::RunState& run, ConversionJob& job, NamingCounters& counters,
                   FormatRegistry& registry)
{
    settings::resetRunValues(run);
    counters.randomNumber = drawRandomNumber();
    counters.sequenceNumber = 1;
    // An empty job: no folders or format named yet, no format id (-1 is "none" for FreeImage).
    job = ConversionJob{};
    rebuildAcceptedExtensions(registry, settings::InputFormatList());
}

} // namespace engine
