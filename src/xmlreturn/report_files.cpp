#include "xmlreturn/report_files.h"

#include "base/operator.h"

#include <QDir>
#include <QDirIterator>

namespace rek2 {

namespace {
const QString kXmlMask = QStringLiteral("*.xml");
}

void LoadFilesByMask(QStringList& list, const QString& folder, const QString& mask)
{
    if (folder.isEmpty() || !QDir(folder).exists())
        return;
    QDirIterator it(folder, QStringList{mask},
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        list << it.fileName();
    }
}

void ReportFiles::RefreshNeposlana()
{
    neposlana_.clear();
    LoadFilesByMask(neposlana_, unsentFolder_, kXmlMask);
}

void ReportFiles::RefreshPoslana()
{
    poslana_.clear();
    LoadFilesByMask(poslana_, sentFolder_, kXmlMask);
}

void ReportFiles::RefreshBoth()
{
    RefreshPoslana();
    RefreshNeposlana();
}

void ReportFiles::Send(Operator& op)
{
    op.Napaka(QStringLiteral("Povezava...."), QStringLiteral("V redu!"));
}

} // namespace rek2
