#include "base/version.h"
#include <gtest/gtest.h>

TEST(Version, HasFourNumbers)
{
    EXPECT_EQ(rek2::fileVersion().split('.').size(), 4);
}
