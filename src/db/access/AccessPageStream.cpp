#include "db/access/AccessPageStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace pel::db {

namespace {

constexpr std::size_t kPagesKept = 4;
constexpr std::size_t kRunBytes = 32 * 1024;  // read at once when pages are read in file order

struct Page {
    off64_t offset = -1;
    std::size_t length = 0;
    unsigned long used = 0;  // when it was last read, to replace the page unused longest
    std::array<char, MDB_PGSIZE> bytes{};
};

struct PageFile {
    explicit PageFile(int file) : fd(file) {}
    ~PageFile() { ::close(fd); }
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    int fd;
    off64_t size = 0;
    off64_t position = 0;
    unsigned long reads = 0;
    std::array<Page, kPagesKept> pages;
    // The pages that follow a read in file order, read with it in one call: a table's walk
    // then costs a system call per run, not per page.
    std::vector<char> run;
    off64_t runStart = 0;
    off64_t readUpTo = -1;                  // where the file's last read ended
    std::array<char, MDB_PGSIZE> buffer{};  // the stream's
};

ssize_t Read(void* cookie, char* out, std::size_t n) {
    auto& f = *static_cast<PageFile*>(cookie);
    ++f.reads;
    Page* oldest = &f.pages[0];
    for (Page& p : f.pages) {
        if (p.offset == f.position && p.length == n) {
            p.used = f.reads;
            std::memcpy(out, p.bytes.data(), n);
            f.position += static_cast<off64_t>(n);
            return static_cast<ssize_t>(n);
        }
        if (p.used < oldest->used) oldest = &p;
    }
    const auto inRun = [&](off64_t at) {
        return at >= f.runStart &&
               at + static_cast<off64_t>(n) <= f.runStart + static_cast<off64_t>(f.run.size());
    };
    if (!inRun(f.position) && f.position == f.readUpTo && n < kRunBytes) {
        f.run.resize(kRunBytes);
        ssize_t got;
        do {
            got = ::pread(f.fd, f.run.data(), kRunBytes, f.position);
        } while (got < 0 && errno == EINTR);
        f.run.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        f.runStart = f.position;
        f.readUpTo = f.runStart + static_cast<off64_t>(f.run.size());
    }
    if (inRun(f.position)) {
        std::memcpy(out, f.run.data() + (f.position - f.runStart), n);
        f.position += static_cast<off64_t>(n);
        return static_cast<ssize_t>(n);
    }
    ssize_t got;
    do {
        got = ::pread(f.fd, out, n, f.position);
    } while (got < 0 && errno == EINTR);
    if (got < 0) return -1;
    f.readUpTo = f.position + got;
    if (static_cast<std::size_t>(got) == n && n <= oldest->bytes.size()) {
        oldest->offset = f.position;
        oldest->length = n;
        oldest->used = f.reads;
        std::memcpy(oldest->bytes.data(), out, n);
    }
    f.position += got;
    return got;
}

int Seek(void* cookie, off64_t* offset, int whence) {
    auto& f = *static_cast<PageFile*>(cookie);
    const off64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f.position : f.size;
    if (base + *offset < 0) {
        errno = EINVAL;
        return -1;
    }
    f.position = base + *offset;
    *offset = f.position;
    return 0;
}

int Close(void* cookie) {
    delete static_cast<PageFile*>(cookie);
    return 0;
}

}  // namespace

void UseAccessPageStream(MdbHandle* mdb, const std::string& path) {
    if (!mdb || !mdb->f || !mdb->f->stream) return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0) ::close(fd);
        return;
    }
    auto file = std::make_unique<PageFile>(fd);
    file->size = info.st_size;
    FILE* stream = ::fopencookie(file.get(), "rb", {Read, nullptr, Seek, Close});
    if (!stream) return;
    PageFile* owned = file.release();  // the stream owns it now
    // A buffer of one page: libmdb's reads of a page then come to Read whole (an unbuffered
    // stream would ask for a byte at a time).
    const auto page = static_cast<std::size_t>(mdb->fmt->pg_size);
    std::setvbuf(stream, owned->buffer.data(), _IOFBF, std::min(page, owned->buffer.size()));
    std::fclose(mdb->f->stream);
    mdb->f->stream = stream;
}

}  // namespace pel::db
