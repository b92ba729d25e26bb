#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace rek2 {

class DataSet;

enum class FieldType { Integer, Float, String, Date, Variant };

// A field as the dataset's owner defines it: what the grid shows and how.
// Fields not defined by the owner are made from the result columns
// (type from the column's declared type) and shown with their name.
struct FieldDef
{
    QString name;
    FieldType type = FieldType::String;
    int size = 0;          // text width, 0 = any
    QString displayLabel;  // column caption; empty = the name
    QString displayFormat; // "#,##0.00", "#,##0." for numbers; empty = plain
    bool visible = true;
    bool calculated = false; // filled per row by OnCalcFields, never stored
    int displayWidth = 0;    // characters a grid, a print or an export gives it; 0 = by type and size
};

// One field of an open dataset, read and written at the dataset's current
// row (or edit buffer). Pointers stay valid while the dataset is open;
// defined fields keep theirs across Close/Open.
class TField
{
public:
    TField(DataSet* dataSet, FieldDef def, int index) : ds_(dataSet), def_(std::move(def)), index_(index) {}

    const FieldDef& def() const { return def_; }
    FieldDef& def() { return def_; }
    const QString& FieldName() const { return def_.name; }
    FieldType DataType() const { return def_.type; }
    int Size() const { return def_.size; }
    QString DisplayLabel() const { return def_.displayLabel.isEmpty() ? def_.name : def_.displayLabel; }
    const QString& DisplayFormat() const { return def_.displayFormat; }
    bool Visible() const { return def_.visible; }
    bool Calculated() const { return def_.calculated; }
    int Index() const { return index_; }

    // Reading: NULL gives "", 0, 0.0, an invalid date. Numbers as text use
    // "." and no exponent for ordinary amounts ("0.2", "1234.5", "20");
    // dates as text are "dd.MM.yyyy".
    QVariant AsVariant() const;
    QString AsString() const;
    int AsInteger() const;
    double AsFloat() const;
    QDate AsDate() const;
    QDateTime AsDateTime() const;
    bool IsNull() const;
    // The text the grid shows: the display format applied to numbers.
    QString DisplayText() const;

    // Writing: only in Edit or Insert state (calculated fields also while
    // OnCalcFields runs). An empty text is stored as NULL. Text that is not
    // a number for a number field throws DbError.
    void SetAsVariant(const QVariant& v);
    void SetAsString(const QString& v) { SetAsVariant(v); }
    void SetAsInteger(int v) { SetAsVariant(v); }
    void SetAsFloat(double v) { SetAsVariant(v); }
    void SetAsDate(const QDate& v) { SetAsVariant(v); }
    void SetAsDateTime(const QDateTime& v) { SetAsVariant(v.date()); }
    void Clear() { SetAsVariant(QVariant()); }

private:
    friend class DataSet;
    DataSet* ds_;
    FieldDef def_;
    int index_;
};

// Shared conversions (dataset, query, grid).
QString variantToText(const QVariant& v);                   // as TField::AsString
QString formatNumber(double v, const QString& fmt);         // "#,##0.00" -> "1.234,56" (Slovenian separators)
QVariant coerceToFieldType(const QVariant& v, FieldType t); // throws DbError on bad text
QString displayTextOf(const FieldDef& def, const QVariant& v); // as TField::DisplayText

} // namespace rek2
