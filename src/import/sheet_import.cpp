#include "import/sheet_import.h"

#include "base/system_errors.h"
#include "db/dataset.h"
#include "db/dialect.h"
#include "db/error.h"
#include "db/field.h"
#include "db/query.h"
#include "db/session.h"
#include "db/transaction.h"
#include "edit/row_checks.h"
#include "import/cell_values.h"
#include "import/column_letters.h"
#include "import/names.h"
#include "import/workbook.h"
#include "returns/context.h"
#include "returns/identifiers.h"
#include "returns/working_statements.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <optional>

namespace rek2::importxls {

namespace {

const QString kWho = QStringLiteral("TfRek.bImportClick: ");
const QString kVRedu = QStringLiteral("V redu");
const QString kPreklic = QStringLiteral("Preklic");

QString dayText(const QDate& d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

QString cellName(int row, int column)
{
    return columnLetters(column) + QString::number(row);
}

// The payment-date cell against the chosen day: a date value as a date,
// anything else by its text.
bool isDay(const QVariant& cell, const QDate& day)
{
    if (cell.typeId() == QMetaType::QDate)
        return cell.toDate() == day;
    return cellText(cell) == dayText(day);
}

const MappingColumn& columnInfo(const QString& name)
{
    for (const MappingColumn& c : mappingColumns())
        if (c.column == name)
            return c;
    return mappingColumns().front();
}

// Widths of the REK2_ANAL text columns: a longer text is refused (the
// database would refuse it too), never cut.
int widthOf(const QString& column)
{
    static const QHash<QString, int> widths = {
        {QStringLiteral("DVS"), 8},
        {QStringLiteral("IDENT_ST"), 50},
        {QStringLiteral("NAZIV"), 100},
        {QStringLiteral("IME"), 100},
        {QStringLiteral("PRIIMEK"), 100},
        {QStringLiteral("REZ"), 1},
        {QStringLiteral("DRZ"), 20},
        {QStringLiteral("SIF_SFDOH"), 10},
        {QStringLiteral("SIF_VRSTE_DOH"), 10},
        {QStringLiteral("SFVP"), 20},
        {QStringLiteral("UGO_MED_POG"), 1},
    };
    return widths.value(column, 4000);
}

// Reads the cells of one worksheet row through the mapping.
class RowReader
{
public:
    RowReader(const SheetTable& t, const ImportMapping& m, int row) : t_(t), m_(m), row_(row) {}

    QVariant value(const QString& mappingColumn) const { return t_.value(row_, m_.column(mappingColumn)); }
    QString text(const QString& mappingColumn) const { return cellText(value(mappingColumn)); }

    // A text for a REK2_ANAL column, refused when longer than the column.
    QString checked(const QString& mappingColumn, const QString& target, const QString& text) const
    {
        const int width = widthOf(target);
        if (text.size() > width)
            throw ImportError(
                QStringLiteral("Besedilo v celici %1 (%2) je daljše od %3 znakov, kolikor jih sprejme "
                               "stolpec %4.")
                    .arg(where(mappingColumn), columnInfo(mappingColumn).caption)
                    .arg(width)
                    .arg(target));
        return text;
    }
    QString textFor(const QString& mappingColumn, const QString& target) const
    {
        return checked(mappingColumn, target, text(mappingColumn));
    }

    qint64 whole(const QString& mappingColumn) const
    {
        qint64 v = 0;
        if (!toWholeNumber(value(mappingColumn), v))
            fail(mappingColumn, QStringLiteral("celo število"));
        return v;
    }
    QVariant amount(const QString& mappingColumn) const
    {
        std::optional<double> v;
        if (!toAmount(value(mappingColumn), v))
            fail(mappingColumn, QStringLiteral("znesek"));
        return v ? QVariant(*v) : QVariant();
    }
    QVariant date(const QString& mappingColumn) const
    {
        std::optional<QDate> v;
        if (!toDate(value(mappingColumn), v))
            fail(mappingColumn, QStringLiteral("datum"));
        return v ? QVariant(*v) : QVariant(QMetaType(QMetaType::QDate));
    }

private:
    QString where(const QString& mappingColumn) const { return cellName(row_, m_.column(mappingColumn)); }

    [[noreturn]] void fail(const QString& mappingColumn, const QString& kind) const
    {
        QString shown = text(mappingColumn);
        if (shown.size() > 60)
            shown = shown.left(60) + QStringLiteral("...");
        throw ImportError(QStringLiteral("Vrednosti \"%1\" v celici %2 (%3) ni mogoče pretvoriti v %4.")
                              .arg(shown, where(mappingColumn), columnInfo(mappingColumn).caption, kind));
    }

    const SheetTable& t_;
    const ImportMapping& m_;
    int row_;
};

const QStringList kInsert = {
    QStringLiteral(
        "INSERT INTO REK2_ANAL (ID_REK2_ANAL, ID_REK2_ZBIR, DURS_ID_DOK, DVS, IDENT_ST, IME, PRIIMEK, "
        "NAZIV, REZ, DRZ, UGO_MED_POG, SIF_SFDOH, SIF_VRSTE_DOH,"),
    QStringLiteral(" BRUTO, DAV_ODT_OBR, DAV_ODT_PLC, DAV_ODT_ODB_TUJ, STATUS, SFKPN, SFVP, DATUM_IZP_DIV, "
                   "DATUM_PLC_DVK)"),
    QStringLiteral("VALUES (:ID_REK2_ANAL, 0, NULL, :DVS, :IDENT_ST, :IME, :PRIIMEK, :NAZIV, :REZ, :DRZ, "
                   ":UGO_MED_POG, :SIF_SFDOH, :SIF_VRSTE_DOH,"),
    QStringLiteral(
        " :BRUTO, :DAV_ODT_OBR, :DAV_ODT_PLC, :DAV_ODT_ODB_TUJ, 'O', :SFKPN, :SFVP, :DATUM_IZP_DIV, "
        ":DATUM_PLC_DVK)"),
};

} // namespace

QString wrongDayMessage(const QString& cellText, const QDate& day)
{
    return QStringLiteral("Datum v Excelu \"") + cellText +
           QStringLiteral("\" ne ustreza izbranemu dnevu \"") + dayText(day) + QStringLiteral("\" !");
}

QString confirmDayQuestion(const QDate& day)
{
    return QStringLiteral("Prosim potrdi import podatkov na dan ") + dayText(day) + QStringLiteral(" !");
}

ImportPlan planImport(const SheetTable& table, const ImportMapping& mapping, const QDate& day)
{
    ImportPlan plan;
    const int dateColumn = mapping.column(QStringLiteral("KOLONA_012"));
    for (int row = mapping.start; row <= table.rowCount(); ++row) {
        const QVariant cell = table.value(row, dateColumn);
        const QString text = cellText(cell);
        if (text.isEmpty())
            break;
        if (!isDay(cell, day))
            throw ImportError(wrongDayMessage(text, day));
        if (plan.count++ == 0)
            plan.firstRow = row;
        plan.lastRow = row;
    }
    return plan;
}

// The coupon list, read once per import: a coupon code or, failing that,
// the coupon's number within the security, both under the security's code
// in any case.
struct SheetImport::Coupons
{
    bool loaded = false;
    QHash<QString, qint64> byCode, byNumber;

    static QString key(const QString& sfvp, qint64 n)
    {
        return sfvp.toUpper() + QLatin1Char('\x1f') + QString::number(n);
    }

    void load(Session& session)
    {
        DataSet list(QStringLiteral("qKupon"));
        list.SetSession(&session);
        list.SQL = QStringList{QStringLiteral("select S.KRT as SFVP, K.SFKPN, K.STKPN "),
                               QStringLiteral("from kpn K, SFVP S"), QStringLiteral("WHERE K.SFVP=S.SFVP")};
        list.Open();
        const int cVp = list.FieldIndex(QStringLiteral("SFVP"));
        const int cKpn = list.FieldIndex(QStringLiteral("SFKPN"));
        const int cSt = list.FieldIndex(QStringLiteral("STKPN"));
        for (int r = 0; r < list.RecordCount(); ++r) {
            const QString vp = list.Value(r, cVp).toString();
            const qint64 kpn = list.Value(r, cKpn).toLongLong();
            byCode.insert(key(vp, kpn), kpn);
            const QVariant st = list.Value(r, cSt);
            if (!st.isNull() && !byNumber.contains(key(vp, st.toLongLong())))
                byNumber.insert(key(vp, st.toLongLong()), kpn);
        }
        list.Close();
        loaded = true;
    }

    qint64 resolve(Session& session, const QString& sfvp, qint64 sfkpn)
    {
        if (sfkpn <= 0)
            return sfkpn;
        if (!loaded)
            load(session);
        if (byCode.contains(key(sfvp, sfkpn)))
            return sfkpn;
        return byNumber.value(key(sfvp, sfkpn), sfkpn);
    }
};

SheetImport::SheetImport(RekContext& ctx, QString logFolder, Hooks hooks)
    : ctx_(ctx), logFolder_(std::move(logFolder)), hooks_(std::move(hooks))
{
}

void SheetImport::log(const QString& text)
{
    ctx_.DebugMessage(kWho + text);
}

bool SheetImport::bImportClick()
{
    log(QStringLiteral("Import from XLS."));
    const QString path = ctx_.op->OpenFileName(QStringLiteral("Import iz XLS"), workbookFileFilter());
    if (path.isEmpty())
        return false;
    run(path);
    return true;
}

ImportOutcome SheetImport::run(const QString& path)
{
    ImportOutcome out;
    findings_.clear();
    // Nothing is stored when the workbook or the mapping cannot be read.
    const SheetTable table = readWorkbook(path);
    const ImportMapping mapping = loadImportMapping(*ctx_.session);
    log(QStringLiteral("Prebrana preglednica ") + path + QStringLiteral(" (vrstic=") +
        QString::number(table.rowCount()) + QLatin1Char(')'));
    // The tabs are disabled while rows are stored: the window keeps painting
    // and the progress bar moves, but no second action can start meanwhile.
    std::optional<BusyGuard> busy;
    if (ctx_.op)
        busy.emplace(*ctx_.op, QStringLiteral("Import iz XLS...."));
    try {
        storeRows(table, mapping, out);
    } catch (const std::exception& e) {
        // The rows stored so far are committed: their findings are kept in
        // the log file, followed by the error that stopped the import.
        if (ctx_.op)
            ctx_.op->Progress(0, 0);
        const QString error = QString::fromUtf8(e.what());
        try {
            out.logFile = writeLogFile(out.findings + QStringLiteral("\r\n") + error);
        } catch (const ImportError& logError) {
            log(logError.message());
        }
        throw;
    }
    if (!out.findings.isEmpty())
        out.logFile = writeLogFile(out.findings);
    regroup(out);
    if (ctx_.op)
        ctx_.op->Progress(0, 0);
    return out;
}

QString SheetImport::writeLogFile(const QString& text)
{
    const QString file = appendImportLog(logFolder_, text, QDateTime::currentDateTime());
    if (hooks_.showLog)
        hooks_.showLog(file);
    return file;
}

void SheetImport::storeRows(const SheetTable& table, const ImportMapping& mapping, ImportOutcome& out)
{
    const QDate day = ctx_.datumOd;
    const int dateColumn = mapping.column(QStringLiteral("KOLONA_012"));
    const int last = table.rowCount();
    const int maximum = std::max(1, last - mapping.start);
    Operator* op = ctx_.op;
    if (op)
        op->Progress(0, maximum);

    Query insert;
    insert.SetSession(ctx_.session);
    insert.SQL = kInsert;
    Coupons coupons;

    bool confirmed = false;
    int row = mapping.start;
    int position = 0;
    for (;;) {
        const QVariant cell = table.value(row, dateColumn);
        const QString text = cellText(cell);
        if (!text.isEmpty() && !isDay(cell, day)) {
            out.wrongDay = true;
            log(wrongDayMessage(text, day));
            if (op)
                op->Napaka(wrongDayMessage(text, day), kVRedu);
            break;
        }
        if (!text.isEmpty() && !confirmed) {
            confirmed = op && op->Opozorilo(confirmDayQuestion(day), kVRedu, kPreklic) == 1;
            out.cancelled = !confirmed;
        }
        if (text.isEmpty())
            confirmed = false;
        if (confirmed) {
            QString findings, naziv;
            const int id = storeRow(insert, table, mapping, row, coupons, findings, naziv);
            out.findings += findings;
            findings_ = out.findings;
            const StoredRow stored{id, row, naziv};
            out.stored << stored;
            if (hooks_.rowStored)
                hooks_.rowStored(stored);
            ++row;
        }
        if (op) {
            op->Progress(std::min(++position, maximum), maximum);
            op->ProcessEvents();
        }
        if (row > last || !confirmed)
            break;
    }
    if (op) {
        op->Progress(maximum, maximum);
        op->ProcessEvents();
    }
    log(QStringLiteral("Shranjenih vrstic: ") + QString::number(out.stored.size()) + QLatin1Char(')'));
}

int SheetImport::storeRow(Query& insert, const SheetTable& table, const ImportMapping& mapping, int row,
                          Coupons& coupons, QString& findings, QString& naziv)
{
    const RowReader cells(table, mapping, row);
    // Every cell is converted before anything is written.
    const QString dvs = cells.textFor(QStringLiteral("KOLONA_A001"), QStringLiteral("DVS"));
    const QString identSt =
        dvs.isEmpty() ? cells.textFor(QStringLiteral("KOLONA_A002"), QStringLiteral("IDENT_ST")) : QString();
    QString ime, priimek;
    if (mapping.filled(QStringLiteral("KOLONA_A003I")) && mapping.filled(QStringLiteral("KOLONA_A003P"))) {
        ime = cells.checked(QStringLiteral("KOLONA_A003I"), QStringLiteral("IME"),
                            BrezRimskogNaKoncu(cells.text(QStringLiteral("KOLONA_A003I"))));
        priimek = cells.checked(QStringLiteral("KOLONA_A003P"), QStringLiteral("PRIIMEK"),
                                BrezRimskogNaKoncu(cells.text(QStringLiteral("KOLONA_A003P"))));
        naziv = cells.checked(QStringLiteral("KOLONA_A003P"), QStringLiteral("NAZIV"),
                              (ime + QLatin1Char(' ') + priimek).trimmed());
    } else {
        const SplitName split =
            ObrniImePriimek(BrezRimskogNaKoncu(cells.text(QStringLiteral("KOLONA_A003"))));
        ime = cells.checked(QStringLiteral("KOLONA_A003"), QStringLiteral("IME"), split.ime);
        priimek = cells.checked(QStringLiteral("KOLONA_A003"), QStringLiteral("PRIIMEK"), split.priimek);
        naziv = cells.checked(QStringLiteral("KOLONA_A003"), QStringLiteral("NAZIV"), split.naziv);
    }
    const QString rez = cells.textFor(QStringLiteral("KOLONA_A004"), QStringLiteral("REZ"));
    const QString drz = cells.textFor(QStringLiteral("KOLONA_A004A"), QStringLiteral("DRZ"));
    const QVariant benefit = cells.value(QStringLiteral("KOLONA_A005"));
    const QString benefitText = cellText(benefit);
    const QString ugo = benefitText.size() == 1 ? benefitText : QString();
    const QString sifSfdoh = cells.textFor(QStringLiteral("KOLONA_A051"), QStringLiteral("SIF_SFDOH"));
    const QString sifVrsteDoh = QString::number(cells.whole(QStringLiteral("KOLONA_010")));
    const QVariant bruto = cells.amount(QStringLiteral("KOLONA_A052"));
    const QVariant obr = cells.amount(QStringLiteral("KOLONA_A091O"));
    const QVariant plc = cells.amount(QStringLiteral("KOLONA_A091P"));
    const QVariant tuj = cells.amount(QStringLiteral("KOLONA_A092O"));
    const QString sfvp = cells.textFor(QStringLiteral("SFVP"), QStringLiteral("SFVP"));
    const qint64 sheetKpn = cells.whole(QStringLiteral("SFKPN"));
    const QVariant datumIzp = cells.date(QStringLiteral("KOLONA_012"));
    // An empty tax-payment date stays null (the rest of the system reads a
    // missing tax date as null; a "day zero" would be a wrong period).
    const QVariant datumPlc = cells.date(QStringLiteral("KOLONA_012A"));

    Transaction tx(*ctx_.session);
    const qint64 sfkpn = coupons.resolve(*ctx_.session, sfvp, sheetKpn);
    const int id = GetNewID(*ctx_.session, ctx_.settings, QStringLiteral("Analitika"));

    insert.DeclareAndSet(QStringLiteral("ID_REK2_ANAL"), VarType::Integer, id);
    insert.DeclareAndSet(QStringLiteral("DVS"), VarType::String, dvs);
    insert.DeclareAndSet(QStringLiteral("IDENT_ST"), VarType::String, identSt);
    insert.DeclareAndSet(QStringLiteral("IME"), VarType::String, ime);
    insert.DeclareAndSet(QStringLiteral("PRIIMEK"), VarType::String, priimek);
    insert.DeclareAndSet(QStringLiteral("NAZIV"), VarType::String, naziv);
    insert.DeclareAndSet(QStringLiteral("REZ"), VarType::String, rez);
    insert.DeclareAndSet(QStringLiteral("DRZ"), VarType::String, drz);
    insert.DeclareAndSet(QStringLiteral("UGO_MED_POG"), VarType::String, ugo);
    insert.DeclareAndSet(QStringLiteral("SIF_SFDOH"), VarType::String, sifSfdoh);
    insert.DeclareAndSet(QStringLiteral("SIF_VRSTE_DOH"), VarType::String, sifVrsteDoh);
    insert.DeclareAndSet(QStringLiteral("BRUTO"), VarType::Float, bruto);
    insert.DeclareAndSet(QStringLiteral("DAV_ODT_OBR"), VarType::Float, obr);
    insert.DeclareAndSet(QStringLiteral("DAV_ODT_PLC"), VarType::Float, plc);
    insert.DeclareAndSet(QStringLiteral("DAV_ODT_ODB_TUJ"), VarType::Float, tuj);
    insert.DeclareAndSet(QStringLiteral("SFKPN"), VarType::Integer, sfkpn);
    insert.DeclareAndSet(QStringLiteral("SFVP"), VarType::String, sfvp);
    insert.DeclareAndSet(QStringLiteral("DATUM_IZP_DIV"), VarType::Date, datumIzp);
    insert.DeclareAndSet(QStringLiteral("DATUM_PLC_DVK"), VarType::Date, datumPlc);
    insert.Execute();

    AnalyticRow checked;
    checked.ID_REK2_ANAL = id;
    checked.DVS = dvs;
    checked.IDENT_ST = identSt;
    checked.REZ = rez;
    checked.DRZ = drz;
    checked.SIF_VRSTE_DOH = sifVrsteDoh;
    checked.SIF_SFDOH = sifSfdoh;
    checked.UGO_MED_POG = ugo;
    checked.BRUTO = bruto.toDouble();
    checked.DAV_ODT_OBR = obr.toDouble();
    checked.DAV_ODT_PLC = plc.toDouble();
    checked.DAV_ODT_ODB_TUJ = tuj.toDouble();
    BenefitCell cell{benefit, benefitText};
    const RowFindings found = checkAnalyticRow(checked, &cell);
    if (found.stopped())
        throw ImportError(found.error);
    tx.commit();
    findings = found.text;
    return id;
}

QString appendImportLog(const QString& folder, const QString& text, const QDateTime& when)
{
    const QString path = QDir(folder).filePath(QStringLiteral("ImportLog.txt"));
    QFile f(path);
    const QByteArray entry = (when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) + QStringLiteral(" : ") +
                              text + QStringLiteral("\r\n"))
                                 .toUtf8();
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || f.write(entry) != entry.size() || !f.flush())
        throw ImportError(QStringLiteral("Dnevnika importa \"%1\" ni mogoče zapisati: %2")
                              .arg(path, fileErrorReason(f.errorString())));
    return path;
}

} // namespace rek2::importxls

namespace rek2::importxls {

void SheetImport::regroup(ImportOutcome& out)
{
    // The rows just imported and then re-assigned to their summaries are
    // looked up by the statements that follow: they are planned on the
    // table as it now is (as the collection does after its bulk steps).
    ctx_.session->dialect().tableChanged(*ctx_.session, QStringLiteral("REK2_ANAL"));
    DataSet& source = ctx_.odsNaborREK2;
    collect::Regrouping::openSource(ctx_, source);
    log(QStringLiteral("Nabor analitike"));
    if (source.IsEmpty())
        return;
    collect::Regrouping regrouping(ctx_, hooks_.grid);
    regrouping.setReloadAnalyticGrid(false); // loaded below with the first summary
    if (hooks_.grid.attachSummaryGrid)
        hooks_.grid.attachSummaryGrid(false);
    out.summaryIds = regrouping.NafilajZbirni(source);
    ctx_.session->dialect().tableChanged(*ctx_.session, QStringLiteral("REK2_ANAL"));
    log(QStringLiteral("Zbirni ") + out.summaryIds + QStringLiteral(" kreiran!"));
    if (hooks_.grid.attachSummaryGrid)
        hooks_.grid.attachSummaryGrid(true);
    DataSet& summaries = ctx_.odsREK2_Zbir;
    openSummarySelection(summaries, out.summaryIds);
    std::optional<int> first;
    if (summaries.Active() && !summaries.IsEmpty()) {
        summaries.First();
        const int id = summaries.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->AsInteger();
        if (id != 0)
            first = id;
    }
    openAnalyticWorking(ctx_.odsNabor, ctx_.datumOd, ctx_.datumDo, first);
}

} // namespace rek2::importxls
