// Builds the definitions database from its readable source: pelorin-mkdefs SOURCE.txt EB.db
// The database is written beside the target and renamed into place, so a failed build leaves
// no half-made EB.db.

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string Trim(const std::string& s) {
    auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<std::optional<std::string>> Fields(const std::string& line) {
    std::vector<std::optional<std::string>> out;
    std::size_t start = 0;
    for (;;) {
        auto bar = line.find('|', start);
        std::string f =
            Trim(line.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (f == "NULL")
            out.emplace_back(std::nullopt);
        else
            out.emplace_back(f);
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return out;
}

bool Exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::cerr << "pelorin-mkdefs: " << (err ? err : "error") << "\n";
        sqlite3_free(err);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: pelorin-mkdefs SOURCE.txt EB.db\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "pelorin-mkdefs: cannot read " << argv[1] << "\n";
        return 1;
    }
    const std::string target = argv[2];
    const std::string temp = target + ".tmp";
    std::remove(temp.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(temp.c_str(), &db) != SQLITE_OK) {
        std::cerr << "pelorin-mkdefs: cannot create " << temp << "\n";
        return 1;
    }
    bool ok =
        Exec(db, "BEGIN") &&
        Exec(db,
             "CREATE TABLE \"PointTypes\" (\"PntType\" TEXT NOT NULL COLLATE NOCASE, "
             "\"Node\" TEXT, \"InternalParameters\" TEXT, \"NumericFields\" TEXT)") &&
        Exec(db, "CREATE UNIQUE INDEX \"PointTypes.PrimaryKey\" ON \"PointTypes\" (\"PntType\")") &&
        Exec(db,
             "CREATE TABLE \"QuotedParameters\" (\"Node\" TEXT, \"Parameter\" TEXT NOT NULL)") &&
        Exec(db,
             "CREATE INDEX \"QuotedParameters.PrimaryKey\" ON \"QuotedParameters\" "
             "(\"Parameter\", \"Node\")");
    sqlite3_stmt* types = nullptr;
    sqlite3_stmt* quoted = nullptr;
    ok = ok &&
         sqlite3_prepare_v2(db, "INSERT INTO \"PointTypes\" VALUES (?1, ?2, ?3, ?4)", -1, &types,
                            nullptr) == SQLITE_OK &&
         sqlite3_prepare_v2(db, "INSERT INTO \"QuotedParameters\" VALUES (?1, ?2)", -1, &quoted,
                            nullptr) == SQLITE_OK;
    std::string section, line;
    int lineNumber = 0;
    while (ok && std::getline(in, line)) {
        ++lineNumber;
        std::string t = Trim(line);
        if (t.empty() || t[0] == '#') continue;
        if (t.front() == '[') {
            section = t;
            continue;
        }
        auto f = Fields(t);
        sqlite3_stmt* st = section == "[PointTypes]"         ? types
                           : section == "[QuotedParameters]" ? quoted
                                                             : nullptr;
        const std::size_t want = st == types ? 4 : 2;
        if (!st || f.size() != want) {
            std::cerr << argv[1] << ":" << lineNumber << ": expected " << want << " fields\n";
            ok = false;
            break;
        }
        for (std::size_t i = 0; i < f.size(); ++i) {
            if (f[i])
                sqlite3_bind_text(st, static_cast<int>(i + 1), f[i]->c_str(), -1, SQLITE_TRANSIENT);
            else
                sqlite3_bind_null(st, static_cast<int>(i + 1));
        }
        if (sqlite3_step(st) != SQLITE_DONE) {
            std::cerr << argv[1] << ":" << lineNumber << ": " << sqlite3_errmsg(db) << "\n";
            ok = false;
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(types);
    sqlite3_finalize(quoted);
    ok = ok && Exec(db, "COMMIT");
    sqlite3_close(db);
    if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
        std::remove(temp.c_str());
        std::cerr << "pelorin-mkdefs: " << target << " was not built\n";
        return 1;
    }
    return 0;
}
