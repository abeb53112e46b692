#include "db/postgres/PgSession.h"

#include <algorithm>
#include <mutex>
#include <thread>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "db/ServerUri.h"
#include "db/postgres/Libpq.h"

namespace pel::db {

namespace {

constexpr auto kCommitInterval = std::chrono::milliseconds(100);
constexpr int kConflictAttempts = 5;     // a deadlock or serialization conflict, tried again
constexpr int kAlterAttempts = 5;        // structure changes wait 1 s a time for the table
constexpr const char* kLockWait = "5s";  // any other statement waits this long for a lock
// Answers are read after this many writes at most: the server's answers never fill the
// socket while it waits for us to read them.
constexpr std::size_t kMostUnanswered = 256;
// Rows of writes alike wait for this many at most before they go out as one statement each kind.
constexpr std::size_t kMostWaitingRows = 2000;

bool Succeeded(pg_result* r) {
    const ExecStatusType s = Libpq().PQresultStatus(r);
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

std::string Trimmed(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

void IgnoreNotice(void*, const char*) {}

// A walk holds a whole table's rows in one result of many small blocks. Freed, they would go
// back to the system at once and the next table's would come again page by page, a third of
// an export's time; the process keeps them for the next result instead.
void KeepFreedMemory() {
#if defined(__GLIBC__)
    static std::once_flag once;
    std::call_once(once, [] { mallopt(M_TRIM_THRESHOLD, 512 << 20); });
#endif
}

void AppendArrayElement(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

}  // namespace

PgResult& PgResult::operator=(PgResult&& o) noexcept {
    if (this != &o) {
        if (r_) Libpq().PQclear(r_);
        r_ = o.r_;
        o.r_ = nullptr;
    }
    return *this;
}

PgResult::~PgResult() {
    if (r_) Libpq().PQclear(r_);  // an empty one needs no library
}

int PgResult::rows() const {
    return r_ ? Libpq().PQntuples(r_) : 0;
}

bool PgResult::isNull(int row, int column) const {
    return Libpq().PQgetisnull(r_, row, column) != 0;
}

std::string_view PgResult::text(int row, int column) const {
    return {Libpq().PQgetvalue(r_, row, column),
            static_cast<std::size_t>(Libpq().PQgetlength(r_, row, column))};
}

PgSession::PgSession(const std::string& uri, std::string shownName)
    : uri_(uri), shownName_(std::move(shownName)) {
    KeepFreedMemory();
    const char* keywords[] = {"dbname", "client_encoding", "application_name", nullptr};
    const char* values[] = {uri.c_str(), "UTF8", "pelorin", nullptr};
    conn_ = Libpq().PQconnectdbParams(keywords, values, 1);
    if (!conn_ || Libpq().PQstatus(conn_) != CONNECTION_OK) {
        const std::string why =
            WithoutPassword(Trimmed(conn_ ? Libpq().PQerrorMessage(conn_) : ""), uri_);
        const bool needsPassword = conn_ && Libpq().PQconnectionNeedsPassword(conn_);
        Libpq().PQfinish(conn_);
        conn_ = nullptr;
        throw DbError(needsPassword ? DbError::Kind::NeedsPassword : DbError::Kind::NotFound,
                      "Cannot open the database " + shownName_ + ": " + why);
    }
    Libpq().PQsetNoticeProcessor(conn_, IgnoreNotice, nullptr);
    execPlain((std::string("SET lock_timeout = '") + kLockWait + "'").c_str());
}

PgSession::~PgSession() {
    close();
    Libpq().PQfinish(conn_);
}

bool PgResult::ok() const {
    return r_ && Succeeded(r_);
}

std::string PgResult::sqlState() const {
    const char* state = r_ ? Libpq().PQresultErrorField(r_, PG_DIAG_SQLSTATE) : nullptr;
    return state ? state : "";
}

std::string PgResult::message() const {
    const char* primary = r_ ? Libpq().PQresultErrorField(r_, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    return primary ? primary : Trimmed(r_ ? Libpq().PQresultErrorMessage(r_) : "no answer");
}

PgResult PgSession::run(const std::string& sql, const std::vector<PgParam>& params) {
    auto it = statements_.find(sql);
    if (it == statements_.end()) {
        const std::string name = "p" + std::to_string(statements_.size());
        PgResult prepare(Libpq().PQprepare(conn_, name.c_str(), sql.c_str(), 0, nullptr));
        if (!prepare.ok()) {
            if (Libpq().PQstatus(conn_) != CONNECTION_OK) lost("Cannot reach the server");
            return prepare;
        }
        it = statements_.emplace(sql, name).first;
    }
    std::vector<const char*> values(params.size());
    for (std::size_t i = 0; i < params.size(); ++i)
        values[i] = params[i] ? params[i]->c_str() : nullptr;
    PgResult r(Libpq().PQexecPrepared(conn_, it->second.c_str(), static_cast<int>(params.size()),
                                      values.data(), nullptr, nullptr, 0));
    if (!r.ok() && Libpq().PQstatus(conn_) != CONNECTION_OK) lost("Cannot reach the server");
    return r;
}

PgResult PgSession::plain(const char* sql) {
    PgResult r(Libpq().PQexec(conn_, sql));
    if (!r.ok() && Libpq().PQstatus(conn_) != CONNECTION_OK) lost("Cannot reach the server");
    return r;
}

void PgSession::execPlain(const char* sql) {
    PgResult r = plain(sql);
    if (!r.ok()) fail(r, "Cannot change the database", "");
}

void PgSession::rollback() noexcept {
    PgResult ignored;
    readAnswers(ignored);
    inTransaction_ = false;
    // A lost connection is reported by what follows.
    Libpq().PQclear(Libpq().PQexec(conn_, "ROLLBACK"));
}

void PgSession::begin() {
    execPlain("BEGIN");
    inTransaction_ = true;
    transactionStart_ = std::chrono::steady_clock::now();
}

void PgSession::send(const PgStatement& statement, const std::string& table) {
    auto it = statements_.find(statement.sql);
    if (it == statements_.end()) {
        settle(table);  // a statement is prepared outside the pipeline
        const std::string name = "p" + std::to_string(statements_.size());
        PgResult prepare(Libpq().PQprepare(conn_, name.c_str(), statement.sql.c_str(), 0, nullptr));
        if (!prepare.ok()) {
            if (Libpq().PQstatus(conn_) != CONNECTION_OK) lost("Cannot reach the server");
            rollback();
            groupLost(prepare, table);
        }
        it = statements_.emplace(statement.sql, name).first;
    }
    if (!pipelined_) {
        if (Libpq().PQenterPipelineMode(conn_) != 1) lost("Cannot reach the server");
        pipelined_ = true;
    }
    std::vector<const char*> values(statement.params.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = statement.params[i] ? statement.params[i]->c_str() : nullptr;
    if (Libpq().PQsendQueryPrepared(conn_, it->second.c_str(), static_cast<int>(values.size()),
                                    values.data(), nullptr, nullptr, 0) != 1)
        lost("Cannot reach the server");
    ++unanswered_;
}

bool PgSession::readAnswers(PgResult& failure) noexcept {
    if (!pipelined_) return true;
    pipelined_ = false;
    unanswered_ = 0;
    if (Libpq().PQpipelineSync(conn_) != 1) return false;
    bool failed = false;
    for (;;) {
        pg_result* r = Libpq().PQgetResult(conn_);
        if (!r) {
            if (Libpq().PQstatus(conn_) != CONNECTION_OK) return false;
            continue;  // the end of one write's answers
        }
        const ExecStatusType status = Libpq().PQresultStatus(r);
        if (status == PGRES_PIPELINE_SYNC) {
            Libpq().PQclear(r);
            break;
        }
        if (status == PGRES_FATAL_ERROR && !failed) {
            failed = true;
            failure = PgResult(r);
        } else {
            Libpq().PQclear(r);
        }
    }
    return Libpq().PQexitPipelineMode(conn_) == 1;
}

PgResult PgSession::drain() {
    PgResult failure;
    if (!readAnswers(failure)) lost("Cannot reach the server");
    return failure.empty() ? PgResult(Libpq().PQmakeEmptyPGresult(conn_, PGRES_COMMAND_OK))
                           : std::move(failure);
}

void PgSession::settle(const std::string& table) {
    PgResult r = drain();
    for (int attempt = 1; !r.ok(); ++attempt) {
        rollback();
        if (classify(r) != Failure::Retry || attempt >= kConflictAttempts) groupLost(r, table);
        // The other session goes on once ours is rolled back; then this group starts over.
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * attempt));
        r = replay(log_.size());
    }
}

PgResult PgSession::replay(std::size_t count) {
    begin();
    for (std::size_t i = 0; i < count; ++i) {
        send(log_[i], "");
        if (unanswered_ < kMostUnanswered) continue;
        PgResult r = drain();
        if (!r.ok()) return r;
    }
    return drain();
}

void PgSession::saveCompleted() {
    log_.resize(completed_);
    PgResult r = replay(completed_);
    if (!r.ok()) {
        rollback();
        log_.clear();
        completed_ = 0;
        fail(r,
             "Cannot save the points of the last " + std::to_string(kCommitInterval.count()) +
                 " ms again after a failure",
             "");
    }
    commit();
}

PgSession::Failure PgSession::classify(const PgResult& result) {
    const std::string state = result.sqlState();
    if (state == "40P01" || state == "40001") return Failure::Retry;
    if (state.rfind("22", 0) == 0 || state.rfind("23", 0) == 0) return Failure::DoesNotFit;
    return Failure::Fatal;
}

void PgSession::fail(const PgResult& result, const std::string& what, const std::string& table) {
    const std::string state = result.sqlState();
    const std::string detail = WithoutPassword(result.message(), uri_);
    const std::string where =
        table.empty() ? "the database " + shownName_ : "the table " + table + " of " + shownName_;
    if (state == "55P03")
        throw DbError(DbError::Kind::Locked, what + ": " + where +
                                                 " is locked by another program (a session that " +
                                                 "holds it longer than " + kLockWait + ")");
    if (state == "42P01") throw DbError(DbError::Kind::NoTable, what + ": " + detail);
    if (state == "42703") throw DbError(DbError::Kind::NoColumn, what + ": " + detail);
    if (state == "25006") throw DbError(DbError::Kind::ReadOnly, what + ": " + detail);
    if (classify(result) == Failure::DoesNotFit)
        throw DbError(DbError::Kind::DoesNotFit, what + ": " + detail);
    throw DbError(DbError::Kind::Other, what + " (" + where + "): " + detail);
}

std::string PgSession::savedSoFar() const {
    const std::size_t unsaved = inTransaction_ ? pointsInGroup_ : 0;
    std::string saved = lastPointSaved_.empty()
                            ? "no point of this run was saved"
                            : "the points up to " + lastPointSaved_ + " are saved";
    if (unsaved > 0) saved += ", the " + std::to_string(unsaved) + " after it were not";
    return saved;
}

void PgSession::lost(const std::string& what) {
    const std::string saved = savedSoFar();
    inTransaction_ = false;
    pipelined_ = false;
    unanswered_ = 0;
    log_.clear();
    completed_ = 0;
    batches_.clear();
    waitingRows_ = 0;
    throw DbError(DbError::Kind::Io,
                  what + ": the connection to the server of " + shownName_ + " was lost; " + saved);
}

void PgSession::groupLost(const PgResult& result, const std::string& table) {
    const std::string saved = savedSoFar();
    inTransaction_ = false;
    log_.clear();
    completed_ = 0;
    pointsInGroup_ = 0;
    batches_.clear();
    waitingRows_ = 0;
    const std::string where =
        table.empty() ? "the database " + shownName_ : "the table " + table + " of " + shownName_;
    const bool locked = result.sqlState() == "55P03";
    throw DbError(locked ? DbError::Kind::Locked : DbError::Kind::Io,
                  "Cannot save the writes to " + where + ": " +
                      (locked ? std::string("it is locked by another program (a session that "
                                            "holds it longer than ") +
                                    kLockWait + ")"
                              : WithoutPassword(result.message(), uri_)) +
                      "; " + saved);
}

PgResult PgSession::query(const std::string& sql, const std::vector<PgParam>& params,
                          const std::string& table) {
    flushRows();
    if (inTransaction_) settle(table);
    PgResult r = run(sql, params);
    if (r.ok()) return r;
    if (inTransaction_) {
        // The failed read aborted the group's transaction: start it over.
        rollback();
        PgResult again = replay(log_.size());
        if (!again.ok()) {
            rollback();
            saveCompleted();
        }
    }
    fail(r, "Cannot read the database", table);
}

void PgSession::write(const std::string& sql, const std::vector<PgParam>& params,
                      const std::string& table, const std::string& point) {
    flushRows();
    if (!inTransaction_) begin();
    if (!point.empty()) pointInProgress_ = point;
    logAndSend({sql, params}, table);
}

void PgSession::logAndSend(PgStatement statement, const std::string& table) {
    // Sent before it is logged: a conflict met while its statement is prepared starts the
    // group over without it.
    send(statement, table);
    log_.push_back(std::move(statement));
    if (unanswered_ >= kMostUnanswered) settle(table);
}

void PgSession::writeRow(const PgRowWrite& shape, std::vector<PgParam> values, std::string key,
                         const std::string& table, const std::string& point) {
    if (!inTransaction_) begin();
    if (!point.empty()) pointInProgress_ = point;
    auto alike = [&](const RowBatch& b) {
        return b.shape.sql == shape.sql && b.shape.fixed == shape.fixed;
    };
    auto it = std::find_if(batches_.begin(), batches_.end(), alike);
    const bool keyMetTwice =
        it != batches_.end() && shape.distinctKeys && it->distinct.count(key) != 0;
    // Rows of another kind for the same table go out first, so that its writes keep their order.
    const bool otherKind =
        it == batches_.end() && std::any_of(batches_.begin(), batches_.end(),
                                            [&](const RowBatch& b) { return b.table == table; });
    if (keyMetTwice || otherKind) {
        flushRows();
        it = batches_.end();
    }
    if (it == batches_.end()) {
        batches_.push_back({shape, table, {}, {}, {}, 0});
        it = batches_.end() - 1;
    }
    if (shape.distinctKeys) it->distinct.insert(key);
    it->rows.push_back(std::move(values));
    it->keys.push_back(std::move(key));
    if (++waitingRows_ >= kMostWaitingRows) flushRows();
}

void PgSession::sendRows(RowBatch& batch, std::size_t from, std::size_t to) {
    if (batch.shape.sqlOfMany.empty()) {
        PgStatement statement{batch.shape.sql, batch.shape.fixed};
        std::string keys = "{";
        for (std::size_t r = from; r < to; ++r) {
            if (r > from) keys += ',';
            AppendArrayElement(keys, batch.keys[r]);
        }
        statement.params.push_back(keys + "}");
        logAndSend(std::move(statement), batch.table);
        return;
    }
    while (from < to) {
        const std::size_t rows = to - from >= kRowsPerStatement ? kRowsPerStatement : 1;
        PgStatement statement{rows == 1 ? batch.shape.sql : batch.shape.sqlOfMany, {}};
        statement.params.reserve(rows * batch.rows[from].size());
        for (std::size_t r = from; r < from + rows; ++r)
            for (PgParam& value : batch.rows[r]) statement.params.push_back(std::move(value));
        logAndSend(std::move(statement), batch.table);
        from += rows;
    }
}

void PgSession::flushRows() {
    if (batches_.empty()) return;
    std::vector<RowBatch> batches;
    batches.swap(batches_);
    waitingRows_ = 0;
    // The rows of completed points join the completed part of the log; the point in progress
    // follows them.
    bool completedSent = false;
    for (RowBatch& b : batches) {
        if (b.completedRows == 0) continue;
        sendRows(b, 0, b.completedRows);
        completedSent = true;
    }
    if (completedSent) completed_ = log_.size();
    for (RowBatch& b : batches)
        if (b.completedRows < b.rows.size()) sendRows(b, b.completedRows, b.rows.size());
}

void PgSession::alterNow(const std::vector<PgStatement>& statements, const std::string& table) {
    commit();
    // The statements without values go in one round trip with the transaction around them.
    // No wait for the disk: the change holds no points, and the next group's commit, which
    // waits, saves it with them (the server writes its log in order).
    std::string together =
        "BEGIN; SET LOCAL lock_timeout = '1s'; SET LOCAL synchronous_commit = off";
    std::size_t valued = 0;
    for (; valued < statements.size() && statements[valued].params.empty(); ++valued)
        together += "; " + statements[valued].sql;
    const bool allTogether = valued == statements.size();
    if (allTogether) together += "; COMMIT";
    for (int attempt = 1;; ++attempt) {
        inTransaction_ = true;
        PgResult r = plain(together.c_str());
        for (std::size_t i = valued; r.ok() && i < statements.size(); ++i)
            r = run(statements[i].sql, statements[i].params);
        if (r.ok()) {
            inTransaction_ = false;
            if (!allTogether) execPlain("COMMIT");
            return;
        }
        rollback();
        const bool waitedForLock = r.sqlState() == "55P03";
        if ((waitedForLock || classify(r) == Failure::Retry) && attempt < kAlterAttempts) continue;
        fail(r, "Cannot change the table " + table, table);
    }
}

void PgSession::pointSaved() {
    completed_ = log_.size();
    for (RowBatch& b : batches_) b.completedRows = b.rows.size();
    if (!pointInProgress_.empty()) {
        lastPointInGroup_ = pointInProgress_;
        ++pointsInGroup_;
        pointInProgress_.clear();
    }
    if (inTransaction_ && std::chrono::steady_clock::now() - transactionStart_ >= kCommitInterval)
        commit();
}

void PgSession::commit() {
    flushRows();
    if (inTransaction_) {
        settle("");
        PgResult r = plain("COMMIT");
        inTransaction_ = false;
        if (!r.ok()) {
            log_.clear();
            completed_ = 0;
            fail(r, "Cannot save the changes", "");
        }
        ++commits_;
    }
    if (!pointInProgress_.empty()) lastPointInGroup_ = pointInProgress_;
    pointInProgress_.clear();
    if (!lastPointInGroup_.empty()) lastPointSaved_ = lastPointInGroup_;
    pointsInGroup_ = 0;
    log_.clear();
    completed_ = 0;
}

void PgSession::close() noexcept {
    if (!conn_ || !inTransaction_) return;
    try {
        commit();  // as a file does: whatever the group holds is saved on closing
    } catch (const std::exception&) {
        rollback();  // nothing more can be kept
    }
}

}  // namespace pel::db
