#include "ui/translate/form_translation.h"

#include "translate/tquorprevod.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QTabWidget>
#include <QVariantMap>
#include <QWidget>
#include <functional>

namespace rek2 {

namespace {

const char* const kTag = "Tag";
const char* const kOriginals = "rek2OriginalTexts";

bool isNamed(const QObject* o)
{
    const QString n = o->objectName();
    return !n.isEmpty() && !n.startsWith(QLatin1String("qt_"));
}

// One walk: remembers the controls' own texts on the form, so a second walk
// (Ctrl+Shift+Alt+T) translates from the originals, not from a translation.
class Walk
{
public:
    Walk(QWidget* form, TQuorPrevod& t) : form_(form), t_(t)
    {
        originals_ = form->property(kOriginals).toMap();
    }
    ~Walk() { form_->setProperty(kOriginals, originals_); }

    QString text(QWidget* control, const QString& key, const QString& current)
    {
        if (!originals_.contains(key))
            originals_.insert(key, current);
        const QString original = originals_.value(key).toString();
        if (original.isEmpty())
            return current;
        current_ = control;
        const QString shown = t_.GetTranslation(key, original);
        current_ = nullptr;
        if (t_.onPrevod)
            t_.onPrevod(key, shown);
        return shown;
    }

    QWidget* current() const { return current_; }

    void walk(QObject* parent)
    {
        for (QObject* child : parent->children()) {
            if (isNamed(child) && controlTag(child) != 1)
                translate(child);
            // A frame is walked with its controls; a radio group's buttons
            // are its items, translated with the group.
            if (!(qobject_cast<QGroupBox*>(child) && child->property("radioGroup").toBool()))
                walk(child);
        }
    }

private:
    void translate(QObject* o)
    {
        const QString name = o->objectName();
        if (auto* a = qobject_cast<QAction*>(o)) {
            if (!a->isSeparator() && a->text() != QLatin1String("-") && !a->text().isEmpty())
                a->setText(text(nullptr, name, a->text()));
        } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
            if (!b->text().isEmpty())
                b->setText(text(b, name, b->text()));
            if (!b->toolTip().isEmpty())
                b->setToolTip(text(b, name + QStringLiteral("_Hint"), b->toolTip()));
        } else if (auto* l = qobject_cast<QLabel*>(o)) {
            if (!l->text().isEmpty())
                l->setText(text(l, name, l->text()));
        } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
            if (!g->title().isEmpty())
                g->setTitle(text(g, name, g->title()));
            if (g->property("radioGroup").toBool()) {
                int index = 0;
                for (QRadioButton* r : g->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
                    r->setText(text(r, name + u'_' + QString::number(index++), r->text()));
            }
        } else if (auto* tabs = qobject_cast<QTabWidget*>(o)) {
            for (int i = 0; i < tabs->count(); ++i) {
                QWidget* page = tabs->widget(i);
                if (isNamed(page) && controlTag(page) != 1)
                    tabs->setTabText(i, text(page, page->objectName(), tabs->tabText(i)));
            }
        }
    }

    QWidget* form_;
    TQuorPrevod& t_;
    QVariantMap originals_;
    QPointer<QWidget> current_;
};

} // namespace

int controlTag(const QObject* object)
{
    return object->property(kTag).toInt();
}

void setControlTag(QObject* object, int tag)
{
    object->setProperty(kTag, tag);
}

QLabel* namedLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QString translationFormName(const QWidget* form)
{
    return form->objectName().isEmpty() ? QString::fromLatin1(form->metaObject()->className())
                                        : form->objectName();
}

void FormTranslation(QWidget* form, TQuorPrevod& translator)
{
    const int tag = controlTag(form);
    if (tag == -1 || form->objectName() == QLatin1String("FQuorPrevod"))
        return;
    Walk walk(form, translator);

    // The person answering sees which text is meant: it turns red meanwhile.
    auto ask = translator.onAskTranslation;
    if (ask) {
        translator.onAskTranslation = [&walk, ask](const QString& key, const QString& original) {
            QPointer<QWidget> control = walk.current();
            QPalette before;
            if (control) {
                before = control->palette();
                QPalette red = before;
                red.setColor(QPalette::WindowText, Qt::red);
                red.setColor(QPalette::ButtonText, Qt::red);
                red.setColor(QPalette::Text, Qt::red);
                control->setPalette(red);
            }
            const QString answer = ask(key, original);
            if (control)
                control->setPalette(before);
            return answer;
        };
    }
    struct Restore
    {
        TQuorPrevod& t;
        std::function<QString(const QString&, const QString&)> ask;
        ~Restore() { t.onAskTranslation = ask; }
    } restore{translator, ask};

    if (tag == 0 || tag == 1) {
        form->setWindowTitle(walk.text(form, QStringLiteral("Title"), form->windowTitle()));
        if (translator.onFormPrevod)
            translator.onFormPrevod(form->windowTitle());
    }
    walk.walk(form);
    setControlTag(form, -1);
}

} // namespace rek2
