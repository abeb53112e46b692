#pragma once
// One connection to a PostgreSQL server: prepared statements by their SQL text, values bound as
// text, writes grouped into transactions committed at least every 100 ms of work.
//
// Writes go out in libpq's pipeline mode without waiting for their answers, which are read
// before a read, a commit or a structure change, and every few hundred writes: a round trip per
// group, not per point. Rows written alike wait to go out together, a statement for many rows.
// Every write of the open transaction is kept until it commits, so that a
// deadlock or a serialization conflict with another session is retried by rolling back and
// sending the group again. A write the server refuses otherwise (its value rules are checked
// before sending) undoes the group: a failure naming the server and the points saved. A lock
// held longer than the lock timeout is reported naming the table.

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "db/Database.h"

struct pg_conn;
struct pg_result;

namespace pel::db {

using PgParam = std::optional<std::string>;  // text form; nullopt is NULL

struct PgStatement {
    std::string sql;
    std::vector<PgParam> params;
};

// Writes of many rows alike, sent together. With `sqlOfMany`, each row is a statement's values:
// `sql` writes one row, `sqlOfMany` kRowsPerStatement rows at once. Without, the rows are
// keys: `sql` takes the `fixed` values, then every key as one array (for "= ANY").
struct PgRowWrite {
    std::string sql;
    std::string sqlOfMany;
    std::vector<PgParam> fixed;
    bool distinctKeys = false;  // a key met twice sends the rows before it first
};
inline constexpr std::size_t kRowsPerStatement = 50;

// A result of the server, freed with it.
class PgResult {
  public:
    explicit PgResult(pg_result* r = nullptr) : r_(r) {}
    PgResult(PgResult&& o) noexcept : r_(o.r_) { o.r_ = nullptr; }
    PgResult& operator=(PgResult&& o) noexcept;
    ~PgResult();
    bool empty() const { return r_ == nullptr; }
    int rows() const;
    bool isNull(int row, int column) const;
    std::string_view text(int row, int column) const;
    bool ok() const;
    std::string sqlState() const;  // empty when the server gave none
    std::string message() const;   // the server's primary message

  private:
    pg_result* r_;
};

class PgSession {
  public:
    // Connects; `shownName` is the URI without its password, used in every message.
    PgSession(const std::string& uri, std::string shownName);
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    const std::string& shownName() const { return shownName_; }

    // A read: joins the open write transaction, else runs on its own (its own snapshot).
    PgResult query(const std::string& sql, const std::vector<PgParam>& params,
                   const std::string& table);
    // A write inside the group's transaction (begun when needed), replayed when the server
    // makes the transaction start over. `point` names the point the write belongs to.
    void write(const std::string& sql, const std::vector<PgParam>& params, const std::string& table,
               const std::string& point = {});
    // One row of a write sent with others of its kind once a read, a commit, a write of another
    // kind to the same table or enough rows ask for it.
    void writeRow(const PgRowWrite& shape, std::vector<PgParam> values, std::string key,
                  const std::string& table, const std::string& point);
    // Structure that must be saved at once and may wait for other sessions' readers: the group
    // is committed first, then `sql` runs in a transaction of its own, tried again while
    // another session holds the table.
    void alterNow(const std::vector<PgStatement>& statements, const std::string& table);

    void pointSaved();  // the writes so far make completed points
    void commit();
    std::uint64_t commits() const { return commits_; }
    // Commits the open group, as closing a SQLite file does.
    void close() noexcept;

  private:
    enum class Failure { Retry, DoesNotFit, Fatal };

    struct RowBatch {
        PgRowWrite shape;
        std::string table;
        std::vector<std::vector<PgParam>> rows;
        std::vector<std::string> keys;
        std::unordered_set<std::string> distinct;
        std::size_t completedRows = 0;
    };

    // Sends the rows waiting, those of completed points first.
    void flushRows();
    void sendRows(RowBatch& batch, std::size_t from, std::size_t to);
    void logAndSend(PgStatement statement, const std::string& table);
    PgResult run(const std::string& sql, const std::vector<PgParam>& params);
    void begin();
    // Sends a write in pipeline mode (its statement prepared first when new).
    void send(const PgStatement& statement, const std::string& table);
    // Reads the answers of the writes sent and leaves pipeline mode; false when the connection
    // broke. `failure` gets the first refusal.
    bool readAnswers(PgResult& failure) noexcept;
    PgResult drain();                       // the first refusal, or an empty success
    void settle(const std::string& table);  // drain; a conflict is retried, else the group is lost
    [[noreturn]] void groupLost(const PgResult& result, const std::string& table);
    std::string savedSoFar() const;
    PgResult plain(const char* sql);
    void execPlain(const char* sql);
    void rollback() noexcept;
    // Begins a transaction and runs the first `count` logged writes again; the first failure.
    PgResult replay(std::size_t count);
    // Keeps the completed points of the group (rolled back already) and commits them.
    void saveCompleted();
    static Failure classify(const PgResult& result);
    [[noreturn]] void fail(const PgResult& result, const std::string& what,
                           const std::string& table);
    [[noreturn]] void lost(const std::string& what);

    pg_conn* conn_ = nullptr;
    std::string uri_;
    std::string shownName_;
    std::map<std::string, std::string> statements_;  // SQL text -> prepared name
    bool inTransaction_ = false;
    bool pipelined_ = false;
    std::size_t unanswered_ = 0;  // writes sent in pipeline mode whose answers are not read
    std::chrono::steady_clock::time_point transactionStart_{};
    std::vector<PgStatement> log_;
    std::size_t completed_ = 0;  // log entries of completed points
    std::string lastPointInGroup_;
    std::string lastPointSaved_;
    std::string pointInProgress_;
    std::size_t pointsInGroup_ = 0;
    std::uint64_t commits_ = 0;
    std::vector<RowBatch> batches_;  // in the order they were begun
    std::size_t waitingRows_ = 0;
};

}  // namespace pel::db
