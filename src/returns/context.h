#pragma once
#include "base/debuglog.h"
#include "base/operator.h"
#include "base/settings.h"
#include "db/dataset.h"

#include <QDate>
#include <QList>
#include <QString>
#include <vector>

namespace rek2 {

class Session;

// The window state the domain operations share: the window holds one, tests
// build their own. Datasets are owned here and bound to the session by
// attachSession().
struct RekContext
{
    Session* session = nullptr;
    Settings settings;
    DebugLog* log = nullptr;
    Operator* op = nullptr;

    QDate datumOd, datumDo;     // collection tab pickers
    QDate pregledOd, pregledDo; // review tab pickers
    bool FKopiranje = false;
    bool xmlZaVseZbirne = false;

    DataSet odsNabor{QStringLiteral("odsNabor")};         // analytic grid
    DataSet odsREK2_Zbir{QStringLiteral("odsREK2_Zbir")}; // summary grid
    DataSet odsKupon{QStringLiteral("odsKupon")};         // coupon look-up
    DataSet odsNaborREK2{QStringLiteral("odsNaborREK2")}; // re-grouping source
    QList<int> selectedZbirIds;                           // summary grid selection

    DataSet odsPregled{QStringLiteral("odsPregled")};   // review tab: history summaries
    DataSet odsPregledA{QStringLiteral("odsPregledA")}; // review tab: history rows of one summary
    std::vector<bool> pregledSuperseded;                // per row of odsPregled, as last filled

    // Sets the session and binds every owned dataset to it.
    void attachSession(Session* s)
    {
        session = s;
        odsNabor.SetSession(s);
        odsREK2_Zbir.SetSession(s);
        odsKupon.SetSession(s);
        odsNaborREK2.SetSession(s);
        odsPregled.SetSession(s);
        odsPregledA.SetSession(s);
    }

    // A log that is missing or cannot be written never stops the action.
    void DebugMessage(const QString& text)
    {
        if (log)
            log->DebugMessage(text);
    }
};

} // namespace rek2
