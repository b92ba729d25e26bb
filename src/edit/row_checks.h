#pragma once
#include <QString>
#include <QVariant>

namespace rek2 {

// The columns of one analytic row (REK2_ANAL) that the checks read. A null
// text column reads as the empty text, a null amount as 0.
struct AnalyticRow
{
    int ID_REK2_ANAL = 0;
    QString DVS;
    QString IDENT_ST;
    QString REZ;
    QString DRZ;
    QString SIF_VRSTE_DOH;
    QString SIF_SFDOH;
    QString UGO_MED_POG;
    double BRUTO = 0;
    double DAV_ODT_OBR = 0;
    double DAV_ODT_PLC = 0;
    double DAV_ODT_ODB_TUJ = 0;
};

// The worksheet cell mapped to UGO_MED_POG, as the import read it: its typed
// value (text, number or invalid for an empty cell) and its value as text.
struct BenefitCell
{
    QVariant value;
    QString text;
};

// Findings of one row: each one "\r\n" + "Za ID:" + identifier + its own text.
// When the income type is empty or not a whole number the checks stop where
// it is first read; `error` then says why and the findings so far stay.
struct RowFindings
{
    QString text;
    QString error;
    bool stopped() const { return !error.isEmpty(); }
};

// The thirteen checks in their fixed order; with a cell (the import) the
// spreadsheet-cell check runs between the pairing check and the benefit check.
RowFindings checkAnalyticRow(const AnalyticRow& row, const BenefitCell* cell = nullptr);

// The record editor's form: a row whose checks stopped gets the line
// "Niso nafilani vsi podatki!" (no "Za ID:" prefix) after its findings.
QString editorFindings(const AnalyticRow& row);

// The cell passes when its value equals "0" or "1": the texts, or the numbers.
bool benefitCellPasses(const QVariant& value);

} // namespace rek2
