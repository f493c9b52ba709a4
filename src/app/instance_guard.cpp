#include "app/instance_guard.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

std::filesystem::path instanceLockPath(std::string_view title, std::string_view runtimeDir)
{
    const std::filesystem::path dir(runtimeDir);
    if (!runtimeDir.empty() && dir.is_absolute()) return dir / (std::string(title) + ".lock");
    return fallbackInstanceLockPath(title);
}

std::filesystem::path instanceLockPath(std::string_view title)
{
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    return instanceLockPath(title, runtimeDir ? runtimeDir : "");
}

std::filesystem::path fallbackInstanceLockPath(std::string_view title)
{
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    return dir / (std::string(title) + "-" + std::to_string(::getuid()) + ".lock");
}

InstanceGuard InstanceGuard::acquire(const std::filesystem::path& lockFile)
{
    // Close-on-exec: a browser or file manager started from the program must not inherit the
    // lock and keep the next start out after this copy has ended.
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return InstanceGuard(-1, Outcome::Unavailable);

    // In a shared temp folder someone else could have planted the file; it is not ours to trust.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid() || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return InstanceGuard(-1, Outcome::Unavailable);
    }

    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) return InstanceGuard(fd, Outcome::Acquired);

    const Outcome outcome = errno == EWOULDBLOCK ? Outcome::AnotherCopy : Outcome::Unavailable;
    ::close(fd);
    return InstanceGuard(-1, outcome);
}

InstanceGuard::InstanceGuard(InstanceGuard&& other) noexcept : m_fd(other.m_fd), m_outcome(other.m_outcome)
{
    other.m_fd = -1;
    other.m_outcome = Outcome::Unavailable;
}

InstanceGuard& InstanceGuard::operator=(InstanceGuard&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        m_outcome = other.m_outcome;
        other.m_fd = -1;
        other.m_outcome = Outcome::Unavailable;
    }
    return *this;
}

InstanceGuard::~InstanceGuard()
{
    release();
}

void InstanceGuard::release()
{
    // Closing the only descriptor of the open file drops the lock. The file itself stays: removing
    // it would let a third copy lock a fresh file while a second still holds the old one.
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (m_outcome == Outcome::Acquired) m_outcome = Outcome::Unavailable;
}

} // namespace app
