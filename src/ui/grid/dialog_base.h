#pragma once
#include <QDialog>
#include <functional>
#include <memory>

namespace rek2 {

// The grid dialogs' common bases, in the order they derive:
//   TQuorColorForm  applies the colour scheme of NewLook.ini to the form;
//   TTranslatable   gives the form its text translator;
//   TWForm          detaches the grid tool buttons when it goes away;
//   TDialog         a dialog window.
// The main window and the record editor keep their own look: only classes
// derived from these get the scheme.

// The colour scheme switch: section "QUOR" of NewLook.ini, keys "NEWLOOK" and
// "USECOLORS" (both on unless set to a false value).
struct ColorScheme
{
    bool newLook = true;
    bool useColors = true;
    bool enabled() const { return newLook && useColors; }
    static ColorScheme read(const QString& folder);
    static const ColorScheme& current();
};

class TQuorColorForm : public QDialog
{
    Q_OBJECT
public:
    explicit TQuorColorForm(QWidget* parent = nullptr);

    // Applies the scheme to `form` and every widget in it: Tahoma 8 (grids
    // 9), the form grey (DB DB DB) with black text, edits, lists and grids
    // white, edits pale yellow (FF FF C1) while they have the focus. A widget
    // whose "Tag" property is -1 or 100 is left alone. Call after the form's
    // widgets exist; the form's "Tag" becomes 1.
    static void applyScheme(QWidget* form, const ColorScheme& scheme = ColorScheme::current());

protected:
    // Derived dialogs call this at the end of their constructor.
    void applyColorScheme() { applyScheme(this); }
};

// The per-form text translator. Its implementation lives with the
// translation of user-interface texts; until one is installed a form keeps
// its own texts. A translator gets the finished form and may change the
// texts of its widgets.
class FormTranslator
{
public:
    virtual ~FormTranslator() = default;
    virtual void translate(QWidget* form) = 0;
};

class TTranslatable : public TQuorColorForm
{
    Q_OBJECT
public:
    explicit TTranslatable(QWidget* parent = nullptr);
    ~TTranslatable() override;

    // Installed once by the program; makes the translator of one form (may
    // return nullptr).
    using TranslatorFactory = std::function<std::unique_ptr<FormTranslator>(QWidget* form)>;
    static void setTranslatorFactory(TranslatorFactory factory);

    FormTranslator* translator() const { return translator_.get(); }

protected:
    // Called by derived dialogs once their widgets exist: applies the colour
    // scheme, then creates the form's translator and lets it translate.
    void finishForm();

private:
    std::unique_ptr<FormTranslator> translator_;
};

class TWForm : public TTranslatable
{
    Q_OBJECT
public:
    explicit TWForm(QWidget* parent = nullptr);
    ~TWForm() override;
};

class TDialog : public TWForm
{
    Q_OBJECT
public:
    explicit TDialog(QWidget* parent = nullptr);
};

} // namespace rek2
