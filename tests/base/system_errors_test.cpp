#include "base/system_errors.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using namespace rek2;

// The system's common reasons come in the operator's words, the system's
// own behind them; anything else stays as it is.
TEST(FileErrorReason, CommonReasonsInSlovenianOthersAsTheyStand)
{
    const struct
    {
        int code;
        const char* words;
    } cases[] = {
        {ENOSPC, "na disku ni več prostora"},
        {ENOENT, "datoteka ali mapa ne obstaja"},
        {EACCES, "ni dovoljenja za dostop"},
        {EROFS, "disk je samo za branje"},
    };
    for (const auto& c : cases) {
        const QString system = QString::fromLocal8Bit(std::strerror(c.code));
        EXPECT_EQ(fileErrorReason(system), QString::fromUtf8(c.words) + " (" + system + ")") << c.code;
    }
    EXPECT_EQ(fileErrorReason("Unknown error"), "Unknown error");
    EXPECT_EQ(fileErrorReason(QString()), QString());
}
