// The program's command line.
#include "gui/sysutils.h"

#include <windows.h>

#include <optional>

namespace {

std::optional<std::vector<std::string>>& Params()
{
    static std::optional<std::vector<std::string>> params;
    return params;
}

std::string ModulePath()
{
    std::string path(260, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut: ask again with room
    }
}

}  // namespace

int ParamCount()
{
    const auto& params = Params();
    return params && !params->empty() ? static_cast<int>(params->size()) - 1 : 0;
}

std::string ParamStr(int index)
{
    const auto& params = Params();
    if (!params) return index == 0 ? ModulePath() : std::string();
    if (index < 0 || static_cast<std::size_t>(index) >= params->size()) return {};
    return (*params)[static_cast<std::size_t>(index)];
}

void SetParams(std::vector<std::string> params)
{
    Params() = std::move(params);
}

void SetParams(int argc, char** argv)
{
    std::vector<std::string> params{ModulePath()};
    for (int i = 1; i < argc; ++i) params.emplace_back(argv[i]);
    SetParams(std::move(params));
}
