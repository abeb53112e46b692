#include "support/TestSupport.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <sqlite3.h>

#include "db/Database.h"
#include "db/Definitions.h"
#include "db/Numeric.h"
#include "db/PointDatabase.h"
#include "db/ServerUri.h"
#include "support/ServerDatabases.h"

namespace pel::test {

TempDir::TempDir() {
    std::random_device rd;
    for (int i = 0; i < 100; ++i) {
        auto p = std::filesystem::temp_directory_path() /
                 ("pelorin-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
        if (std::filesystem::create_directory(p)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

bool RecordingFeedback::askOkCancel(std::string_view title, std::string_view text) {
    bool answer = defaultAnswer;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    questions.push_back({std::string(title), std::string(text), answer});
    if (duringQuestion) duringQuestion();
    return answer;
}

std::string QueryText(const std::string& database, const std::string& sql) {
    sqlite3* h = nullptr;
    std::string out = "<cannot open>";
    if (sqlite3_open_v2(database.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        out = "<error>";
        if (sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
            const int rc = sqlite3_step(st);
            if (rc == SQLITE_ROW)
                out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            else if (rc == SQLITE_DONE)
                out.clear();
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(h);
    return out;
}

bool WritableNow(const std::string& database) {
    if (db::IsServerUri(database)) return true;  // a server locks rows, never the database
    sqlite3* h = nullptr;
    bool free =
        sqlite3_open_v2(database.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_exec(h, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (free) sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return free;
}

::testing::AssertionResult Holds(std::string_view text, std::string_view part) {
    if (text.find(part) != std::string_view::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

std::vector<std::string> FilesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string CrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

std::string BuiltDefinitions() {
    return std::string(PELORIN_BIN_DIR) + "/EB.db";
}

PointTypeCatalog BuiltCatalog() {
    auto definitions = db::Database::open(BuiltDefinitions(), false);
    return db::ReadPointTypeCatalog(*definitions);
}

std::string PlantDatabasePath(const TempDir& dir) {
    const char* onServer = std::getenv("PELORIN_TEST_PLANT_ON_SERVER");
    if (onServer && std::string(onServer) == "1") {
        if (!ServerAvailable())
            throw std::runtime_error("PELORIN_TEST_PLANT_ON_SERVER=1 without PELORIN_TEST_PG_URI");
        return FreshServerDatabase();
    }
    return dir.file("plant.db");
}

void MakePointDatabase(const PointTypeCatalog& catalog, const std::string& path) {
    auto db = db::Database::create(path);
    for (const std::string& type : catalog.names()) db::CreatePointTypeTable(*db, type);
    db->commit();
}

std::string PlantFixture::file(const std::string& name,
                               const std::vector<std::string>& lines) const {
    const std::string path = dir.file(name);
    WriteFile(path, CrLf(lines));
    return path;
}

void PlantFixture::columns(const std::string& table,
                           const std::vector<std::pair<std::string, std::string>>& columns) {
    auto d = db::Database::open(db, true);
    for (const auto& [name, declared] : columns) d->addColumn(table, name, declared);
    d->commit();
}

void PlantFixture::row(const std::string& table, const std::string& name,
                       const std::vector<std::pair<std::string, db::Value>>& values) {
    auto d = db::Database::open(db, true);
    auto c = d->openTable(table, "PrimaryKey", db::CursorMode::Updating);
    c->addNew();
    c->setValue(c->fieldIndex("NAME"), db::Value::text(name));
    for (const auto& [column, v] : values) c->setValue(c->fieldIndex(column), v);
    c->update();
    d->commit();
}

std::string PlantFixture::value(const std::string& table, const std::string& name,
                                const std::string& column) const {
    auto d = db::Database::open(db, false);
    auto c = d->openTable(table, "PrimaryKey", db::CursorMode::Reading);
    if (!c->seek(name)) return "<no row>";
    const int i = c->fieldIndex(column);
    if (i < 0) return "<no column>";
    const db::Value v = c->value(i);
    if (v.isNull()) return "<null>";
    if (v.kind() == db::Value::Kind::Integer) return "int:" + std::to_string(v.asInteger());
    if (v.kind() == db::Value::Kind::Real) return "real:" + db::FormatDouble(v.asReal());
    return v.asText();
}

int StartCli(const std::vector<std::string>& args, const std::string& outPath,
             const std::string& errPath, const CliConditions& conditions) {
    // Everything the child needs is made before the fork: tests run commands from several
    // threads, and a child may then only make calls that take no lock (another thread may have
    // held the allocator's at the fork, and the child would wait for it for ever).
    const std::string program = std::string(PELORIN_BIN_DIR) + "/pelorin-cli";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        const bool replaced = std::any_of(
            conditions.environment.begin(), conditions.environment.end(),
            [&](const auto& given) { return entry.substr(0, entry.find('=')) == given.first; });
        if (!replaced) environment.emplace_back(entry);
    }
    for (const auto& [name, value] : conditions.environment)
        environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    const rlimit limit{static_cast<rlim_t>(conditions.fileSizeLimit),
                       static_cast<rlim_t>(conditions.fileSizeLimit)};

    pid_t pid = ::fork();
    if (pid == 0) {
        int in = ::open("/dev/null", O_RDONLY);
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (conditions.fileSizeLimit >= 0) {
            ::signal(SIGXFSZ, SIG_IGN);  // kept across exec
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

CliResult RunCli(const std::vector<std::string>& args, const CliConditions& conditions) {
    TempDir tmp;
    const std::string outPath = tmp.file("out"), errPath = tmp.file("err");
    const pid_t pid = StartCli(args, outPath, errPath, conditions);
    int status = 0;
    ::waitpid(pid, &status, 0);
    CliResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = ReadFile(outPath);
    r.err = ReadFile(errPath);
    return r;
}

CliResult ExpectCli(const std::vector<std::string>& args, int exitCode, const char* out,
                    std::string_view err) {
    std::string run;
    for (const auto& a : args) run += " " + a;
    CliResult r = RunCli(args);
    EXPECT_EQ(r.exitCode, exitCode) << run << "\n" << r.err;
    if (out) {
        EXPECT_EQ(r.out, out) << run;
    }
    EXPECT_TRUE(Holds(r.err, err)) << run;
    return r;
}

}  // namespace pel::test
