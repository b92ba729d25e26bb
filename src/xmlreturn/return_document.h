#pragma once
#include "xmlreturn/xml_dom.h"
#include "xmlreturn/xml_nodes.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

namespace rek2 {

// The payer and the responsible person: the same for every return of a run.
struct ReturnPayer
{
    qint32 taxNumber = 0;
    QString name;
    QString address;
    QString responsiblePerson; // INI value when set, else the code table's
    QString phone;
    bool t2s = false;
};

// The header of one return, from its summary record.
struct ReturnHeader
{
    QString documentType;                    // determined type
    std::optional<QString> documentTypeName; // code table STATUS row, when found
    bool correctionRefs = false;             // write the two reference elements
    QString correctionForDocument;
    QString correctionForAnaliticalData;
    QString naziv; // authorised representative
    QString naslov;
    QString poobDvs; // already checked to read as a whole number when written
    QString sifVrsteDoh;
    QString mesecLeto;
    QDate datumIzp;
    QDate datumPlcDvk;
    QVariant zapstDel, stzapRez, stzapNerez;
    QVariant neto, doh, dohNerez, davOsn, davZnzOsn, stopnja, davOdt, davTuj, davZnzStp, skupaj;
    QString vplPodracun;

    // F005 to F007 are written only for a complete representative.
    bool hasRepresentative() const { return !naziv.isEmpty() && !naslov.isEmpty() && !poobDvs.isEmpty(); }
};

// One analytic row as the return shows it.
struct ReturnItem
{
    QString dvs; // empty = null: the foreign identification goes out instead
    QString identSt;
    QString ime, priimek, naziv;
    QString rez, drz;
    QString znizanaStopnja;
    QString sifSfdoh;
    QVariant bruto, davOdtObr, davOdtPlc, davOdtOdbTuj;
};

// Builds the element tree of one return: envelope, payer, REK_2 header, then
// the analytic items one by one, so that rows can be streamed from a query.
class ReturnDocumentBuilder
{
public:
    ReturnDocumentBuilder(xml::XmlDocument& doc, const ReturnPayer& payer, const ReturnHeader& header);

    void addItem(const ReturnItem& item);
    int itemCount() const { return items_; }

private:
    xml::XmlDocument& doc_;
    const ReturnPayer& payer_;
    xml::TXMLREK rek_;
    xml::TXMLAnalyticalData data_;
    int items_ = 0;
};

} // namespace rek2
