#include "xmlreturn/xml_return_run.h"

#include "base/durable_file.h"
#include "base/paths.h"
#include "base/system_errors.h"
#include "base/workstation.h"
#include "db/dataset.h"
#include "db/dialect.h"
#include "db/error.h"
#include "db/postgres/collect_statements.h"
#include "db/query.h"
#include "db/row_cursor.h"
#include "db/session.h"
#include "db/sqlite/collect_statements.h"
#include "db/transaction.h"
#include "returns/amount_limits.h"
#include "returns/context.h"
#include "returns/working_statements.h"
#include "xmlreturn/return_document.h"
#include "xmlreturn/return_journal.h"
#include "xmlreturn/return_names.h"
#include "xmlreturn/value_forms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSysInfo>

#include <array>
#include <cmath>
#include <iterator>
#include <memory>
#include <optional>

namespace rek2 {

namespace {

const QString kLogPrefix = QStringLiteral("TfRek.bXMLClick: ");
const QString kInvalidTaxNumber = QStringLiteral("Neveljavna davčna številka: ");
const QString kInvalidCharacter = QStringLiteral("Neveljaven znak v ");
const QString kInvalidAmount = QStringLiteral("Neveljaven znesek ");

// The pending rows of one summary, chosen by its identifier alone, in the
// order of the analytic view. A row is pending while it has no link or a link
// without a file name.
const QStringList kPendingRowsSql = {
    QStringLiteral(" SELECT A.ID_REK2_ZBIR, A.DVS, A.IDENT_ST, A.IME, A.PRIIMEK, A.NAZIV, A.REZ, A.DRZ, "),
    QStringLiteral(
        " A.ZNIZANASTOPNJA, A.SIF_SFDOH, A.BRUTO, A.DAV_ODT_OBR, A.DAV_ODT_PLC, A.DAV_ODT_ODB_TUJ, "),
    QStringLiteral(" A.SIF_VRSTE_DOH, A.DATUM_IZP_DIV, A.DATUM_PLC_DVK, A.SFKPN FROM REK2_ANAL A "),
    QStringLiteral(" WHERE %WHERE% "),
    QStringLiteral(
        " AND (EXISTS (SELECT 1 FROM REK2_DOG D WHERE D.ID_REK2_ANAL = A.ID_REK2_ANAL AND D.XML_FILE IS "
        "NULL) "),
    QStringLiteral(" OR NOT EXISTS (SELECT 1 FROM REK2_DOG D WHERE D.ID_REK2_ANAL = A.ID_REK2_ANAL)) "),
    QStringLiteral(" ORDER BY A.SIF_VRSTE_DOH, A.DATUM_IZP_DIV, A.DATUM_PLC_DVK, A.ID_REK2_ANAL "),
};

QStringList pendingRowsSql(const QString& where)
{
    QStringList sql = kPendingRowsSql;
    sql[3].replace(QStringLiteral("%WHERE%"), where);
    return sql;
}

// The same rows for SQLite without their order, with the identifier the
// order ends with. SQLite reads one summary's rows from the index of the
// summaries' rows in the order of their identifiers, which is the view's
// order whenever they share their kind of income and dates, as a collected
// return's rows do: the cursor checks each row and sorts only when not.
QStringList sqlitePendingRowsSql(const QString& where)
{
    QStringList sql = pendingRowsSql(where);
    sql.removeLast();
    sql[2] = QStringLiteral(
        " A.SIF_VRSTE_DOH, A.DATUM_IZP_DIV, A.DATUM_PLC_DVK, A.SFKPN, A.ID_REK2_ANAL FROM REK2_ANAL A ");
    return sql;
}

std::vector<OrderKey> pendingRowsOrder()
{
    return {{QStringLiteral("SIF_VRSTE_DOH"), true},
            {QStringLiteral("DATUM_IZP_DIV"), true},
            {QStringLiteral("DATUM_PLC_DVK"), true},
            {QStringLiteral("ID_REK2_ANAL"), true}};
}

QString recipientName(const QString& ime, const QString& priimek, const QString& naziv)
{
    if ((ime + priimek).trimmed().isEmpty())
        return naziv;
    return ime + QLatin1Char(' ') + priimek;
}

qint64 cents(double amount)
{
    return std::llround(amount * 100.0);
}

// The texts and amounts of a pending row that are checked, in the order their
// problems are listed.
const char* const kCheckedTexts[] = {"IDENT_ST", "IME", "PRIIMEK", "NAZIV", "REZ", "DRZ", "SIF_SFDOH"};
const char* const kCheckedAmounts[] = {"BRUTO", "DAV_ODT_OBR", "DAV_ODT_PLC", "DAV_ODT_ODB_TUJ"};
using CheckedTexts = std::array<QByteArrayView, std::size(kCheckedTexts)>;
using CheckedAmounts = std::array<QVariant, std::size(kCheckedAmounts)>;

// Checks one pending row, each value as the file will carry it: `problem`
// gets the start of the message of each problem (the caller names the row).
template <typename Problem>
void checkRow(QByteArrayView dvs, const CheckedTexts& texts, const CheckedAmounts& amounts, Problem&& problem)
{
    if (!dvs.isEmpty() && !xml::readWholeNumber(dvs))
        problem(kInvalidTaxNumber + QString::fromUtf8(dvs));
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (!xml::xmlCanCarry(texts[i]))
            problem(kInvalidCharacter + QStringLiteral("podatku ") + QLatin1String(kCheckedTexts[i]));
    for (std::size_t i = 0; i < amounts.size(); ++i) {
        const QVariant& v = amounts[i];
        if (v.isNull())
            continue;
        const double amount = v.typeId() == QMetaType::Double
                                  ? v.toDouble()
                                  : coerceToFieldType(v, FieldType::Float).toDouble();
        if (!amountFitsReturn(amount))
            problem(kInvalidAmount + QLatin1String(kCheckedAmounts[i]) + QStringLiteral(" (") +
                    QString::number(amount) + QStringLiteral(")"));
    }
}

} // namespace

// One chosen summary as the grid showed it when the run began.
struct XmlReturnRun::Summary
{
    int id = 0;
    QString correctionType; // as read (the file name keeps it)
    QString documentType;   // as determined
    ReturnHeader header;
    ReturnNameParts name;
};

struct XmlReturnRun::Impl
{
    XmlReturnRun& run;
    RekContext& ctx;
    XmlRunResult& result;
    QHash<QString, QString> statusNames; // upper-case type -> NZV

    void log(const QString& text) { ctx.DebugMessage(kLogPrefix + text); }

    void warn(const QString& message, const QString& button)
    {
        result.warnings << message;
        if (ctx.op)
            ctx.op->Napaka(message, button);
    }

    void loadStatusNames()
    {
        DataSet ds(QStringLiteral("odsOsnPod"));
        ds.SetSession(ctx.session);
        ds.SQL = QStringList{
            QStringLiteral(" SELECT S.SIF, S.NZV FROM REK2_SIF S WHERE UPPER(S.SSF) = 'STATUS' ")};
        ds.Open();
        for (ds.First(); !ds.Eof(); ds.Next()) {
            const QString sif = ds.FieldByName(QStringLiteral("SIF"))->AsString().toUpper();
            if (!statusNames.contains(sif))
                statusNames.insert(sif, ds.FieldByName(QStringLiteral("NZV"))->AsString());
        }
        ds.Close();
    }

    QVariant couponNumber(DataSet& ds)
    {
        if (TField* f = ds.FindField(QStringLiteral("STKPN")))
            return f->AsVariant();
        const QVariant sfkpn = ds.FieldByName(QStringLiteral("SFKPN"))->AsVariant();
        if (sfkpn.isNull() || sfkpn.toDouble() <= 0)
            return QVariant();
        Query q(QStringLiteral("qKupon"));
        q.SetSession(ctx.session);
        q.SQL = QStringList{QStringLiteral(" SELECT K.STKPN FROM KPN K WHERE K.SFKPN = :SFKPN ")};
        q.DeclareAndSet(QStringLiteral("SFKPN"), VarType::Float, sfkpn);
        q.Execute();
        return q.RowCount() > 0 ? q.Field(0) : QVariant();
    }

    Summary readSummary(DataSet& ds)
    {
        const auto s = [&](const char* n) { return ds.FieldByName(QLatin1String(n))->AsString(); };
        const auto v = [&](const char* n) { return ds.FieldByName(QLatin1String(n))->AsVariant(); };
        const auto d = [&](const char* n) { return ds.FieldByName(QLatin1String(n))->AsDate(); };
        Summary z;
        z.id = ds.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->AsInteger();
        z.correctionType = s("CORRECTIONTYPE");
        ReturnHeader& h = z.header;
        h.correctionForDocument = s("CORRECTIONFORDOCUMENT");
        h.correctionForAnaliticalData = s("CORRECTIONFORANALITICALDATA");
        h.naziv = s("NAZIV");
        h.naslov = s("NASLOV");
        h.poobDvs = s("POOB_DVS");
        h.sifVrsteDoh = s("SIF_VRSTE_DOH");
        h.mesecLeto = s("MESEC_LETO");
        h.datumIzp = d("DATUM_IZP");
        h.datumPlcDvk = d("DATUM_PLC_DVK");
        h.zapstDel = v("ZAPST_DEL");
        h.stzapRez = v("STZAP_REZ");
        h.stzapNerez = v("STZAP_NEREZ");
        h.neto = v("NETO");
        h.doh = v("DOH");
        h.dohNerez = v("DOH_NEREZ");
        h.davOsn = v("DAV_OSN");
        h.davZnzOsn = v("DAV_ZNZ_OSN");
        h.stopnja = v("STOPNJA");
        h.davOdt = v("DAV_ODT");
        h.davTuj = v("DAV_TUJ");
        h.davZnzStp = v("DAV_ZNZ_STP");
        h.skupaj = v("SKUPAJ");
        h.vplPodracun = s("VPL_PODRACUN");
        z.name = ReturnNameParts{s("SFVP"),     couponNumber(ds), z.correctionType, z.id,
                                 h.sifVrsteDoh, h.datumIzp,       h.datumPlcDvk};
        return z;
    }

    // The kind of a correction ('X'): 'P' within 30 days of the payout, else
    // compared with the corrected return: 'I' more, 'A' the same, 'Z' less to pay.
    // Empty when no kind can be determined; the operator has been told why.
    QString determineType(const Summary& z)
    {
        const qint64 days = std::abs(run.today.daysTo(z.header.datumIzp));
        if (days <= 30)
            return QStringLiteral("P");
        Query q(QStringLiteral("odsREK2ZbirEDP"));
        q.SetSession(ctx.session);
        q.SQL = QStringList{QStringLiteral(" SELECT Z.SKUPAJ FROM REK2_ZBIR_HST Z "),
                            QStringLiteral(" WHERE UPPER(Z.DURS_ID_DOK) = UPPER(:DURS_ID_DOK) "),
                            QStringLiteral(" ORDER BY Z.ID_REK2_ZBIR ")};
        q.DeclareAndSet(QStringLiteral("DURS_ID_DOK"), VarType::String, z.header.correctionForDocument);
        q.Execute();
        const QString notWritten = QStringLiteral("\nZbirni %1 ni zapisan.").arg(z.id);
        if (q.RowCount() == 0) {
            warn(QStringLiteral("Ne obstaja v sistemu Zbirni zapis sa DURS_DOK_ID:") +
                     z.header.correctionForDocument + notWritten,
                 QStringLiteral("V redu!"));
            return QString();
        }
        if (days > 365) {
            warn(
                QStringLiteral("Od datuma izplačila je minilo več kot 365 dni (%1), vrste popravka ni mogoče "
                               "določiti.")
                        .arg(days) +
                    notWritten,
                QStringLiteral("V redu!"));
            return QString();
        }
        const qint64 mine = cents(z.header.skupaj.toDouble());
        const qint64 theirs = cents(q.FieldAsFloat(0));
        return mine > theirs    ? QStringLiteral("I")
               : mine == theirs ? QStringLiteral("A")
                                : QStringLiteral("Z");
    }

    // Pass 1: which summaries are written, with which type. Nothing changes yet.
    std::vector<Summary> chooseSummaries()
    {
        std::vector<Summary> chosen;
        DataSet& ds = ctx.odsREK2_Zbir;
        if (!ds.Active())
            return chosen;
        const QSet<int> selected(ctx.selectedZbirIds.begin(), ctx.selectedZbirIds.end());
        for (ds.First(); !ds.Eof(); ds.Next()) {
            const int id = ds.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->AsInteger();
            if (!ctx.xmlZaVseZbirne && !selected.contains(id))
                continue;
            log(QStringLiteral("Zbirni %1 selectan!").arg(id));
            Summary z = readSummary(ds);
            const bool qualifies = z.correctionType == QLatin1String("O") ||
                                   !z.header.correctionForDocument.isEmpty() ||
                                   !z.header.correctionForAnaliticalData.isEmpty();
            if (!qualifies) {
                warn(QStringLiteral(
                         "Za dokument ne obstaja EDP številka originala, prosim vnesite EPD številka v "
                         "originalni dokument!"),
                     QStringLiteral("V redu"));
                continue;
            }
            if (z.correctionType == QLatin1String("X")) {
                z.documentType = determineType(z);
                if (z.documentType.isEmpty())
                    continue;
            } else {
                z.documentType = z.correctionType;
            }
            completeHeader(z);
            chosen.push_back(std::move(z));
        }
        return chosen;
    }

    // Completes the header fields that depend on the determined type.
    void completeHeader(Summary& z)
    {
        ReturnHeader& h = z.header;
        h.documentType = z.documentType;
        const auto name = statusNames.constFind(z.documentType.toUpper());
        if (name != statusNames.constEnd())
            h.documentTypeName = *name;
        h.correctionRefs = z.correctionType == QLatin1String("S") || z.correctionType == QLatin1String("X");
    }

    // Checks the pending rows of the summaries `ids` row by row, each value
    // as the file will carry it; a name for the message is put together only
    // for a row that has a problem.
    void checkRows(const QList<int>& ids, bool ordered, QStringList& problems)
    {
        RowCursor rows(QStringLiteral("qPreveriDVS"));
        rows.SetSession(ctx.session);
        rows.SQL = pendingRowsSql(QStringLiteral("A.ID_REK2_ZBIR IN (") + joinIds(ids) + QStringLiteral(")"));
        if (!ordered && rows.SQL.last().trimmed().startsWith(QLatin1String("ORDER BY")))
            rows.SQL.removeLast();
        rows.Open();
        const auto col = [&](const char* name) { return rows.FieldIndex(QLatin1String(name)); };
        const int cZbir = col("ID_REK2_ZBIR"), cDvs = col("DVS"), cIme = col("IME"),
                  cPriimek = col("PRIIMEK"), cNaziv = col("NAZIV");
        std::array<int, std::size(kCheckedTexts)> textCols;
        std::array<int, std::size(kCheckedAmounts)> amountCols;
        for (std::size_t i = 0; i < textCols.size(); ++i)
            textCols[i] = col(kCheckedTexts[i]);
        for (std::size_t i = 0; i < amountCols.size(); ++i)
            amountCols[i] = col(kCheckedAmounts[i]);
        const auto person = [&] {
            return QStringLiteral(" za osebo ") +
                   recipientName(rows.Value(cIme).toString(), rows.Value(cPriimek).toString(),
                                 rows.Value(cNaziv).toString()) +
                   QStringLiteral(" (zbirni %1)").arg(rows.Value(cZbir).toLongLong());
        };
        CheckedTexts texts;
        CheckedAmounts amounts;
        while (rows.Next()) {
            for (std::size_t i = 0; i < texts.size(); ++i)
                texts[i] = rows.Text(textCols[i]);
            for (std::size_t i = 0; i < amounts.size(); ++i)
                amounts[i] = rows.Value(amountCols[i]);
            checkRow(rows.Text(cDvs), texts, amounts, [&](const QString& p) { problems << p + person(); });
        }
        rows.Close();
    }

    // Everything the files will carry must be writable before any return is
    // written: every tax number reads as a whole number, every text is one
    // XML can carry, every amount is a finite number that fits the form's
    // field. All offending values are reported at once, each naming its row
    // (throws XmlReturnError). True when the rows of the first return are
    // still to be checked, as its file is written (writeReturn).
    bool checkReturns(const std::vector<Summary>& chosen, bool payerOk)
    {
        QStringList problems;
        if (!payerOk)
            problems << kInvalidTaxNumber + ctx.settings.DvsIzp + QStringLiteral(" za izplačevalca");
        const QStringList payerTexts = {ctx.settings.NazivIzp, ctx.settings.NaslovIzp,
                                        ctx.settings.responsiblePerson(), ctx.settings.responsiblePhone()};
        for (const QString& text : payerTexts)
            if (!xml::xmlCanCarry(text))
                problems << kInvalidCharacter + QStringLiteral("podatkih izplačevalca: ") + text;
        QList<int> ids;
        for (const Summary& z : chosen) {
            ids << z.id;
            const ReturnHeader& h = z.header;
            const QString where = QStringLiteral(" (zbirni %1)").arg(z.id);
            if (h.hasRepresentative() && !xml::readWholeNumber(h.poobDvs))
                problems << kInvalidTaxNumber + h.poobDvs + QStringLiteral(" za pooblaščenca ") + h.naziv +
                                where;
            const std::pair<const char*, QString> texts[] = {
                {"NAZIV", h.naziv},
                {"NASLOV", h.naslov},
                {"VPL_PODRACUN", h.vplPodracun},
                {"SIF_VRSTE_DOH", h.sifVrsteDoh},
                {"MESEC_LETO", h.mesecLeto},
                {"CORRECTIONFORDOCUMENT", h.correctionForDocument},
                {"CORRECTIONFORANALITICALDATA", h.correctionForAnaliticalData}};
            for (const auto& [column, text] : texts)
                if (!xml::xmlCanCarry(text))
                    problems << kInvalidCharacter + QStringLiteral("podatku ") + QLatin1String(column) +
                                    QStringLiteral(" zbirnega zapisa") + where;
            const std::pair<const char*, QVariant> amounts[] = {{"NETO", h.neto},
                                                                {"DOH", h.doh},
                                                                {"DOH_NEREZ", h.dohNerez},
                                                                {"DAV_OSN", h.davOsn},
                                                                {"DAV_ZNZ_OSN", h.davZnzOsn},
                                                                {"STOPNJA", h.stopnja},
                                                                {"DAV_ODT", h.davOdt},
                                                                {"DAV_TUJ", h.davTuj},
                                                                {"DAV_ZNZ_STP", h.davZnzStp},
                                                                {"SKUPAJ", h.skupaj}};
            for (const auto& [column, value] : amounts)
                if (!value.isNull() && !amountFitsReturn(value.toDouble()))
                    problems << kInvalidAmount + QLatin1String(column) + QStringLiteral(" (") +
                                    QString::number(value.toDouble()) + QStringLiteral(") zbirnega zapisa") +
                                    where;
        }
        // The rows are read in any order first (no sorting of a large day);
        // only when some row has a problem are they read again in the order
        // of the analytic view, so that the message lists the problems in the
        // order the operator sees the rows. When nothing else is wrong, the
        // rows of the first return are left to be checked as its file is
        // written, so that they are read once.
        const bool deferFirst = problems.isEmpty();
        const QList<int> read = deferFirst ? ids.mid(1) : ids;
        bool clean = read.isEmpty();
        QStringList rowProblems;
        if (!clean) {
            try {
                checkRows(read, false, rowProblems);
                clean = rowProblems.isEmpty();
            } catch (const DbError&) {
                // The ordered reading below meets the same fault first where
                // the operator would.
            }
        }
        if (!clean) {
            refuseRows(ids, problems);
            return false; // every row was read, none has a problem
        }
        if (!problems.isEmpty())
            throw XmlReturnError(problems.join(QLatin1Char('\n')));
        return deferFirst;
    }

    // Throws the problems of the summaries' pending rows, read in the order
    // of the view, after `problems`; returns when there are none at all.
    void refuseRows(const QList<int>& ids, QStringList problems)
    {
        QStringList rowProblems;
        checkRows(ids, true, rowProblems);
        problems << rowProblems;
        if (!problems.isEmpty())
            throw XmlReturnError(problems.join(QLatin1Char('\n')));
    }

    enum class Written { Whole, WriteFailed, OutOfOrder, Refused };

    // Writes the document of one return into `out` as the rows are read
    // (nothing is logged unless it is written whole). With `check`, each row
    // is checked before it is written: Refused at the first that fails.
    Written writeItems(const Summary& z, const ReturnPayer& payer, RowCursor& rows, DurableFile& out,
                       bool check)
    {
        ReturnWriter writer(out, payer, z.header);
        rows.Open();
        const auto col = [&](const char* name) { return rows.FieldIndex(QLatin1String(name)); };
        const int cDvs = col("DVS"), cIdent = col("IDENT_ST"), cIme = col("IME"), cPriimek = col("PRIIMEK"),
                  cNaziv = col("NAZIV"), cRez = col("REZ"), cDrz = col("DRZ"), cZniz = col("ZNIZANASTOPNJA"),
                  cSfdoh = col("SIF_SFDOH"), cBruto = col("BRUTO"), cObr = col("DAV_ODT_OBR"),
                  cPlc = col("DAV_ODT_PLC"), cTuj = col("DAV_ODT_ODB_TUJ");
        QString firstRow; // logged once the rows are known to be in order
        ReturnItem item;
        while (rows.Next()) {
            if (writer.itemCount() == 0) {
                const QString dateFmt = QStringLiteral("dd.MM.yyyy");
                const auto date = [&](const char* name) {
                    return coerceToFieldType(rows.Value(col(name)), FieldType::Date)
                        .toDate()
                        .toString(dateFmt);
                };
                firstRow = QStringLiteral("Analitika za Zbirni ") + QString::number(z.id) + QLatin1Char(' ') +
                           variantToText(rows.Value(col("SIF_VRSTE_DOH"))) + QStringLiteral(" Dan izp.:") +
                           date("DATUM_IZP_DIV") + QStringLiteral(" Dan plač. davka:") +
                           date("DATUM_PLC_DVK") + QStringLiteral(" Šifra kupona:") +
                           variantToText(rows.Value(col("SFKPN")));
            }
            item.dvs = rows.Text(cDvs);
            item.identSt = rows.Text(cIdent);
            item.ime = rows.Text(cIme);
            item.priimek = rows.Text(cPriimek);
            item.naziv = rows.Text(cNaziv);
            item.rez = rows.Text(cRez);
            item.drz = rows.Text(cDrz);
            item.znizanaStopnja = rows.Text(cZniz);
            item.sifSfdoh = rows.Text(cSfdoh);
            item.bruto = rows.Value(cBruto);
            item.davOdtObr = rows.Value(cObr);
            item.davOdtPlc = rows.Value(cPlc);
            item.davOdtOdbTuj = rows.Value(cTuj);
            if (check) {
                bool fits = true;
                checkRow(
                    item.dvs,
                    {item.identSt, item.ime, item.priimek, item.naziv, item.rez, item.drz, item.sifSfdoh},
                    {item.bruto, item.davOdtObr, item.davOdtPlc, item.davOdtOdbTuj},
                    [&](const QString&) { fits = false; });
                if (!fits) {
                    rows.Close();
                    return Written::Refused;
                }
            }
            writer.addItem(item);
        }
        if (rows.OutOfOrder())
            return Written::OutOfOrder;
        rows.Close();
        if (!firstRow.isEmpty())
            log(firstRow);
        return writer.finish() ? Written::Whole : Written::WriteFailed;
    }

    // Writes the document of one return under the temporary name beside its
    // final name, its items as the rows are read. With `check`, its rows are
    // checked as they are read; when one fails, nothing stays on disk and the
    // name is empty.
    QString writeReturn(const Summary& z, const ReturnPayer& payer, std::unique_ptr<DurableFile>& file,
                        bool check)
    {
        // The file stays open (and locked) until it is renamed into place;
        // an older file of the final name is not touched before the return
        // is archived.
        const QString fileName = returnFileName(z.name);
        const QString path = QDir(ctx.settings.XMLPath).filePath(fileName);
        if (QFileInfo(path).isDir())
            throw XmlReturnError(
                QStringLiteral("Datoteke %1 ni mogoče zapisati: na njenem mestu je mapa.").arg(path));
        const auto writeFailed = [&] {
            const QString error = fileErrorReason(file->errorString());
            file->discard();
            file.reset();
            return XmlReturnError(QStringLiteral("Datoteke %1 ni mogoče zapisati: %2").arg(path, error));
        };
        RowCursor rows(QStringLiteral("odsNabor"));
        rows.SetSession(ctx.session);
        const QString where = QStringLiteral("A.ID_REK2_ZBIR = :ID_REK2_ZBIR");
        rows.SQL = pendingRowsSql(where);
        rows.SetEngineSQL(collect::sqlite::kEngine, sqlitePendingRowsSql(where), pendingRowsOrder());
        rows.DeclareAndSet(QStringLiteral("ID_REK2_ZBIR"), VarType::Integer, z.id);
        // Read a second time, sorted, when the rows did not come in order.
        for (;;) {
            file = std::make_unique<DurableFile>(journal::temporaryPath(path));
            if (!file->open())
                throw writeFailed();
            try {
                const Written written = writeItems(z, payer, rows, *file, check);
                if (written == Written::OutOfOrder || written == Written::Refused) {
                    file->discard();
                    file.reset();
                    if (written == Written::Refused)
                        return QString();
                    continue;
                }
                if (written == Written::WriteFailed || !file->finish())
                    throw writeFailed();
            } catch (const XmlReturnError&) {
                throw;
            } catch (...) {
                // A database error in the middle: no half file stays behind.
                if (file) {
                    file->discard();
                    file.reset();
                }
                throw;
            }
            break;
        }
        log(QStringLiteral("Kreiran xml file."));
        return fileName;
    }

    // The return is archived: its file takes its final name.
    void renameIntoPlace(std::unique_ptr<DurableFile>& file, const QString& fileName)
    {
        const QString path = QDir(ctx.settings.XMLPath).filePath(fileName);
        const QString temp = file->fileName();
#ifndef Q_OS_UNIX
        file->close(); // an open file cannot be renamed there
#endif
        QString error;
        const bool renamed = replaceFile(temp, path, &error);
        file->close();
        file.reset();
        if (!renamed) {
            // The journal keeps the final name: the next command that opens
            // the database renames the file.
            throw XmlReturnError(
                QStringLiteral("Datoteke %1 ni mogoče preimenovati v %2: %3").arg(temp, path, error));
        }
        journal::forget(*ctx.session, path);
    }

    int exec(Query& q, const QStringList& sql)
    {
        q.Close();
        q.SQL = sql;
        q.Execute();
        return q.RowsProcessed();
    }

    // Records a written return: the type of a correction, the file name on
    // its links, and the move of the summary and all its rows to history,
    // in one transaction.
    void recordReturn(const Summary& z, const QString& fileName)
    {
        Transaction tx(*ctx.session);
        journal::ensureTable(*ctx.session);
        journal::record(*ctx.session, QDir(ctx.settings.XMLPath).filePath(fileName));
        Query q(QStringLiteral("qXML"));
        q.SetSession(ctx.session);
        q.DeclareAndSet(QStringLiteral("ID_REK2_ZBIR"), VarType::Integer, z.id);
        if (z.correctionType == QLatin1String("X")) {
            q.DeclareAndSet(QStringLiteral("Status"), VarType::String, z.documentType);
            exec(q, {QStringLiteral("UPDATE REK2_Zbir set CORRECTIONTYPE=:Status"),
                     QStringLiteral("WHERE ID_REK2_ZBIR=:ID_REK2_ZBIR")});
        }
        q.DeclareAndSet(QStringLiteral("XML_FILE"), VarType::String, fileName);
        // Links already carrying the file of an earlier return keep it.
        q.Close();
        q.SQL = linkFileUpdateSql();
        q.SetEngineSQL(collect::sqlite::kEngine, sqliteLinkFileUpdateSql());
        q.Execute();
        q.ClearEngineSQL();
        log(QStringLiteral("REK2_DOG.XML_FILE update-an."));

        q.DeclareAndSet(QStringLiteral("USR"), VarType::String, run.userName);
        q.DeclareAndSet(QStringLiteral("COMPUTER"), VarType::String, run.computerName);
        int rowsDone = exec(q, {QStringLiteral(" INSERT INTO REK2_ANAL_HST SELECT * FROM REK2_ANAL WHERE "
                                               "ID_REK2_ZBIR = :ID_REK2_ZBIR ")});
        log(QStringLiteral("Kopirano v HST Analitike:%1").arg(rowsDone));
        rowsDone = exec(
            q,
            {QStringLiteral(" INSERT INTO REK2_ZBIR_HST (ID_REK2_ZBIR, DURS_ID_DOK, CORRECTIONFORDOCUMENT, "
                            "CORRECTIONFORANALITICALDATA, CORRECTIONTYPE, NAZIV, NASLOV, POOB_DVS, "
                            "SIF_VRSTE_DOH, MESEC_LETO, DATUM_IZP, DATUM_PLC_DVK, "),
             QStringLiteral(
                 " ZAPST_DEL, STZAP_REZ, STZAP_NEREZ, NETO, DOH, DOH_NEREZ, DOH_BREZ_DAVODT, DAV_OSN, "
                 "DAV_ODT, STOPNJA, DAV_TUJ, DAV_ZNZ_STP_LES, DAV_ZNZ_STP, SKUPAJ, VPL_PODRACUN, "
                 "SFVP, SFKPN, DAV_ZNZ_OSN, CAS, USR, COMPUTER) "),
             QStringLiteral(" SELECT Z.*, Current_Date as Cas, :USR as USR, :COMPUTER as Computer FROM "
                            "REK2_ZBIR Z WHERE ID_REK2_ZBIR = :ID_REK2_ZBIR ")});
        log(QStringLiteral("Kopirano v HST zbirnih:%1").arg(rowsDone));
        rowsDone = exec(q, {QStringLiteral(" DELETE FROM REK2_ANAL WHERE ID_REK2_ZBIR = :ID_REK2_ZBIR ")});
        log(QStringLiteral("Zbrisano analitike:%1").arg(rowsDone));
        rowsDone = exec(q, {QStringLiteral(" DELETE FROM REK2_ZBIR WHERE ID_REK2_ZBIR = :ID_REK2_ZBIR ")});
        log(QStringLiteral("Zbrisano zbirno:%1").arg(rowsDone));
        // Another workstation wrote (or re-grouped) this return since it was
        // read: its move has taken the summary away. The new file goes and
        // nothing is recorded, so a return is never written twice.
        if (rowsDone != 1)
            throw DbError(
                QStringLiteral("Zbirnega zapisa %1 medtem ni več med pripravljenimi (zapisala ga je "
                               "druga delovna postaja ali je bil ponovno zbran); XML zanj ni zapisan.")
                    .arg(z.id));
        tx.commit();
    }
};

namespace {

QStringList linkFileUpdate(const QString& fileColumn)
{
    return {QStringLiteral(" UPDATE REK2_DOG SET XML_FILE = :XML_FILE "),
            QStringLiteral(" WHERE ID_REK2_ANAL IN (SELECT ID_REK2_ANAL FROM REK2_ANAL WHERE "
                           "ID_REK2_ZBIR=:ID_REK2_ZBIR) AND ") +
                fileColumn + QStringLiteral(" IS NULL ")};
}

} // namespace

QStringList linkFileUpdateSql()
{
    return linkFileUpdate(QStringLiteral("XML_FILE"));
}

QStringList sqliteLinkFileUpdateSql()
{
    return linkFileUpdate(QStringLiteral("+XML_FILE"));
}

XmlReturnRun::XmlReturnRun(RekContext& ctx)
    : userName(LoginUserName()), computerName(WorkstationName()), ctx_(ctx)
{
}

namespace {

// A collection that stopped before its link step (duplicate tax numbers
// answered with Abort, a failed link update, a crash) leaves links of
// identifier 0, which only a finished collection sets. A return written
// then would move its rows to history while their events still count as
// unreported: the next collection would build the same rows again, and
// they would be filed twice. The operator repeats the collection first.
// When a collection of another period has finished meanwhile, its link step
// has left every link it could not match empty (null), those of the stopped
// collection too: a link that the link step would now give a row of a
// return being written (`summaries`) is refused the same way.
void refuseUnfinishedCollection(RekContext& ctx, const QList<int>& summaries)
{
    const auto refuse = [&ctx](Query& q) {
        q.SetSession(ctx.session);
        q.Execute();
        if (q.RowCount() > 0 && !q.FieldIsNull(0))
            throw XmlReturnError(
                QStringLiteral("Nabor podatkov ni bil dokončan: dogodek %1 še ni povezan z analitično "
                               "vrstico. Ponovite nabor podatkov, nato generirajte XML.")
                    .arg(q.FieldAsString(0)));
    };
    Query zero;
    zero.SQL << QStringLiteral("SELECT MIN(L.ID_DOG) FROM REK2_DOG L WHERE L.ID_REK2_ANAL = 0 AND "
                               "L.DURS_ID_DOK IS NULL AND L.XML_FILE IS NULL");
    refuse(zero);
    if (summaries.isEmpty())
        return;
    const QString list = joinIds(summaries);
    Query matching;
    matching.SQL = QStringList{collect::sqlite::unlinkedEventOfRows(ctx.settings, list)};
    matching.SetEngineSQL(collect::sqlite::kEngine, matching.SQL);
    matching.SetEngineSQL(collect::postgres::kEngine,
                          {collect::postgres::unlinkedEventOfRows(ctx.settings, list)});
    refuse(matching);
}

} // namespace

XmlRunResult XmlReturnRun::run()
{
    RekContext& ctx = ctx_;
    if (!ctx.odsNabor.Active() || ctx.odsNabor.IsEmpty())
        throw XmlReturnError(QStringLiteral("Nabor je prazen! Generiranje XML ni možno!"));
    if (!ctx.session)
        throw XmlReturnError(QStringLiteral("Ni povezave z bazo!"));
    if (ctx.settings.XMLPath.trimmed().isEmpty())
        throw XmlReturnError(folderNotSetMessage(QStringLiteral("XML pot"), QStringLiteral("XMLPath")));

    result_ = XmlRunResult();
    Impl d{*this, ctx, result_, {}};
    std::optional<BusyGuard> busy;
    if (ctx.op)
        busy.emplace(*ctx.op, QStringLiteral("Generiranje XML-ja....."));
    ctx.odsNabor.DisableControls();
    ctx.odsREK2_Zbir.DisableControls();
    struct Enable
    {
        RekContext& c;
        ~Enable()
        {
            c.odsNabor.EnableControls();
            c.odsREK2_Zbir.EnableControls();
        }
    } enable{ctx};

    d.loadStatusNames();
    const std::vector<Summary> chosen = d.chooseSummaries();
    QList<int> chosenIds;
    for (const Summary& z : chosen)
        chosenIds << z.id;
    refuseUnfinishedCollection(ctx, chosenIds);
    // A large day's run shows how many of its returns are written.
    StepProgress progress(ctx.op, int(chosen.size()));

    ReturnPayer payer;
    const auto payerNumber = xml::readWholeNumber(ctx.settings.DvsIzp);
    payer.taxNumber = payerNumber.value_or(0);
    payer.name = ctx.settings.NazivIzp;
    payer.address = ctx.settings.NaslovIzp;
    payer.responsiblePerson = ctx.settings.responsiblePerson();
    payer.phone = ctx.settings.responsiblePhone();
    payer.t2s = ctx.settings.T2S;
    const bool checkFirst = !chosen.empty() && d.checkReturns(chosen, payerNumber.has_value());

    // The grids no longer show what is in the tables once a return moved.
    const auto closeGrids = [&] {
        if (!result_.wroteAny())
            return;
        ctx.odsNabor.First();
        ctx.odsREK2_Zbir.First();
        ctx.odsNabor.Close();
        ctx.odsREK2_Zbir.Close();
    };
    try {
        for (const Summary& z : chosen) {
            if (ctx.op)
                ctx.op->ProcessEvents();
            std::unique_ptr<DurableFile> file;
            QString fileName = d.writeReturn(z, payer, file, checkFirst && &z == &chosen.front());
            if (fileName.isEmpty()) {
                // A row of the first return cannot go into its file: every
                // such row is listed, as by the check before any file. When
                // none is found any more (changed meanwhile), it is written.
                QList<int> ids;
                for (const Summary& c : chosen)
                    ids << c.id;
                d.refuseRows(ids, {});
                fileName = d.writeReturn(z, payer, file, false);
            }
            if (afterFileWritten)
                afterFileWritten(z.id);
            try {
                d.recordReturn(z, fileName);
            } catch (...) {
                // Not archived: the return stays in work, its new file goes,
                // and a file of that name from before stays as it was.
                file->discard();
                throw;
            }
            if (afterArchived)
                afterArchived(z.id);
            result_.writtenIds << z.id;
            result_.files << fileName;
            d.renameIntoPlace(file, fileName);
            progress.reached(int(result_.writtenIds.size()));
        }
    } catch (...) {
        closeGrids();
        throw;
    }
    closeGrids();
    // A large return moved many rows out of work and gave its links a file:
    // the next statements (the grids, the next collection) are planned on
    // those tables as they now are. (The history tables grow by a day among
    // many; refreshing them took longer than the rest, 0.23 s at 20,000
    // rows, for plans that hardly change.) The returns are recorded already;
    // a refresh that fails only costs speed and is not reported as a failure
    // of the run.
    if (result_.wroteAny()) {
        try {
            for (const char* table : {"REK2_ANAL", "REK2_DOG"})
                ctx.session->dialect().tableChanged(*ctx.session, QString::fromLatin1(table));
        } catch (const std::exception& e) {
            d.log(QStringLiteral("Statistika tabel ni osvežena: ") + QString::fromUtf8(e.what()));
        }
    }
    return result_;
}

} // namespace rek2
