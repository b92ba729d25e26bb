#pragma once
#include <QDate>
#include <QString>

namespace rek2 {

// The installation settings in memory: INI section "Splošno", the parameter
// table REK2_SIF and the host's INISET switches. Plain data; reading and
// writing live in settings_ini (INI) and in the store (database rows).
struct Settings
{
    // INI file, section "Splošno"
    QString ServerName;
    QString XMLPath;           // absolute, ends with a separator, created at start
    QString XMLArhiv;          // absolute, ends with a separator, created at start
    QString XMLPathRaw;        // as written in the INI file (shown on the parameters tab)
    QString XMLArhivRaw;       // as written in the INI file
    int Debug = 0;             // 1 = write Log.txt
    QString OdgovornaOseba;    // INI value; when not empty it wins over the database one
    QString OdgovornaOsebaTel; // INI value; same precedence
    QString SfDogDvcOdt;       // comma-separated withholding event codes
    bool T2S = false;          // INI key T2S, 1 = on

    // REK2_SIF
    QString TipBaze = QStringLiteral("ORACLE"); // "ORACLE" or "DB2"
    QString NazivIzp;                           // payer's name
    QString NaslovIzp;                          // payer's address
    QString DvsIzp;                             // payer's tax number
    QString VplPodracun;                        // payment sub-account
    QString OdgovornaOsebaDb;                   // REK2_SIF "ODGOV_OSB"
    QString OdgovornaOsebaTelDb;                // REK2_SIF "ODGOV_OSBT"
    QDate FDanZacetka = QDate(2008, 7, 1);

    // INISET
    bool FHasBrutoDiv = false;
    bool FREK_5700_neRez = false;

    // The responsible person and telephone a return names: the INI value
    // when given, else the database one.
    QString responsiblePerson() const { return OdgovornaOseba.isEmpty() ? OdgovornaOsebaDb : OdgovornaOseba; }
    QString responsiblePhone() const
    {
        return OdgovornaOsebaTel.isEmpty() ? OdgovornaOsebaTelDb : OdgovornaOsebaTel;
    }
};

} // namespace rek2
