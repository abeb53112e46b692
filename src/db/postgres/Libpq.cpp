#include "db/postgres/Libpq.h"

#include <dlfcn.h>

#include <string>

#include "db/Database.h"

namespace pel::db {

namespace {

constexpr const char* kLibrary = "libpq.so.5";

struct Loaded {
    LibpqFunctions functions;
    std::string error;  // empty when every function was found
};

template <typename Function>
bool Resolve(void* library, const char* name, Function& function) {
    void* symbol = dlsym(library, name);
    function = reinterpret_cast<Function>(symbol);
    return symbol != nullptr;
}

Loaded Load() {
    Loaded loaded;
    // RTLD_LOCAL: the library's own dependencies stay out of the program's symbol look-ups.
    void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    bool found = library != nullptr;
#define PELORIN_LIBPQ_RESOLVE(name) found = found && Resolve(library, #name, loaded.functions.name);
    PELORIN_LIBPQ_FUNCTIONS(PELORIN_LIBPQ_RESOLVE)
#undef PELORIN_LIBPQ_RESOLVE
    if (!found) {
        const char* why = dlerror();
        loaded.error = std::string("The PostgreSQL client library ") + kLibrary +
                       " could not be loaded (" + (why ? why : "no reason given") +
                       "); install it (version 14 or later) to work with a server database";
    }
    return loaded;
}

}  // namespace

const LibpqFunctions& Libpq() {
    static const Loaded loaded = Load();  // once, whichever thread comes first
    if (!loaded.error.empty()) throw DbError(DbError::Kind::NotFound, loaded.error);
    return loaded.functions;
}

}  // namespace pel::db
