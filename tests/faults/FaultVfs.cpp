// A SQLite VFS that fails chosen calls, preloaded into pelorin-cli by the fault tests
// (LD_PRELOAD): the program runs unchanged against a disk that fills up, a sync that fails or a
// lock that cannot be taken.
//
//   PELORIN_FAULT="KIND N"     KIND: write (the disk is full), sync or lock; the fault starts
//                              after N syncs of a main database file (N commits), then every
//                              call of that KIND fails
//   PELORIN_FAULT_FILE=TEXT    only files whose path contains TEXT (journals included)

#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Config {
    std::string kind, file;
    long after = 0;
};
Config config;
long mainSyncs = 0;
sqlite3_vfs* real = nullptr;
sqlite3_vfs faulty;

struct File {
    sqlite3_file base;
    sqlite3_file* real;
    bool watched;
    bool mainDb;
};

bool Fails(const File* f, const char* kind) {
    return f->watched && config.kind == kind && mainSyncs >= config.after;
}

File* Of(sqlite3_file* f) {
    return reinterpret_cast<File*>(f);
}

int Close(sqlite3_file* f) {
    int rc = Of(f)->real->pMethods ? Of(f)->real->pMethods->xClose(Of(f)->real) : SQLITE_OK;
    return rc;
}
int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 o) {
    return Of(f)->real->pMethods->xRead(Of(f)->real, b, n, o);
}
int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
    if (Fails(Of(f), "write")) return SQLITE_FULL;
    return Of(f)->real->pMethods->xWrite(Of(f)->real, b, n, o);
}
int Truncate(sqlite3_file* f, sqlite3_int64 n) {
    return Of(f)->real->pMethods->xTruncate(Of(f)->real, n);
}
int Sync(sqlite3_file* f, int flags) {
    if (Fails(Of(f), "sync")) return SQLITE_IOERR_FSYNC;
    const int rc = Of(f)->real->pMethods->xSync(Of(f)->real, flags);
    if (rc == SQLITE_OK && Of(f)->watched && Of(f)->mainDb) ++mainSyncs;
    return rc;
}
int FileSize(sqlite3_file* f, sqlite3_int64* n) {
    return Of(f)->real->pMethods->xFileSize(Of(f)->real, n);
}
int Lock(sqlite3_file* f, int level) {
    if (Fails(Of(f), "lock")) return SQLITE_IOERR_LOCK;
    return Of(f)->real->pMethods->xLock(Of(f)->real, level);
}
int Unlock(sqlite3_file* f, int level) {
    return Of(f)->real->pMethods->xUnlock(Of(f)->real, level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Of(f)->real->pMethods->xCheckReservedLock(Of(f)->real, out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    return Of(f)->real->pMethods->xFileControl(Of(f)->real, op, arg);
}
int SectorSize(sqlite3_file* f) {
    return Of(f)->real->pMethods->xSectorSize(Of(f)->real);
}
int DeviceCharacteristics(sqlite3_file* f) {
    return Of(f)->real->pMethods->xDeviceCharacteristics(Of(f)->real);
}

// Version 1 methods only: no shared memory, so the journal stays a rollback journal.
const sqlite3_io_methods kMethods = {1,
                                     Close,
                                     Read,
                                     Write,
                                     Truncate,
                                     Sync,
                                     FileSize,
                                     Lock,
                                     Unlock,
                                     CheckReservedLock,
                                     FileControl,
                                     SectorSize,
                                     DeviceCharacteristics,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr};

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    File* file = Of(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    file->real->pMethods = nullptr;
    file->watched = name && !config.file.empty() && std::strstr(name, config.file.c_str());
    file->mainDb = (flags & SQLITE_OPEN_MAIN_DB) != 0;
    const int rc = real->xOpen(real, name, file->real, flags, outFlags);
    f->pMethods = file->real->pMethods ? &kMethods : nullptr;
    return rc;
}

void Install() {
    const char* fault = std::getenv("PELORIN_FAULT");
    if (!fault) return;
    // No streams here: this runs before the C++ library has set its locales up.
    const char* blank = std::strchr(fault, ' ');
    config.kind.assign(fault, blank ? static_cast<std::size_t>(blank - fault) : std::strlen(fault));
    config.after = blank ? std::strtol(blank + 1, nullptr, 10) : 0;
    if (const char* file = std::getenv("PELORIN_FAULT_FILE")) config.file = file;
    real = sqlite3_vfs_find(nullptr);
    faulty = *real;  // the real file system's calls but for opening, which wraps each file
    faulty.pNext = nullptr;
    faulty.szOsFile = static_cast<int>(sizeof(File)) + real->szOsFile;
    faulty.zName = "pelorin-faults";
    faulty.xOpen = Open;
    sqlite3_vfs_register(&faulty, 1);
}

// Installed as the library loads, after the settings above are initialised (same file, later).
const struct Installer {
    Installer() { Install(); }
} installer;

}  // namespace
