#include "xmlreturn/xml_nodes.h"

namespace rek2::xml {

QString TXMLNode::leafText(std::string_view name) const
{
    const NodeId c = doc_->findChild(id_, name);
    return c == NoNode ? QString() : doc_->text(c);
}

void TXMLNode::setLeafText(std::string_view name, const QString& value)
{
    doc_->setText(doc_->child(id_, name), value);
}

qint64 TXMLNode::leafInt(std::string_view name) const
{
    return leafText(name).toLongLong();
}

void TXMLNode::setLeafInt(std::string_view name, qint64 value)
{
    doc_->setText(doc_->child(id_, name), QString::number(value));
}

} // namespace rek2::xml
