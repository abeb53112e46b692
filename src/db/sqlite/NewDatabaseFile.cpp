#include "db/sqlite/NewDatabaseFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "db/Database.h"

namespace pel::db {

namespace {
bool NameTaken(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
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

void RemoveDatabaseFiles(const std::string& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        std::remove((path + suffix).c_str());
}

// Gives the finished file the destination's name without replacing a file that appeared there
// meanwhile (a hard link fails when the name is taken; rename would not).
void Publish(const std::string& temp, const std::string& dest) {
    if (::link(temp.c_str(), dest.c_str()) == 0) {
        ::unlink(temp.c_str());
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
}

}  // namespace pel::db
