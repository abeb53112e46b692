#pragma once
// The PostgreSQL client library, loaded when a server database is first opened. Linked, it
// would be loaded by every run with the TLS, Kerberos and LDAP libraries it needs, a large part
// of a short command's time; and files and Access files work where it is not installed.

#include <libpq-fe.h>

namespace pel::db {

// The library's functions the driver uses, typed by the library's own header.
#define PELORIN_LIBPQ_FUNCTIONS(X) \
    X(PQclear)                     \
    X(PQconnectdbParams)           \
    X(PQconnectionNeedsPassword)   \
    X(PQenterPipelineMode)         \
    X(PQerrorMessage)              \
    X(PQexec)                      \
    X(PQexecPrepared)              \
    X(PQexitPipelineMode)          \
    X(PQfinish)                    \
    X(PQgetResult)                 \
    X(PQgetisnull)                 \
    X(PQgetlength)                 \
    X(PQgetvalue)                  \
    X(PQmakeEmptyPGresult)         \
    X(PQntuples)                   \
    X(PQpipelineSync)              \
    X(PQprepare)                   \
    X(PQresultErrorField)          \
    X(PQresultErrorMessage)        \
    X(PQresultStatus)              \
    X(PQsendQueryPrepared)         \
    X(PQsetNoticeProcessor)        \
    X(PQstatus)

struct LibpqFunctions {
#define PELORIN_LIBPQ_POINTER(name) decltype(&::name) name = nullptr;
    PELORIN_LIBPQ_FUNCTIONS(PELORIN_LIBPQ_POINTER)
#undef PELORIN_LIBPQ_POINTER
};

// The functions, the library loaded by the first call of any thread. Throws DbError (NotFound)
// naming the library and what to do when it or one of its functions cannot be loaded.
const LibpqFunctions& Libpq();

}  // namespace pel::db
