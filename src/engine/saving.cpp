#include "engine/saving.h"

#include "engine/metadata.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

namespace engine {

namespace fs = std::filesystem;

namespace {

// Reserves a fresh hidden file name in `folder` (created empty, exclusively), so the encoder never
// writes over anything that was there. Empty when the folder cannot take a file.
std::string reserveTemporaryFile(const fs::path& folder)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = ".pixelvane-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
        const std::string path = (folder / name).string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) return {};
    }
    return {};
}

} // namespace

bool isSameFile(const std::string& a, const std::string& b) noexcept
{
    std::error_code ec;
    if (fs::equivalent(a, b, ec) && !ec) return true;
    const fs::path ca = fs::weakly_canonical(a, ec);
    if (ec) return false;
    const fs::path cb = fs::weakly_canonical(b, ec);
    if (ec) return false;
    return ca == cb;
}

bool saveImage(FIBITMAP* image, int formatId, int flags, const std::string& outputPath,
               const std::string& metadataSource) noexcept
{
    try {
        if (!image || outputPath.empty()) return false;
        // Writing the output over its own input would destroy the original photo.
        if (!metadataSource.empty() && isSameFile(outputPath, metadataSource)) return false;

        fs::path folder = fs::path(outputPath).parent_path();
        if (folder.empty()) folder = ".";
        const std::string temporary = reserveTemporaryFile(folder);
        if (temporary.empty()) return false;

        bool ok = FreeImage_Save(static_cast<FREE_IMAGE_FORMAT>(formatId), image, temporary.c_str(), flags);
        if (ok && !metadataSource.empty()) {
            copyFileMetadata(metadataSource, temporary, static_cast<int>(FreeImage_GetWidth(image)),
                             static_cast<int>(FreeImage_GetHeight(image)));
        }
        std::error_code ec;
        if (ok) {
            fs::rename(temporary, outputPath, ec);
            ok = !ec;
        }
        if (!ok) fs::remove(temporary, ec);
        return ok;
    } catch (...) {
        return false;
    }
}

} // namespace engine
