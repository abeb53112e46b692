#pragma once
// The one door to libmdb (mdbtools 1.0). Its header wraps glib's C++ templates in extern "C"
// unless glib.h comes first, so every file that needs libmdb includes this one instead.
// libmdb prints its complaints on standard error and formats numbers through the process
// locale; QuietLibmdb keeps both away from the user while libmdb works.

#include <glib.h>
// glib.h must stay before mdbtools.h.
#include <mdbtools.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace pel::db {

// While it lives: libmdb's standard error goes to a scratch file (kept for our messages) and
// the C numeric locale is in force on this thread. Scopes do not nest: an inner one does
// nothing and its text is part of the outer one's. The scratch file holds at most
// kLibmdbSaysAtMost bytes: on a damaged file libmdb may complain without end.
inline constexpr long kLibmdbSaysAtMost = 1 << 20;

class QuietLibmdb {
  public:
    QuietLibmdb();
    ~QuietLibmdb();
    QuietLibmdb(const QuietLibmdb&) = delete;
    QuietLibmdb& operator=(const QuietLibmdb&) = delete;

    // What libmdb printed since the scope began or since the last call.
    std::string takeMessages();
    // True once libmdb said more than the scratch file holds: only a damaged file does that.
    bool overflowed() const;

  private:
    bool active_ = false;
    int savedStderr_ = -1;
    int scratch_ = -1;
    long readUpTo_ = 0;
    locale_t savedLocale_ = nullptr;
};

// Whether a table that libmdb read has a page map to walk. libmdb keeps a map row of zero bytes
// as a null map, which its page walk then reads: a damaged file must be refused before that.
inline bool HasPageMap(const MdbTableDef& table) {
    return table.usage_map != nullptr && table.map_sz > 0;
}

// True when libmdb's text says that it met the end of the file or a page it could not read:
// libmdb then goes on as if the file held less (fewer tables, fewer rows).
bool LibmdbMetDamage(const std::string& messages);

// The first line of libmdb's text without its "ERROR:"/"warning:" prefix, for a message; empty
// when libmdb said nothing.
std::string FirstLibmdbLine(const std::string& messages);

}  // namespace pel::db
