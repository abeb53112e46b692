#pragma once
// Shared test helpers: temporary folders, a recording feedback with scripted answers, small
// file helpers and a runner for the built pelorin-cli.

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"
#include "db/Database.h"
#include "db/Definitions.h"

namespace pel::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Records everything an engine says; questions are answered from a script (OK when it runs out,
// unless `defaultAnswer` says otherwise).
class RecordingFeedback : public Feedback {
  public:
    struct Question {
        std::string title, text;
        bool answer;
    };
    struct Message {
        std::string title, text;
        Icon icon;
    };

    void setLabel(Panel panel, Label label, std::string_view text) override {
        labels[{panel, label}] = text;
    }
    void clearText() override { labels.clear(); }
    void setProgress(Panel, double) override {}
    bool repaintDue() override { return false; }
    void repaint() override {}
    void resultLine(Panel panel, std::string_view text) override {
        results.emplace_back(text);
        Feedback::resultLine(panel, text);
    }
    bool askOkCancel(std::string_view title, std::string_view text) override;
    void message(std::string_view title, std::string_view text, Icon icon) override {
        messages.push_back({std::string(title), std::string(text), icon});
    }
    void warning(std::string_view text) override { warnings.emplace_back(text); }

    std::string label(Panel panel, Label label) const {
        const auto at = labels.find({panel, label});
        return at == labels.end() ? std::string() : at->second;
    }

    std::deque<bool> answers;              // scripted answers, first first
    std::function<void()> duringQuestion;  // runs while a question waits, before its answer
    bool defaultAnswer = true;
    std::vector<Question> questions;
    std::vector<Message> messages;
    std::vector<std::string> warnings;
    std::vector<std::string> results;
    std::map<std::pair<Panel, Label>, std::string> labels;  // as last set
};

// Whether `text` holds `part`; a failure shows the text.
::testing::AssertionResult Holds(std::string_view text, std::string_view part);

// The names of the files in a folder, sorted.
std::vector<std::string> FilesIn(const TempDir& dir);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view bytes);
// Lines joined with CR LF, each ended by CR LF.
std::string CrLf(const std::vector<std::string>& lines);

// The first column of the first row of a query on a SQLite file, as text; "<error>" when it
// fails and "<cannot open>" when the file cannot be opened.
std::string QueryText(const std::string& database, const std::string& sql);

// Whether another program could write to the database now (a write lock taken and given back
// at once, without waiting).
bool WritableNow(const std::string& database);

// The definitions database the build made (bin/EB.db), and its point types.
std::string BuiltDefinitions();
PointTypeCatalog BuiltCatalog();
// A new point database (as pelorin-cli new-db makes it) at `path`, for the catalog's types.
void MakePointDatabase(const PointTypeCatalog& catalog, const std::string& path);

// A point database of the built definitions' types in a fresh folder, with helpers to write EB
// files, add columns and rows, and read values back.
// Where a fixture keeps its point database: a file of `dir`, or, when PELORIN_TEST_PLANT_ON_SERVER
// is 1 and a test server runs, a fresh database on it (the engine suites run over both stores).
std::string PlantDatabasePath(const TempDir& dir);

struct PlantFixture {
    TempDir dir;
    std::unique_ptr<db::Database> definitions = db::Database::open(BuiltDefinitions(), false);
    PointTypeCatalog catalog = db::ReadPointTypeCatalog(*definitions);
    RecordingFeedback feedback;
    std::string db = PlantDatabasePath(dir);
    PlantFixture() { MakePointDatabase(catalog, db); }

    // Writes lines (ended by CR LF) to a file of the folder and returns its path.
    std::string file(const std::string& name, const std::vector<std::string>& lines) const;
    void columns(const std::string& table,
                 const std::vector<std::pair<std::string, std::string>>& nameAndDeclaredType);
    void row(const std::string& table, const std::string& name,
             const std::vector<std::pair<std::string, db::Value>>& values);
    // A column of a point: "<no row>", "<no column>", "<null>", "int:N", "real:X" or the text.
    std::string value(const std::string& table, const std::string& name,
                      const std::string& column) const;
};

struct CliResult {
    int exitCode = -1;
    std::string out, err;
};
// How a child pelorin-cli runs: extra environment, and a limit on the size of every file it
// writes (RLIMIT_FSIZE, with SIGXFSZ ignored: a write past it fails as on a full disk).
struct CliConditions {
    std::vector<std::pair<std::string, std::string>> environment;
    long long fileSizeLimit = -1;
};
// Runs bin/pelorin-cli with the arguments (no shell: each argument as given), stdin empty.
CliResult RunCli(const std::vector<std::string>& args, const CliConditions& conditions = {});
// Runs it and checks the exit status, the standard output when `out` is given, and that the
// standard error holds `err`; a failure names the arguments.
CliResult ExpectCli(const std::vector<std::string>& args, int exitCode, const char* out = nullptr,
                    std::string_view err = {});
// Starts it without waiting, standard output and error into the files named: for tests that
// kill it.
int StartCli(const std::vector<std::string>& args, const std::string& outPath,
             const std::string& errPath, const CliConditions& conditions = {});

}  // namespace pel::test
