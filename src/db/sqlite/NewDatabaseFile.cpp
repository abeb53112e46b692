#include "db/sqlite/NewDatabaseFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string_view>

#include "db/Database.h"

namespace pel::db {

namespace {
bool NameTaken(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Syncs the folder holding `path`, so that a name just given survives a power cut. Best effort:
// the file itself is already on the disk.
void SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
}  // namespace

// A fresh name beside the destination, so that the rename at the end stays on one file system.
std::string TemporaryPathBeside(const std::string& dest) {
    std::string pattern = dest + ".part-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw DbError(DbError::Kind::Io,
                      "Cannot create a file beside " + dest + ": " + std::strerror(errno));
    ::close(fd);
    ::unlink(pattern.c_str());  // the database layer makes its own file under this name
    return pattern;
}

namespace {
constexpr std::string_view kPart = ".part-";
constexpr std::size_t kPartTail = 6;  // the characters mkstemp puts in place of XXXXXX
const char* const kJournals[] = {"-journal", "-wal", "-shm"};

// The part a file of the folder belongs to (itself or the part its journal serves), or "".
std::string PartOf(const std::string& file, const std::string& prefix) {
    if (file.size() < prefix.size() + kPartTail || file.compare(0, prefix.size(), prefix) != 0)
        return {};
    const std::string part = file.substr(0, prefix.size() + kPartTail);
    const std::string rest = file.substr(part.size());
    if (rest.empty()) return part;
    for (const char* journal : kJournals)
        if (rest == journal) return part;
    return {};
}
}  // namespace

void RemoveDatabaseFiles(const std::string& path) {
    std::remove(path.c_str());
    for (const char* suffix : kJournals) std::remove((path + suffix).c_str());
}

void RemoveStaleParts(const std::string& dest) {
    const std::size_t slash = dest.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : dest.substr(0, slash + 1);
    const std::string prefix =
        dest.substr(slash == std::string::npos ? 0 : slash + 1) + std::string(kPart);
    std::error_code error;
    std::set<std::string> parts;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        if (!item.is_regular_file(error)) continue;
        if (auto part = PartOf(item.path().filename().string(), prefix); !part.empty())
            parts.insert(item.path().parent_path().string() + "/" + part);
    }
    for (const auto& part : parts) {
        const int fd = ::open(part.c_str(), O_RDONLY | O_CLOEXEC);
        // A part that a running build holds is left alone; one without a lock is stale.
        const bool held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        if (fd >= 0) ::close(fd);
        if (!held) RemoveDatabaseFiles(part);
    }
}

PartInProgress::PartInProgress(const std::string& part)
    : fd_(::open(part.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ >= 0) ::flock(fd_, LOCK_EX | LOCK_NB);
}

PartInProgress::~PartInProgress() {
    if (fd_ >= 0) ::close(fd_);
}

void PartInProgress::startWriteBack() const {
#ifdef SYNC_FILE_RANGE_WRITE
    if (fd_ >= 0) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

// Gives the finished file the destination's name without replacing a file that appeared there
// meanwhile (a hard link fails when the name is taken; rename would not).
void Publish(const std::string& temp, const std::string& dest) {
    if (::link(temp.c_str(), dest.c_str()) == 0) {
        ::unlink(temp.c_str());
        SyncFolderOf(dest);
        return;
    }
    const int linkError = errno;
    if (linkError == EEXIST)
        throw DbError(DbError::Kind::Other, "A file " + dest + " exists already; it is left alone");
    // File systems without hard links: check, then rename.
    if (NameTaken(dest))
        throw DbError(DbError::Kind::Other, "A file " + dest + " exists already; it is left alone");
    if (std::rename(temp.c_str(), dest.c_str()) != 0)
        throw DbError(DbError::Kind::Io, "Cannot create " + dest + ": " + std::strerror(errno));
    SyncFolderOf(dest);
}

}  // namespace pel::db
