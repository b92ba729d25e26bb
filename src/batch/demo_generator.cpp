#include "batch/demo_generator.h"

#include "batch/demo_names.h"
#include "batch/demo_random.h"
#include "batch/tax_number.h"
#include "db/bulk.h"

#include <QVariant>
#include <cmath>
#include <unordered_set>
#include <vector>

namespace rek2::batch {

namespace {

constexpr int kEuro = 978;   // cash code of the euro (EUROOBD 'ES')
constexpr int kDollar = 840; // cash code of the US dollar
constexpr int kRegistry = 2; // the registry itself, default payer
constexpr qint64 kFirstHolder = 100000;
constexpr qint64 kFirstAccount = 500000;
constexpr qint64 kFirstEvent = 1000000;
constexpr qint64 kFirstCoupon = 5000;

const QVariant kNull;

// Rounds to cents, halves away from zero on the decimal value (477.945 is
// 477.95 although its binary value lies just below), as the statements' ROUND
// does; going through nano-units first removes the binary error.
double round2(double v)
{
    const long long nano = std::llround(v * 1e9);
    const long long half = nano >= 0 ? 5000000 : -5000000;
    return double((nano + half) / 10000000) / 100.0;
}

QString iso(const QDate& d)
{
    return d.toString(Qt::ISODate);
}

QDate nextWorkingDay(QDate d)
{
    do
        d = d.addDays(1);
    while (d.dayOfWeek() > 5);
    return d;
}

// Tax rates over the years, per country and payout kind.
struct Rate
{
    const char* country;
    char type;
    const char* from;
    double rate;
};
const Rate kRates[] = {
    {"S", 'D', "2006-01-01", 20},     {"S", 'D', "2013-01-01", 25},   {"S", 'O', "2006-01-01", 20},
    {"S", 'O', "2013-01-01", 25},     {"A", 'D', "2011-01-01", 25},   {"A", 'D', "2016-01-01", 27.5},
    {"A", 'O', "2011-01-01", 25},     {"A", 'O', "2016-01-01", 27.5}, {"H", 'D', "2012-03-01", 12},
    {"H", 'D', "2021-01-01", 10},     {"H", 'O', "2012-03-01", 12},   {"D", 'D', "2009-01-01", 26.375},
    {"D", 'O', "2009-01-01", 26.375}, {"I", 'D', "2014-07-01", 26},   {"I", 'O', "2014-07-01", 26},
    {"U", 'D', "2003-01-01", 30},     {"U", 'O', "2003-01-01", 30},   {"R", 'D', "2013-01-01", 15},
    {"B", 'D', "2009-01-01", 5},
};

double rateOn(const QString& country, char type, const QDate& day)
{
    double rate = 0;
    QString best;
    for (const Rate& r : kRates) {
        const QString from = QString::fromLatin1(r.from);
        if (country == QLatin1String(r.country) && r.type == type && from <= iso(day) && from >= best) {
            best = from;
            rate = r.rate;
        }
    }
    return rate;
}

// Treaty rates on dividends paid to residents of a country (reduced-rate payouts).
double treatyRate(char country)
{
    switch (country) {
    case 'H':
    case 'B':
        return 5;
    case 'I':
    case 'R':
        return 10;
    default:
        return 15;
    }
}

struct Country
{
    const char* code;
    const char* name;
    const char* bank;
};
const Country kCountries[] = {
    {"S", "Slovenija", "SI"}, {"A", "Avstrija", "AT"},
    {"H", "Hrvaška", "HR"},   {"D", "Nemčija", "DE"},
    {"I", "Italija", "IT"},   {"U", "Združene države Amerike", "US"},
    {"R", "Srbija", "RS"},    {"B", "Bosna in Hercegovina", "BA"},
};

struct Issuer
{
    int id;
    const char* name;
    const char* address;
    char country;
};
const Issuer kIssuers[] = {
    {10, "Savinjska rudarska družba d.d.", "Rudarska cesta 6, 3320 Velenje", 'S'},
    {11, "Dravska plovba d.d.", "Ptujska cesta 12, 2000 Maribor", 'S'},
    {12, "Kozjanski tekstil d.d.", "Tovarniška ulica 3, 3250 Rogaška Slatina", 'S'},
    {13, "Slovenski sklad za odškodnine d.d.", "Mala ulica 5, 1000 Ljubljana", 'S'},
    {14, "Republika Slovenija", "Gregorčičeva ulica 20, 1000 Ljubljana", 'S'},
    {15, "Alpenholz AG", "Herrengasse 7, 8010 Graz", 'A'},
    {16, "Zagrebačka tvornica kabela d.d.", "Savska cesta 41, 10000 Zagreb", 'H'},
    {17, "Bayerische Kabelwerke AG", "Leopoldstraße 20, 80802 München", 'D'},
    {18, "Great Lakes Steel Inc.", "200 Euclid Avenue, Cleveland OH 44101", 'U'},
};

char issuerCountry(int issuer)
{
    for (const Issuer& i : kIssuers)
        if (i.id == issuer)
            return i.country;
    return 'S';
}

struct Security
{
    int id;
    const char* code;
    const char* name;
    int issuer;
    char kind;      // KPN.SFOBR: 'D' dividend, 'O' interest
    bool percent;   // quoted in percent of principal
    int currency;   // cash code of the payouts
    double rate;    // TCJVLT: currency units per euro
    double unitMin; // gross per unit (interest per unit for the percent bond), in cents or basis points
    double unitMax;
};
const Security kSecurities[] = {
    {101, "SAVR", "Savinjska rudarska družba, delnica", 10, 'D', false, kEuro, 1.0, 20, 250},
    {102, "DRPL", "Dravska plovba, delnica", 11, 'D', false, kEuro, 1.0, 10, 180},
    {103, "KOZT", "Kozjanski tekstil, delnica", 12, 'D', false, kEuro, 1.0, 5, 90},
    {111, "ALPH", "Alpenholz AG, Aktie", 15, 'D', false, kEuro, 1.0, 30, 210},
    {112, "ZTKR", "Zagrebačka tvornica kabela, dionica", 16, 'D', false, kEuro, 1.0, 15, 120},
    {113, "BKWG", "Bayerische Kabelwerke AG, Aktie", 17, 'D', false, kEuro, 1.0, 40, 320},
    {114, "GLSU", "Great Lakes Steel Inc., share", 18, 'D', false, kDollar, 1.0834, 25, 140},
    {201, "SOS2E", "Slovenski sklad za odškodnine, obveznica 2E", 13, 'O', false, kEuro, 1.0, 150, 400},
    {202, "SOS2E_S", "Slovenski sklad za odškodnine, obveznica 2E, strip", 13, 'O', false, kEuro, 1.0, 150,
     400},
    {203, "SAV1", "Savinjska rudarska družba, obveznica", 10, 'O', false, kEuro, 1.0, 200, 450},
    {204, "RS99", "Republika Slovenija, obveznica v odstotkih", 14, 'O', true, kEuro, 1.0, 150, 350},
};
constexpr int kSecurityCount = int(std::size(kSecurities));
constexpr int kLargeDividendSecurity = 0; // SAVR

struct Holder
{
    qint64 id;
    char country;     // SFDRZ
    char taxCountry;  // SFDRZDVK, else SFDRZ
    char personClass; // SFSOS
};

struct Coupon
{
    qint64 id;
    int security; // index into kSecurities
    QDate day;
    double unit;        // gross per unit (OBROBRBRT), or interest per unit (percent bond)
    double revaluation; // percent bond only
    qint64 companion = 0;
    bool large = false;
};

// One DOG row; unset members are NULL.
struct Event
{
    qint64 id = 0;
    const char* code = nullptr; // SFDOG
    const char* kind = nullptr; // SFPDG
    QDate day;                  // DAN
    QDate taxPaid;              // ZPD
    QVariant account;           // IDPOG
    QVariant taxedInstead;      // SFOSBDVK
    qint64 coupon = 0;
    int security = 0;
    QVariant quantity; // LOT
    double exchangeRate = 1.0;
    QVariant cash; // GOT
    int currency = kEuro;
    bool percent = false; // SFGLVENT '%'
    QVariant companion;   // IDDOGGOT
    QVariant interest;    // OBRVLT
    QVariant revaluation; // REVVLT
    QVariant rateForeseen;
    QVariant rateApplied;
    QVariant taxStatus;
};

class Generator
{
public:
    Generator(BulkLoader& db, const DemoOptions& options)
        : db_(db), opt_(options), rng_(options.seed * 0x2545F4914F6CDD1DULL + 17),
          insOsb_(db.prepare(
              "INSERT INTO OSB (SFOSB, NZV, IME, NSL, DVS, DVSTUJ, DVSZDA, SFDRZ, SFDRZDVK, SFSOS) "
              "VALUES (?,?,?,?,?,?,?,?,?,?)")),
          insPog_(db.prepare("INSERT INTO POG (IDPOG, SFOSB) VALUES (?,?)")),
          insDog_(db.prepare(

              "INSERT INTO DOG (IDDOG, SFDOG, SFPDG, DAN, ZPD, IDPOG, SFOSBDVK, SFKPN, SFVP, LOT, TCJVLT, "
              "GOT, SFVPGOT, SFGLVENT, IDDOGGOT, OBRVLT, REVVLT, DAVEKRAZP, DAVEKRAZPOBR, DAVEKSTATUS) "
              "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")),
          insLnk_(db.prepare("INSERT INTO DOGLNK (IDDOGMASTER, IDDOGDETAIL, SFLNK) VALUES (?,?,?)"))
    {
    }

    DemoSummary run()
    {
        days_ = demoPayoutDays(opt_);
        summary_.firstDay = days_.first();
        summary_.lastDay = days_.last();
        summary_.largeDividendDay = days_.last();
        writeCodeTables();
        writeIssuersAndSecurities();
        writeHolders();
        planCoupons();
        writePayouts();
        return summary_;
    }

private:
    QString newTaxNumber()
    {
        for (;;) {
            const QString seven = QString::number(rng_.between(1000000, 9999999));
            const int check = taxNumberCheckDigit(seven);
            if (check < 0)
                continue;
            const QString number = seven + QString::number(check);
            if (usedTaxNumbers_.insert(number.toStdString()).second)
                return number;
        }
    }

    QString foreignNumber(char country)
    {
        return QString(QLatin1Char(country == 'U' ? 'X' : country)) +
               QString::number(rng_.between(10000000, 99999999)) + QString::number(rng_.between(100, 999));
    }

    void writeCodeTables()
    {
        auto drz = db_.prepare("INSERT INTO DRZ (SFDRZ, NZV, SFDRZBNK) VALUES (?,?,?)");
        for (const Country& c : kCountries)
            drz->insert({QString::fromUtf8(c.code), QString::fromUtf8(c.name), QString::fromUtf8(c.bank)});
        auto stp = db_.prepare("INSERT INTO DVK_STP (SFDRZ, TIP, DAN, STOPNJA) VALUES (?,?,?,?)");
        for (const Rate& r : kRates)
            stp->insert({QString::fromLatin1(r.country), QString(QLatin1Char(r.type)),
                         QString::fromLatin1(r.from), r.rate});
        db_.exec("INSERT INTO EUROOBD (OZNAKA, DANOD, SFVPFROM) VALUES ('ES', '2007-01-01', 978)");
        db_.exec("INSERT INTO INISET (KLJUC, VREDNOST) VALUES ('HasBrutoDividende', 'N'), "
                 "('REK_5700_neRez', 'D')");
        db_.exec("INSERT INTO REK2_IMPORT_PARAMS VALUES (2, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', "
                 "'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R')");
        db_.exec("INSERT INTO PREVOD_JEZIKI (KODA_JEZIKA, OPIS) VALUES ('SLO', 'Slovenščina'), "
                 "('ENG', 'English')");
    }

    void writeIssuersAndSecurities()
    {
        // The registry itself: the default payer (its data match the REK2_SIF payer rows).
        insOsb_->insert({kRegistry, QStringLiteral("Vrednostni register Savinja d.d."), kNull,
                         QStringLiteral("Dunajska cesta 48, 1000 Ljubljana"), QStringLiteral("12345679"),
                         kNull, kNull, QStringLiteral("S"), kNull, QStringLiteral("P")});
        usedTaxNumbers_.insert("12345679");
        ++summary_.persons;
        for (const Issuer& i : kIssuers) {
            const bool home = i.country == 'S';
            insOsb_->insert({i.id, QString::fromUtf8(i.name), kNull, QString::fromUtf8(i.address),
                             home ? QVariant(newTaxNumber()) : kNull,
                             home ? kNull : QVariant(foreignNumber(i.country)), kNull,
                             QString(QLatin1Char(i.country)), kNull, QStringLiteral("P")});
            ++summary_.persons;
        }
        auto vp = db_.prepare("INSERT INTO SFVP (SFVP, KRT, NZV, SFGLVENT, SFOSBIZD) VALUES (?,?,?,?,?)");
        vp->insert({kEuro, QStringLiteral("EUR"), QStringLiteral("Evro"), kNull, kNull});
        vp->insert({kDollar, QStringLiteral("USD"), QStringLiteral("Ameriški dolar"), kNull, kNull});
        for (const Security& s : kSecurities)
            vp->insert({s.id, QString::fromLatin1(s.code), QString::fromUtf8(s.name),
                        s.percent ? QVariant(QStringLiteral("%")) : kNull, s.issuer});
    }

    // The first holders cover every kind of person the collection treats
    // differently, so that even a small registry has each of them.
    void writeHolders()
    {
        static const char kForeign[] = {'H', 'A', 'D', 'I', 'U', 'R', 'B', 'H', 'A', 'H'};
        qint64 account = kFirstAccount;
        for (int h = 0; h < opt_.holders; ++h) {
            Holder holder{kFirstHolder + h, 'S', 'S', 'F'};
            QVariant dvs, dvsTuj, dvsZda, drzDvk;
            int kind = h < 8 ? h : rng_.below(100);
            // 0 resident; 1 non-resident with a foreign tax number; 2 home address, taxed abroad;
            // 3 foreign address, taxed at home; 4 non-resident with the second foreign number only;
            // 5 company; 6 another class of person; 7 resident with SFDRZDVK equal to SFDRZ
            if (h >= 8) {
                if (kind < 76)
                    kind = 0;
                else if (kind < 79)
                    kind = 2;
                else if (kind < 81)
                    kind = 7;
                else if (kind < 86)
                    kind = 1;
                else if (kind < 89)
                    kind = 4;
                else if (kind < 91)
                    kind = 3;
                else if (kind < 97)
                    kind = 5;
                else
                    kind = 6;
            }
            switch (kind) {
            case 0:
            case 7:
                dvs = newTaxNumber();
                if (kind == 7)
                    drzDvk = QStringLiteral("S");
                break;
            case 2:
                dvs = newTaxNumber();
                holder.taxCountry = h == 2 ? 'A' : "AD"[rng_.below(2)];
                drzDvk = QString(QLatin1Char(holder.taxCountry));
                break;
            case 1:
            case 4:
                holder.country = h == 1 ? 'H' : h == 4 ? 'U' : kForeign[rng_.below(int(sizeof kForeign))];
                holder.taxCountry = holder.country;
                // Half of them also have a Slovenian tax number.
                if (kind == 1 && h != 1 && rng_.chance(50))
                    dvs = newTaxNumber();
                if (kind == 1)
                    dvsTuj = foreignNumber(holder.country);
                else
                    dvsZda = QStringLiteral("%1-%2-%3")
                                 .arg(rng_.between(100, 899))
                                 .arg(rng_.between(10, 99))
                                 .arg(rng_.between(1000, 9999));
                break;
            case 3:
                holder.country = h == 3 ? 'H' : kForeign[rng_.below(int(sizeof kForeign))];
                drzDvk = QStringLiteral("S");
                dvs = newTaxNumber();
                dvsTuj = foreignNumber(holder.country);
                break;
            case 5:
                holder.personClass = 'P';
                dvs = newTaxNumber();
                break;
            default:
                holder.personClass = "TJ"[rng_.below(2)];
                dvs = newTaxNumber();
                break;
            }
            const DemoPerson p = holder.personClass == 'P' ? demoCompany(rng_, holder.country)
                                                           : demoNaturalPerson(rng_, holder.country);
            insOsb_->insert({holder.id, p.surname, p.firstName.isEmpty() ? kNull : QVariant(p.firstName),
                             p.address, dvs, dvsTuj, dvsZda, QString(QLatin1Char(holder.country)), drzDvk,
                             QString(QLatin1Char(holder.personClass))});
            ++summary_.persons;
            holders_.push_back(holder);
            std::vector<qint64> own{account++};
            if (rng_.chance(5))
                own.push_back(account++);
            for (qint64 a : own) {
                insPog_->insert({a, holder.id});
                accounts_.push_back({a, int(holders_.size() - 1)});
            }
            firstAccount_.push_back(own.front());
        }
    }

    void planCoupons()
    {
        // Every security pays at least once; longer periods repeat them.
        const int count = std::max(kSecurityCount, 2 * int(days_.size()));
        std::vector<int> issued(kSecurityCount, 0);
        qint64 id = kFirstCoupon;
        auto kpn = db_.prepare("INSERT INTO KPN (SFKPN, SFVP, SFOBR, OBROBRBRT, STKPN) VALUES (?,?,?,?,?)");
        auto add = [&](int security, const QDate& day, bool large) {
            const Security& s = kSecurities[security];
            Coupon c{++id, security, day, rng_.between(int(s.unitMin), int(s.unitMax)) / 100.0, 0};
            if (s.percent) {
                c.unit /= 100.0; // interest per unit of principal
                c.revaluation = rng_.between(5, 30) / 10000.0;
            }
            c.large = large;
            kpn->insert({c.id, s.id, QString(QLatin1Char(s.kind)),
                         s.percent ? c.unit + c.revaluation : c.unit, 20 + ++issued[security]});
            coupons_.push_back(c);
        };
        for (int k = 0; k < count; ++k)
            add(k % kSecurityCount, days_.at(k % days_.size()), false);
        add(kLargeDividendSecurity, summary_.largeDividendDay, true);
    }

    qint64 newEvent() { return ++event_; }

    void writeEvent(const Event& e)
    {
        insDog_->insert({e.id,
                         QString::fromLatin1(e.code),
                         QString::fromLatin1(e.kind),
                         iso(e.day),
                         e.taxPaid.isValid() ? QVariant(iso(e.taxPaid)) : kNull,
                         e.account,
                         e.taxedInstead,
                         e.coupon,
                         e.security,
                         e.quantity,
                         e.exchangeRate,
                         e.cash,
                         e.currency,
                         e.percent ? QVariant(QStringLiteral("%")) : kNull,
                         e.companion,
                         e.interest,
                         e.revaluation,
                         e.rateForeseen,
                         e.rateApplied,
                         e.taxStatus});
        ++summary_.events;
    }

    void writePayouts()
    {
        for (Coupon& c : coupons_) {
            const Security& s = kSecurities[c.security];
            if (s.percent) {
                c.companion = newEvent();
                writeEvent({.id = c.companion,
                            .code = "OBR",
                            .kind = "O",
                            .day = c.day,
                            .coupon = c.id,
                            .security = s.id,
                            .currency = s.currency,
                            .percent = true,
                            .interest = c.unit,
                            .revaluation = c.revaluation});
            }
            if (c.large) {
                for (int h = 0; h < int(holders_.size()); ++h) {
                    writePayout(c, firstAccount_[h], h);
                    ++summary_.largeDividendPayouts;
                }
                continue;
            }
            for (const auto& [account, holder] : accounts_) {
                // The first holders (one of each kind) hold every security.
                if (holder < 8 || rng_.chance(12))
                    writePayout(c, account, holder);
            }
        }
    }

    void writePayout(const Coupon& c, qint64 account, int holderIndex)
    {
        const Security& s = kSecurities[c.security];
        const Holder& owner = holders_[holderIndex];
        const bool domesticIssuer = issuerCountry(s.issuer) == 'S';

        // Now and then another person is taxed in place of the account owner.
        QVariant taxedInstead;
        const Holder* taxed = &owner;
        if (holderIndex >= 8 && rng_.chance(1)) {
            const int other = rng_.below(int(holders_.size()));
            taxed = &holders_[other];
            taxedInstead = taxed->id;
        }

        double quantity;
        double gross; // in the payout currency
        if (s.percent) {
            quantity = 1000.0 * rng_.between(1, 50);
            gross = (c.unit + c.revaluation) * quantity;
        } else if (s.kind == 'O') {
            quantity = rng_.between(1, 200);
            gross = c.unit * quantity;
        } else {
            quantity = rng_.between(10, 5000);
            gross = c.unit * quantity;
        }

        const int statusDraw = rng_.below(100);
        const QVariant status = statusDraw < 85   ? QVariant(QStringLiteral("D"))
                                : statusDraw < 95 ? kNull
                                                  : QVariant(QStringLiteral("0"));
        const bool exempt = status == QVariant(QStringLiteral("0")) || taxed->personClass == 'P';

        // Tax rate applied, and the rate foreseen when it differs.
        double rate = domesticIssuer ? rateOn(QStringLiteral("S"), s.kind, c.day)
                                     : rateOn(QString(QLatin1Char(issuerCountry(s.issuer))), s.kind, c.day);
        QVariant foreseen, applied;
        if (domesticIssuer && s.kind == 'D' && taxed->taxCountry != 'S' && rng_.chance(60)) {
            foreseen = rate;
            rate = treatyRate(taxed->taxCountry);
            applied = rate;
        } else if (!domesticIssuer && rng_.chance(50)) {
            foreseen = rate;
            rate = 15;
            applied = rate;
        } else if (rng_.chance(70)) {
            foreseen = rate;
            applied = rate;
        }

        // When the tax is withheld: on the payout day, on a later day, never
        // (no withholding event), or withheld as zero.
        enum { SameDay, Later, Missing, Zero } timing = SameDay;
        const int t = rng_.below(100);
        if (exempt)
            timing = rng_.chance(80) ? Missing : Zero;
        else if (!domesticIssuer)
            timing = t < 90 ? SameDay : Missing;
        else
            timing = t < 74 ? SameDay : t < 88 ? Later : t < 97 ? Missing : Zero;

        // Tax paid later is paid within the generated period: the registry
        // holds no events of days still to come.
        if (timing == Later && c.day >= summary_.lastDay)
            timing = SameDay;

        const double tax = timing == SameDay || timing == Later ? round2(gross * rate / 100.0) : 0.0;
        const qint64 payout = newEvent();
        writeEvent({.id = payout,
                    .code = s.kind == 'D' ? "IZD" : "IZO",
                    .kind = s.kind == 'D' ? "=" : "@",
                    .day = c.day,
                    .account = account,
                    .taxedInstead = taxedInstead,
                    .coupon = c.id,
                    .security = s.id,
                    .quantity = quantity,
                    .exchangeRate = s.rate,
                    .cash = round2(gross - tax),
                    .currency = s.currency,
                    .percent = s.percent,
                    .companion = c.companion ? QVariant(c.companion) : kNull,
                    .interest = c.unit,
                    .revaluation = s.percent ? QVariant(c.revaluation) : kNull,
                    .rateForeseen = foreseen,
                    .rateApplied = applied,
                    .taxStatus = status});
        ++summary_.payouts;

        if (timing != Missing) {
            QDate paid = c.day;
            if (timing == Later)
                for (int i = rng_.between(1, 3); i > 0 && paid < summary_.lastDay; --i)
                    paid = nextWorkingDay(paid);
            const qint64 withholding = newEvent();
            writeEvent({.id = withholding,
                        .code = domesticIssuer ? "DVO" : "DVT",
                        .kind = "-",
                        .day = paid,
                        .taxPaid = paid,
                        .account = account,
                        .taxedInstead = taxedInstead,
                        .coupon = c.id,
                        .security = s.id,
                        .quantity = tax,
                        .exchangeRate = s.rate,
                        .cash = -tax,
                        .currency = s.currency});
            insLnk_->insert({payout, withholding, QStringLiteral("R")});
            ++summary_.withholdings;
        }
        // Some payouts are followed by a transfer of the cash to the holder's bank;
        // the link of that kind is no withholding link.
        if (rng_.chance(5)) {
            const qint64 transfer = newEvent();
            writeEvent({.id = transfer,
                        .code = "PRN",
                        .kind = "G",
                        .day = nextWorkingDay(c.day),
                        .account = account,
                        .coupon = c.id,
                        .security = s.id,
                        .exchangeRate = s.rate,
                        .cash = -round2(gross - tax),
                        .currency = s.currency});
            insLnk_->insert({payout, transfer, QStringLiteral("G")});
        }
    }

    BulkLoader& db_;
    DemoOptions opt_;
    DemoRandom rng_;
    std::unique_ptr<BulkStatement> insOsb_, insPog_, insDog_, insLnk_;
    QList<QDate> days_;
    DemoSummary summary_;
    std::unordered_set<std::string> usedTaxNumbers_;
    std::vector<Holder> holders_;
    std::vector<std::pair<qint64, int>> accounts_; // account, holder index
    std::vector<qint64> firstAccount_;
    std::vector<Coupon> coupons_;
    qint64 event_ = kFirstEvent;
};

} // namespace

QList<QDate> demoPayoutDays(const DemoOptions& options)
{
    const int count = std::max(1, options.days);
    QList<QDate> days;
    if (options.from.isValid()) {
        QDate d = options.from;
        while (d.dayOfWeek() > 5)
            d = d.addDays(1);
        while (days.size() < count) {
            days << d;
            d = nextWorkingDay(d);
        }
    } else {
        QDate d = options.today.addDays(-1);
        while (days.size() < count) {
            if (d.dayOfWeek() <= 5)
                days.prepend(d);
            d = d.addDays(-1);
        }
    }
    return days;
}

QString demoWithholdingCodes()
{
    return QStringLiteral("'DVO','DVT'");
}

QString demoIniText()
{
    return QStringLiteral("[Splošno]\n"
                          "ServerName=\n"
                          "XMLPath=\\xml\\\n"
                          "XMLArhiv=\\arhiv\\\n"
                          "Debug=1\n"
                          "OdgovornaOseba=\n"
                          "OdgovornaOsebaTel=\n"
                          "SfDogDvcOdt=") +
           demoWithholdingCodes() + QLatin1Char('\n');
}

DemoSummary generateDemo(BulkLoader& db, const DemoOptions& options)
{
    Generator g(db, options);
    return g.run();
}

} // namespace rek2::batch
