#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace rek2 {

// The modal message boxes of the window. Napaka and Opozorilo are warnings
// titled "Opozorilo!" with the caller's button captions; the first button is
// the default, the last answers Escape and the close box.
enum class DialogKind { Warning, AbortIgnore, Information, Question, Error };

struct DialogRequest
{
    DialogKind kind;
    QString title;
    QString text;
    QStringList buttons; // captions, first = 1
};

// Shows the box and returns the 1-based number of the button chosen.
// Escape and the close box choose the last one (Abort for AbortIgnore,
// whose buttons are 1 = Abort, 2 = Ignore).
int showDialog(QWidget* parent, const DialogRequest& request);

// When set, showDialog hands requests to it instead of opening a box, so a
// test can answer dialogs that a window raises while it is being created.
// Not thread-safe; the whole program runs on one thread.
void setDialogInterceptor(std::function<int(const DialogRequest&)> interceptor);

} // namespace rek2
