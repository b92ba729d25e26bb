#include "base/settings.h"
#include "returns/settings_db.h"
#include "support/scripted_operator.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Saving the parameters tab refuses a withholding code list the collection
// could not paste into its statements, and keeps the codes it had.
TEST(EventCodesSave, MalformedListIsRefusedAtSaving)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("rek2.ini");
    rek2::Settings s;
    s.FHasBrutoDiv = true;
    s.SfDogDvcOdt = "'601'";
    rek2::ParamsForm f;
    f.sfDogDvcOdt = "'601') OR ('1'='1";
    rek2::test::ScriptedOperator op;
    rek2::saveParams(f, s, ini, dir.path() + "/", nullptr, op);
    EXPECT_EQ(s.SfDogDvcOdt, "'601'");
    ASSERT_EQ(op.shown.size(), 1u);
    EXPECT_EQ(op.shown[0].text, "Vnesite šifre dogodkov za davčni odtegljaj!");
    EXPECT_FALSE(QFile::exists(ini));

    f.sfDogDvcOdt = "'601', '602'";
    rek2::saveParams(f, s, ini, dir.path() + "/", nullptr, op);
    EXPECT_EQ(s.SfDogDvcOdt, "'601', '602'");
}
