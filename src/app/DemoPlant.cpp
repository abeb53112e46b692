#include "app/DemoPlant.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/Paths.h"
#include "db/Database.h"
#include "db/PointDatabase.h"
#include "import/ImportDriver.h"

namespace pel {

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kDemoPointTypes{"ANINNIM",  "DIINNIM",  "DEVCTL",
                                               "LOGICNIM", "REGPVNIM", "REGCLNIM"};

// The ".eb" files of a folder (any letter case), in name order.
std::vector<std::string> EbFilesIn(const fs::path& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (entry.is_regular_file() && ext == ".eb") out.push_back(entry.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// A new point database with every file imported; written beside the target and renamed at the
// end, so that a failure leaves no half-made database behind.
bool BuildDatabase(PointTypeCatalog& catalog, Feedback& feedback, const std::string& path,
                   const std::vector<std::string>& files, std::string& failure) {
    const std::string part = path + ".part";
    std::error_code ec;
    fs::remove(part, ec);
    try {
        auto db = db::Database::create(part);
        for (std::int32_t i = 0; i < catalog.count(); ++i)
            db::CreatePointTypeTable(*db, catalog.name(i));
        db->commit();
    } catch (const std::exception& e) {
        failure = e.what();
        fs::remove(part, ec);
        return false;
    }
    ImportRequest request;
    request.database = part;
    request.files = files;
    if (RunImport(catalog, feedback, request) != Outcome::Done) {
        failure = "The demo EB files could not be imported into " + path;
        fs::remove(part, ec);
        return false;
    }
    fs::rename(part, path, ec);
    if (ec) {
        failure = "Cannot make " + path + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

std::optional<DemoPlant> PrepareDemoPlant(PointTypeCatalog& catalog, Feedback& feedback,
                                          const std::string& demoDirectory,
                                          const std::string& dataDirectory, std::string& failure) {
    const std::vector<std::string> sources = EbFilesIn(demoDirectory);
    if (sources.empty()) {
        failure = "There are no demo EB files in " + demoDirectory;
        return std::nullopt;
    }
    DemoPlant demo;
    const fs::path data(dataDirectory);
    demo.ebDirectory = (data / "eb").string();
    std::error_code ec;
    fs::create_directories(demo.ebDirectory, ec);
    if (ec) {
        failure = "Cannot make the folder " + demo.ebDirectory + ": " + ec.message();
        return std::nullopt;
    }
    // The user's own edits of the copies are kept.
    for (const std::string& source : sources) {
        const fs::path copy = fs::path(demo.ebDirectory) / fs::path(source).filename();
        if (!fs::exists(copy)) fs::copy_file(source, copy, ec);
        if (ec) {
            failure = "Cannot copy " + source + ": " + ec.message();
            return std::nullopt;
        }
        demo.files.push_back(copy.string());
    }
    demo.database = (data / "demo.db").string();
    demo.asBuiltDatabase = (data / "demo-asbuilt.db").string();
    demo.exportFile = (data / "export.eb").string();
    demo.compareResults = (data / "demo_Compare.htm").string();
    demo.compareDbResults = (data / "demo_CompareDB.htm").string();
    demo.pointTypes = kDemoPointTypes;

    if (!FileExists(demo.database) &&
        !BuildDatabase(catalog, feedback, demo.database, demo.files, failure))
        return std::nullopt;
    if (!FileExists(demo.asBuiltDatabase)) {
        std::vector<std::string> asBuilt = demo.files;
        for (const std::string& change : EbFilesIn(fs::path(demoDirectory) / "asbuilt"))
            asBuilt.push_back(change);
        if (!BuildDatabase(catalog, feedback, demo.asBuiltDatabase, asBuilt, failure))
            return std::nullopt;
    }
    return demo;
}

}  // namespace pel
