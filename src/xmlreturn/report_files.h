#pragma once
#include <QString>
#include <QStringList>

namespace rek2 {

class Operator;

// LoadFilesByMask: appends to `list` the name (without folder) of every entry
// of `folder` matching `mask`, entries of any kind included, in the order the
// file system gives them; the list is not cleared first. The mask matches
// without regard to case, so "*.xml" also lists ".XML" files. A missing or
// empty folder adds nothing.
void LoadFilesByMask(QStringList& list, const QString& folder, const QString& mask);

// The two lists of the report files tab: returns not yet sent (XMLPath) and
// sent (XMLArhiv).
class ReportFiles
{
public:
    ReportFiles(QString unsentFolder, QString sentFolder)
        : unsentFolder_(std::move(unsentFolder)), sentFolder_(std::move(sentFolder))
    {
    }

    // bRefreshNeposlanaClick / bRefreshPoslanaClick: each clears its list first.
    void RefreshNeposlana();
    void RefreshPoslana();
    // The tab becoming active and its context menu: sent first, then unsent.
    void RefreshBoth();
    // bSendClick: the returns are handed in outside the program.
    static void Send(Operator& op);

    const QStringList& neposlana() const { return neposlana_; }
    const QStringList& poslana() const { return poslana_; }

private:
    QString unsentFolder_;
    QString sentFolder_;
    QStringList neposlana_;
    QStringList poslana_;
};

} // namespace rek2
