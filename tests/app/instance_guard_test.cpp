#include "app/instance_guard.h"

#include "support/app_run_program.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using app::InstanceGuard;
using Outcome = InstanceGuard::Outcome;

TEST(InstanceGuard, LockPathIsNamedAfterTheTitle)
{
    EXPECT_EQ(app::instanceLockPath("Pixelvane 2.8", "/run/user/1000"), "/run/user/1000/Pixelvane 2.8.lock");
    // No usable runtime folder: the temp folder, with the user in the name.
    const auto fallback = app::fallbackInstanceLockPath("Pixelvane 2.8");
    EXPECT_EQ(fallback.filename().string(), "Pixelvane 2.8-" + std::to_string(::getuid()) + ".lock");
    EXPECT_EQ(app::instanceLockPath("Pixelvane 2.8", ""), fallback);
    EXPECT_EQ(app::instanceLockPath("Pixelvane 2.8", "relative/dir"), fallback);
}

TEST(InstanceGuard, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    testsupport::TempFolder dir;
    const auto lock = dir.path() / "Pixelvane 2.8.lock";

    InstanceGuard first = InstanceGuard::acquire(lock);
    ASSERT_EQ(first.outcome(), Outcome::Acquired);
    {
        const InstanceGuard second = InstanceGuard::acquire(lock);
        EXPECT_EQ(second.outcome(), Outcome::AnotherCopy);
        EXPECT_FALSE(second.held());
    }
    EXPECT_EQ(InstanceGuard::acquire(lock).outcome(), Outcome::AnotherCopy);   // a refused try takes nothing away

    InstanceGuard moved = std::move(first);
    EXPECT_TRUE(moved.held());
    EXPECT_EQ(InstanceGuard::acquire(lock).outcome(), Outcome::AnotherCopy);
    moved.release();
    EXPECT_TRUE(std::filesystem::exists(lock));
    EXPECT_EQ(InstanceGuard::acquire(lock).outcome(), Outcome::Acquired);
}

TEST(InstanceGuard, UnusableLockFileIsReportedNotMistakenForAnotherCopy)
{
    testsupport::TempFolder dir;
    EXPECT_EQ(InstanceGuard::acquire(dir.path() / "missing" / "x.lock").outcome(), Outcome::Unavailable);
    // A symlink is never followed: it could point at any file of the user.
    const auto target = dir.path() / "precious.txt";
    std::ofstream(target) << "keep";
    std::filesystem::create_symlink(target, dir.path() / "link.lock");
    EXPECT_EQ(InstanceGuard::acquire(dir.path() / "link.lock").outcome(), Outcome::Unavailable);
    EXPECT_EQ(std::filesystem::file_size(target), 4u);
}

TEST(InstanceGuard, ProgramsStartedByTheHolderDoNotInheritTheLock)
{
    testsupport::TempFolder dir;
    const auto lock = dir.path() / "Pixelvane 2.8.lock";
    InstanceGuard guard = InstanceGuard::acquire(lock);
    ASSERT_TRUE(guard.held());

    // Like a browser opened from the Help menu, a child outlives the lock holder's interest.
    char sleepPath[] = "/bin/sleep";
    char seconds[] = "30";
    char* argv[] = {sleepPath, seconds, nullptr};
    pid_t child = -1;
    ASSERT_EQ(::posix_spawn(&child, sleepPath, nullptr, nullptr, argv, environ), 0);

    guard.release();
    const Outcome next = InstanceGuard::acquire(lock).outcome();
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(next, Outcome::Acquired);
}

} // namespace
