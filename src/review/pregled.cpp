#include "review/pregled.h"

#include "collect/summary_fields.h"
#include "db/dataset.h"
#include "edit/details_rules.h"
#include "edit/nabor_actions.h"
#include "returns/context.h"
#include "returns/working_fields.h"
#include "review/document_number.h"
#include "review/kopiraj.h"
#include "xmlreturn/return_names.h"

namespace rek2::review {

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

QString textOf(const DataSet& ds, int row, int field)
{
    if (field < 0)
        return QString();
    const QVariant v = ds.Value(row, field);
    return v.isNull() ? QString() : v.toString();
}

QString dateText(const QDate& d)
{
    return d.isValid() ? d.toString(kDateFormat) : QString();
}

} // namespace

QString nodeText(const QString& sfvp, const QVariant& stkpn, const QString& correctionType,
                 const QVariant& id, const QDate& datumIzp, const QDate& datumPlcDvk)
{
    const QString coupon = stkpn.isNull() ? QString() : QString::number(stkpn.toLongLong());
    const QString ident = id.isNull() ? QString() : QString::number(id.toLongLong());
    return PopraviNaziv(sfvp) + QLatin1Char('_') + coupon + QLatin1Char('_') + correctionType +
           QLatin1Char('_') + ident + QStringLiteral(" ( ") + dateText(datumIzp) + QStringLiteral(" - ") +
           dateText(datumPlcDvk) + QStringLiteral(" )");
}

std::optional<NodeKey> parseNodeText(const QString& text)
{
    const int open = text.indexOf(QStringLiteral(" ( "));
    const int dash = text.indexOf(QStringLiteral(" - "));
    const int close = text.indexOf(QStringLiteral(" )"));
    const int paren = text.indexOf(QLatin1Char('('));
    if (open < 0 || dash < open || close < dash || paren < 1)
        return std::nullopt;
    NodeKey key;
    key.datumIzp = text.mid(open + 3, dash - open - 3).trimmed();
    key.datumPlcDvk = text.mid(dash + 3, close - dash - 3).trimmed();
    const QString prefix = text.left(paren - 1);
    const int us = prefix.lastIndexOf(QLatin1Char('_'));
    if (us < 1 || key.datumIzp.isEmpty())
        return std::nullopt;
    key.id = prefix.mid(us + 1);
    key.correctionType = prefix.mid(us - 1, 1);
    return key;
}

std::vector<ChainEntry> chainEntries(const DataSet& ds)
{
    const int durs = ds.FieldIndex(QStringLiteral("DURS_ID_DOK"));
    const int ref = ds.FieldIndex(QStringLiteral("CORRECTIONFORDOCUMENT"));
    const int type = ds.FieldIndex(QStringLiteral("CORRECTIONTYPE"));
    std::vector<ChainEntry> entries;
    entries.reserve(size_t(ds.RecordCount()));
    for (int r = 0; r < ds.RecordCount(); ++r)
        entries.push_back({textOf(ds, r, durs), textOf(ds, r, ref), textOf(ds, r, type)});
    return entries;
}

PregledActions::PregledActions(RekContext& ctx, RecordEditor& editor, PregledHooks hooks)
    : ctx_(ctx), editor_(editor), hooks_(std::move(hooks))
{
}

void PregledActions::prepare(RekContext& ctx)
{
    defineHistorySummaryFields(ctx.odsPregled);
    defineHistoryAnalyticFields(ctx.odsPregledA);
    ctx.odsPregled.OnCalcFields = [&ctx](DataSet& ds) { collect::calcSummaryFields(ctx, ds); };
}

void PregledActions::attach(bool on)
{
    if (hooks_.attachGrids)
        hooks_.attachGrids(on);
}

void PregledActions::openSummaries(RekContext& ctx)
{
    DataSet& ds = ctx.odsPregled;
    ds.Close();
    if (ds.SQL.isEmpty()) {
        ds.SQL = QStringList{
            QStringLiteral("select Z.*, Z.ROWID FROM REK2_Zbir_HST Z"),
            QStringLiteral(
                "WHERE ((Z.DATUM_IZP>=:DatumOd AND Z.DATUM_IZP<=:DatumDo) OR (Z.DATUM_PLC_DVK IS NOT NULL "
                "AND Z.DATUM_PLC_DVK>=:DatumOd AND Z.DATUM_PLC_DVK<=:DatumDo))"),
            QStringLiteral("ORDER BY Z.DATUM_IZP, SIF_VRSTE_DOH, ID_REK2_ZBIR")};
        ds.DeclareVariable(QStringLiteral("DatumOd"), VarType::Date);
        ds.DeclareVariable(QStringLiteral("DatumDo"), VarType::Date);
    }
    ds.SetVariable(QStringLiteral("DatumOd"), ctx.pregledOd);
    ds.SetVariable(QStringLiteral("DatumDo"), ctx.pregledDo);
    ds.Open();
    ctx.pregledSuperseded = supersededFlags(chainEntries(ds));
    ds.First();
}

void PregledActions::SpeedButton1Click()
{
    ctx_.DebugMessage(QStringLiteral("TfRek.SpeedButton1Click: Pregled od:") + dateText(ctx_.pregledOd) +
                      QStringLiteral(" do:") + dateText(ctx_.pregledDo));
    nodes_.clear();
    DataSet& ds = ctx_.odsPregled;
    ds.DisableControls();
    try {
        openSummaries(ctx_);
        int selected = -1; // the root
        for (ds.First(); !ds.Eof(); ds.Next()) {
            const QString type = ds.FieldByName(QStringLiteral("CORRECTIONTYPE"))->AsString();
            const bool original = type == QLatin1String("O");
            if (original)
                selected = -1;
            PregledNode node;
            node.text = nodeText(ds.FieldByName(QStringLiteral("SFVP"))->AsString(),
                                 ds.FieldByName(QStringLiteral("STKPN"))->AsVariant(), type,
                                 ds.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->AsVariant(),
                                 ds.FieldByName(QStringLiteral("DATUM_IZP"))->AsDate(),
                                 ds.FieldByName(QStringLiteral("DATUM_PLC_DVK"))->AsDate());
            node.parent = selected;
            node.row = ds.CurrentRow();
            node.bold = ds.FieldByName(QStringLiteral("DURS_ID_DOK"))->IsNull();
            nodes_.push_back(node);
            selected = original ? int(nodes_.size()) - 1 : -1;
        }
        ds.First();
    } catch (...) {
        ds.EnableControls();
        throw;
    }
    ds.EnableControls();
    if (hooks_.showTree)
        hooks_.showTree(nodes_);
}

bool PregledActions::tvPregledClick(const QString& text)
{
    const std::optional<NodeKey> key = parseNodeText(text);
    DataSet& ds = ctx_.odsPregled;
    if (!key || !ds.Active())
        return false;
    const int id = ds.FieldIndex(QStringLiteral("ID_REK2_ZBIR"));
    const int type = ds.FieldIndex(QStringLiteral("CORRECTIONTYPE"));
    const int izp = ds.FieldIndex(QStringLiteral("DATUM_IZP"));
    const int plc = ds.FieldIndex(QStringLiteral("DATUM_PLC_DVK"));
    for (int r = 0; r < ds.RecordCount(); ++r) {
        // A summary without tax payment date matches a node whose second
        // date is empty, so every node makes its own summary current.
        if (textOf(ds, r, id) == key->id &&
            textOf(ds, r, type).compare(key->correctionType, Qt::CaseInsensitive) == 0 &&
            dateText(ds.Value(r, izp).toDate()) == key->datumIzp &&
            dateText(ds.Value(r, plc).toDate()) == key->datumPlcDvk) {
            ds.SetRecNo(r + 1);
            return true;
        }
    }
    return false;
}

bool PregledActions::TrySetParentIfExists() const
{
    const DataSet& ds = ctx_.odsPregled;
    if (!ds.Active() || ds.IsEmpty())
        return false;
    return isSuperseded(chainEntries(ds), ds.CurrentRow());
}

void PregledActions::SetParentIfExists()
{
    DataSet& ds = ctx_.odsPregled;
    if (!ds.Active() || ds.IsEmpty())
        return;
    const int newest = newestMember(chainEntries(ds), ds.CurrentRow());
    if (newest != ds.CurrentRow())
        ds.SetRecNo(newest + 1);
}

bool PregledActions::rowSuperseded(int row) const
{
    return row >= 0 && size_t(row) < ctx_.pregledSuperseded.size() && ctx_.pregledSuperseded[size_t(row)];
}

void PregledActions::loadAnalyticRows(RekContext& ctx)
{
    DataSet& a = ctx.odsPregledA;
    DataSet& z = ctx.odsPregled;
    a.Close();
    a.SQL.clear();
    a.DeleteVariables();
    if (!z.Active() || z.IsEmpty())
        return;
    const QDate plc = z.FieldByName(QStringLiteral("DATUM_PLC_DVK"))->AsDate();
    a.SQL = QStringList{QStringLiteral(" select Z.*, Z.ROWID FROM REK2_ANAL_HST Z "),
                        QStringLiteral(" WHERE Z.ID_REK2_ZBIR=:ID_REK2_ZBIR "),
                        QStringLiteral(" AND DATUM_IZP_DIV=:DATUM_IZP "),
                        plc.isValid() ? QStringLiteral(" AND DATUM_PLC_DVK=:DATUM_PLC_DVK ")
                                      : QStringLiteral(" AND DATUM_PLC_DVK IS NULL ")};
    a.DeclareAndSet(QStringLiteral("ID_REK2_ZBIR"), VarType::Integer,
                    z.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->AsInteger());
    a.DeclareAndSet(QStringLiteral("DATUM_IZP"), VarType::Date,
                    z.FieldByName(QStringLiteral("DATUM_IZP"))->AsDate());
    if (plc.isValid())
        a.DeclareAndSet(QStringLiteral("DATUM_PLC_DVK"), VarType::Date, plc);
    a.Open();
}

void PregledActions::dbgPregledCellClick()
{
    attach(false);
    struct Reattach
    {
        PregledActions& a;
        ~Reattach() { a.attach(true); }
    } reattach{*this};
    DataSet& ds = ctx_.odsPregled;
    if (ds.Active() && !ds.IsEmpty() && !ds.FieldByName(QStringLiteral("DURS_ID_DOK"))->IsNull())
        SetParentIfExists();
    loadAnalyticRows(ctx_);
}

void PregledActions::relocate(int idZbir)
{
    DataSet& ds = ctx_.odsPregled;
    if (idZbir > 0 && ds.Active())
        ds.Locate(QStringLiteral("ID_REK2_ZBIR"), {idZbir});
}

void PregledActions::dbgPregledDblClick()
{
    DataSet& ds = ctx_.odsPregled;
    if (!ds.Active() || ds.IsEmpty())
        return;
    attach(false);
    if (!ds.FieldByName(QStringLiteral("DURS_ID_DOK"))->IsNull())
        SetParentIfExists();
    attach(true);

    const int remembered = ds.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->AsInteger();
    attach(false);
    struct Finish
    {
        PregledActions& a;
        int id;
        ~Finish()
        {
            a.attach(true);
            try {
                a.SpeedButton1Click();
                a.relocate(id);
            } catch (...) {
                // The refill is a courtesy after the action; its error must
                // not hide the action's own outcome.
            }
        }
    } finish{*this, remembered};

    const bool numbered = !ds.FieldByName(QStringLiteral("DURS_ID_DOK"))->IsNull();
    const int result = editor_.edit(ds, numbered ? readOnlyFieldsText() : QStringLiteral("DURS_ID_DOK"),
                                    QDateTime(), 0, QString(), numbered, QString());
    switch (result) {
    case 1: {
        const QString number = ds.FieldByName(QStringLiteral("DURS_ID_DOK"))->AsString();
        if (number.isEmpty())
            break;
        copyNumberOnward(*ctx_.session, ds.FieldByName(QStringLiteral("ID_REK2_ZBIR"))->AsInteger(), number);
        loadAnalyticRows(ctx_);
        break;
    }
    case 6:
    case 7: {
        Kopiraj kopiraj(ctx_);
        const KopirajResult copy = kopiraj.run(result == 6);
        if (copy.made) {
            if (hooks_.showNabor)
                hooks_.showNabor(copy.datumOd, copy.datumDo);
            kopiraj.showOnNabor(copy);
            if (hooks_.naborLoaded)
                hooks_.naborLoaded();
            if (hooks_.copied)
                hooks_.copied(copy);
        }
        break;
    }
    default:
        break;
    }
}

void PregledActions::dbgPredgledADblClick()
{
    DataSet& a = ctx_.odsPregledA;
    if (!a.Active() || a.IsEmpty())
        return;
    editor_.edit(a, readOnlyFieldsText(), QDateTime(), 0, QString(), false, QString());
}

} // namespace rek2::review
