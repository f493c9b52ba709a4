#include "cli/progress_display.h"

#include <cstdio>
#include <ostream>
#include <vector>

#include <sys/ioctl.h>
#include <unistd.h>

namespace cli {
namespace {

// Byte offsets where the UTF-8 code points of `text` start.
std::vector<std::size_t> codePointStarts(std::string_view text)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
    return starts;
}

std::string fileName(std::string_view path)
{
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace

std::string shortenMiddle(std::string_view text, std::size_t width)
{
    const std::vector<std::size_t> starts = codePointStarts(text);
    if (starts.size() <= width) return std::string(text);
    if (width <= 3) return std::string(width, '.');
    const std::size_t keep = width - 3;
    const std::size_t head = (keep + 1) / 2;
    const std::size_t tail = keep - head;
    std::string out(text.substr(0, starts[head]));
    out += "...";
    out += text.substr(starts[starts.size() - tail]);
    return out;
}

std::string progressLine(int done, int total, std::string_view file, std::chrono::seconds elapsed,
                         std::size_t width)
{
    const long long seconds = elapsed.count();
    char clock[32];
    if (seconds >= 3600)
        std::snprintf(clock, sizeof clock, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    else
        std::snprintf(clock, sizeof clock, "%lld:%02lld", seconds / 60, seconds % 60);

    const std::string count = std::to_string(done) + "/" + std::to_string(total);
    const std::size_t fixed = count.size() + 2 + 2 + std::string_view(clock).size();
    std::string line = count;
    if (!file.empty() && width > fixed + 3) {
        line += "  ";
        line += shortenMiddle(fileName(file), width - fixed);
    }
    line += "  ";
    line += clock;
    return shortenMiddle(line, width);
}

ProgressDisplay::ProgressDisplay(std::ostream& out, std::size_t width)
    : m_out(out), m_width(width > 1 ? width - 1 : 1)
{
}

ProgressDisplay::~ProgressDisplay()
{
    if (!m_shown.empty()) {
        m_out << "\r\033[K";
        m_out.flush();
    }
}

void ProgressDisplay::show(int done, int total, std::string_view file, std::chrono::seconds elapsed)
{
    std::string line = progressLine(done, total, file, elapsed, m_width);
    if (line == m_shown) return;
    m_out << '\r' << line << "\033[K";
    m_out.flush();
    m_shown = std::move(line);
}

std::size_t terminalWidth()
{
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

} // namespace cli
