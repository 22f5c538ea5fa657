// The guide tables of the parameter windows.
#include "parameters/PrmGuide.h"

#include <gtest/gtest.h>

namespace {

TEST(PrmGuideTest, RowsOutsideTheTablesHaveNoGuide) {
    EXPECT_TRUE(PrmGuideLines(2, "QWC50A_C3", 0).isEmpty());
    EXPECT_TRUE(PrmGuideLines(2, "QWC50A_C3", 111).isEmpty());
    EXPECT_TRUE(PrmLockGuideLines(201).isEmpty());
}

} // namespace
