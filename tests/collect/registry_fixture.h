#pragma once
#include "base/debuglog.h"
#include "db/session.h"
#include "returns/context.h"
#include "support/fixture_db.h"
#include "support/scripted_operator.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace rek2::test {

// A small registry worked out by hand, payout day 15.06.2009 (one tax paid
// later, on 10.07.2009):
//
//  event  holder (account)      coupon / security       lot     withheld (event)
//  1001   Ana Novak (1)         501 KRKG div. 2.00      100     40      (2001, EUR)
//  1002   Cene Zupan (3)        501                      10      4      (2002)
//  1003   Cene Zupan (4)        501                      15      6      (2003)
//  1004   Hans Müller (5), AT   501                      50     15      (2004)
//  1005   Hans Müller (5), AT   502 SOS2E_S int. 1.50   100     37.50   (2005)
//  1006   Bor Kranjc (2)        502                     100     37.50   (2006)
//  1007   Bor Kranjc (2)        505 TUJB int. 0.50      100     12.50   (2007)
//  1008   Ana Novak (1)         503 RS33 in %, companion 1108 (3 + 1) x 10, no 'R' link
//  1009   Dana Kos (6), tax SI  504 OMV div. 1.00       61.73   12.34   (2009, USD)
//  1010   Ana Novak (1)         504                     61.72   12.34   (2010, USD)
//  1011   Bor Kranjc (2)        501, reduced rate        50     10      (2011)
//  1012   Ana Novak (1)         506 KRKG div. 1.00       80     16      (2012, paid 10.07.2009)
//  1013   Trgovina d.o.o. (7)   501, class 'P'           30      6      (2013)
//  1014   Dana Kos (6)          501, OBRVLT 0             5      -
//
// Rates of the home country: 'D' 25 % from 2000, 20 % from 2007; 'O' 25 %.
// KRKG, SOS2E_S and RS33 have a domestic issuer, OMV and TUJB a foreign one.
void insertRegistry(FixtureDb& db);

// A session on a fixture with the registry, a context bound to it, a
// scripted operator and a debug log in the fixture's folder.
struct CollectFixture
{
    CollectFixture();
    ~CollectFixture();

    FixtureDb db{FixtureDb::Content::SifBasics};
    Session session;
    ScriptedOperator op;
    DebugLog log;
    RekContext ctx;

    void period(const QDate& from, const QDate& to);
    QStringList logLines() const;

    // A further holder of coupon 501 (KRKG) paid on 15.06.2009: person `osb`
    // (home tax class 'F', country `country`) with account `pog`, the payout
    // event `payout` of 10 units at 2.00, its withholding event
    // `payout + 1000` of `tax` EUR on the same day, and their 'R' link.
    void addHolderPayout(int osb, const QString& ime, const QString& nzv, const QString& dvs,
                         const QString& country, int pog, int payout, double tax);

    // Rows rendered as text, for comparing with the hand-written tables.
    // Amounts with two decimals, NULL as an empty field.
    QStringList analyticRows();
    QStringList summaryRows();
    QStringList links();
    QString scalar(const QString& sql);
};

} // namespace rek2::test
