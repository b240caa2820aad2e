#pragma once
// Whole small files in and out. The replacement never leaves a half-written file: the new contents
// go into a file beside the old one, which is then renamed over it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace sousuo {

enum class ReadStatus : std::uint8_t {
    read,     // bytes holds the whole file
    missing,  // no file at the path
    failed,   // there is something at the path, but it could not be read as a regular file
};

struct FileContents {
    ReadStatus status = ReadStatus::missing;
    std::string bytes;
};

FileContents readFileContents(const std::string& path);

/// The steps of a replacement, in order.
enum class ReplaceStep : std::uint8_t {
    createTemporary,   // a new file beside the target, with the target's permissions
    writeTemporary,    // the whole contents into it
    syncTemporary,     // to the disk, then closed
    renameOverTarget,  // the one step that makes the new contents visible
    syncDirectory,     // the rename to the disk
};

/// Asked before each step; false makes that step fail as an I/O error would. Tests use it to cut
/// a replacement at any point; the program passes none.
using ReplaceStepCheck = std::function<bool(ReplaceStep)>;

/// Replaces the file's contents as a whole, or leaves the old file as it was. A target without
/// the owner's write permission (a read-only file) or that is no regular file is refused. A file
/// created here gets the usual permissions (0666 less the umask); a replaced one keeps its own.
/// True once the new contents are in place.
bool replaceFileContents(const std::string& path, std::string_view contents,
                         const ReplaceStepCheck& check = {});

}  // namespace sousuo
