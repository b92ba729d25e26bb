#include "xmlreturn/return_document.h"

#include "xmlreturn/value_forms.h"
#include "xmlreturn/xml_namespaces.h"

namespace rek2 {

using namespace xml;

ReturnDocumentBuilder::ReturnDocumentBuilder(XmlDocument& doc, const ReturnPayer& payer,
                                             const ReturnHeader& h)
    : doc_(doc), payer_(payer)
{
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

void ReturnDocumentBuilder::addItem(const ReturnItem& a)
{
    if (items_ == 0) {
        data_ = rek_.AnalyticalData();
        data_.setAttribute("xmlns", NsPodo);
        data_.setAttribute("xmlns:edp", NsEdp);
        data_.setAttribute("xmlns:podo", NsPodo);
    }
    ++items_;
    TXMLAnalyticalDataItem item = data_.Add();
    item.setAttribute("xmlns", NsPodo);
    if (!a.dvs.isEmpty())
        item.setA001(readWholeNumber(a.dvs).value_or(0));
    else
        item.setA002(a.identSt);
    if (!(a.ime + a.priimek).trimmed().isEmpty()) {
        item.setA003i(a.ime);
        item.setA003p(a.priimek);
    } else {
        item.setA003(a.naziv);
    }
    item.setA004(a.rez);
    if (a.rez == QLatin1String("N"))
        item.setA004a(a.drz);
    item.setA005(formatBoolean(payer_.t2s && a.znizanaStopnja == QLatin1String("D")));
    TXMLIncomeTax tax = item.IncomeTax().Add();
    tax.setA051(a.sifSfdoh);
    tax.setA052(amountText(a.bruto).view());
    item.setA091O(amountText(a.davOdtObr).view());
    item.setA091P(amountText(a.davOdtPlc).view());
    item.setA092O(amountText(a.davOdtOdbTuj).view());
}

} // namespace rek2
