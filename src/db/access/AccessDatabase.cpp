#include "db/access/AccessDatabase.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

#include "db/access/AccessCatalog.h"
#include "db/access/AccessCursor.h"
#include "db/access/AccessLibrary.h"
#include "db/access/AccessPageStream.h"
#include "db/access/AccessTableReader.h"

namespace pel::db {

namespace {

class AccessDatabase : public Database {
  public:
    AccessDatabase(MdbHandle* mdb, std::string path, AccessCatalogEntries catalog)
        : mdb_(mdb), path_(std::move(path)), catalog_(std::move(catalog)) {
        for (const auto& entry : catalog_) {
            names_.emplace_back(entry->object_name);
            entries_.emplace(entry->object_name, entry.get());
        }
    }
    ~AccessDatabase() override {
        QuietLibmdb quiet;
        mdb_close(mdb_);
    }
    AccessDatabase(const AccessDatabase&) = delete;
    AccessDatabase& operator=(const AccessDatabase&) = delete;

    const std::string& path() const override { return path_; }
    bool isReadOnly() const override { return true; }
    bool isAccess() const override { return true; }

    std::vector<std::string> tableNames() override { return names_; }

    std::optional<TableInfo> tableInfo(std::string_view table) override {
        auto entry = entries_.find(std::string(table));
        if (entry == entries_.end()) return std::nullopt;
        auto cached = infos_.find(entry->first);
        if (cached == infos_.end())
            cached = infos_.emplace(entry->first, ReadAccessTableInfo(source(*entry))).first;
        return cached->second;
    }

    std::unique_ptr<Cursor> openTable(std::string_view table, std::string_view index,
                                      CursorMode mode) override {
        const std::string name(table);
        if (mode == CursorMode::Updating)
            throw AccessReadOnlyError(path_, "Cannot open " + name + " for changes");
        auto info = tableInfo(table);
        if (!info)
            throw DbError(DbError::Kind::NoTable,
                          "The database " + path_ + " has no table " + name);
        IndexInfo order;  // none: rows by NAME, else in file order
        if (!index.empty()) {
            const IndexInfo* idx = info->index(index);
            if (!idx)
                throw DbError(DbError::Kind::NoIndex, "The table " + name + " of " + path_ +
                                                          " has no index " + std::string(index));
            if (!idx->readable)
                throw DbError(DbError::Kind::NoIndex,
                              "The index " + idx->name + " of the table " + name + " in " + path_ +
                                  " cannot be read (libmdb does not understand how the file "
                                  "defines it)");
            order = *idx;
        }
        AccessRows rows = ReadAccessRows(source(*entries_.find(name)), *info);
        return std::make_unique<AccessCursor>(std::move(*info), order, std::move(rows), path_);
    }

    void addColumn(std::string_view table, std::string_view column, std::string_view) override {
        throw AccessReadOnlyError(
            path_, "Cannot add the column " + std::string(column) + " to " + std::string(table));
    }
    void dropColumn(std::string_view table, std::string_view column) override {
        throw AccessReadOnlyError(
            path_, "Cannot delete the column " + std::string(column) + " of " + std::string(table));
    }
    void createTable(std::string_view table, const std::vector<ColumnInfo>&) override {
        throw AccessReadOnlyError(path_, "Cannot create the table " + std::string(table));
    }
    void createIndex(std::string_view table, const IndexInfo& index) override {
        throw AccessReadOnlyError(
            path_, "Cannot create the index " + index.name + " on " + std::string(table));
    }
    // Nothing is ever written, so there is nothing to commit.
    void pointSaved() override {}
    void commit() override {}
    std::vector<std::string> takeReadNotes() override { return std::exchange(notes_, {}); }

  private:
    AccessTableSource source(const std::pair<const std::string, MdbCatalogEntry*>& entry) const {
        return {entry.second, path_, entry.first, &notes_};
    }

    MdbHandle* mdb_;
    std::string path_;
    AccessCatalogEntries catalog_;
    std::vector<std::string> names_;  // user tables in catalog order
    std::map<std::string, MdbCatalogEntry*> entries_;
    std::map<std::string, TableInfo> infos_;
    mutable std::vector<std::string> notes_;  // filled while tables are read
};

}  // namespace

bool LooksLikeAccessFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char head[20] = {};
    std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return n == sizeof head && (std::memcmp(head + 4, "Standard Jet DB", 15) == 0 ||
                                std::memcmp(head + 4, "Standard ACE DB", 15) == 0);
}

DbError AccessReadOnlyError(const std::string& path, const std::string& what) {
    return DbError(DbError::Kind::ReadOnly,
                   what + ": the database " + path +
                       " is an Access file, which is read only here; convert it first with "
                       "pelorin-cli convert " +
                       path + " NEW.db and work on the new file");
}

std::unique_ptr<Database> OpenAccessDatabase(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw DbError(DbError::Kind::NotFound, "The database " + path + " does not exist");
    if (S_ISDIR(info.st_mode))
        throw DbError(DbError::Kind::NotADatabase, path + " is a folder, not a database");
    // libmdb says only "cannot open"; ask the system why first.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw DbError(DbError::Kind::Io,
                      "Cannot open the database " + path + ": " + std::strerror(errno));
    ::close(fd);

    QuietLibmdb quiet;
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    auto notReadable = [&](const char* fallback) {
        std::string said = FirstLibmdbLine(quiet.takeMessages());
        return DbError(DbError::Kind::NotADatabase,
                       "Cannot open the database " + path +
                           ": it is not an Access database that "
                           "can be read (" +
                           (said.empty() ? std::string(fallback) : said) + ")");
    };
    if (!mdb) throw notReadable("the file is damaged or of an unknown kind");
    UseAccessPageStream(mdb, path);
    // An Access file is a whole number of pages; libmdb itself would read a cut file as one
    // with fewer tables.
    const auto pageSize = static_cast<unsigned long>(mdb->fmt->pg_size);
    const auto size = static_cast<unsigned long>(info.st_size);
    AccessCatalogEntries catalog;
    bool damaged = pageSize == 0 || size % pageSize != 0;
    try {
        if (!damaged) catalog = ReadAccessCatalog(mdb, path, size / pageSize);
    } catch (const DbError&) {
        mdb_close(mdb);
        throw;
    }
    const std::string said = quiet.takeMessages();
    if (damaged || quiet.overflowed() || LibmdbMetDamage(said)) {
        mdb_close(mdb);
        throw DbError(DbError::Kind::NotADatabase,
                      "Cannot open the database " + path +
                          ": the Access file is damaged or cut short" +
                          (said.empty() ? std::string() : " (" + FirstLibmdbLine(said) + ")"));
    }
    return std::make_unique<AccessDatabase>(mdb, path, std::move(catalog));
}

}  // namespace pel::db
