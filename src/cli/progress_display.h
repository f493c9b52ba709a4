// The one-line progress display of a console run on a terminal: files done of the total, the file
// in hand (shortened in the middle to fit) and the time since the conversion started. Drawn on
// standard error with a carriage return, so standard output keeps only the run's own lines.
#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace cli {

// `text` cut to at most `width` characters (UTF-8 code points) by replacing its middle with "...";
// unchanged when it fits.
[[nodiscard]] std::string shortenMiddle(std::string_view text, std::size_t width);

// The display line, at most `width` characters: "3/10  IMG_0042.dng  0:07".
[[nodiscard]] std::string progressLine(int done, int total, std::string_view file,
                                       std::chrono::seconds elapsed, std::size_t width);

class ProgressDisplay {
  public:
    // Draws on `out`, `width` columns wide.
    ProgressDisplay(std::ostream& out, std::size_t width);
    ~ProgressDisplay(); // clears the line
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    // Redraws when the line differs from the one shown.
    void show(int done, int total, std::string_view file, std::chrono::seconds elapsed);

  private:
    std::ostream& m_out;
    std::size_t m_width;
    std::string m_shown;
};

// Columns of the terminal on standard error; 80 when it does not say.
[[nodiscard]] std::size_t terminalWidth();

} // namespace cli
