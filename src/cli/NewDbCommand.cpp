// new-db DB: a new point database with a table for every point type of the definitions.

#include "cli/CliCommand.h"
#include "core/Paths.h"
#include "db/Database.h"
#include "db/PointDatabase.h"
#include "db/ServerUri.h"
#include "db/sqlite/NewDatabaseFile.h"

namespace pel::cli {

namespace {

void CreatePointTables(CliRuntime& rt, db::Database& db) {
    for (std::int32_t i = 0; i < rt.catalog.count(); ++i)
        db::CreatePointTypeTable(db, rt.catalog.name(i));
    db.commit();
}

// On a server: the tables of an empty database, made in one transaction, so that a failure
// leaves the database as it was.
int CreateServerPointDatabase(CliRuntime& rt, const std::string& uri) {
    if (!rt.openDefinitions()) return kExitLeftUndone;
    try {
        auto db = db::Database::create(uri);
        CreatePointTables(rt, *db);
    } catch (const std::exception& e) {
        rt.feedback->message("Error", e.what(), Icon::Critical);
        return kExitLeftUndone;
    }
    return kExitDone;
}

// Built under a fresh name beside the target and published at the end: a failure leaves
// nothing, and no other file is ever touched.
int CreatePointDatabase(CliRuntime& rt, const std::string& path) {
    if (db::IsServerUri(path)) return CreateServerPointDatabase(rt, path);
    if (FileExists(path)) {
        rt.feedback->message("Error", "A file " + path + " exists already; it is left alone");
        return kExitLeftUndone;
    }
    if (!rt.openDefinitions()) return kExitLeftUndone;
    std::string temp;
    try {
        temp = db::TemporaryPathBeside(path);
        {
            auto db = db::Database::create(temp);
            CreatePointTables(rt, *db);
        }
        db::Publish(temp, path);
    } catch (const std::exception& e) {
        if (!temp.empty()) db::RemoveDatabaseFiles(temp);
        rt.feedback->message("Error", e.what(), Icon::Critical);
        return kExitLeftUndone;
    }
    return kExitDone;
}

}  // namespace

void SetupNewDbCommand(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand(
        "new-db",
        "A new point database: a table (NAME, PNTTYPE, PTDESC, _INTERNAL) with its "
        "PrimaryKey index for every point type of the definitions; refuses an existing file, or "
        "a server database (postgresql://...) that holds tables");
    auto path = std::make_shared<std::string>();
    cmd->add_option("DB", *path, "The database to create")->required();
    cmd->callback([&rt, path] { rt.run = [&rt, path] { return CreatePointDatabase(rt, *path); }; });
}

}  // namespace pel::cli
