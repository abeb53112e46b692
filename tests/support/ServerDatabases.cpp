#include "support/ServerDatabases.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace pel::test {

namespace {

std::string BaseUri() {
    const char* uri = std::getenv("PELORIN_TEST_PG_URI");
    return uri ? uri : "";
}

}  // namespace

bool ServerAvailable() {
    return !BaseUri().empty();
}

bool ServerRequired() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

std::string ServerUri(const std::string& database, const std::string& user,
                      const std::string& password) {
    // The base is postgresql://USER@/postgres?host=...&port=...
    const std::string base = BaseUri();
    const std::size_t at = base.find('@');
    const std::size_t query = base.find('?');
    std::string who = user.empty() ? base.substr(13, at - 13) : user;
    if (!password.empty()) who += ":" + password;
    return "postgresql://" + who + "@/" + database + base.substr(query);
}

std::string FreshServerDatabase() {
    static std::atomic<int> counter{0};
    const std::string name =
        "t" + std::to_string(::getpid()) + "_" + std::to_string(counter.fetch_add(1));
    AdminSession admin(BaseUri());
    admin.exec("CREATE DATABASE " + name);
    return ServerUri(name);
}

AdminSession::AdminSession(const std::string& uri) : conn_(PQconnectdb(uri.c_str())) {
    EXPECT_EQ(PQstatus(conn_), CONNECTION_OK) << PQerrorMessage(conn_);
}

AdminSession::~AdminSession() {
    PQfinish(conn_);
}

std::string AdminSession::exec(const std::string& sql) {
    PGresult* r = PQexec(conn_, sql.c_str());
    const ExecStatusType status = PQresultStatus(r);
    EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        << sql << ": " << PQerrorMessage(conn_);
    std::string first = PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "";
    PQclear(r);
    return first;
}

}  // namespace pel::test
