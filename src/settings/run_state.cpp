#include "settings/run_state.h"

#include <filesystem>
#include <system_error>

namespace settings
{

std::string executableFolder()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string folder = ec ? std::filesystem::current_path(ec).string() : exe.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

void resetRunValues(RunState& run)
{
    run.programFolder = executableFolder();
    run.consoleRun = false;
    run.iconChange = 0;
    run.preferencesStartPage = 0;
}

} // namespace settings
