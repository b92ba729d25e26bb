#include "ui/grid/dialog_base.h"

#include "base/inifile.h"
#include "base/paths.h"
#include "ui/grid/grid_buttons.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>

namespace rek2 {

namespace {

const QColor kFormColour(0xDB, 0xDB, 0xDB);
const QColor kFocusColour(0xFF, 0xFF, 0xC1);

bool isFalse(const QString& v)
{
    const QString s = v.trimmed().toLower();
    return s == QLatin1String("0") || s == QLatin1String("false") || s == QLatin1String("f") ||
           s == QLatin1String("n") || s == QLatin1String("no") || s == QLatin1String("ne");
}

int tagOf(const QWidget* w)
{
    const QVariant t = w->property("Tag");
    return t.isValid() ? t.toInt() : 0;
}

// Edits turn pale yellow while they have the focus.
class FocusColour : public QObject
{
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut) {
            auto* w = static_cast<QWidget*>(o);
            QPalette p = w->palette();
            p.setColor(QPalette::Base, e->type() == QEvent::FocusIn ? kFocusColour : Qt::white);
            w->setPalette(p);
        }
        return false;
    }
};

FocusColour* focusColour()
{
    static FocusColour* filter = new FocusColour;
    return filter;
}

void setColours(QWidget* w, QPalette::ColorRole background, const QColor& bg, const QColor& text)
{
    QPalette p = w->palette();
    p.setColor(background, bg);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::ButtonText, text);
    w->setPalette(p);
}

} // namespace

ColorScheme ColorScheme::read(const QString& folder)
{
    ColorScheme s;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        if (name.compare(QStringLiteral("NEWLOOK.INI"), Qt::CaseInsensitive) == 0) {
            const IniFile ini(QDir(folder).filePath(name));
            const QString sec = QStringLiteral("QUOR");
            s.newLook = !isFalse(ini.value(sec, QStringLiteral("NEWLOOK"), QStringLiteral("1")));
            s.useColors = !isFalse(ini.value(sec, QStringLiteral("USECOLORS"), QStringLiteral("1")));
        }
    return s;
}

const ColorScheme& ColorScheme::current()
{
    static const ColorScheme s = read(installationFolder());
    return s;
}

TQuorColorForm::TQuorColorForm(QWidget* parent) : QDialog(parent) {}

void TQuorColorForm::applyScheme(QWidget* form, const ColorScheme& scheme)
{
    if (!scheme.enabled() || tagOf(form) == 1)
        return;
    const QFont tahoma8(QStringLiteral("Tahoma"), 8);
    const QFont tahoma9(QStringLiteral("Tahoma"), 9);
    const bool swapped = tagOf(form) == 2;
    form->setFont(tahoma8);
    form->setAutoFillBackground(true);
    setColours(form, QPalette::Window, swapped ? Qt::black : kFormColour, swapped ? kFormColour : Qt::black);
    for (QWidget* w : form->findChildren<QWidget*>()) {
        const int tag = tagOf(w);
        if (tag == -1 || tag == 100)
            continue;
        if (auto* view = qobject_cast<QTableView*>(w)) {
            view->setFont(tahoma9);
            view->horizontalHeader()->setFont(tahoma9);
            setColours(view, QPalette::Base, Qt::white, Qt::black);
        } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                   qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
                   qobject_cast<QAbstractSpinBox*>(w)) {
            w->setFont(tahoma8);
            setColours(w, QPalette::Base, Qt::white, Qt::black);
            if (!w->property("HasEnterExit").toBool())
                w->installEventFilter(focusColour());
        } else if (qobject_cast<QListView*>(w)) {
            if (tag == 0)
                w->setFont(tahoma8);
            setColours(w, QPalette::Base, Qt::white, Qt::black);
            w->installEventFilter(focusColour());
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setFont(tahoma8);
            label->setAutoFillBackground(tag < 0);
        } else if (qobject_cast<QAbstractButton*>(w)) {
            w->setFont(tahoma8);
        }
    }
    form->setProperty("Tag", 1);
}

namespace {
TTranslatable::TranslatorFactory& factory()
{
    static TTranslatable::TranslatorFactory f;
    return f;
}
} // namespace

TTranslatable::TTranslatable(QWidget* parent) : TQuorColorForm(parent) {}
TTranslatable::~TTranslatable() = default;

void TTranslatable::setTranslatorFactory(TranslatorFactory f)
{
    factory() = std::move(f);
}

void TTranslatable::finishForm()
{
    applyColorScheme();
    if (factory() && !translator_)
        translator_ = factory()(this);
    if (translator_)
        translator_->translate(this);
}

TWForm::TWForm(QWidget* parent) : TTranslatable(parent) {}

TWForm::~TWForm()
{
    GridButtons::detachIfAny();
}

TDialog::TDialog(QWidget* parent) : TWForm(parent) {}

} // namespace rek2
