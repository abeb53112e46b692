#include "db/access/AccessLibrary.h"

#include <fcntl.h>
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
    // A scratch file rather than a pipe: libmdb may say more than a pipe holds.
    scratch_ = std::tmpfile();
    const int target = scratch_ ? ::fileno(scratch_) : ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (target < 0 || ::dup2(target, STDERR_FILENO) < 0) {
        ::close(savedStderr_);
        savedStderr_ = -1;
    }
    if (!scratch_ && target >= 0) ::close(target);
}

QuietLibmdb::~QuietLibmdb() {
    --quietDepth;
    if (!active_) return;
    std::fflush(stderr);
    if (savedStderr_ >= 0) {
        ::dup2(savedStderr_, STDERR_FILENO);
        ::close(savedStderr_);
    }
    if (scratch_) std::fclose(scratch_);
    if (savedLocale_) uselocale(savedLocale_);
}

std::string QuietLibmdb::takeMessages() {
    if (!scratch_) return {};
    std::fflush(stderr);
    const int fd = ::fileno(scratch_);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size <= readUpTo_) return {};
    std::string text(static_cast<std::size_t>(info.st_size - readUpTo_), '\0');
    // pread leaves the offset that libmdb's writes share untouched.
    const ssize_t n = ::pread(fd, text.data(), text.size(), readUpTo_);
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
