#include "base/workstation.h"

#include <gtest/gtest.h>

TEST(Workstation, NamesFitTheArchiveColumns)
{
    const QString user = rek2::LoginUserName();
    EXPECT_LE(user.size(), 20);
    EXPECT_EQ(user, user.toUpper());
    EXPECT_LE(rek2::WorkstationName().size(), 20);
}
