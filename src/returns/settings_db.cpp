#include "returns/settings_db.h"

#include "base/event_codes.h"
#include "base/operator.h"
#include "base/paths.h"
#include "base/settings_ini.h"
#include "db/query.h"
#include "db/session.h"
#include "db/transaction.h"

#include <QRegularExpression>
#include <stdexcept>

namespace rek2 {

namespace {

// One REK2_SIF row found by its key without regard to case.
struct SifRow
{
    bool found = false;
    QString krt;
    QString nzv;
    bool nzvNull = true;
};

SifRow readSif(Session& session, const QString& key)
{
    Query q(QStringLiteral("qSif"));
    q.SetSession(&session);
    q.SQL = QStringList{QStringLiteral("select S.KRT, S.NZV from REK2_SIF S"),
                        QStringLiteral("WHERE upper(S.SSF) = :SSF")};
    q.DeclareAndSet(QStringLiteral("SSF"), VarType::String, key.toUpper());
    q.Execute();
    SifRow r;
    if (q.RowCount() > 0) {
        r.found = true;
        r.krt = q.FieldAsString(0);
        r.nzv = q.FieldAsString(1);
        r.nzvNull = q.FieldIsNull(1);
    }
    return r;
}

// Sets NZV of the key's row(s); a null QString stores NULL.
void updateSif(Session& session, const QString& key, const QString& nzv)
{
    Query q(QStringLiteral("qSifUpdate"));
    q.SetSession(&session);
    q.SQL = QStringList{QStringLiteral("update REK2_SIF set NZV = :NZV"),
                        QStringLiteral("WHERE upper(SSF) = :SSF")};
    q.DeclareAndSet(QStringLiteral("NZV"), VarType::String, nzv);
    q.DeclareAndSet(QStringLiteral("SSF"), VarType::String, key.toUpper());
    q.Execute();
}

void insertSif(Session& session, const QString& key, const QString& nzv)
{
    Query q(QStringLiteral("qSifInsert"));
    q.SetSession(&session);
    q.SQL = QStringList{QStringLiteral("insert into REK2_SIF (SSF, NZV, AKT) values (:SSF, :NZV, 'D')")};
    q.DeclareAndSet(QStringLiteral("SSF"), VarType::String, key);
    q.DeclareAndSet(QStringLiteral("NZV"), VarType::String, nzv);
    q.Execute();
}

bool isetOn(Session& session, const QString& key)
{
    Query q(QStringLiteral("qIniSet"));
    q.SetSession(&session);
    q.SQL = QStringList{QStringLiteral("select * from INISET where kljuc='%1' ").arg(key)};
    q.Execute();
    return q.RowCount() > 0 && q.FieldAsString(QStringLiteral("Vrednost")) == QStringLiteral("D");
}

// Payer's name, address and tax number (registry person as the default),
// responsible person, telephone and sub-account. A missing row leaves the
// value in `s` as it is.
void loadPayer(Session& session, Settings& s)
{
    const RegistryPerson reg = readRegistryPerson(session);
    auto take = [&](const char* key, QString& target) {
        const SifRow r = readSif(session, QString::fromLatin1(key));
        if (r.found)
            target = r.nzv;
    };
    take("NAZIV_IZP", s.NazivIzp);
    take("NASLOV_IZP", s.NaslovIzp);
    take("DVS_IZP", s.DvsIzp);
    take("ODGOV_OSB", s.OdgovornaOsebaDb);
    take("ODGOV_OSBT", s.OdgovornaOsebaTelDb);
    take("VPL_PODRCN", s.VplPodracun);
    if (s.NazivIzp.isEmpty())
        s.NazivIzp = reg.Nzv;
    if (s.NaslovIzp.isEmpty())
        s.NaslovIzp = reg.NSL;
    if (s.DvsIzp.isEmpty())
        s.DvsIzp = reg.DVS;
}

// "Pot ni ok, preverite!" when the folder is missing and cannot be made.
QString saveFolder(const QString& text, const QString& homeFolder, Operator& op)
{
    QString folder = normaliseFolder(text, homeFolder, false);
    if (!ensureFolder(folder))
        op.Napaka(QStringLiteral("Pot ni ok, preverite!"), QStringLiteral("V redu"));
    return folder;
}

void writeIni(const QString& iniPath, const QString& key, const QString& value, Operator& op)
{
    QString error;
    if (!writeIniSetting(iniPath, key, value, &error))
        op.Napaka(error, QStringLiteral("V redu"));
}

} // namespace

QDate parseDanZacetka(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return QDate();
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}

RegistryPerson readRegistryPerson(Session& session)
{
    Query q(QStringLiteral("odsOSB2"));
    q.SetSession(&session);
    q.SQL = QStringList{QStringLiteral("select O.NZV||O.IME as Nzv,O.NSL, O.DVS from OSB O"),
                        QStringLiteral("WHERE O.SfOsb=2")};
    q.Execute();
    RegistryPerson p;
    if (q.RowCount() > 0) {
        p.Nzv = q.FieldAsString(0).left(120);
        p.NSL = q.FieldAsString(1).left(40);
        p.DVS = q.FieldAsString(2).left(10);
    }
    return p;
}

QStringList loadDatabaseSettings(Session& session, Settings& s)
{
    QStringList messages;
    const SifRow tip = readSif(session, QStringLiteral("TIPBAZE"));
    s.TipBaze = tip.found ? tip.krt : QString();
    if (s.TipBaze.isEmpty())
        s.TipBaze = QStringLiteral("ORACLE");

    s.NazivIzp.clear();
    s.NaslovIzp.clear();
    s.DvsIzp.clear();
    loadPayer(session, s);

    const SifRow dan = readSif(session, QStringLiteral("DANZACETKA"));
    if (!dan.found) {
        s.FDanZacetka = QDate(2008, 7, 1);
    } else {
        s.FDanZacetka = parseDanZacetka(dan.nzv);
        if (!dan.nzv.trimmed().isEmpty() && !s.FDanZacetka.isValid())
            messages << QStringLiteral(
                            "Datum začetka poročanja (DANZACETKA) \"%1\" ni datum oblike dd.mm.llll.")
                            .arg(dan.nzv);
    }

    s.FHasBrutoDiv = isetOn(session, QStringLiteral("HasBrutoDividende"));
    s.FREK_5700_neRez = isetOn(session, QStringLiteral("REK_5700_neRez"));
    if (s.T2S && s.FHasBrutoDiv) {
        s.FHasBrutoDiv = false;
        messages << QStringLiteral(
            "Podpora za bruto dividende ni kompatibilna s T2S, prosimo kontaktirajte Pelvo.");
    }
    return messages;
}

void saveParams(const ParamsForm& f, Settings& s, const QString& iniPath, const QString& homeFolder,
                Session* session, Operator& op)
{
    // The responsible person and telephone shown from the INI file go back
    // there; each only when its own value came from the INI file, so a
    // database value is never copied into one workstation's INI file.
    if (f.odgOsbFromIni && f.odgOsb != s.OdgovornaOseba) {
        s.OdgovornaOseba = f.odgOsb;
        writeIni(iniPath, QStringLiteral("OdgovornaOseba"), f.odgOsb, op);
    }
    if (f.telOdgOsbFromIni && f.telOdgOsb != s.OdgovornaOsebaTel) {
        s.OdgovornaOsebaTel = f.telOdgOsb;
        writeIni(iniPath, QStringLiteral("OdgovornaOsebaTel"), f.telOdgOsb, op);
    }
    if (f.xmlPot != s.XMLPathRaw) {
        s.XMLPathRaw = f.xmlPot;
        s.XMLPath = saveFolder(f.xmlPot, homeFolder, op);
        writeIni(iniPath, QStringLiteral("XMLPath"), f.xmlPot, op);
    }
    if (f.xmlArhivPot != s.XMLArhivRaw) {
        s.XMLArhivRaw = f.xmlArhivPot;
        s.XMLArhiv = saveFolder(f.xmlArhivPot, homeFolder, op);
        writeIni(iniPath, QStringLiteral("XMLArhiv"), f.xmlArhivPot, op);
    }

    const bool payerChanged = f.izp != s.NazivIzp || f.izpNaslov != s.NaslovIzp || f.izpDvs != s.DvsIzp ||
                              (!f.odgOsbFromIni && f.odgOsb != s.OdgovornaOsebaDb) ||
                              (!f.telOdgOsbFromIni && f.telOdgOsb != s.OdgovornaOsebaTelDb) ||
                              f.vplPodRcn != s.VplPodracun;
    if (payerChanged && !session)
        throw std::runtime_error(
            QStringLiteral("Podatkov izplačevalca ni mogoče shraniti: ni povezave z bazo podatkov.")
                .toStdString());
    if (payerChanged) {
        const RegistryPerson reg = readRegistryPerson(*session);
        Transaction tx(*session);
        // Name, address and tax number: a value equal to the registry's own
        // person clears the override, any other value is stored.
        const struct
        {
            const char* key;
            const QString& edit;
            const QString& registry;
        } payer[] = {{"NAZIV_IZP", f.izp, reg.Nzv},
                     {"NASLOV_IZP", f.izpNaslov, reg.NSL},
                     {"DVS_IZP", f.izpDvs, reg.DVS}};
        for (const auto& p : payer) {
            const QString key = QString::fromLatin1(p.key);
            const SifRow row = readSif(*session, key);
            if (p.edit != p.registry) {
                if (!row.found)
                    insertSif(*session, key, p.edit);
                else if (row.nzv != p.edit)
                    updateSif(*session, key, p.edit);
            } else if (row.found && !row.nzvNull) {
                updateSif(*session, key, QString());
            }
        }
        // Responsible person, telephone, sub-account: a value typed for a
        // missing row is inserted rather than silently dropped. A value shown
        // from the INI file belongs to the INI file, not to the database.
        const struct
        {
            const char* key;
            const QString& edit;
            bool skip;
        } others[] = {{"ODGOV_OSB", f.odgOsb, f.odgOsbFromIni},
                      {"ODGOV_OSBT", f.telOdgOsb, f.telOdgOsbFromIni},
                      {"VPL_PODRCN", f.vplPodRcn, false}};
        for (const auto& o : others) {
            if (o.skip)
                continue;
            const QString key = QString::fromLatin1(o.key);
            const SifRow row = readSif(*session, key);
            if (row.found && row.nzv != o.edit)
                updateSif(*session, key, o.edit);
            else if (!row.found && !o.edit.isEmpty())
                insertSif(*session, key, o.edit);
        }
        tx.commit();
        s.NazivIzp.clear();
        s.NaslovIzp.clear();
        s.DvsIzp.clear();
        loadPayer(*session, s);
    }

    if (s.FHasBrutoDiv && !f.sfDogDvcOdt.isEmpty() && f.sfDogDvcOdt != s.SfDogDvcOdt) {
        // The codes go verbatim into the collection's IN lists.
        if (!isValidEventCodeList(f.sfDogDvcOdt)) {
            op.Napaka(eventCodesMessage(), QStringLiteral("V redu"));
            return;
        }
        s.SfDogDvcOdt = f.sfDogDvcOdt;
        writeIni(iniPath, QStringLiteral("SfDogDvcOdt"), f.sfDogDvcOdt, op);
    }
}

} // namespace rek2
