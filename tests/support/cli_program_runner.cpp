#include "support/cli_program_runner.h"

#include <algorithm>
#include <fstream>

namespace clitest {

Lines withHeading(std::initializer_list<std::string> lines)
{
    Lines all = {"Pixelvane 2.8", "(c) 2009-2026 Vorndale", "https://www.vorndale.com/pixelvane", " "};
    all.insert(all.end(), lines);
    return all;
}

Lines filesBelow(const fs::path& folder)
{
    Lines files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_regular_file()) files.push_back(fs::relative(it->path(), folder).string());
    std::sort(files.begin(), files.end());
    return files;
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

namespace {

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace

ProgramRun runProgram(const std::vector<std::string>& arguments, const fs::path& workingFolder)
{
    const fs::path runtime = workingFolder / ".runtime";
    const fs::path config = workingFolder / ".config";
    fs::create_directories(runtime);
    fs::create_directories(config);

    const testsupport::ProgramRun child = testsupport::runProgram(
        PIXELVANE_BINARY, arguments,
        {"XDG_RUNTIME_DIR=" + runtime.string(), "XDG_CONFIG_HOME=" + config.string()},
        std::chrono::seconds(120), workingFolder);
    ProgramRun run;
    run.status = child.exitStatus;
    run.lines = splitLines(child.out);
    run.errors = child.err;
    return run;
}

} // namespace clitest
