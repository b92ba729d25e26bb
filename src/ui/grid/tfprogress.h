#pragma once
#include "gridexport/progress.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace rek2 {

// The progress window of long grid operations: a title, a bar, "position /
// maximum" and Cancel. Stays on top; made once and reused. Each step lets
// the window repaint (at most every 50 ms, so a long copy is not slowed by
// drawing) and stops the operation when Cancel was pressed.
class TfProgress : public QDialog, public Progress
{
    Q_OBJECT
public:
    static TfProgress& instance();

    void start(const QString& title, int maximum) override;
    void step() override;
    void close() override;

    // For tests: what the window shows, and pressing Cancel.
    QString titleText() const;
    QString counterText() const;
    int position() const { return position_; }
    void pressCancel();
    QPushButton* cancelButton() const { return cancel_; }

private:
    explicit TfProgress(QWidget* parent = nullptr);
    void showState();

    QLabel* title_;
    QProgressBar* bar_;
    QLabel* counter_;
    QPushButton* cancel_;
    int position_ = 0;
    int maximum_ = 0;
    bool cancelled_ = false;
    QElapsedTimer sinceRepaint_;
};

} // namespace rek2
