#include "ui/dialogs.h"

#include <QMessageBox>
#include <QPushButton>

namespace rek2 {

namespace {

std::function<int(const DialogRequest&)>& interceptor()
{
    static std::function<int(const DialogRequest&)> f;
    return f;
}

QMessageBox::Icon iconOf(DialogKind k)
{
    switch (k) {
    case DialogKind::Warning:
    case DialogKind::AbortIgnore:
        return QMessageBox::Warning;
    case DialogKind::Information:
        return QMessageBox::Information;
    case DialogKind::Question:
        return QMessageBox::Question;
    case DialogKind::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void setDialogInterceptor(std::function<int(const DialogRequest&)> f)
{
    interceptor() = std::move(f);
}

int showDialog(QWidget* parent, const DialogRequest& r)
{
    if (interceptor())
        return interceptor()(r);

    QMessageBox box(iconOf(r.kind), r.title, r.text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> buttons;
    if (r.kind == DialogKind::AbortIgnore) {
        // The platform's own Abort and Ignore buttons.
        buttons << box.addButton(QMessageBox::Abort) << box.addButton(QMessageBox::Ignore);
    } else {
        const QStringList captions = r.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : r.buttons;
        for (int i = 0; i < captions.size(); ++i) {
            const auto role = (i == 0) ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
            buttons << box.addButton(captions[i], role);
        }
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    // Escape and the close box choose the cautious answer: the last button,
    // but Abort (not Ignore) for the abort/ignore question.
    QAbstractButton* escape = r.kind == DialogKind::AbortIgnore ? buttons.first() : buttons.last();
    box.setEscapeButton(escape);
    box.exec();
    const int at = buttons.indexOf(box.clickedButton());
    return at < 0 ? int(buttons.indexOf(escape)) + 1 : at + 1;
}

} // namespace rek2
