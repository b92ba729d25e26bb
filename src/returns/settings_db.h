#pragma once
#include "base/settings.h"

#include <QString>
#include <QStringList>

namespace rek2 {

class Operator;
class Session;

// The registry's own person, the default payer (OSB with SfOsb = 2).
struct RegistryPerson
{
    QString Nzv; // name (NZV || IME)
    QString NSL; // address
    QString DVS; // tax number
};
RegistryPerson readRegistryPerson(Session& session);

// Loads REK2_SIF (database type, payer, responsible person, sub-account,
// first reporting day) and the INISET switches into `s`. When T2S mode and
// gross-dividend support are both on, gross-dividend support is switched off
// for this run. Returns the messages the operator must see (the T2S
// incompatibility, a first reporting day that is not a dd.mm.yyyy date).
// Throws DbError with the database's message.
QStringList loadDatabaseSettings(Session& session, Settings& s);

// What the left panel of the parameters tab holds when "Shrani" is pressed.
struct ParamsForm
{
    QString izp, izpNaslov, izpDvs; // eIzp, eIzpNaslov, eIzpDVS
    QString odgOsb, telOdgOsb;      // eOdgOsb, eTelOdgOsb
    bool odgOsbFromIni = false;     // lOdgOsebaIni shown
    bool telOdgOsbFromIni = false;  // lOdgOsebaTelIni shown
    QString vplPodRcn;              // eVplPodRCN
    QString xmlPot, xmlArhivPot;    // eXMLPot, eXMLArhivPot (raw INI values)
    QString sfDogDvcOdt;            // eSfDogDvcOdt
};

// Saves the parameters tab: the INI values (responsible person and telephone
// when they come from the INI file, the two folders, the withholding event
// codes) and then, when the payer's data changed, the REK2_SIF rows in one
// transaction, after which the payer's settings are reloaded.
// Folder that cannot be created: "Pot ni ok, preverite!" ("V redu"), the
// value is saved all the same. A database error rolls the transaction back
// and is thrown on (the INI values already written stay).
void saveParams(const ParamsForm& form, Settings& s, const QString& iniPath, const QString& homeFolder,
                Session* session, Operator& op);

// Parses the first reporting day strictly as dd.mm.yyyy; invalid otherwise.
QDate parseDanZacetka(const QString& text);

} // namespace rek2
