#include "review/history_actions.h"

#include "db/dataset.h"
#include "returns/context.h"
#include "review/pregled.h"
#include "review/review_error.h"

namespace rek2::review {

KopirajResult copyFromHistory(RekContext& ctx, int idZbir, CopyKind kind, const QDateTime& now)
{
    DataSet& h = ctx.odsPregled;
    h.Close();
    h.SQL = QStringList{QStringLiteral("select Z.*, Z.ROWID FROM REK2_Zbir_HST Z"),
                        QStringLiteral("ORDER BY Z.DATUM_IZP, SIF_VRSTE_DOH, ID_REK2_ZBIR")};
    h.DeleteVariables();
    h.Open();
    if (!h.Locate(QStringLiteral("ID_REK2_ZBIR"), {idZbir}))
        throw ReviewError(QStringLiteral("Zbirni %1 ni med oddanimi zbirnimi zapisi.").arg(idZbir));

    const auto text = [&h](const char* name) { return h.FieldByName(QLatin1String(name))->AsString(); };
    if (kind == CopyKind::Restore) {
        if (!text("DURS_ID_DOK").isEmpty())
            throw ReviewError(QStringLiteral("Zbirni %1 ima EDP številko %2; vrniti v delo ga ni mogoče, le "
                                             "stornirati ali popraviti.")
                                  .arg(idZbir)
                                  .arg(text("DURS_ID_DOK")));
    } else {
        if (text("DURS_ID_DOK").isEmpty())
            throw ReviewError(
                QStringLiteral("Zbirni %1 nima EDP številke; stornirati ali popraviti ga ni mogoče, "
                               "le vrniti v delo.")
                    .arg(idZbir));
        const int start = h.CurrentRow();
        h.SetRecNo(newestMember(chainEntries(h), start) + 1);
        const QString refusal =
            copyRefusal(text("CORRECTIONTYPE"), h.FieldByName(QStringLiteral("DATUM_PLC_DVK"))->AsDate(),
                        kind == CopyKind::Storno, now);
        if (!refusal.isEmpty())
            throw ReviewError(refusal);
    }
    Kopiraj kopiraj(ctx);
    const KopirajResult result = kopiraj.run(kind == CopyKind::Storno);
    if (!result.made)
        throw ReviewError(result.refusal);
    kopiraj.showOnNabor(result);
    return result;
}

QStringList describeCopy(const KopirajResult& result)
{
    QStringList lines;
    if (!result.restore)
        return lines;
    for (const QString& m : result.moved)
        lines << QStringLiteral("Premaknjeno: ") + m;
    for (const QString& f : result.missing)
        lines << QStringLiteral("Datoteke %1 ni v mapi neposlanih; premaknjena ni bila nobena datoteka.")
                     .arg(f);
    for (const QString& f : result.notMoved)
        lines << QStringLiteral("Mapa arhiva ni nastavljena; datoteka %1 ostaja v mapi neposlanih.").arg(f);
    lines << result.warnings;
    return lines;
}

} // namespace rek2::review
