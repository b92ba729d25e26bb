#pragma once
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace rek2::collect {

// Rounds to cents the way the summary sums always have: half to even,
// applied to the floating-point value divided by 0.01.
double roundCents(double value);

// One analytic row as re-grouping reads it from the source.
struct AnalyticRow
{
    int id = 0;     // ID_REK2_ANAL
    int idZbir = 0; // ID_REK2_ZBIR (the row's current summary)
    QString dvs;    // DVS, the recipient's tax number (empty when none)
    QVariant sfkpn; // SFKPN, null when empty
    QString sfvp;
    QString sifVrsteDoh;
    QDate datumIzp;
    QDate datumPlcDvk; // invalid when empty
    QString rez;
    QString znizanaStopnja;
    double bruto = 0; // empty reads as 0
    double davOdtObr = 0;
    double davOdtOdbTuj = 0;
};

// Counts and sums of one group of analytic rows: the figures of its summary.
struct GroupTotals
{
    int stZapRez = 0;
    int stZapNerez = 0;
    double neto = 0;     // Σ (b2 − o2 − t2)
    double doh = 0;      // Σ b
    double dohNerez = 0; // Σ b of non-residents
    double sumT = 0;     // Σ t
    double sumO2 = 0;    // Σ o2
    double znzStp = 0;   // Σ o2 at the reduced rate
    double znzOsn = 0;   // Σ b at the reduced rate

    void add(const AnalyticRow& row);
};

// A tax number that more than one row of one summary record carries.
struct RepeatedTaxNumber
{
    QString dvs;
    int count = 0;
    int summaryId = 0;
};

// A group: consecutive source rows with equal coupon, kind of income, payout
// date and tax date. Descriptive values come from its first row.
struct Group
{
    AnalyticRow first;
    GroupTotals totals;
    std::vector<int> rowIds;
    // Tax numbers that more than one of its rows carries (rows without one,
    // or of identifier 0, which is never re-assigned, not counted), by tax
    // number; their summaryId is left 0.
    std::vector<RepeatedTaxNumber> repeated;
    int summaryId = 0;      // set once its summary record is written
    bool rowsMoved = false; // every row (but those of identifier 0) now points at it

    bool accepts(const AnalyticRow& row) const;
};

// Cuts the rows into groups in source order. The table grows as needed: one
// payout to many holders is one group of as many rows.
std::vector<Group> buildGroups(const std::vector<AnalyticRow>& rows);

// The document kind of a new summary record: 'O' for an original, 'D' for the
// later tax part of a payout. An invalid first reporting day only matters
// when the tax date is later than the payout date, and then it is an error.
QString correctionType(const QDate& datumIzp, const QDate& datumPlcDvk, const QDate& danZacetka,
                       bool danZacetkaValid);

// The row re-assignment statement of one group: IN lists of at most
// `chunkSize` identifiers joined by " OR "; identifiers 0 are left out.
// Empty when there is nothing to re-assign.
QString reassignmentSql(int summaryId, const std::vector<int>& rowIds, int chunkSize = 1000);

// The identifiers reassignmentSql lists, as one JSON array ("[1,2,3]"), for
// a statement that binds them instead.
QString reassignmentIds(const std::vector<int>& rowIds);

// Identifiers joined by ", " (the form inserted into IN lists).
QString idList(const std::vector<int>& ids);

} // namespace rek2::collect
