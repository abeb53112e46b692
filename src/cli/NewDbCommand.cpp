// new-db DB: a new point database with a table for every point type of the definitions.

#include "app/Paths.h"
#include "cli/CliCommand.h"
#include "db/Database.h"
#include "db/NewDatabaseFile.h"
#include "db/PointDatabase.h"

namespace pel::cli {

namespace {

// Built under a fresh name beside the target and published at the end: a failure leaves
// nothing, and no other file is ever touched.
int CreatePointDatabase(CliRuntime& rt, const std::string& path) {
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
            for (std::int32_t i = 0; i < rt.state.pointTypeCount; ++i)
                db::CreatePointTypeTable(*db, rt.state.pointTypeNames[static_cast<std::size_t>(i)]);
            db->commit();
        }
        db::Publish(temp, path);
    } catch (const std::exception& e) {
        if (!temp.empty()) db::RemoveDatabaseFiles(temp);
        rt.feedback->message("Error", e.what(), Icon::Critical);
        return kExitLeftUndone;
    }
    return kExitDone;
}

void Setup(CLI::App& root, CliRuntime& rt) {
    auto* cmd = root.add_subcommand(
        "new-db",
        "A new point database: a table (NAME, PNTTYPE, PTDESC, _INTERNAL) with its "
        "PrimaryKey index for every point type of the definitions; refuses an existing file");
    auto path = std::make_shared<std::string>();
    cmd->add_option("DB", *path, "The database to create")->required();
    cmd->callback([&rt, path] { rt.run = [&rt, path] { return CreatePointDatabase(rt, *path); }; });
}

const CommandRegistration registration(10, Setup);

}  // namespace
}  // namespace pel::cli
