#include "app/program_files.h"

#include <sys/stat.h>

#include "placement/position_file.h"

#ifndef SOUSUO_MODULE_DIR
#define SOUSUO_MODULE_DIR ""
#endif
#ifndef SOUSUO_MODULE_DIR_FROM_BIN
#define SOUSUO_MODULE_DIR_FROM_BIN ""
#endif
#ifndef SOUSUO_BUILD_MODULE_DIR
#define SOUSUO_BUILD_MODULE_DIR ""
#endif

namespace sousuo {

std::string findProgramFile(std::string_view fileName) {
    const std::string here = runDirectory();
    const std::string relative = SOUSUO_MODULE_DIR_FROM_BIN;
    const std::string folders[] = {here, here.empty() || relative.empty() ? "" : here + "/" + relative,
                                   SOUSUO_MODULE_DIR, SOUSUO_BUILD_MODULE_DIR};
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        std::string path = folder;
        if (path.back() != '/') path += '/';
        path += fileName;
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) return path;
    }
    return {};
}

}  // namespace sousuo
