#include "cli/batch_steps.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace cli {
namespace {

struct CatalogueText {
    std::string_view group, key, text;
};

// TODO: take these from the message catalogue.
constexpr CatalogueText kTexts[] = {
    {"General", "Preparing", "Preparing..."},
    {"General", "Importing", "Importing..."},
    {"General", "Converting", "Converting..."},
    {"Msg", "Import complete", "Import complete, new files added: %s1%"},
    {"Msg", "Conversion is not complete", "Conversion stopped"},
    {"Msg", "Empty input files", "No input file(s) found. Please, add valid file(s) and try again!"},
    {"Msg", "Conversion complete", "Conversion complete"},
    {"Msg", "Files converted", "Files converted: %s1% of %s2%"},
};

// The family fontconfig picks for `family`, asked through fc-match without any shell.
std::string matchedFamily(const std::string& family)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execlp("fc-match", "fc-match", "-f", "%{family}", family.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    std::array<char, 256> buffer{};
    ssize_t n = 0;
    while ((n = read(fds[0], buffer.data(), buffer.size())) > 0)
        out.append(buffer.data(), static_cast<std::size_t>(n));
    close(fds[0]);
    if (child > 0)
        waitpid(child, nullptr, 0);
    return out;
}

bool sameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::string uiText(std::string_view group, std::string_view key)
{
    for (const CatalogueText& t : kTexts)
        if (t.group == group && t.key == key)
            return std::string(t.text);
    return {};
}

std::string formatText(std::string text, std::initializer_list<std::string> values)
{
    int n = 1;
    for (const std::string& value : values) {
        const std::string token = "%s" + std::to_string(n++) + "%";
        for (auto at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
            text.replace(at, token.size(), value);
    }
    return text;
}

struct BatchResources::State {
    bool fontLoaded = false;
};

BatchResources::BatchResources() : m_state(new State) {}
BatchResources::~BatchResources() { delete m_state; }

bool BatchResources::loadWatermarkFont(const settings::WatermarkSettings& w)
{
    // fontconfig answers with a comma-separated list of family names for the face it picked. A
    // face of another family counts only when it is not the fallback every unknown name gets
    // (an alias such as Arial to Liberation Sans).
    const std::string matched = matchedFamily(w.font);
    if (matched.empty())
        return false;
    std::string_view rest = matched;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        if (sameText(rest.substr(0, comma), w.font))
            return m_state->fontLoaded = true;
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    }
    return m_state->fontLoaded = matched != matchedFamily("No Such Face Pixelvane");
}

int importInput(BatchContext& ctx, BatchResources& resources)
{
    // TODO: the file list's imports.
    return 0;
}

int convertFiles(BatchContext& ctx, BatchResources& resources, bool debug, bool quiet)
{
    // TODO: the engine's worker.
    return 0;
}

} // namespace cli
