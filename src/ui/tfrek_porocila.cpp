// Report files tab: the lists of unsent and sent XML files.
#include "ui/tfrek.h"
#include "xmlreturn/report_files.h"

#include <QListWidget>

namespace rek2 {

namespace {

void fillList(QListWidget* list, const QString& folder)
{
    list->clear();
    QStringList files;
    LoadFilesByMask(files, folder, QStringLiteral("*.xml"));
    list->addItems(files);
}

} // namespace

void TfRek::bRefreshNeposlanaClick()
{
    fillList(lbNeposlana, ctx.settings.XMLPath);
}

void TfRek::bRefreshPoslanaClick()
{
    fillList(lbPoslana, ctx.settings.XMLArhiv);
}

void TfRek::tsPorocilaContextPopup()
{
    bRefreshPoslanaClick();
    bRefreshNeposlanaClick();
}

void TfRek::bSendClick()
{
    ReportFiles::Send(*this);
}

} // namespace rek2
