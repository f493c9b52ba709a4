// Only one copy of the program runs at a time: the first copy holds an exclusive lock on a file
// named after the program's title; a later copy finds it locked. The kernel drops the lock when
// the holder ends, however it ends, so a crash never leaves a stale guard behind.
#pragma once

#include <filesystem>
#include <string_view>

namespace app {

// Where the lock of `title` lives: "<runtimeDir>/<title>.lock" when `runtimeDir` (normally
// $XDG_RUNTIME_DIR, private to the user) is an absolute path; otherwise in the temp folder,
// where the user id is added to the name so that users never block each other.
[[nodiscard]] std::filesystem::path instanceLockPath(std::string_view title, std::string_view runtimeDir);
// The same for this process: reads XDG_RUNTIME_DIR.
[[nodiscard]] std::filesystem::path instanceLockPath(std::string_view title);
// The temp-folder variant of instanceLockPath(), used when the runtime folder is unusable.
[[nodiscard]] std::filesystem::path fallbackInstanceLockPath(std::string_view title);

class InstanceGuard {
public:
    enum class Outcome {
        Acquired,      // this process is the only copy; the lock is held until destruction
        AnotherCopy,   // another process holds the lock
        Unavailable,   // the lock file could not be opened or locked (nothing is held)
    };

    // Creates the lock file if needed (mode 0600, never through a symlink, never one owned by
    // another user) and tries to lock it without waiting.
    [[nodiscard]] static InstanceGuard acquire(const std::filesystem::path& lockFile);

    InstanceGuard(InstanceGuard&& other) noexcept;
    InstanceGuard& operator=(InstanceGuard&& other) noexcept;
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;
    ~InstanceGuard();

    [[nodiscard]] Outcome outcome() const { return m_outcome; }
    [[nodiscard]] bool held() const { return m_outcome == Outcome::Acquired; }
    // Gives the lock up now (the destructor does the same).
    void release();

private:
    InstanceGuard(int fd, Outcome outcome) : m_fd(fd), m_outcome(outcome) {}

    int m_fd = -1;
    Outcome m_outcome = Outcome::Unavailable;
};

} // namespace app
