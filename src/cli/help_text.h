// The console help: usage, examples and the main options, printed by -h, -? and --help.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The program's own file name without folder and extension, from the path it was started by
// (argv[0]): "/usr/bin/pixelvane" gives "pixelvane". Falls back to the product's name.
[[nodiscard]] std::string programName(std::string_view startPath);

// The 38 help lines, without line ends; a line meant to look empty holds one space. The examples
// use `name` for the program, an entry of `inputFormats` picked by `seed` for each example file,
// and the first entry of `outputFormats` as conversion type (empty entries are never used).
[[nodiscard]] std::vector<std::string> helpLines(std::string_view name, const std::vector<std::string>& inputFormats,
                                                 const std::vector<std::string>& outputFormats, std::uint32_t seed);

// The help text as printed: the lines for this build's format lists, each ended by "\n".
[[nodiscard]] std::string helpText(std::string_view name);

} // namespace cli
