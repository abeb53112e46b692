#include "support/ServerDatabases.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "db/postgres/Libpq.h"

namespace pel::test {

using db::Libpq;

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

AdminSession::AdminSession(const std::string& uri) {
    const char* keywords[] = {"dbname", nullptr};
    const char* values[] = {uri.c_str(), nullptr};
    conn_ = Libpq().PQconnectdbParams(keywords, values, 1);
    EXPECT_EQ(Libpq().PQstatus(conn_), CONNECTION_OK) << Libpq().PQerrorMessage(conn_);
}

AdminSession::~AdminSession() {
    Libpq().PQfinish(conn_);
}

std::string AdminSession::exec(const std::string& sql) {
    PGresult* r = Libpq().PQexec(conn_, sql.c_str());
    const ExecStatusType status = Libpq().PQresultStatus(r);
    EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        << sql << ": " << Libpq().PQerrorMessage(conn_);
    std::string first = Libpq().PQntuples(r) > 0 ? Libpq().PQgetvalue(r, 0, 0) : "";
    Libpq().PQclear(r);
    return first;
}

}  // namespace pel::test
