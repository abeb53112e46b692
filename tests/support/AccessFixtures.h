#pragma once
// The Access files under tests/data/mdb, copied into a temporary folder before a test opens
// them (the originals are never touched).

#include <filesystem>
#include <string>

#include "support/TestSupport.h"

namespace pel::test {

inline std::string CopyAccessFixture(const TempDir& dir, const std::string& name) {
    const std::string to = dir.file(name);
    std::filesystem::copy_file(std::string(PELORIN_TEST_DATA) + "/mdb/" + name, to,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(
        to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    return to;
}

}  // namespace pel::test
