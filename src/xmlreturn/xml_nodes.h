#pragma once
#include "xmlreturn/xml_dom.h"

#include <QString>

// The typed node layer of a return document: one class per element type, an
// accessor pair per known child. Reaching a child creates it on first access
// and appends it after the children that exist already, so the order of the
// elements in the file is the order in which they are first set. The classes
// are light handles (document and node); the document owns the tree.

// clang-format off
#define REK2_XML_TEXT(N)                                                                   \
    QString N() const { return leafText(#N); }                                             \
    void set##N(const QString& v) { setLeafText(#N, v); }                                  \
    void set##N(std::string_view ascii) { doc_->setText(doc_->child(id_, #N), ascii); }
// clang-format on
#define REK2_XML_INT(N)                                                                                      \
    qint64 N() const                                                                                         \
    {                                                                                                        \
        return leafInt(#N);                                                                                  \
    }                                                                                                        \
    void set##N(qint64 v)                                                                                    \
    {                                                                                                        \
        setLeafInt(#N, v);                                                                                   \
    }
#define REK2_XML_BOOL(N)                                                                                     \
    bool N() const                                                                                           \
    {                                                                                                        \
        return leafText(#N) == QLatin1String("true");                                                        \
    }                                                                                                        \
    void set##N(bool v)                                                                                      \
    {                                                                                                        \
        setLeafText(#N, v ? QStringLiteral("true") : QStringLiteral("false"));                               \
    }
#define REK2_XML_NODE(Type, N)                                                                               \
    Type N() const                                                                                           \
    {                                                                                                        \
        return Type(doc_, doc_->child(id_, #N));                                                             \
    }

namespace rek2::xml {

// Base of every typed node: the element handle of the tree.
class TXMLNode
{
public:
    TXMLNode() = default;
    TXMLNode(XmlDocument* doc, NodeId id) : doc_(doc), id_(id) {}

    XmlDocument* document() const { return doc_; }
    NodeId node() const { return id_; }
    bool isNull() const { return doc_ == nullptr || id_ == NoNode; }
    QString nodeName() const { return doc_->name(id_); }

    QString text() const { return doc_->text(id_); }
    void setText(const QString& v) { doc_->setText(id_, v); }

    // An attribute named "xmlns" or "xmlns:prefix" declares a namespace.
    void setAttribute(std::string_view name, const QString& value) { doc_->setAttribute(id_, name, value); }
    QString attribute(std::string_view name) const { return doc_->attribute(id_, name); }
    void removeAttributes() { doc_->removeAttributes(id_); }

protected:
    QString leafText(std::string_view name) const;
    void setLeafText(std::string_view name, const QString& value);
    qint64 leafInt(std::string_view name) const;
    void setLeafInt(std::string_view name, qint64 value);

    XmlDocument* doc_ = nullptr;
    NodeId id_ = NoNode;
};

// A repeated child: count, item by index, add (append) and insert.
template <typename T> class TXMLCollection
{
public:
    TXMLCollection() = default;
    TXMLCollection(XmlDocument* doc, NodeId parent, std::string_view element)
        : doc_(doc), parent_(parent), element_(element)
    {
    }
    int Count() const { return doc_->countChildren(parent_, element_); }
    T Item(int index) const { return T(doc_, doc_->nthChild(parent_, element_, index)); }
    T Add() { return T(doc_, doc_->appendChild(parent_, element_)); }
    T Insert(int index) { return T(doc_, doc_->insertChild(parent_, index, element_)); }

private:
    XmlDocument* doc_ = nullptr;
    NodeId parent_ = NoNode;
    std::string_view element_;
};

class TXMLReceiptType : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_TEXT(timestamp)
    REK2_XML_TEXT(documentNumber)
    REK2_XML_TEXT(name)
};

class TXMLSignerType : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_TEXT(timestamp)
    REK2_XML_TEXT(name)
};

class TXMLPreparerSignature : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_NODE(TXMLSignerType, Preparer)
};

class TXMLDepositorSignature : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_NODE(TXMLSignerType, Depositor)
};

class TXMLServerSignature : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_NODE(TXMLReceiptType, receipt)
};

class TXMLNonEDP : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_NODE(TXMLReceiptType, receipt)
};

class TXMLSignatures : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_NODE(TXMLPreparerSignature, PreparerSignature)
    REK2_XML_NODE(TXMLDepositorSignature, DepositorSignature)
    REK2_XML_NODE(TXMLServerSignature, ServerSignature)
    REK2_XML_NODE(TXMLNonEDP, NonEDP)
};

class TXMLTaxPayerType : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_INT(taxNumber)
    REK2_XML_TEXT(vatNumber)
    REK2_XML_TEXT(taxpayerType)
    REK2_XML_TEXT(name)
    REK2_XML_TEXT(address1)
    REK2_XML_TEXT(address2)
    REK2_XML_TEXT(city)
    REK2_XML_TEXT(postNumber)
    REK2_XML_TEXT(postName)
    REK2_XML_TEXT(birthDate)
    REK2_XML_TEXT(maticnaStevilka)
    REK2_XML_BOOL(invalidskoPodjetje)
    REK2_XML_BOOL(resident)
    REK2_XML_TEXT(activityCode)
    REK2_XML_TEXT(activityName)
    REK2_XML_TEXT(countryID)
};

class TXMLHeader : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_NODE(TXMLTaxPayerType, taxpayer)
    REK2_XML_TEXT(responseTo)
    REK2_XML_TEXT(domain)
};

class TXMLREK_2 : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_TEXT(DocumentTypeID)
    REK2_XML_TEXT(DocumentTypeName)
    REK2_XML_TEXT(CorrectionForDocument)
    REK2_XML_TEXT(CorrectionForAnaliticalData)
    REK2_XML_TEXT(AnalyticalDataNotIncluded)
    REK2_XML_TEXT(F005_Name)
    REK2_XML_TEXT(F006_Address)
    REK2_XML_INT(F007_TaxPayerID)
    REK2_XML_TEXT(F008_ResponsiblePerson)
    REK2_XML_TEXT(F009_PhoneNumber)
    REK2_XML_TEXT(F10_IncomeType)
    REK2_XML_INT(F10a_AvgType)
    REK2_XML_TEXT(F11_MonthYearStart)
    REK2_XML_TEXT(F11_MonthYearEnd)
    REK2_XML_TEXT(F12_PaymentDate)
    REK2_XML_TEXT(F12a_TaxPaymentDate)
    REK2_XML_INT(F12b_PaymentNumber)
    REK2_XML_INT(F13_EmployeesResident)
    REK2_XML_INT(F14_EmployeesNonResident)
    REK2_XML_INT(F15a_InsureesZZ)
    REK2_XML_INT(F15b_InsureesPIZ)
    REK2_XML_TEXT(F16_NetPayment)
    REK2_XML_TEXT(F101)
    REK2_XML_TEXT(F102)
    REK2_XML_TEXT(F103)
    REK2_XML_TEXT(F104)
    REK2_XML_TEXT(F105)
    REK2_XML_TEXT(F106)
    REK2_XML_TEXT(F106_NO)
    REK2_XML_TEXT(F107)
    REK2_XML_TEXT(F107_DO)
    REK2_XML_TEXT(F108)
    REK2_XML_TEXT(F109)
    REK2_XML_TEXT(F110)
    REK2_XML_TEXT(F201S)
    REK2_XML_TEXT(F201Z)
    REK2_XML_TEXT(F202Z)
    REK2_XML_TEXT(F203Z)
    REK2_XML_TEXT(F204Z)
    REK2_XML_TEXT(F205Z)
    REK2_XML_TEXT(F205R)
    REK2_XML_TEXT(F221O)
    REK2_XML_TEXT(F221S)
    REK2_XML_TEXT(F221SZ)
    REK2_XML_INT(F221SF)
    REK2_XML_TEXT(F221R)
    REK2_XML_TEXT(F221Z)
    REK2_XML_TEXT(F222O)
    REK2_XML_TEXT(F222S)
    REK2_XML_TEXT(F222SZ)
    REK2_XML_INT(F222SF)
    REK2_XML_TEXT(F222R)
    REK2_XML_TEXT(F222Z)
    REK2_XML_TEXT(CustodianNotes)
    REK2_XML_TEXT(SubmitDate)
};

class TXMLOPDDP : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_TEXT(PaymentDate)
    REK2_XML_INT(Employees)
    REK2_XML_TEXT(F1O)
    REK2_XML_TEXT(F1S)
    REK2_XML_TEXT(F1D)
};

class TXMLOPDDPList : public TXMLCollection<TXMLOPDDP>
{
public:
    TXMLOPDDPList(XmlDocument* doc, NodeId parent) : TXMLCollection(doc, parent, "OPDDP") {}
};

class TXMLIncomeTax : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_TEXT(A051)
    REK2_XML_TEXT(A052)
    REK2_XML_TEXT(A053)
};

class TXMLIncomeTaxList : public TXMLCollection<TXMLIncomeTax>
{
public:
    TXMLIncomeTaxList(XmlDocument* doc, NodeId parent) : TXMLCollection(doc, parent, "IncomeTax") {}
};

class TXMLContributions : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_TEXT(A061)
    REK2_XML_TEXT(A062)
};

class TXMLContributionsList : public TXMLCollection<TXMLContributions>
{
public:
    TXMLContributionsList(XmlDocument* doc, NodeId parent) : TXMLCollection(doc, parent, "Contributions") {}
};

class TXMLAnalyticalDataItem : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_INT(A001)
    REK2_XML_TEXT(A002)
    REK2_XML_TEXT(A003)
    REK2_XML_TEXT(A003i)
    REK2_XML_TEXT(A003p)
    REK2_XML_TEXT(A004)
    REK2_XML_TEXT(A004a)
    REK2_XML_TEXT(A005)
    REK2_XML_INT(A011)
    REK2_XML_INT(A012)
    REK2_XML_INT(A013)
    REK2_XML_INT(A014)
    REK2_XML_INT(A015)
    REK2_XML_INT(A016)
    REK2_XML_TEXT(A071S)
    REK2_XML_TEXT(A071SZ)
    REK2_XML_INT(A071SF)
    REK2_XML_TEXT(A071O)
    REK2_XML_TEXT(A071P)
    REK2_XML_TEXT(A072S)
    REK2_XML_TEXT(A072SZ)
    REK2_XML_INT(A072SF)
    REK2_XML_TEXT(A072O)
    REK2_XML_TEXT(A072P)
    REK2_XML_TEXT(A073S)
    REK2_XML_TEXT(A073O)
    REK2_XML_TEXT(A073P)
    REK2_XML_TEXT(A074S)
    REK2_XML_TEXT(A074O)
    REK2_XML_TEXT(A074P)
    REK2_XML_TEXT(A075O)
    REK2_XML_TEXT(A075P)
    REK2_XML_TEXT(A081S1)
    REK2_XML_TEXT(A081S2)
    REK2_XML_TEXT(A081O)
    REK2_XML_TEXT(A081P)
    REK2_XML_TEXT(A082S1)
    REK2_XML_TEXT(A082S2)
    REK2_XML_TEXT(A082O)
    REK2_XML_TEXT(A082P)
    REK2_XML_TEXT(A083S)
    REK2_XML_TEXT(A083O)
    REK2_XML_TEXT(A083P)
    REK2_XML_TEXT(A084S)
    REK2_XML_TEXT(A084O)
    REK2_XML_TEXT(A084P)
    REK2_XML_TEXT(A085S)
    REK2_XML_TEXT(A085O)
    REK2_XML_TEXT(A085P)
    REK2_XML_TEXT(A086O)
    REK2_XML_TEXT(A086P)
    REK2_XML_TEXT(A091O)
    REK2_XML_TEXT(A091P)
    REK2_XML_TEXT(A091S1)
    REK2_XML_TEXT(A091S2)
    REK2_XML_TEXT(A092O)
    REK2_XML_TEXT(A101S)
    REK2_XML_INT(A101TP)
    REK2_XML_TEXT(A101OP)
    REK2_XML_TEXT(A101O)
    REK2_XML_TEXT(A101P)
    TXMLIncomeTaxList IncomeTax() const { return TXMLIncomeTaxList(doc_, id_); }
    TXMLContributionsList Contributions() const { return TXMLContributionsList(doc_, id_); }
};

class TXMLAnalyticalData : public TXMLNode, public TXMLCollection<TXMLAnalyticalDataItem>
{
public:
    TXMLAnalyticalData(XmlDocument* doc = nullptr, NodeId id = NoNode)
        : TXMLNode(doc, id), TXMLCollection(doc, id, "AnalyticalDataItem")
    {
    }
};

class TXMLAttachment : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_TEXT(Hash)
};

class TXMLREK : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_NODE(TXMLREK_2, REK_2)
    TXMLOPDDPList OPDDP() const { return TXMLOPDDPList(doc_, id_); }
    REK2_XML_NODE(TXMLAnalyticalData, AnalyticalData)
    REK2_XML_NODE(TXMLAttachment, Attachment)
};

class TXMLBody : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    // bodyContent lives in the envelope namespace, reached through the
    // "edp" prefix that Envelope declares.
    TXMLNode bodyContent() const
    {
        const NodeId c = doc_->findChild(id_, "bodyContent");
        return TXMLNode(doc_, c != NoNode ? c : doc_->appendChild(id_, "bodyContent", "edp"));
    }
    REK2_XML_NODE(TXMLREK, REK)
};

class TXMLEnvelope : public TXMLNode
{
public:
    using TXMLNode::TXMLNode;
    REK2_XML_NODE(TXMLHeader, Header)
    REK2_XML_NODE(TXMLSignatures, Signatures)
    REK2_XML_NODE(TXMLBody, body)

    // The root of a fresh document.
    static TXMLEnvelope create(XmlDocument& doc) { return TXMLEnvelope(&doc, doc.createRoot("Envelope")); }
};

} // namespace rek2::xml
