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
    QString XMLPath;   // absolute, ends with a separator, created at start
    QString XMLArhiv;  // absolute, ends with a separator, created at start
    int Debug = 0;     // 1 = write Log.txt
    QString OdgovornaOseba;
    QString OdgovornaOsebaTel;
    QString SfDogDvcOdt;  // comma-separated withholding event codes
    bool T2S = false;     // INI key T2S, 1 = on

    // REK2_SIF
    QString TipBaze = QStringLiteral("ORACLE");  // "ORACLE" or "DB2"
    QString NazivIzp;     // payer's name
    QString NaslovIzp;    // payer's address
    QString DvsIzp;       // payer's tax number
    QString VplPodracun;  // payment sub-account
    QDate FDanZacetka = QDate(2008, 7, 1);

    // INISET
    bool FHasBrutoDiv = false;
    bool FREK_5700_neRez = false;
};

} // namespace rek2
