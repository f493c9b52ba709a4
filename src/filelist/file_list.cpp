#include "filelist/file_list.h"

#include "filelist/folder_scan.h"

#include <algorithm>
#include <unordered_set>

#include <sys/stat.h>

namespace filelist {

namespace {

// Enough buckets for a typical card's worth of files before the first rehash.
constexpr std::size_t kInitialBuckets = 512;

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

FileList::FileList()
{
    m_index.reserve(kInitialBuckets);
}

bool FileList::insert(std::string path, std::string subfolder)
{
    if (m_index.contains(path))
        return false;
    m_index.emplace(path, m_entries.size());
    m_entries.push_back(engine::InputFile{std::move(path), std::move(subfolder)});
    return true;
}

void FileList::reindexFrom(std::size_t first)
{
    for (std::size_t i = first; i < m_entries.size(); ++i)
        m_index.find(m_entries[i].path)->second = i;
}

bool FileList::remove(std::string_view path)
{
    const auto it = m_index.find(path);
    if (it == m_index.end())
        return false;
    const std::size_t position = it->second;
    m_index.erase(it);
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(position));
    reindexFrom(position);
    return true;
}

std::size_t FileList::removeAll(const std::vector<std::string>& paths)
{
    std::size_t first = m_entries.size();
    std::size_t removed = 0;
    for (const std::string& path : paths) {
        const auto it = m_index.find(path);
        if (it == m_index.end())
            continue;
        first = std::min(first, it->second);
        m_entries[it->second].path.clear(); // marks the slot; a stored key is never empty
        m_index.erase(it);
        ++removed;
    }
    if (removed == 0)
        return 0;
    const auto tail = std::remove_if(m_entries.begin() + static_cast<std::ptrdiff_t>(first), m_entries.end(),
                                     [](const engine::InputFile& e) { return e.path.empty(); });
    m_entries.erase(tail, m_entries.end());
    reindexFrom(first);
    return removed;
}

void FileList::clear()
{
    m_entries.clear();
    m_index.clear();
}

bool FileList::contains(std::string_view path) const
{
    return m_index.find(path) != m_index.end();
}

const engine::InputFile* FileList::find(std::string_view path) const
{
    const auto it = m_index.find(path);
    return it == m_index.end() ? nullptr : &m_entries[it->second];
}

std::vector<std::string> FileList::paths() const
{
    std::vector<std::string> out;
    out.reserve(m_entries.size());
    for (const engine::InputFile& e : m_entries)
        out.push_back(e.path);
    return out;
}

std::string_view extensionOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

std::string subfolderOf(std::string_view path, std::string_view base)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || base.empty())
        return {};
    const std::string_view folder = path.substr(0, slash + 1);

    // Only a folder that starts with the whole base lies under it: a base found somewhere in the
    // middle ("/in/" inside "/data/in/") says nothing about where the file belongs.
    const bool baseHasSlash = base.back() == '/';
    if (!folder.starts_with(base) || (!baseHasSlash && folder.size() > base.size() && folder[base.size()] != '/'))
        return {};
    std::string_view rest = folder.substr(base.size());

    // Rebuild the remainder from its names: doubled slashes collapse, and a "." or ".." would let
    // the output climb out of the output folder, so such a path gets no sub-folder at all.
    std::string out;
    while (!rest.empty()) {
        const std::size_t end = rest.find('/');
        const std::string_view name = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (name.empty())
            continue;
        if (name == "." || name == "..")
            return {};
        out.append(name);
        out.push_back('/');
    }
    return out;
}

bool addFile(const AddContext& ctx, const std::string& path)
{
    // The cheap tests come first: a folder scan meets many files of other kinds.
    const std::string_view extension = extensionOf(path);
    if (extension.empty())
        return false;
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
    if (!engine::isAcceptedInput(ctx.registry, lower))
        return false;
    if (ctx.files.contains(path))
        return false;

    // Only an existing regular file with content can be converted. A NUL inside the text would
    // make the system look at a different, shorter path.
    if (path.find('\0') != std::string::npos)
        return false;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
        return false;

    ctx.files.insert(path, subfolderOf(path, ctx.job.inputFolder));
    if (ctx.files.desktopHook)
        ctx.files.desktopHook(path);
    return true;
}

int addFolderTree(const AddContext& ctx, const std::string& folder)
{
    FolderScan scan(ctx, nullptr);
    return scan.addTree(folder);
}

int importFolder(const AddContext& ctx, engine::ProgressState& progress)
{
    int added = 0;
    const std::string& root = ctx.job.inputFolder;
    if (!root.empty()) {
        FolderScan scan(ctx, &progress);
        added = scan.addTopLevel(root);
    }
    std::lock_guard guard(progress.lock);
    progress.convertedCount += added;
    return added;
}

} // namespace filelist
