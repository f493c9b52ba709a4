#include "filelist/list_file.h"

#include "filelist/folder_scan.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace filelist {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The length of a byte-order mark (UTF-8, UTF-16 or UTF-32, either byte order) at the start of
// `head`, or 0. Only the mark is skipped: the rest is always read as UTF-8.
std::size_t byteOrderMarkLength(std::string_view head)
{
    using namespace std::string_view_literals;
    for (const std::string_view mark : {"\xEF\xBB\xBF"sv, "\xFF\xFE\0\0"sv, "\0\0\xFE\xFF"sv, "\xFF\xFE"sv, "\xFE\xFF"sv}) {
        if (head.starts_with(mark))
            return mark.size();
    }
    return 0;
}

void skipByteOrderMark(std::ifstream& in)
{
    std::array<char, 4> head{};
    in.read(head.data(), head.size());
    const auto got = static_cast<std::size_t>(in.gcount());
    in.clear();
    in.seekg(static_cast<std::streamoff>(byteOrderMarkLength(std::string_view(head.data(), got))));
}

std::string_view trimSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// One line of a list: adds what it names, returns the number of files added.
int importLine(const AddContext& ctx, FolderScan& scan, std::string_view line, engine::ProgressState& progress)
{
    const std::string path(trimSpaces(line));
    // A NUL (a UTF-16 list read as UTF-8 is full of them) would make the system see a shorter path,
    // "/" in the worst case: such a line names nothing.
    if (path.empty() || path.find('\0') != std::string::npos)
        return 0;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return 0;
    {
        std::lock_guard guard(progress.lock);
        ++progress.currentIndex;
    }
    if (S_ISDIR(info.st_mode))
        return scan.addTree(withTrailingSlash(path));
    return addFile(ctx, path) ? 1 : 0;
}

// Writes a file under a temporary name beside it and renames it into place on commit, so the
// previous file survives any failure.
class ReplacingFile {
public:
    explicit ReplacingFile(const std::string& target) : m_target(target)
    {
        static std::atomic<unsigned> serial{0};
        const std::size_t slash = target.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            m_temp = folder + '.' + name + '.' + std::to_string(::getpid()) + '-' + std::to_string(serial++) + ".tmp";
            m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        if (m_fd < 0) {
            // The folder may refuse new names while the file itself is writable: write in place.
            m_temp.clear();
            m_fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        }
    }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_temp.empty())
            ::unlink(m_temp.c_str());
    }

    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }

    void write(std::string_view bytes)
    {
        m_buffer.append(bytes);
        if (m_buffer.size() >= kFlushSize)
            flush();
    }

    // Puts the file in place; false (and the previous file untouched) when anything failed.
    [[nodiscard]] bool commit()
    {
        flush();
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            m_failed = true;
        if (m_failed)
            return false;
        if (m_temp.empty())
            return true;
        if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
            return false;
        m_temp.clear();
        return true;
    }

private:
    static constexpr std::size_t kFlushSize = 64 * 1024;

    void flush()
    {
        std::string_view rest = m_buffer;
        while (!rest.empty() && !m_failed) {
            const ssize_t n = ::write(m_fd, rest.data(), rest.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                m_failed = true;
            else
                rest.remove_prefix(static_cast<std::size_t>(n));
        }
        m_buffer.clear();
    }

    std::string m_target;
    std::string m_temp;
    std::string m_buffer;
    int m_fd = -1;
    bool m_failed = false;
};

} // namespace

int importList(const AddContext& ctx, const std::string& listFile, engine::ProgressState& progress)
{
    int added = 0;
    std::ifstream in(listFile, std::ios::binary);
    if (in) {
        skipByteOrderMark(in);
        FolderScan scan(ctx, &progress);
        std::string chunk;
        bool stopped = false;
        // getline splits at LF; what is left of a CR LF is the CR, and a lone CR ends a line too.
        while (!stopped && std::getline(in, chunk, '\n')) {
            if (!chunk.empty() && chunk.back() == '\r')
                chunk.pop_back();
            std::string_view rest = chunk;
            for (;;) {
                if (!stillRunning(progress)) {
                    stopped = true;
                    break;
                }
                const std::size_t cr = rest.find('\r');
                added += importLine(ctx, scan, rest.substr(0, cr), progress);
                if (cr == std::string_view::npos)
                    break;
                rest.remove_prefix(cr + 1);
            }
        }
    }
    std::lock_guard guard(progress.lock);
    progress.convertedCount += added;
    return added;
}

int exportList(const std::string& listFile, std::span<const std::string> rows, engine::ProgressState& progress)
{
    int written = 0;
    ReplacingFile out(listFile);
    if (out.isOpen()) {
        out.write(kUtf8Mark);
        int taken = 0;
        for (const std::string& row : rows) {
            if (!stillRunning(progress))
                break;
            {
                std::lock_guard guard(progress.lock);
                progress.currentIndex = ++taken;
            }
            if (row.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
                continue; // it would read back as several lines naming other paths
            out.write(row);
            out.write("\r\n");
            ++written;
        }
        if (!out.commit())
            written = 0;
    }
    std::lock_guard guard(progress.lock);
    progress.convertedCount += written;
    return written;
}

std::int64_t countListLines(const std::string& listFile)
{
    std::ifstream in(listFile, std::ios::binary);
    if (!in)
        return 0;
    std::int64_t feeds = 0;
    std::array<char, 64 * 1024> block{};
    while (in) {
        in.read(block.data(), block.size());
        const std::streamsize got = in.gcount();
        for (std::streamsize i = 0; i < got; ++i)
            feeds += block[static_cast<std::size_t>(i)] == '\n' ? 1 : 0;
    }
    if (in.bad())
        return 0;
    return feeds + 1;
}

} // namespace filelist
