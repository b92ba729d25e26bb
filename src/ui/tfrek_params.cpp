#include "base/paths.h"
#include "db/session.h"
#include "returns/settings_db.h"
#include "ui/tfrek.h"

#include <QLabel>
#include <QLineEdit>

namespace rek2 {

void TfRek::fillParams()
{
    const Settings& s = ctx.settings;
    eIzp->setText(s.NazivIzp);
    eIzpNaslov->setText(s.NaslovIzp);
    eIzpDVS->setText(s.DvsIzp);
    eVplPodRCN->setText(s.VplPodracun);
    // The INI value wins over the database one; the red "INI" says so.
    const bool odgIni = !s.OdgovornaOseba.isEmpty();
    eOdgOsb->setText(odgIni ? s.OdgovornaOseba : s.OdgovornaOsebaDb);
    lOdgOsebaIni->setVisible(odgIni);
    const bool telIni = !s.OdgovornaOsebaTel.isEmpty();
    eTelOdgOsb->setText(telIni ? s.OdgovornaOsebaTel : s.OdgovornaOsebaTelDb);
    lOdgOsebaTelIni->setVisible(telIni);
    if (!s.XMLPathRaw.isEmpty())
        eXMLPot->setText(s.XMLPathRaw);
    if (!s.XMLArhivRaw.isEmpty())
        eXMLArhivPot->setText(s.XMLArhivRaw);
    if (s.FHasBrutoDiv && !s.SfDogDvcOdt.isEmpty())
        eSfDogDvcOdt->setText(s.SfDogDvcOdt);
    fillXLSParams();
    lSfDogDvcOdt->setVisible(s.FHasBrutoDiv);
    eSfDogDvcOdt->setVisible(s.FHasBrutoDiv);
    lSfDogDvcOdtIni->setVisible(s.FHasBrutoDiv);
}

void TfRek::bShraniIniClick()
{
    ParamsForm f;
    f.izp = eIzp->text();
    f.izpNaslov = eIzpNaslov->text();
    f.izpDvs = eIzpDVS->text();
    f.odgOsb = eOdgOsb->text();
    f.odgOsbFromIni = lOdgOsebaIni->isVisibleTo(pParamsLeft);
    f.telOdgOsb = eTelOdgOsb->text();
    f.telOdgOsbFromIni = lOdgOsebaTelIni->isVisibleTo(pParamsLeft);
    f.vplPodRcn = eVplPodRCN->text();
    f.xmlPot = eXMLPot->text();
    f.xmlArhivPot = eXMLArhivPot->text();
    f.sfDogDvcOdt = eSfDogDvcOdt->text();
    Session* session = OracleSession1->Connected() ? OracleSession1.get() : nullptr;
    saveParams(f, ctx.settings, iniFilePath(), installationFolder(), session, *this);
}

} // namespace rek2
