#pragma once
#include "xmlreturn/xml_dom.h"
#include "xmlreturn/xml_nodes.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <QByteArrayView>
#include <QIODevice>

#include <array>
#include <memory>
#include <optional>
#include <string_view>

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

// One analytic row as the return shows it. Texts are UTF-8 as the database
// hands them out (empty = null), valid while the item is written.
struct ReturnItem
{
    QByteArrayView dvs; // empty: the foreign identification goes out instead
    QByteArrayView identSt;
    QByteArrayView ime, priimek, naziv;
    QByteArrayView rez, drz;
    QByteArrayView znizanaStopnja;
    QByteArrayView sifSfdoh;
    QVariant bruto, davOdtObr, davOdtPlc, davOdtOdbTuj;
};

// Writes one return to a device as its rows are read: envelope, payer and
// REK_2 header are a small tree, the analytic items go straight to the
// device, so memory stays flat however many rows a return has. The bytes
// are those of the whole document built as one tree.
class ReturnWriter
{
public:
    ReturnWriter(QIODevice& out, const ReturnPayer& payer, const ReturnHeader& header);
    ~ReturnWriter();

    void addItem(const ReturnItem& item);
    // Writes what is left. False when a write failed (see the device's
    // errorString); the output is then incomplete.
    bool finish();
    int itemCount() const { return items_; }

    // Heap bytes the writer holds (the header tree and the output block).
    std::size_t memoryUsage() const;

private:
    enum Tag { A001, A002, A003i, A003p, A003, A004, A004a, A005, A051, A052, A091O, A091P, A092O, TagCount };
    struct TagText
    {
        QByteArray open;  // indent and start tag
        QByteArray empty; // indent and empty element, line end
        QByteArray close; // end tag, line end
    };
    void startItems();
    void leaf(Tag id, QByteArrayView utf8);
    void leaf(Tag id, std::string_view ascii);
    // Text known to need no escaping (digits, an amount, "true"), not empty.
    void plainLeaf(Tag id, std::string_view ascii);
    void amountLeaf(Tag id, const QVariant& value);

    xml::XmlDocument doc_;
    std::unique_ptr<xml::Sink> sink_;
    const ReturnPayer& payer_;
    xml::TXMLREK rek_;
    xml::NodeId data_ = xml::NoNode;
    QByteArray itemStart_, itemEnd_, taxStart_, taxEnd_;
    std::array<TagText, TagCount> tags_;
    QByteArray converted_;
    int items_ = 0;
};

} // namespace rek2
