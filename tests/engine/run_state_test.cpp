#include "engine/run_state.h"

#include <gtest/gtest.h>

#include <set>

namespace
{

TEST(ResetRunState, EmptiesTheJobRestartsTheCountersAndResetsTheRunValues)
{
    settings::RunState run;
    run.consoleRun = true;
    run.iconChange = 1;
    run.preferencesStartPage = 3;
    engine::ConversionJob job;
    job.outputFolder = "/out/";
    job.outputExtension = "jpg";
    job.outputFormatId = 2;
    job.targetBitDepth = 24;
    job.automaticDepth = true;
    job.saveFlags = 95;
    job.inputFolder = "/in/";
    job.inputFile = "/in/a.cr2";
    job.inputFormat = "raw";
    engine::NamingCounters counters{.randomNumber = 0, .sequenceNumber = 42};

    engine::FormatRegistry registry = engine::BuildFormatRegistry();
    const std::vector<std::string> accepted = registry.acceptedInputExtensions;
    registry.acceptedInputExtensions = {"bogus"};

    engine::ResetRunState(run, job, counters, registry);

    EXPECT_FALSE(run.consoleRun);
    EXPECT_EQ(run.iconChange, 0);
    EXPECT_EQ(run.preferencesStartPage, 0);
    EXPECT_EQ(run.programFolder.back(), '/');
    EXPECT_EQ(counters.sequenceNumber, 1);
    EXPECT_GE(counters.randomNumber, 1);
    EXPECT_LE(counters.randomNumber, 99999);
    EXPECT_TRUE(job.outputFolder.empty() && job.outputExtension.empty() && job.inputFolder.empty() &&
                job.inputFile.empty() && job.inputFormat.empty());
    EXPECT_EQ(job.targetBitDepth, 0);
    EXPECT_EQ(job.saveFlags, 0);
    EXPECT_FALSE(job.automaticDepth);
    EXPECT_EQ(job.outputFormatId, engine::ConversionJob{}.outputFormatId);
    EXPECT_EQ(registry.acceptedInputExtensions, accepted);
    EXPECT_EQ(accepted.size(), 48u);
}

TEST(ResetRunState, RandomNumberStaysInRangeAndVaries)
{
    std::set<std::int32_t> seen;
    for (int i = 0; i < 200; ++i) {
        const std::int32_t n = engine::drawRandomNumber();
        ASSERT_GE(n, 1);
        ASSERT_LE(n, 99999);
        seen.insert(n);
    }
    EXPECT_GT(seen.size(), 150u); // 200 draws from 99999 values repeat rarely
}

} // namespace
