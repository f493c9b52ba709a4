#include "support/cli_program_runner.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace clitest {

TempFolder::TempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "pixelvane-cli-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
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

    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (!entry.starts_with("XDG_RUNTIME_DIR=") && !entry.starts_with("XDG_CONFIG_HOME="))
            environment.push_back(entry);
    }
    environment.push_back("XDG_RUNTIME_DIR=" + runtime.string());
    environment.push_back("XDG_CONFIG_HOME=" + config.string());

    std::vector<std::string> argv{PIXELVANE_BINARY};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argvPointers;
    for (std::string& a : argv)
        argvPointers.push_back(a.data());
    argvPointers.push_back(nullptr);
    std::vector<char*> envPointers;
    for (std::string& e : environment)
        envPointers.push_back(e.data());
    envPointers.push_back(nullptr);

    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
    const pid_t child = fork();
    if (child == 0) {
        const int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        close(out[0]);
        close(err[0]);
        if (chdir(workingFolder.c_str()) != 0) _exit(126);
        execve(argvPointers[0], argvPointers.data(), envPointers.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);

    std::string stdoutText;
    std::string stderrText;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    char buffer[4096];
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? stdoutText : stderrText).append(buffer, static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }

    ProgramRun run;
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.lines = splitLines(stdoutText);
    run.errors = stderrText;
    return run;
}

} // namespace clitest
