#include "placement/position_file.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace sousuo {

std::string runDirectory() {
    std::error_code error;
    const std::string executable = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error) return {};
    const std::size_t slash = executable.rfind('/');
    if (slash == std::string::npos) return {};
    return executable.substr(0, slash);
}

std::string positionFilePath(const AppContext& context) {
    const std::string name(PositionFileName);
    const std::string& folder = context.runDirectory;
    if (!folder.empty() && ::access(folder.c_str(), W_OK) == 0) return folder + "/" + name;
    if (!context.userConfigDir.empty()) return context.userConfigDir + "/sousuo/" + name;
    if (!folder.empty()) return folder + "/" + name;
    return {};
}

}  // namespace sousuo
