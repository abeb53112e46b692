#pragma once
// The PostgreSQL cluster that scripts/test.sh starts for the tests: its URI comes in
// PELORIN_TEST_PG_URI. Each test takes a database of its own.

#include <string>

struct pg_conn;

namespace pel::test {

// Skips the test without a server, with a message; in CI (CI=true) it fails instead.
#define PELORIN_REQUIRE_SERVER()                                                              \
    do {                                                                                      \
        if (!::pel::test::ServerAvailable()) {                                                \
            if (::pel::test::ServerRequired())                                                \
                FAIL() << "CI=true but PELORIN_TEST_PG_URI is not set: no PostgreSQL server"; \
            GTEST_SKIP() << "No PostgreSQL server for the tests (scripts/test.sh starts one " \
                            "and sets PELORIN_TEST_PG_URI)";                                  \
        }                                                                                     \
    } while (0)

bool ServerAvailable();
bool ServerRequired();

// A new, empty database on the test server; its URI (no password).
std::string FreshServerDatabase();
// The URI of database `name` on the test server as `user`, with `password` when not empty.
std::string ServerUri(const std::string& database, const std::string& user = "",
                      const std::string& password = "");

// A plain session on a database for what the program itself never does (holding a lock,
// ending another session); closed with the object.
class AdminSession {
  public:
    explicit AdminSession(const std::string& uri);
    ~AdminSession();
    AdminSession(const AdminSession&) = delete;
    AdminSession& operator=(const AdminSession&) = delete;
    // Runs `sql`; returns the first value of the first row ("" without one). Fails the test on
    // an error.
    std::string exec(const std::string& sql);

  private:
    pg_conn* conn_ = nullptr;
};

}  // namespace pel::test
