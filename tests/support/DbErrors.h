#pragma once
// Whether a call fails with the database layer's error of a given kind, saying a given text.

#include <gtest/gtest.h>

#include <string_view>

#include "db/Database.h"

namespace pel::test {

template <typename F>
::testing::AssertionResult ThrowsDbError(F&& call, db::DbError::Kind kind,
                                         std::string_view says = {}) {
    try {
        call();
    } catch (const db::DbError& e) {
        if (e.kind() == kind && std::string_view(e.what()).find(says) != std::string_view::npos)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "kind " << static_cast<int>(e.kind()) << ": " << e.what();
    }
    return ::testing::AssertionFailure() << "no error was thrown";
}

}  // namespace pel::test
