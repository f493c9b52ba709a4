#include "filelist/folder_scan.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace filelist {

bool stillRunning(engine::ProgressState& progress)
{
    std::lock_guard guard(progress.lock);
    return progress.running;
}

std::string withTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder.push_back('/');
    return folder;
}

bool nameBefore(std::string_view a, std::string_view b)
{
    // Letter case does not separate "b.nef" from "B.NEF" as plain byte order would ("Z" < "a");
    // the bytes decide only between names that differ in case alone.
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : static_cast<unsigned char>(c); };
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (lower(a[i]) != lower(b[i]))
            return lower(a[i]) < lower(b[i]);
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::int64_t countFolderEntries(const std::string& folder)
{
    if (folder.empty() || folder.find('\0') != std::string::npos)
        return 0;
    std::int64_t count = 0;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec))
        ++count;
    return count;
}

bool FolderScan::stopped() const
{
    return m_progress != nullptr && !stillRunning(*m_progress);
}

std::vector<FolderScan::Entry> FolderScan::enter(const std::string& folder)
{
    std::vector<Entry> entries;
    struct stat info {};
    if (folder.find('\0') != std::string::npos || ::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return entries;
    if (!m_entered.emplace(info.st_dev, info.st_ino).second)
        return entries;

    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        // is_directory follows links, so a link to a folder is walked like the folder itself.
        const bool isFolder = it->is_directory(typeError);
        entries.push_back(Entry{it->path().filename().string(), isFolder && !typeError});
    }
    // The system hands entries out in no useful order; users expect the list in name order.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return nameBefore(a.name, b.name); });
    return entries;
}

int FolderScan::addEntry(const std::string& folder, const Entry& entry)
{
    if (entry.isFolder)
        return addTree(folder + entry.name + '/');
    return addFile(m_ctx, folder + entry.name) ? 1 : 0;
}

int FolderScan::addTree(const std::string& folder)
{
    if (folder.empty())
        return 0;
    const std::string base = withTrailingSlash(folder);
    int added = 0;
    for (const Entry& entry : enter(base)) {
        if (stopped())
            break;
        added += addEntry(base, entry);
    }
    return added;
}

int FolderScan::addTopLevel(const std::string& folder)
{
    if (folder.empty() || m_progress == nullptr)
        return 0;
    const std::string base = withTrailingSlash(folder);
    int added = 0;
    for (const Entry& entry : enter(base)) {
        if (stopped())
            break;
        {
            std::lock_guard guard(m_progress->lock);
            ++m_progress->currentIndex;
        }
        added += addEntry(base, entry);
    }
    return added;
}

} // namespace filelist
