#include "review/kopiraj.h"

#include "db/dataset.h"
#include "db/query.h"
#include "db/session.h"
#include "db/transaction.h"
#include "edit/details_rules.h"
#include "returns/context.h"
#include "returns/identifiers.h"
#include "returns/working_statements.h"
#include "review/archive_files.h"
#include "review/pregled.h"
#include "review/review_error.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <optional>

namespace rek2::review {

namespace {

const QString kLogPrefix = QStringLiteral("TfRek.Kopiraj: ");

// REK2_ZBIR's columns after the four the copy decides itself (identifier,
// number, the two references and the kind); the history has them too.
const QString kZbirRest = QStringLiteral(
    "NAZIV, NASLOV, POOB_DVS, SIF_VRSTE_DOH, MESEC_LETO, DATUM_IZP, DATUM_PLC_DVK, ZAPST_DEL, STZAP_REZ, "
    "STZAP_NEREZ, NETO, DOH, DOH_NEREZ, DOH_BREZ_DAVODT, DAV_OSN, DAV_ODT, STOPNJA, DAV_TUJ, "
    "DAV_ZNZ_STP_LES, "
    "DAV_ZNZ_STP, SKUPAJ, VPL_PODRACUN, SFVP, SFKPN, DAV_ZNZ_OSN");

bool isPendingCopyKind(const QString& type)
{
    return type == QLatin1String("S") || type == QLatin1String("X");
}

// The analytic columns after the two identifiers, as the history rows view
// has them (REK2_ANAL_HST has the columns of REK2_ANAL).
QStringList analyticRest(const DataSet& rows)
{
    QStringList names;
    for (int i = 0; i < rows.FieldCount(); ++i) {
        const TField* f = rows.Fields(i);
        const QString n = f->FieldName().toUpper();
        if (f->Calculated() || n == QLatin1String("ROWID") || n == QLatin1String("ID_REK2_ANAL") ||
            n == QLatin1String("ID_REK2_ZBIR"))
            continue;
        names << n;
    }
    return names;
}

int exec(Query& q, const QStringList& sql)
{
    q.Close();
    q.SQL = sql;
    q.Execute();
    return q.RowsProcessed();
}

} // namespace

QString copyRefusal(const QString& correctionType, const QDate& datumPlcDvk, bool cancellation,
                    const QDateTime& now)
{
    // The editor of a numbered history summary offers "Storno" unless it is
    // itself a cancellation, and "Popravek" with it while the tax was paid
    // at most 365 days ago (or has no date).
    const bool storno = stornoVisible(true, true, correctionType);
    if (!storno)
        return cancellation ? QStringLiteral("Storno dokumenta tipa S ni mogoč.")
                            : QStringLiteral("Popravek dokumenta tipa S ni mogoč.");
    if (cancellation)
        return QString();
    if (!popravekVisible(storno, true, datumPlcDvk, now, readOnlyFieldsText(), true))
        return QStringLiteral("Popravek ni mogoč: od plačila davka je minilo več kot 365 dni.");
    return QString();
}

QString archiveNameFor(const QString& archiveFolder, const QString& fileName)
{
    const QString base = QFileInfo(fileName).completeBaseName() + QStringLiteral("_neuspesan");
    const QDir dir(archiveFolder);
    QString name = base + QStringLiteral(".xml");
    for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n)
        name = base + QStringLiteral("_%1.xml").arg(n);
    return name;
}

void Kopiraj::deleteRebuiltSummaries()
{
    DataSet& zbir = ctx_.odsREK2_Zbir;
    keptSummaries_.clear();
    if (!zbir.Active()) {
        if (zbir.SQL.isEmpty())
            return;
        zbir.Open();
    }
    QList<int> drop;
    TField* id = zbir.FieldByName(QStringLiteral("ID_REK2_ZBIR"));
    TField* type = zbir.FieldByName(QStringLiteral("CORRECTIONTYPE"));
    for (zbir.First(); !zbir.Eof(); zbir.Next()) {
        if (isPendingCopyKind(type->AsString()))
            keptSummaries_ << id->AsInteger();
        else
            drop << id->AsInteger();
    }
    if (drop.isEmpty())
        return;
    Transaction tx(*ctx_.session);
    Query q(QStringLiteral("qDelZbir"));
    q.SetSession(ctx_.session);
    q.DeclareVariable(QStringLiteral("ID_REK2_ZBIR"), VarType::Integer);
    q.SQL = QStringList{QStringLiteral("DELETE FROM REK2_ZBIR WHERE ID_REK2_ZBIR=:ID_REK2_ZBIR")};
    for (int d : drop) {
        q.SetVariable(QStringLiteral("ID_REK2_ZBIR"), d);
        q.Execute();
    }
    tx.commit();
    ctx_.DebugMessage(kLogPrefix + QStringLiteral("Zbrisano zbirnih:%1").arg(drop.size()));
}

KopirajResult Kopiraj::run(bool cancellation)
{
    RekContext& ctx = ctx_;
    DataSet& h = ctx.odsPregled;
    if (!h.Active() || h.IsEmpty())
        throw ReviewError(QStringLiteral("Ni izbranega oddanega zbirnega zapisa."));
    const int hid = h.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->AsInteger();
    const QString number = h.FieldByName(QStringLiteral("DURS_ID_DOK"))->AsString();
    const QString hType = h.FieldByName(QStringLiteral("CORRECTIONTYPE"))->AsString();
    const QDate izp = h.FieldByName(QStringLiteral("DATUM_IZP"))->AsDate();
    const QDate plc = h.FieldByName(QStringLiteral("DATUM_PLC_DVK"))->AsDate();

    KopirajResult result;
    result.restore = number.isEmpty();
    result.datumOd = izp;
    result.datumDo = plc.isValid() ? plc : izp;

    ctx.FKopiranje = true;
    deleteRebuiltSummaries();

    Query q(QStringLiteral("qInsRek2_DOG"));
    q.SetSession(ctx.session);
    if (!result.restore) {
        // Any pending copy of the document in the whole working table, not
        // only among the summaries the collection tab has loaded.
        q.DeclareAndSet(QStringLiteral("DOK"), VarType::String, number);
        q.SQL = QStringList{
            QStringLiteral("SELECT ID_REK2_ZBIR FROM REK2_ZBIR WHERE UPPER(CORRECTIONFORDOCUMENT) = "
                           "UPPER(:DOK)")};
        q.Execute();
        if (q.RowCount() > 0) {
            result.refusal = cancellation ? QStringLiteral("Storno dokumenta že obstaja!")
                                          : QStringLiteral("Popravke dokumenta že obstaja!");
            if (ctx.op)
                ctx.op->Napaka(result.refusal, QStringLiteral("V redu"));
            return result;
        }
        q.Close();
        q.DeleteVariables();
    }

    // The rows copied are those of this summary, whatever the grid showed.
    PregledActions::loadAnalyticRows(ctx);
    DataSet& rows = ctx.odsPregledA;
    QList<int> rowIds;
    for (int r = 0; r < rows.RecordCount(); ++r)
        rowIds << rows.Value(r, rows.FieldIndex(QStringLiteral("ID_REK2_ANAL"))).toInt();
    const QString rest = analyticRest(rows).join(QStringLiteral(", "));

    // A large return takes a while: the busy indicator keeps the tabs
    // disabled and the window painted.
    std::optional<BusyGuard> busy;
    if (ctx.op)
        busy.emplace(*ctx.op, QStringLiteral("Kopiranje zbirnega zapisa....."));
    std::optional<ArchiveMove> files;
    Transaction tx(*ctx.session);
    q.DeclareAndSet(QStringLiteral("HID"), VarType::Integer, hid);
    QString newType = hType;
    int zid = hid;
    if (!result.restore) {
        zid = GetNewID(*ctx.session, ctx.settings, QStringLiteral("Zbirni"));
        newType = cancellation ? QStringLiteral("S") : QStringLiteral("X");
    } else if (hType == QLatin1String("P") || hType == QLatin1String("I") || hType == QLatin1String("A") ||
               hType == QLatin1String("Z")) {
        // A written correction goes back as a correction, so that its kind is
        // determined again when it is written and re-grouping keeps it.
        newType = QStringLiteral("X");
    }
    q.DeclareAndSet(QStringLiteral("ZID"), VarType::Integer, zid);
    q.DeclareAndSet(QStringLiteral("TIP"), VarType::String, newType);
    const QString head =
        result.restore ? QStringLiteral("DURS_ID_DOK, CORRECTIONFORDOCUMENT, CORRECTIONFORANALITICALDATA")
                       : QStringLiteral("NULL, DURS_ID_DOK, DURS_ID_DOK");
    const int made =
        exec(q, {QStringLiteral("INSERT INTO REK2_ZBIR (ID_REK2_ZBIR, DURS_ID_DOK, CORRECTIONFORDOCUMENT, "
                                "CORRECTIONFORANALITICALDATA, CORRECTIONTYPE, ") +
                     kZbirRest + QStringLiteral(")"),
                 QStringLiteral("SELECT :ZID, ") + head + QStringLiteral(", :TIP, ") + kZbirRest,
                 QStringLiteral("FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = :HID")});
    if (made != 1)
        throw ReviewError(QStringLiteral("Oddani zbirni zapis %1 je v zgodovini %2-krat; kopija ni narejena.")
                              .arg(hid)
                              .arg(made));

    if (!result.restore) {
        q.DeclareVariable(QStringLiteral("AID"), VarType::Integer);
        q.DeclareVariable(QStringLiteral("NEWAID"), VarType::Integer);
        q.DeclareAndSet(QStringLiteral("STATUS"), VarType::String, newType);
        for (int aid : rowIds) {
            const int newAid = GetNewID(*ctx.session, ctx.settings, QStringLiteral("Analitika"));
            q.SetVariable(QStringLiteral("AID"), aid);
            q.SetVariable(QStringLiteral("NEWAID"), newAid);
            const int n = exec(
                q, {QStringLiteral("INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, ") + rest +
                        QStringLiteral(")"),
                    QStringLiteral("SELECT :NEWAID, :ZID, ") + rest,
                    // The row by its own identifier: `+` keeps the engine off the
                    // summary's index, which would read every row of the return
                    // once per row copied.
                    QStringLiteral("FROM REK2_ANAL_HST WHERE ID_REK2_ANAL = :AID AND +ID_REK2_ZBIR = :HID")});
            if (n != 1)
                throw ReviewError(QStringLiteral("Analitika %1 oddanega zbirnega zapisa %2 je v zgodovini "
                                                 "%3-krat; kopija ni narejena.")
                                      .arg(aid)
                                      .arg(hid)
                                      .arg(n));
            if (++result.rows % 500 == 0 && ctx.op)
                ctx.op->ProcessEvents();
            // Each event link of the row again, for the copy, without number or file.
            result.links += exec(
                q,
                {QStringLiteral("INSERT INTO REK2_DOG (ID_REK2_ANAL, ID_DOG, DURS_ID_DOK, XML_FILE, STATUS, "
                                "DAVCNI_ODTEGLJAJ)"),
                 QStringLiteral("SELECT :NEWAID, ID_DOG, NULL, NULL, :STATUS, DAVCNI_ODTEGLJAJ FROM REK2_DOG "
                                "WHERE ID_REK2_ANAL = :AID")});
        }
    }

    if (result.restore) {
        // The files of this return: the names its rows' links carry, except
        // names that links of another return still in history carry too.
        QStringList fileNames;
        {
            DataSet names(QStringLiteral("odsREK2_DOG"));
            names.SetSession(ctx.session);
            names.SQL = QStringList{
                QStringLiteral("SELECT DISTINCT D.XML_FILE FROM REK2_DOG D WHERE D.XML_FILE IS NOT "
                               "NULL AND D.ID_REK2_ANAL IN"),
                QStringLiteral("(SELECT A.ID_REK2_ANAL FROM REK2_ANAL_HST A WHERE A.ID_REK2_ZBIR = "
                               ":HID) ORDER BY D.XML_FILE")};
            names.DeclareAndSet(QStringLiteral("HID"), VarType::Integer, hid);
            names.Open();
            Query other(QStringLiteral("qXmlFileOther"));
            other.SetSession(ctx.session);
            other.SQL = QStringList{
                QStringLiteral(
                    "SELECT 1 FROM REK2_DOG O WHERE O.XML_FILE = :XML_FILE AND EXISTS (SELECT 1 FROM "
                    "REK2_ANAL_HST OA"),
                QStringLiteral("WHERE OA.ID_REK2_ANAL = O.ID_REK2_ANAL AND OA.ID_REK2_ZBIR <> :HID)")};
            other.DeclareAndSet(QStringLiteral("HID"), VarType::Integer, hid);
            other.DeclareVariable(QStringLiteral("XML_FILE"), VarType::String);
            for (names.First(); !names.Eof(); names.Next()) {
                other.SetVariable(QStringLiteral("XML_FILE"), names.Fields(0)->AsString());
                other.Execute();
                if (other.RowCount() == 0)
                    fileNames << names.Fields(0)->AsString();
            }
        }

        // The rows taken back are those the tab loaded for the summary: its
        // identifier, payout day and tax payment day.
        const QString rows = QStringLiteral(" WHERE ID_REK2_ZBIR = :HID AND DATUM_IZP_DIV = :IZP AND ") +
                             (plc.isValid() ? QStringLiteral("DATUM_PLC_DVK = :PLC ")
                                            : QStringLiteral("DATUM_PLC_DVK IS NULL "));
        q.DeclareAndSet(QStringLiteral("IZP"), VarType::Date, izp);
        if (plc.isValid())
            q.DeclareAndSet(QStringLiteral("PLC"), VarType::Date, plc);
        const QString all = QStringLiteral("ID_REK2_ANAL, ID_REK2_ZBIR, ") + rest;
        result.rows =
            exec(q, {QStringLiteral("INSERT INTO REK2_ANAL (") + all + QStringLiteral(")"),
                     QStringLiteral("SELECT ") + all + QStringLiteral(" FROM REK2_ANAL_HST") + rows});
        if (result.rows != rowIds.size())
            throw ReviewError(
                QStringLiteral("Analitike oddanega zbirnega zapisa %1 so se med vračanjem spremenile; "
                               "vrnitev ni narejena.")
                    .arg(hid));
        result.links =
            exec(q, {QStringLiteral("UPDATE REK2_DOG SET XML_FILE = NULL WHERE XML_FILE IS NOT NULL AND "
                                    "ID_REK2_ANAL IN (SELECT ID_REK2_ANAL FROM REK2_ANAL_HST") +
                     rows + QStringLiteral(")")});
        exec(q, {QStringLiteral("DELETE FROM REK2_ANAL_HST") + rows});
        exec(q, {QStringLiteral("DELETE FROM REK2_ZBIR_HST WHERE ID_REK2_ZBIR = :HID")});

        // Copies into the archive before the commit: a copy that fails rolls
        // everything back and the unsent file stays where it was.
        files.emplace(ctx.settings.XMLPath, ctx.settings.XMLArhiv);
        try {
            for (const QString& f : fileNames)
                files->copyToArchive(f);
        } catch (...) {
            files->discardCopies();
            throw;
        }
        result.moved = files->plannedMoves();
        result.missing = files->missing();
        result.notMoved = files->notMoved();
    }
    try {
        tx.commit();
    } catch (...) {
        if (files)
            files->discardCopies();
        throw;
    }
    if (files)
        result.warnings = files->finish();

    result.made = true;
    result.newZbirId = zid;
    if (result.restore)
        ctx.DebugMessage(kLogPrefix +
                         QStringLiteral("Vrnjen zbirni %1 (%2 analitik)").arg(hid).arg(result.rows));
    else
        ctx.DebugMessage(
            kLogPrefix +
            QStringLiteral("Kopiran zbirni %1 v %2 (%3 analitik)").arg(hid).arg(zid).arg(result.rows));
    return result;
}

void Kopiraj::showOnNabor(const KopirajResult& result)
{
    if (!result.made)
        return;
    RekContext& ctx = ctx_;
    ctx.datumOd = result.datumOd;
    ctx.datumDo = result.datumDo;
    QList<int> ids = keptSummaries_;
    if (!ids.contains(result.newZbirId))
        ids << result.newZbirId;
    if (openSummarySelection(ctx.odsREK2_Zbir, joinIds(ids)))
        ctx.odsREK2_Zbir.Locate(QStringLiteral("ID_REK2_ZBIR"), {result.newZbirId});
    ctx.odsNabor.Close();
    openAnalyticWorking(ctx.odsNabor, ctx.datumOd, ctx.datumDo, result.newZbirId);
}

} // namespace rek2::review
