#include "convert/ConvertDatabase.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "db/Database.h"
#include "db/ServerUri.h"
#include "db/TypeCodes.h"
#include "db/sqlite/NewDatabaseFile.h"
#include "db/sqlite/SqliteRowAppender.h"
#include "db/sqlite/UnseenDatabaseFile.h"

namespace pel {

using db::ColumnInfo;
using db::Cursor;
using db::CursorMode;
using db::Database;
using db::DbError;
using db::IndexInfo;
using db::TableInfo;
using db::Value;

namespace {

constexpr Panel kPanel = Panel::Import;
const std::string kPrimaryKey = "PrimaryKey";
constexpr std::size_t kRowsPerWriteBack = 4096;

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool IsKeyOf(const IndexInfo& index, const std::string& column) {
    if (!index.readable) return false;
    for (const auto& c : index.columns)
        if (c == column) return true;
    return false;
}

std::vector<ColumnInfo> ConvertedColumns(const TableInfo& table) {
    std::vector<ColumnInfo> columns;
    for (const auto& c : table.columns) {
        ColumnInfo out{c.name, c.type, db::DeclaredTypeName(c.type)};
        const bool caseBlindKey =
            c.type == db::kText && (c.name == "NAME" || EqualsIgnoreCase(c.name, "PntType"));
        if (caseBlindKey) {
            bool primary = false, indexed = false;
            for (const auto& idx : table.indexes) {
                if (!IsKeyOf(idx, c.name)) continue;
                if (idx.name == kPrimaryKey)
                    primary = true;
                else
                    indexed = true;
            }
            if (primary)
                out.declaredType = "TEXT NOT NULL COLLATE NOCASE";
            else if (indexed)
                out.declaredType = "TEXT COLLATE NOCASE";
        }
        columns.push_back(std::move(out));
    }
    return columns;
}

class Converter {
  public:
    // Into a server database through cursors, saved in groups as the rows go (every 100 ms), so
    // that a failure keeps what was copied.
    Converter(Database& source, Database& target, Feedback& feedback, const std::string& dest)
        : source_(source), target_(target), feedback_(feedback), dest_(dest) {}
    // Into a new file that nobody sees before it is published: rows go straight in, and the
    // caller commits once at the end.
    Converter(Database& source, db::SqliteDatabase& file, const db::PartInProgress& part,
              Feedback& feedback, const std::string& dest)
        : source_(source),
          target_(file),
          feedback_(feedback),
          dest_(dest),
          file_(&file),
          part_(&part) {}

    void run() {
        const auto tables = source_.tableNames();
        for (std::size_t t = 0; t < tables.size(); ++t) {
            auto info = source_.tableInfo(tables[t]);
            if (!info)
                throw DbError(DbError::Kind::NoTable, "The table " + tables[t] + " of " +
                                                          source_.path() + " cannot be read");
            copyTable(*info, static_cast<double>(t), static_cast<double>(tables.size()));
            ++tables_;
        }
    }

    std::size_t tables() const { return tables_; }
    std::size_t rows() const { return rows_; }
    bool indexesLeftOut() const { return indexesLeftOut_; }

  private:
    void copyTable(const TableInfo& table, double done, double total) {
        feedback_.setLabel(kPanel, Label::PntType, table.name);
        feedback_.setLabel(kPanel, Label::Name, "");
        feedback_.repaint();
        target_.createTable(table.name, ConvertedColumns(table));

        // Rows in PrimaryKey order when there is one: the copy then lies on disk in that order.
        const IndexInfo* primary = table.index(kPrimaryKey);
        auto in = source_.openTable(table.name, primary && primary->readable ? kPrimaryKey : "",
                                    CursorMode::Reading);
        const int columns = in->fieldCount();
        std::unique_ptr<Cursor> out;
        std::optional<db::SqliteRowAppender> appender;
        if (file_)
            appender.emplace(*file_, table);
        else
            out = target_.openTable(table.name, "", CursorMode::Updating);
        const int nameColumn = in->fieldIndex("NAME");
        const double count = static_cast<double>(in->recordCount());
        double copied = 0;
        for (; !in->eof(); in->moveNext()) {
            if (appender) {
                in->rowValues(row_, rowStorage_);
                appender->append(row_);
            } else {
                out->addNew();
                for (int i = 0; i < columns; ++i) out->setValue(i, in->value(i));
                out->update();
                target_.pointSaved();
            }
            ++rows_;
            ++copied;
            if (part_ && rows_ % kRowsPerWriteBack == 0) part_->startWriteBack();
            if (feedback_.repaintDue()) {
                if (nameColumn >= 0) {
                    const Value name = in->value(nameColumn);
                    feedback_.setLabel(kPanel, Label::Name,
                                       name.kind() == Value::Kind::Text ? name.asText() : "");
                }
                feedback_.setProgress(kPanel, (done + copied / (count > 0 ? count : 1)) / total);
                feedback_.repaint();
            }
        }
        out.reset();
        appender.reset();
        in.reset();

        // Indexes after the rows: building an index once is faster than keeping it up to date.
        for (const auto& idx : table.indexes) {
            if (idx.readable) {
                target_.createIndex(table.name, idx);
                continue;
            }
            indexesLeftOut_ = true;
            feedback_.warning("The index " + idx.name + " of the table " + table.name + " in " +
                              source_.path() + " cannot be read, so " + dest_ + " has no index " +
                              table.name + "." + idx.name);
        }
        if (part_) part_->startWriteBack();
    }

    Database& source_;
    Database& target_;
    Feedback& feedback_;
    const std::string& dest_;
    db::SqliteDatabase* file_ = nullptr;
    const db::PartInProgress* part_ = nullptr;
    std::size_t tables_ = 0;
    std::size_t rows_ = 0;
    bool indexesLeftOut_ = false;
    std::vector<db::ValueView> row_;  // the row being copied, its storage reused from row to row
    std::vector<Value> rowStorage_;
};

}  // namespace

namespace {

std::string ConvertedLine(std::size_t tables, std::size_t rows) {
    return "Tables converted: " + std::to_string(tables) +
           "      Rows converted: " + std::to_string(rows);
}

// Into an empty server database, saved in groups as it goes: a failure says what is left there.
Outcome ConvertToServer(const std::string& source, const std::string& dest, Feedback& feedback) {
    try {
        auto in = Database::open(source, false);
        auto out = Database::create(dest);
        Converter converter(*in, *out, feedback, out->path());
        converter.run();
        out->commit();
        const bool notKept =
            db::SayReadNotes(*in, [&](const std::string& note) { feedback.warning(note); });
        feedback.setProgress(kPanel, 1.0);
        feedback.resultLine(kPanel, ConvertedLine(converter.tables(), converter.rows()));
        return converter.indexesLeftOut() || notKept ? Outcome::LeftUndone : Outcome::Done;
    } catch (const std::exception& e) {
        feedback.message("Error",
                         std::string(e.what()) + "; the tables copied so far are left in " +
                             db::UriWithoutPassword(dest) +
                             ": drop them before converting into it again",
                         Icon::Critical);
        return Outcome::LeftUndone;
    }
}

}  // namespace

Outcome ConvertDatabase(Feedback& feedback, const ConvertRequest& request) {
    const std::string& source = request.source;
    const std::string& dest = request.dest;
    feedback.clearText();
    if (db::IsServerUri(dest)) return ConvertToServer(source, dest, feedback);
    if (PathExists(dest)) {
        feedback.message("Error", "A file " + dest + " exists already; it is left alone",
                         Icon::Critical);
        return Outcome::LeftUndone;
    }
    std::string temp;
    try {
        auto in = Database::open(source, false);
        db::RemoveStaleParts(dest);
        temp = db::TemporaryPathBeside(dest);
        std::size_t tables = 0, rows = 0;
        bool indexesLeftOut = false;
        std::optional<db::PartInProgress> held;  // released after the database closes its file
        {
            auto out = db::CreateUnseenDatabase(temp);
            held.emplace(temp);
            Converter converter(*in, *out, *held, feedback, dest);
            converter.run();
            out->commit();  // syncs the whole file once
            tables = converter.tables();
            rows = converter.rows();
            indexesLeftOut = converter.indexesLeftOut();
        }  // closed before it is renamed
        const bool notKept =
            db::SayReadNotes(*in, [&](const std::string& note) { feedback.warning(note); });
        db::Publish(temp, dest);
        feedback.setProgress(kPanel, 1.0);
        feedback.resultLine(kPanel, ConvertedLine(tables, rows));
        return indexesLeftOut || notKept ? Outcome::LeftUndone : Outcome::Done;
    } catch (const std::exception& e) {
        if (!temp.empty()) db::RemoveDatabaseFiles(temp);
        feedback.message("Error", std::string(e.what()) + "; " + dest + " was not created",
                         Icon::Critical);
        return Outcome::LeftUndone;
    }
}

}  // namespace pel
