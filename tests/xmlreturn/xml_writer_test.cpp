#include "xmlreturn/xml_dom.h"
#include "xmlreturn/xml_nodes.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace rek2::xml;

// The writer's layout: declaration, two spaces per level, CR LF, <X/> for an
// empty element, escaped text and attributes, the prefix on a prefixed element.
TEST(XmlWriter, LayoutEscapingAndDeclarations)
{
    XmlDocument doc;
    TXMLEnvelope env = TXMLEnvelope::create(doc);
    env.setAttribute("xmlns", QStringLiteral("urn:a"));
    env.setAttribute("xmlns:edp", QStringLiteral("urn:b&\"c"));
    TXMLTaxPayerType tp = env.Header().taxpayer();
    tp.setname(QStringLiteral("Kovač & <Sin> d.o.o."));
    tp.settaxNumber(-12);
    env.Signatures();
    env.body().bodyContent();
    env.body().bodyContent(); // reached again, not added again

    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                "<Envelope xmlns=\"urn:a\" xmlns:edp=\"urn:b&amp;&quot;c\">\r\n"
                                "  <Header>\r\n"
                                "    <taxpayer>\r\n"
                                "      <name>Kova\xc4\x8d &amp; &lt;Sin&gt; d.o.o.</name>\r\n"
                                "      <taxNumber>-12</taxNumber>\r\n"
                                "    </taxpayer>\r\n"
                                "  </Header>\r\n"
                                "  <Signatures/>\r\n"
                                "  <body>\r\n"
                                "    <edp:bodyContent/>\r\n"
                                "  </body>\r\n"
                                "</Envelope>\r\n";
    EXPECT_EQ(doc.toBytes(), expected);

    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(doc.save(buf));
    EXPECT_EQ(buf.data(), expected);
}

// Children keep the order of their first access; a value set again replaces
// the text in place; collections count, index, append and insert.
TEST(XmlNodes, FirstAccessOrderAndCollections)
{
    XmlDocument doc;
    TXMLEnvelope env = TXMLEnvelope::create(doc);
    TXMLREK_2 r = env.body().REK().REK_2();
    r.setF101(QStringLiteral("1"));
    r.setDocumentTypeID(QStringLiteral("O"));
    r.setF101(QStringLiteral("2"));
    EXPECT_EQ(r.F101(), "2");
    EXPECT_EQ(r.F102(), ""); // reading an absent leaf does not create it
    r.setAttribute("xmlns", QStringLiteral("x"));
    r.removeAttributes();
    EXPECT_EQ(r.attribute("xmlns"), "");

    TXMLAnalyticalData data = env.body().REK().AnalyticalData();
    data.Add().setA002(QStringLiteral("first"));
    data.Add().setA002(QStringLiteral("third"));
    data.Insert(1).setA002(QStringLiteral("second"));
    ASSERT_EQ(data.Count(), 3);
    EXPECT_EQ(data.Item(0).A002(), "first");
    EXPECT_EQ(data.Item(1).A002(), "second");
    EXPECT_EQ(data.Item(2).A002(), "third");

    const QString out = QString::fromUtf8(doc.toBytes());
    EXPECT_LT(out.indexOf("<F101>2</F101>"), out.indexOf("<DocumentTypeID>"));
    EXPECT_EQ(out.count("<F101>"), 1);
    EXPECT_LT(out.indexOf("first"), out.indexOf("second"));
    EXPECT_LT(out.indexOf("second"), out.indexOf("third"));
}

// A device that refuses the bytes makes saving fail instead of reporting success.
TEST(XmlWriter, FailedWriteIsReported)
{
    XmlDocument doc;
    TXMLEnvelope::create(doc);
    QBuffer closed;
    EXPECT_FALSE(doc.save(closed));
}
