#include "eb/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace pel::eb {

namespace {

std::string Folder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A symbolic link is followed, so that the file it names is replaced and the link kept.
std::string ReplacedFile(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// A fresh name beside `target`, created with the usual permissions (mkstemp would give 0600).
int CreateBeside(const std::string& target, std::string& temp) {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<int> pick(0, sizeof letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target + ".part-";
        for (int i = 0; i < 6; ++i) temp += letters[pick(random)];
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void SyncFolder(const std::string& path) {
    const int fd = ::open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string OutputRefusal(const std::string& output, const std::vector<RunInput>& inputs) {
    struct stat out {};
    if (::stat(output.c_str(), &out) != 0) return {};
    if (!S_ISREG(out.st_mode))
        return "Cannot write " + output +
               ": it is not a regular file (a device, a folder or a FIFO); choose a file name";
    for (const auto& input : inputs) {
        struct stat in {};
        if (input.path.empty() || ::stat(std::string(input.path).c_str(), &in) != 0) continue;
        if (in.st_dev == out.st_dev && in.st_ino == out.st_ino)
            return "Cannot write " + output + ": it is the same file as " +
                   std::string(input.role) + " " + std::string(input.path) +
                   ", which it would destroy; choose another file name";
    }
    return {};
}

bool OutputRefused(Feedback& feedback, std::string_view title, const std::string& output,
                   const std::vector<RunInput>& inputs) {
    const std::string refusal = OutputRefusal(output, inputs);
    if (!refusal.empty()) feedback.message(title, refusal, Icon::Critical);
    return !refusal.empty();
}

bool OutputFile::open(const std::string& path) {
    discard();
    path_ = path;
    error_ = OutputRefusal(path);
    if (!error_.empty()) return false;
    target_ = ReplacedFile(path);
    written_ = writeBackStart_ = 0;
    fd_ = CreateBeside(target_, temp_);
    if (fd_ < 0) {
        error_ = "Cannot create " + path + ": " + std::strerror(errno);
        temp_.clear();
        return false;
    }
    // The new file keeps the permissions of the one it replaces.
    struct stat old {};
    existed_ = ::stat(target_.c_str(), &old) == 0;
    if (existed_) ::fchmod(fd_, old.st_mode & 07777);
    return true;
}

void OutputFile::write(std::string_view bytes) {
    while (fd_ >= 0 && !bytes.empty() && error_.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail("Cannot write");
        bytes.remove_prefix(static_cast<std::size_t>(n));
        written_ += static_cast<std::uint64_t>(n);
    }
    startWriteBack();
}

// The disk starts writing each few megabytes as they come, so that the sync at commit() finds
// little left to do; the sync alone still decides that the file is whole.
void OutputFile::startWriteBack() {
#ifdef SYNC_FILE_RANGE_WRITE
    constexpr std::uint64_t kWriteBackStep = 8u << 20;
    if (fd_ < 0 || written_ - writeBackStart_ < kWriteBackStep) return;
    ::sync_file_range(fd_, static_cast<off_t>(writeBackStart_),
                      static_cast<off_t>(written_ - writeBackStart_), SYNC_FILE_RANGE_WRITE);
    writeBackStart_ = written_;
#endif
}

bool OutputFile::commit() {
    if (fd_ < 0) return error_.empty();
    if (error_.empty() && ::fsync(fd_) != 0) fail("Cannot write");
    if (::close(fd_) != 0 && error_.empty()) fail("Cannot write");
    fd_ = -1;
    if (error_.empty() && std::rename(temp_.c_str(), target_.c_str()) != 0) fail("Cannot replace");
    if (!error_.empty()) {
        discard();
        return false;
    }
    temp_.clear();
    SyncFolder(target_);
    return true;
}

void OutputFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

void OutputFile::fail(const char* what) {
    if (!error_.empty()) return;
    error_ = std::string(what) + " " + path_ + ": " + std::strerror(errno) + "; " + path_ +
             (existed_ ? " keeps its previous content" : " was not created");
}

}  // namespace pel::eb
