// bare_import DB FILE.eb: the least an import can do, as a yardstick for ours. Reads the file in
// large chunks, splits its lines, seeks each point by NAME and inserts its row with cached
// prepared statements in one transaction: text columns only (a missing one is added as TEXT),
// no definition update, no conversions, no feedback. DB is a point database as new-db makes it.

#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

std::string Quote(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

class BareImport {
  public:
    explicit BareImport(sqlite3* db) : db_(db) {}
    ~BareImport() {
        for (auto& [k, st] : statements_) sqlite3_finalize(st);
        for (auto& [k, st] : seeks_) sqlite3_finalize(st);
    }

    void line(std::string_view l) {
        if (l.empty() || l.front() == '{' || l.front() == '$') return;
        if (l.starts_with("&T")) {
            flush();
            type_ = std::string(Trim(l.substr(l.size() > 3 ? 3 : l.size())));
            hasName_ = false;
        } else if (l.starts_with("&N")) {
            flush();
            name_ = std::string(Trim(l.substr(l.size() > 3 ? 3 : l.size())));
            hasName_ = true;
        } else if (const auto eq = l.find('='); eq != std::string_view::npos && hasName_) {
            std::string_view v = Trim(l.substr(eq + 1));
            if (!v.empty() && v.front() == '"') v.remove_prefix(1);
            if (!v.empty() && v.back() == '"') v.remove_suffix(1);
            columns_ += Trim(l.substr(0, eq));
            columns_ += ',';
            values_.emplace_back(v);
        }
    }

    void flush() {
        if (!hasName_ || type_.empty()) return;
        hasName_ = false;
        sqlite3_stmt* seek = seekFor(type_);
        sqlite3_bind_text(seek, 1, name_.data(), static_cast<int>(name_.size()), SQLITE_STATIC);
        const bool found = sqlite3_step(seek) == SQLITE_ROW;
        sqlite3_reset(seek);
        if (!found) {
            sqlite3_stmt* insert = insertFor();
            int p = 1;
            sqlite3_bind_text(insert, p++, name_.data(), static_cast<int>(name_.size()),
                              SQLITE_STATIC);
            sqlite3_bind_text(insert, p++, type_.data(), static_cast<int>(type_.size()),
                              SQLITE_STATIC);
            for (const auto& v : values_)
                sqlite3_bind_text(insert, p++, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
            if (sqlite3_step(insert) != SQLITE_DONE)
                std::fprintf(stderr, "%s: %s\n", name_.c_str(), sqlite3_errmsg(db_));
            sqlite3_reset(insert);
        }
        columns_.clear();
        values_.clear();
    }

  private:
    sqlite3_stmt* prepare(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "%s: %s\n", sql.c_str(), sqlite3_errmsg(db_));
        return st;
    }

    sqlite3_stmt* seekFor(const std::string& type) {
        auto& st = seeks_[type];
        if (!st) st = prepare("SELECT rowid FROM " + Quote(type) + " WHERE NAME = ?1");
        return st;
    }

    // The insert of this point's columns, in their order; made once per type and column list.
    sqlite3_stmt* insertFor() {
        const std::string key = type_ + ':' + columns_;
        if (auto it = statements_.find(key); it != statements_.end()) return it->second;
        auto& known = known_[type_];
        if (known.empty()) {
            sqlite3_stmt* info = prepare("SELECT upper(name) FROM pragma_table_info(?1)");
            sqlite3_bind_text(info, 1, type_.c_str(), -1, SQLITE_STATIC);
            while (sqlite3_step(info) == SQLITE_ROW)
                known.emplace(reinterpret_cast<const char*>(sqlite3_column_text(info, 0)));
            sqlite3_finalize(info);
        }
        std::string names = "NAME, PNTTYPE", params = "?1, ?2";
        std::size_t start = 0;
        for (int n = 3; start < columns_.size(); ++n) {
            const std::size_t comma = columns_.find(',', start);
            const std::string column = columns_.substr(start, comma - start);
            start = comma + 1;
            std::string upper = column;
            for (char& c : upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (known.insert(upper).second)
                sqlite3_exec(
                    db_,
                    ("ALTER TABLE " + Quote(type_) + " ADD COLUMN " + Quote(column) + " TEXT")
                        .c_str(),
                    nullptr, nullptr, nullptr);
            names += ", " + Quote(column);
            params += ", ?" + std::to_string(n);
        }
        sqlite3_stmt* st =
            prepare("INSERT INTO " + Quote(type_) + " (" + names + ") VALUES (" + params + ")");
        statements_.emplace(key, st);
        return st;
    }

    sqlite3* db_;
    std::string type_, name_, columns_;
    bool hasName_ = false;
    std::vector<std::string> values_;
    std::unordered_map<std::string, sqlite3_stmt*> statements_, seeks_;
    std::map<std::string, std::unordered_set<std::string>> known_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bare_import DB FILE.eb\n");
        return 2;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return 1;
    std::FILE* in = std::fopen(argv[2], "rb");
    if (!in) return 1;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    {
        BareImport import(db);
        std::vector<char> buffer(1 << 20);
        std::size_t kept = 0;
        for (;;) {
            const std::size_t got = std::fread(buffer.data() + kept, 1, buffer.size() - kept, in);
            const std::size_t end = kept + got;
            std::size_t begin = 0;
            for (;;) {
                const void* lf = std::memchr(buffer.data() + begin, '\n', end - begin);
                if (!lf) break;
                const std::size_t i =
                    static_cast<std::size_t>(static_cast<const char*>(lf) - buffer.data());
                std::string_view l(buffer.data() + begin, i - begin);
                if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
                import.line(l);
                begin = i + 1;
            }
            if (got == 0) {
                if (begin < end) import.line(std::string_view(buffer.data() + begin, end - begin));
                break;
            }
            kept = end - begin;
            std::memmove(buffer.data(), buffer.data() + begin, kept);
            if (kept == buffer.size()) buffer.resize(buffer.size() * 2);
        }
        import.flush();
    }
    std::fclose(in);
    const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK ? 0 : 1;
}
