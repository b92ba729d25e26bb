#include "xmlreturn/return_document.h"

#include "xmlreturn/value_forms.h"
#include "xmlreturn/xml_namespaces.h"
#include "xmlreturn/xml_sink.h"

#include <algorithm>
#include <charconv>

namespace rek2 {

using namespace xml;

namespace {

// Whether QString would give back the same bytes: ASCII and well-formed
// two- and three-byte sequences (every letter of the region's names). The
// rest (malformed text, a byte order mark, U+FFFE, four-byte sequences) is
// taken the long way, through QString, as the tree did.
bool sameThroughQString(QByteArrayView utf8)
{
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const qsizetype n = utf8.size();
    const auto cont = [&](qsizetype i) { return i < n && (p[i] & 0xC0) == 0x80; };
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
        } else if (c >= 0xC2 && c <= 0xDF && cont(i + 1)) {
            i += 2;
        } else if (((c >= 0xE1 && c <= 0xEC) || (c == 0xE0 && i + 1 < n && p[i + 1] >= 0xA0)) &&
                   cont(i + 1) && cont(i + 2)) {
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

// Whether the text is empty once trimmed as QString trims.
bool blank(QByteArrayView utf8)
{
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0xC3 && c <= 0xDF)
            return false; // a letter: no blank lies from U+00C0 to U+07FF
        if (c >= 0x80)
            return QString::fromUtf8(utf8).trimmed().isEmpty(); // other blanks beyond ASCII
        if (c != ' ' && (c < '\t' || c > '\r'))
            return false;
    }
    return true;
}

QByteArray spaces(int depth)
{
    return QByteArray(2 * depth, ' ');
}

} // namespace

ReturnWriter::ReturnWriter(QIODevice& out, const ReturnPayer& payer, const ReturnHeader& h)
    : sink_(std::make_unique<Sink>(&out)), payer_(payer)
{
    XmlDocument& doc = doc_;
    TXMLEnvelope env = TXMLEnvelope::create(doc);
    env.setAttribute("xmlns", NsRek2);
    env.setAttribute("xmlns:edp", NsEdp);
    env.setAttribute("xmlns:podo", NsPodo);

    TXMLHeader header = env.Header();
    header.setAttribute("xmlns", NsEdp);
    TXMLTaxPayerType taxpayer = header.taxpayer();
    taxpayer.setAttribute("xmlns:ner", NsNer);
    taxpayer.setAttribute("xmlns:ds_odip", NsDsOdip);
    taxpayer.settaxNumber(payer.taxNumber);
    taxpayer.settaxpayerType(QStringLiteral("PO"));
    taxpayer.setname(payer.name);
    taxpayer.setaddress1(payer.address);

    env.Signatures().setAttribute("xmlns", NsEdp);

    TXMLBody body = env.body();
    body.setAttribute("xmlns", NsRek2);
    body.bodyContent();
    rek_ = body.REK();
    rek_.setAttribute("xmlns", NsRek2);
    TXMLREK_2 r = rek_.REK_2();
    r.removeAttributes();
    r.setAttribute("xmlns", NsRek2);

    r.setDocumentTypeID(h.documentType);
    if (h.documentTypeName)
        r.setDocumentTypeName(*h.documentTypeName);
    if (h.correctionRefs) {
        r.setCorrectionForDocument(h.correctionForDocument);
        r.setCorrectionForAnaliticalData(h.correctionForAnaliticalData);
    }
    r.setAnalyticalDataNotIncluded(formatBoolean(false));
    if (h.hasRepresentative()) {
        r.setF005_Name(h.naziv);
        r.setF006_Address(h.naslov);
        r.setF007_TaxPayerID(readWholeNumber(h.poobDvs).value_or(0));
    }
    r.setF008_ResponsiblePerson(payer.responsiblePerson);
    r.setF009_PhoneNumber(payer.phone);
    r.setF10_IncomeType(h.sifVrsteDoh);
    r.setF11_MonthYearStart(h.mesecLeto);
    r.setF12_PaymentDate(formatDate(h.datumIzp));
    if (h.datumPlcDvk.isValid())
        r.setF12a_TaxPaymentDate(formatDate(h.datumPlcDvk));
    r.setF12b_PaymentNumber(formatInteger(h.zapstDel).toLongLong());
    r.setF13_EmployeesResident(formatInteger(h.stzapRez).toLongLong());
    r.setF14_EmployeesNonResident(formatInteger(h.stzapNerez).toLongLong());
    r.setF16_NetPayment(formatAmount(h.neto));
    r.setF101(formatAmount(h.doh));
    r.setF103(formatAmount(h.dohNerez));
    r.setF107(formatAmount(h.davOsn));
    r.setF108(formatAmount(h.davZnzOsn));
    r.setF201S(formatAmount(h.stopnja));
    r.setF201Z(formatAmount(h.davOdt));
    r.setF202Z(formatAmount(h.davTuj));
    r.setF204Z(formatAmount(h.davZnzStp));
    r.setF205Z(formatAmount(h.skupaj));
    r.setF205R(h.vplPodracun);
}

ReturnWriter::~ReturnWriter() = default;

namespace {

// Bytes a text writes as they are: ASCII but for the control characters and
// the three that XML escapes.
struct PlainBytes
{
    bool plain[256] = {};
    constexpr PlainBytes()
    {
        for (int c = 0x20; c < 0x80; ++c)
            plain[c] = c != '&' && c != '<' && c != '>';
    }
};
constexpr PlainBytes kPlain;

} // namespace

void ReturnWriter::leaf(Tag id, QByteArrayView utf8)
{
    Sink& out = *sink_;
    const TagText& tag = tags_[id];
    if (utf8.isEmpty()) {
        out.put(tag.empty.constData(), tag.empty.size());
        return;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const qsizetype n = utf8.size();
    qsizetype i = 0;
    while (i < n && kPlain.plain[p[i]])
        ++i;
    if (i == n) {
        out.put(tag.open, utf8, tag.close);
        return;
    }
    out.put(tag.open.constData(), tag.open.size());
    if (!sameThroughQString(utf8)) {
        converted_ = QString::fromUtf8(utf8).toUtf8();
        utf8 = converted_;
    }
    out.escaped(utf8.data(), utf8.size(), false);
    out.put(tag.close.constData(), tag.close.size());
}

void ReturnWriter::leaf(Tag id, std::string_view ascii)
{
    leaf(id, QByteArrayView(ascii.data(), qsizetype(ascii.size())));
}

void ReturnWriter::plainLeaf(Tag id, std::string_view ascii)
{
    const TagText& tag = tags_[id];
    sink_->put(tag.open, QByteArrayView(ascii.data(), qsizetype(ascii.size())), tag.close);
}

void ReturnWriter::amountLeaf(Tag id, const QVariant& value)
{
    // A number, as the database hands amounts out, is written as digits,
    // a point and perhaps a minus; anything else goes the general way.
    if (value.typeId() == QMetaType::Double && !value.isNull())
        plainLeaf(id, amountText(*static_cast<const double*>(value.constData())).view());
    else
        leaf(id, amountText(value).view());
}

namespace {

// A tax number of plain digits without a leading zero, short enough for a
// whole number: what the element's number would be written as anyway.
bool writtenAsItIs(QByteArrayView dvs)
{
    if (dvs.isEmpty() || dvs.size() > 9 || dvs.front() == '0')
        return false;
    return std::all_of(dvs.begin(), dvs.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

void ReturnWriter::startItems()
{
    TXMLAnalyticalData data = rek_.AnalyticalData();
    data.setAttribute("xmlns", NsPodo);
    data.setAttribute("xmlns:edp", NsEdp);
    data.setAttribute("xmlns:podo", NsPodo);
    data_ = data.node();
    const int depth = doc_.writeOpen(*sink_, data_) + 1;
    Sink start(nullptr);
    start.indent(depth);
    start.put(std::string_view("<AnalyticalDataItem xmlns=\""));
    const QByteArray ns = NsPodo.toUtf8();
    start.escaped(ns.constData(), ns.size(), true);
    start.put(std::string_view("\">\r\n"));
    start.flush();
    itemStart_ = start.takeBytes();
    itemEnd_ = spaces(depth) + "</AnalyticalDataItem>\r\n";
    taxStart_ = spaces(depth + 1) + "<IncomeTax>\r\n";
    taxEnd_ = spaces(depth + 1) + "</IncomeTax>\r\n";
    static const char* const names[TagCount] = {"A001", "A002", "A003i", "A003p", "A003",  "A004", "A004a",
                                                "A005", "A051", "A052",  "A091O", "A091P", "A092O"};
    for (int t = 0; t < TagCount; ++t) {
        const bool inTax = t == A051 || t == A052;
        const QByteArray indent = spaces(depth + (inTax ? 2 : 1));
        const QByteArray name(names[t]);
        tags_[t].open = indent + '<' + name + '>';
        tags_[t].empty = indent + '<' + name + "/>\r\n";
        tags_[t].close = "</" + name + ">\r\n";
    }
}

void ReturnWriter::addItem(const ReturnItem& a)
{
    Sink& out = *sink_;
    if (items_ == 0)
        startItems();
    ++items_;
    out.put(itemStart_.constData(), itemStart_.size());
    if (writtenAsItIs(a.dvs)) {
        plainLeaf(A001, std::string_view(a.dvs.data(), std::size_t(a.dvs.size())));
    } else if (!a.dvs.isEmpty()) {
        char digits[16];
        const auto end =
            std::to_chars(digits, digits + sizeof digits, readWholeNumber(a.dvs).value_or(0)).ptr;
        leaf(A001, std::string_view(digits, std::size_t(end - digits)));
    } else {
        leaf(A002, a.identSt);
    }
    if (!blank(a.ime) || !blank(a.priimek)) {
        leaf(A003i, a.ime);
        leaf(A003p, a.priimek);
    } else {
        leaf(A003, a.naziv);
    }
    leaf(A004, a.rez);
    if (a.rez == QByteArrayView("N"))
        leaf(A004a, a.drz);
    plainLeaf(A005, std::string_view(payer_.t2s && a.znizanaStopnja == QByteArrayView("D") ? "true" : "false"));
    out.put(taxStart_.constData(), taxStart_.size());
    leaf(A051, a.sifSfdoh);
    amountLeaf(A052, a.bruto);
    out.put(taxEnd_.constData(), taxEnd_.size());
    amountLeaf(A091O, a.davOdtObr);
    amountLeaf(A091P, a.davOdtPlc);
    amountLeaf(A092O, a.davOdtOdbTuj);
    out.put(itemEnd_.constData(), itemEnd_.size());
}

bool ReturnWriter::finish()
{
    if (items_ == 0)
        return doc_.writeAll(*sink_);
    doc_.writeClose(*sink_, data_);
    return sink_->flush();
}

std::size_t ReturnWriter::memoryUsage() const
{
    return doc_.memoryUsage() + std::size_t(Sink::Chunk);
}

} // namespace rek2
