#include "placement/file_attributes.h"

#include <sys/stat.h>

namespace sousuo {

bool setFileAttributes(const std::string& path, std::uint32_t attributes) {
    attributes &= 0x27;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & FileReadOnly) != 0 ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
    return ::chmod(path.c_str(), mode) == 0;
}

}  // namespace sousuo
