#include "filelist_fixtures.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

namespace filelist_fixtures {

std::string TempFolder::write(std::string_view relative, std::string_view bytes) const
{
    const std::string full = *this / relative;
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + full);
    return full;
}

std::string TempFolder::file(std::string_view relative, std::size_t size) const
{
    return write(relative, std::string(size, 'x'));
}

std::string TempFolder::folder(std::string_view relative) const
{
    std::string full = *this / relative;
    fs::create_directories(full);
    if (full.back() != '/')
        full.push_back('/');
    return full;
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void startProgress(engine::ProgressState& progress)
{
    std::lock_guard guard(progress.lock);
    progress.currentIndex = 0;
    progress.currentFile.clear();
    progress.convertedCount = 0;
    progress.running = true;
}

} // namespace filelist_fixtures
