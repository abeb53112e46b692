#include "db/access/AccessLibrary.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pel::db {

namespace {

thread_local int quietDepth = 0;

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

}  // namespace

QuietLibmdb::QuietLibmdb() {
    if (quietDepth++ > 0) return;
    active_ = true;
    if (locale_t c = CLocale()) savedLocale_ = uselocale(c);
    std::fflush(stderr);
    savedStderr_ = ::dup(STDERR_FILENO);
    if (savedStderr_ < 0) return;
    // A scratch file rather than a pipe: libmdb may say more than a pipe holds. Its size is
    // sealed, so that writes past the cap fail instead of filling memory or the disk.
    scratch_ = ::memfd_create("libmdb", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (scratch_ >= 0 && (::ftruncate(scratch_, kLibmdbSaysAtMost) != 0 ||
                          ::fcntl(scratch_, F_ADD_SEALS, F_SEAL_GROW | F_SEAL_SHRINK) != 0)) {
        ::close(scratch_);
        scratch_ = -1;
    }
    const int target = scratch_ >= 0 ? scratch_ : ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (target < 0 || ::dup2(target, STDERR_FILENO) < 0) {
        ::close(savedStderr_);
        savedStderr_ = -1;
    }
    if (scratch_ < 0 && target >= 0) ::close(target);
}

QuietLibmdb::~QuietLibmdb() {
    --quietDepth;
    if (!active_) return;
    std::fflush(stderr);
    std::clearerr(stderr);  // writes past the scratch file's cap failed
    if (savedStderr_ >= 0) {
        ::dup2(savedStderr_, STDERR_FILENO);
        ::close(savedStderr_);
    }
    if (scratch_ >= 0) ::close(scratch_);
    if (savedLocale_) uselocale(savedLocale_);
}

namespace {
// How far libmdb has written: the offset its standard error shares with the scratch file.
long Written(int scratch) {
    std::fflush(stderr);
    return scratch < 0 ? 0 : static_cast<long>(::lseek(scratch, 0, SEEK_CUR));
}
}  // namespace

bool QuietLibmdb::overflowed() const {
    // A write that does not fit is refused whole, so the file may stop short of its size.
    return Written(scratch_) > kLibmdbSaysAtMost - 4096;
}

std::string QuietLibmdb::takeMessages() {
    const long written = Written(scratch_);
    if (written <= readUpTo_) return {};
    std::string text(static_cast<std::size_t>(written - readUpTo_), '\0');
    // pread leaves the offset that libmdb's writes share untouched.
    const ssize_t n = ::pread(scratch_, text.data(), text.size(), readUpTo_);
    if (n <= 0) return {};
    text.resize(static_cast<std::size_t>(n));
    readUpTo_ += n;
    return text;
}

bool LibmdbMetDamage(const std::string& messages) {
    for (const char* sign : {"beyond EOF", "reading page", "Invalid page buffer",
                             "Invalid data location", "is not a valid table definition page"})
        if (messages.find(sign) != std::string::npos) return true;
    return false;
}

std::string FirstLibmdbLine(const std::string& messages) {
    std::size_t start = messages.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return {};
    std::size_t end = messages.find('\n', start);
    std::string line =
        messages.substr(start, end == std::string::npos ? std::string::npos : end - start);
    for (const char* prefix :
         {"ERROR: ", "Error: ", "error: ", "CRITICAL: ", "warning: ", "Warning: "})
        if (line.rfind(prefix, 0) == 0) {
            line.erase(0, std::char_traits<char>::length(prefix));
            break;
        }
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '.'))
        line.pop_back();
    return line;
}

}  // namespace pel::db
