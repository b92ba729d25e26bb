#pragma once
#include "ui/grid/dialog_base.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace rek2 {

class DataSet;

// "Iskanje": find a row by one field's display text, from the first row
// ("1") or from the row after the current one ("..."). Made once, reused by
// every grid; the field list is refilled when the dataset changes.
class TfLocate : public TDialog
{
    Q_OBJECT
public:
    static TfLocate& instance();

    // Shows the dialog modally for `ds`; true when closed with OK.
    bool execute(DataSet* ds);
    // Prepares the dialog for `ds` without showing it (execute does this first).
    void prepare(DataSet* ds);

    // Controls, public for tests and the translator.
    QComboBox* cbField;
    QLineEdit* eValue;
    QCheckBox* cbExact;
    QPushButton* bFirst; // "1"
    QPushButton* bNext;  // "..."
    QPushButton* bOK;
    QPushButton* bCancel;

    // The searches behind "1" and "..."; false (after the message) when nothing matched.
    bool findFirst();
    bool findNext();

    // The message shown when nothing matches (tests replace it).
    std::function<void(const QString&)> showMessage;

private:
    explicit TfLocate(QWidget* parent = nullptr);
    bool search(int startRow);
    void fieldChosen();

    DataSet* ds_ = nullptr;
    QVector<int> fields_;
};

} // namespace rek2
