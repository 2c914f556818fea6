#include "env/VersionStrings.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// On Windows these come from the test executable's own version resource, which is the
// product's; on Linux from the same build values.
TEST(VersionStrings, ProductVersionAndNameOfTheRunningExecutable) {
    EXPECT_EQ(GetProductVersionString(), CString(u"4.2.0.0"));
    EXPECT_EQ(GetProductNameString(), CString(u"Quorvia"));
}

TEST(VersionStrings, FirstFillFromTwoThreadsIsWholeForBoth) {
    std::vector<CString> seen(2);
    std::thread a([&] { seen[0] = GetProductVersionString(); });
    std::thread b([&] { seen[1] = GetProductVersionString(); });
    a.join();
    b.join();
    EXPECT_EQ(seen[0], CString(u"4.2.0.0"));
    EXPECT_EQ(seen[1], CString(u"4.2.0.0"));
}

}  // namespace
