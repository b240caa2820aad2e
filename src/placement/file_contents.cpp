#include "placement/file_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "placement/unique_fd.h"

namespace sousuo {
namespace {

// Far beyond any position file; a larger one is not read into memory at all.
constexpr off_t MaxFileSize = 16 * 1024 * 1024;

// Removes the temporary file unless the rename has taken it over.
class PendingFile {
public:
    PendingFile() = default;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    void own(std::string path) { path_ = std::move(path); }
    const std::string& path() const { return path_; }
    void release() { path_.clear(); }

private:
    std::string path_;
};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A fresh name beside the target; O_EXCL makes sure no other file (another instance's pending
// save included) is ever overwritten.
UniqueFd createBeside(const std::string& path, PendingFile& pending) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name =
            path + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
        UniqueFd fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd) {
            pending.own(std::move(name));
            return fd;
        }
        if (errno != EEXIST) break;
    }
    return UniqueFd();
}

bool writeAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

FileContents readFileContents(const std::string& path) {
    FileContents result;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        result.status =
            errno == ENOENT || errno == ENOTDIR ? ReadStatus::missing : ReadStatus::failed;
        return result;
    }
    result.status = ReadStatus::failed;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > MaxFileSize) {
        return result;
    }
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return result;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (static_cast<off_t>(bytes.size()) > MaxFileSize) return result;
    }
    result.status = ReadStatus::read;
    result.bytes = std::move(bytes);
    return result;
}

bool replaceFileContents(const std::string& path, std::string_view contents,
                         const ReplaceStepCheck& check) {
    const auto allowed = [&check](ReplaceStep step) { return !check || check(step); };
    if (path.empty()) return false;

    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    if (!exists && errno != ENOENT) return false;
    // The rename would get past a read-only file; the file's own permission decides, as it does
    // for a write in place.
    if (exists && (!S_ISREG(target.st_mode) || (target.st_mode & S_IWUSR) == 0)) return false;

    PendingFile pending;
    if (!allowed(ReplaceStep::createTemporary)) return false;
    UniqueFd fd = createBeside(path, pending);
    if (!fd) return false;
    if (exists && ::fchmod(fd.get(), target.st_mode & 07777) != 0) return false;

    if (!allowed(ReplaceStep::writeTemporary) || !writeAll(fd.get(), contents)) return false;
    if (!allowed(ReplaceStep::syncTemporary) || ::fsync(fd.get()) != 0 || !fd.close()) {
        return false;
    }

    if (!allowed(ReplaceStep::renameOverTarget) ||
        ::rename(pending.path().c_str(), path.c_str()) != 0) {
        return false;
    }
    pending.release();

    // The new contents are in place; making the rename itself durable is the best we can do.
    if (allowed(ReplaceStep::syncDirectory)) {
        const UniqueFd folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder) ::fsync(folder.get());
    }
    return true;
}

}  // namespace sousuo
