#include "ui/grid/tfprogress.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace rek2 {

TfProgress& TfProgress::instance()
{
    static TfProgress* window = new TfProgress;
    return *window;
}

TfProgress::TfProgress(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("fProgress"));
    setWindowTitle(QStringLiteral("Progress"));
    // While it shows, the rest of the program waits: only Cancel is live.
    setWindowModality(Qt::ApplicationModal);
    title_ = new QLabel(this);
    title_->setAlignment(Qt::AlignCenter);
    QFont f = title_->font();
    f.setBold(true);
    title_->setFont(f);
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    counter_ = new QLabel(this);
    counter_->setAlignment(Qt::AlignCenter);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("bCancel"));
    connect(cancel_, &QPushButton::clicked, this, &TfProgress::pressCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(bar_);
    layout->addWidget(counter_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    buttons->addStretch();
    layout->addLayout(buttons);
    setFixedWidth(360);
}

void TfProgress::start(const QString& title, int maximum)
{
    cancelled_ = false;
    position_ = 0;
    maximum_ = std::max(0, maximum);
    title_->setText(title);
    bar_->setRange(0, std::max(1, maximum_));
    showState();
    show();
    raise();
    sinceRepaint_.start();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfProgress::step()
{
    ++position_;
    if (sinceRepaint_.elapsed() >= 50 || position_ == maximum_) {
        showState();
        // Let the window repaint and Cancel be pressed; other input waits.
        QApplication::processEvents();
        sinceRepaint_.restart();
    }
    if (cancelled_)
        throw OperationCancelled();
}

void TfProgress::close()
{
    hide();
}

void TfProgress::showState()
{
    bar_->setValue(std::min(position_, bar_->maximum()));
    counter_->setText(QStringLiteral("%1 / %2").arg(position_).arg(maximum_));
}

QString TfProgress::titleText() const
{
    return title_->text();
}

QString TfProgress::counterText() const
{
    return counter_->text();
}

void TfProgress::pressCancel()
{
    cancelled_ = true;
}

} // namespace rek2
