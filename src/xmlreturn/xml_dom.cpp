#include "xmlreturn/xml_dom.h"

#include "xmlreturn/xml_sink.h"

#include <QIODevice>

#include <cstring>
#include <memory>

namespace rek2::xml {

XmlDocument::XmlDocument()
{
    names_.emplace_back();
}

XmlDocument::CacheEntry& XmlDocument::cacheSlot(std::string_view name) const
{
    return cache_[(reinterpret_cast<std::uintptr_t>(name.data()) >> 2) % CacheSize];
}

bool XmlDocument::cacheHit(const CacheEntry& slot, std::string_view name) const
{
    // The address alone could be a reused buffer: compare the text as well.
    return slot.data == name.data() && slot.size == name.size() &&
           std::memcmp(names_[slot.id].data(), name.data(), name.size()) == 0;
}

std::uint16_t XmlDocument::intern(std::string_view name)
{
    if (name.empty())
        return 0;
    // Names are mostly the same literals over and over: remember them by
    // address before hashing their text.
    CacheEntry& slot = cacheSlot(name);
    if (cacheHit(slot, name))
        return slot.id;
    const std::uint16_t id = internSlow(name);
    slot = CacheEntry{name.data(), name.size(), id};
    return id;
}

std::uint16_t XmlDocument::internSlow(std::string_view name)
{
    auto it = nameIndex_.find(std::string(name));
    if (it != nameIndex_.end())
        return it->second;
    const auto id = std::uint16_t(names_.size());
    names_.emplace_back(name);
    nameIndex_.emplace(std::string(name), id);
    return id;
}

int XmlDocument::internFind(std::string_view name) const
{
    CacheEntry& slot = cacheSlot(name);
    if (cacheHit(slot, name))
        return slot.id;
    auto it = nameIndex_.find(std::string(name));
    if (it == nameIndex_.end())
        return -1;
    slot = CacheEntry{name.data(), name.size(), it->second};
    return it->second;
}

NodeId XmlDocument::newNode(std::string_view name, std::string_view prefix)
{
    const auto id = NodeId(nodes_.size());
    nodes_.push_back(Node{intern(name), intern(prefix), NoNode, NoNode, NoNode, NoNode, 0, 0});
    return id;
}

NodeId XmlDocument::createRoot(std::string_view name)
{
    nodes_.clear();
    attrs_.clear();
    texts_.clear();
    return newNode(name, {});
}

NodeId XmlDocument::appendChild(NodeId parent, std::string_view name, std::string_view prefix)
{
    const NodeId id = newNode(name, prefix);
    Node& p = nodes_[parent];
    if (p.lastChild == NoNode)
        p.firstChild = id;
    else
        nodes_[p.lastChild].next = id;
    p.lastChild = id;
    return id;
}

NodeId XmlDocument::insertChild(NodeId parent, int index, std::string_view name)
{
    const NodeId before = nthChild(parent, name, index);
    if (before == NoNode || index < 0)
        return appendChild(parent, name);
    const NodeId id = newNode(name, {});
    Node& p = nodes_[parent];
    if (p.firstChild == before) {
        p.firstChild = id;
    } else {
        NodeId prev = p.firstChild;
        while (nodes_[prev].next != before)
            prev = nodes_[prev].next;
        nodes_[prev].next = id;
    }
    nodes_[id].next = before;
    return id;
}

NodeId XmlDocument::findChild(NodeId parent, std::string_view name) const
{
    const int key = internFind(name);
    if (key < 0)
        return NoNode;
    for (NodeId c = nodes_[parent].firstChild; c != NoNode; c = nodes_[c].next)
        if (nodes_[c].name == key)
            return c;
    return NoNode;
}

NodeId XmlDocument::child(NodeId parent, std::string_view name)
{
    const NodeId found = findChild(parent, name);
    return found != NoNode ? found : appendChild(parent, name);
}

int XmlDocument::countChildren(NodeId parent, std::string_view name) const
{
    const int key = internFind(name);
    int n = 0;
    for (NodeId c = nodes_[parent].firstChild; c != NoNode; c = nodes_[c].next)
        n += nodes_[c].name == key ? 1 : 0;
    return n;
}

NodeId XmlDocument::nthChild(NodeId parent, std::string_view name, int index) const
{
    const int key = internFind(name);
    for (NodeId c = nodes_[parent].firstChild; c != NoNode; c = nodes_[c].next)
        if (nodes_[c].name == key && index-- == 0)
            return c;
    return NoNode;
}

QString XmlDocument::name(NodeId node) const
{
    const Node& n = nodes_[node];
    QString qualified = QString::fromStdString(names_[n.name]);
    if (n.prefix)
        qualified.prepend(QString::fromStdString(names_[n.prefix]) + QLatin1Char(':'));
    return qualified;
}

std::pair<std::int32_t, std::int32_t> XmlDocument::store(QStringView text)
{
    const auto offset = std::int32_t(texts_.size());
    // Most values are plain ASCII (numbers, codes, dates): copy them as they are.
    const qsizetype n = text.size();
    bool ascii = true;
    for (qsizetype i = 0; i < n && ascii; ++i)
        ascii = text[i].unicode() < 0x80;
    if (ascii) {
        texts_.resize(offset + n);
        char* out = texts_.data() + offset;
        for (qsizetype i = 0; i < n; ++i)
            out[i] = char(text[i].unicode());
    } else {
        texts_.append(text.toUtf8());
    }
    return {offset, std::int32_t(texts_.size() - offset)};
}

QString XmlDocument::stored(std::int32_t offset, std::int32_t length) const
{
    return QString::fromUtf8(texts_.constData() + offset, length);
}

void XmlDocument::setText(NodeId node, QStringView text)
{
    const auto [offset, length] = store(text);
    nodes_[node].textOffset = offset;
    nodes_[node].textLength = length;
}

void XmlDocument::setText(NodeId node, std::string_view ascii)
{
    const auto offset = std::int32_t(texts_.size());
    texts_.append(ascii.data(), qsizetype(ascii.size()));
    nodes_[node].textOffset = offset;
    nodes_[node].textLength = std::int32_t(ascii.size());
}

QString XmlDocument::text(NodeId node) const
{
    return stored(nodes_[node].textOffset, nodes_[node].textLength);
}

void XmlDocument::setAttribute(NodeId node, std::string_view name, QStringView value)
{
    const std::uint16_t key = intern(name);
    const auto [offset, length] = store(value);
    NodeId* link = &nodes_[node].firstAttr;
    while (*link != NoNode) {
        Attr& a = attrs_[*link];
        if (a.name == key) {
            a.valueOffset = offset;
            a.valueLength = length;
            return;
        }
        link = &a.next;
    }
    *link = NodeId(attrs_.size());
    attrs_.push_back(Attr{key, NoNode, offset, length});
}

QString XmlDocument::attribute(NodeId node, std::string_view name) const
{
    const int key = internFind(name);
    for (NodeId a = nodes_[node].firstAttr; a != NoNode; a = attrs_[a].next)
        if (attrs_[a].name == key)
            return stored(attrs_[a].valueOffset, attrs_[a].valueLength);
    return QString();
}

void XmlDocument::removeAttributes(NodeId node)
{
    nodes_[node].firstAttr = NoNode;
}

void XmlDocument::writeStartTag(Sink& sink, NodeId id, int depth) const
{
    const Node& n = nodes_[id];
    sink.indent(depth);
    sink.put('<');
    if (n.prefix) {
        sink.put(names_[n.prefix]);
        sink.put(':');
    }
    sink.put(names_[n.name]);
    for (NodeId a = n.firstAttr; a != NoNode; a = attrs_[a].next) {
        sink.put(' ');
        sink.put(names_[attrs_[a].name]);
        sink.put(std::string_view("=\""));
        sink.escaped(texts_.constData() + attrs_[a].valueOffset, attrs_[a].valueLength, true);
        sink.put('"');
    }
}

// The end tag without indent when `depth` is negative (after a text).
void XmlDocument::writeEndTag(Sink& sink, NodeId id, int depth) const
{
    const Node& n = nodes_[id];
    if (depth >= 0)
        sink.indent(depth);
    sink.put(std::string_view("</"));
    if (n.prefix) {
        sink.put(names_[n.prefix]);
        sink.put(':');
    }
    sink.put(names_[n.name]);
    sink.put(std::string_view(">\r\n"));
}

void XmlDocument::writeNode(Sink& sink, NodeId id, int depth) const
{
    const Node& n = nodes_[id];
    writeStartTag(sink, id, depth);
    if (n.firstChild != NoNode) {
        sink.put(std::string_view(">\r\n"));
        for (NodeId c = n.firstChild; c != NoNode; c = nodes_[c].next)
            writeNode(sink, c, depth + 1);
        writeEndTag(sink, id, depth);
    } else if (n.textLength > 0) {
        sink.put('>');
        sink.escaped(texts_.constData() + n.textOffset, n.textLength, false);
        writeEndTag(sink, id, -1);
    } else {
        sink.put(std::string_view("/>\r\n"));
    }
}

bool XmlDocument::pathTo(NodeId from, NodeId target, std::vector<NodeId>& path) const
{
    path.push_back(from);
    if (from == target)
        return true;
    for (NodeId c = nodes_[from].firstChild; c != NoNode; c = nodes_[c].next)
        if (pathTo(c, target, path))
            return true;
    path.pop_back();
    return false;
}

int XmlDocument::writeOpen(Sink& sink, NodeId open) const
{
    sink.put(std::string_view("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"));
    std::vector<NodeId> path;
    if (nodes_.empty() || !pathTo(0, open, path))
        return -1;
    for (std::size_t depth = 0; depth < path.size(); ++depth) {
        const NodeId node = path[depth];
        writeStartTag(sink, node, int(depth));
        sink.put(std::string_view(">\r\n"));
        const NodeId stop = node == open ? NoNode : path[depth + 1];
        for (NodeId c = nodes_[node].firstChild; c != stop; c = nodes_[c].next)
            writeNode(sink, c, int(depth) + 1);
    }
    return int(path.size()) - 1;
}

void XmlDocument::writeClose(Sink& sink, NodeId open) const
{
    std::vector<NodeId> path;
    if (nodes_.empty() || !pathTo(0, open, path))
        return;
    for (std::size_t depth = path.size(); depth-- > 0;) {
        const NodeId node = path[depth];
        if (node != open)
            for (NodeId c = nodes_[path[depth + 1]].next; c != NoNode; c = nodes_[c].next)
                writeNode(sink, c, int(depth) + 1);
        writeEndTag(sink, node, int(depth));
    }
}

bool XmlDocument::writeAll(Sink& sink) const
{
    sink.put(std::string_view("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"));
    if (!nodes_.empty())
        writeNode(sink, 0, 0);
    return sink.flush();
}

bool XmlDocument::save(QIODevice& out) const
{
    Sink sink(&out);
    return writeAll(sink);
}

QByteArray XmlDocument::toBytes() const
{
    Sink sink(nullptr);
    writeAll(sink);
    return sink.takeBytes();
}

void XmlDocument::reserve(std::size_t nodes, qsizetype textBytes)
{
    nodes_.reserve(nodes);
    texts_.reserve(textBytes);
}

std::size_t XmlDocument::memoryUsage() const
{
    std::size_t bytes =
        nodes_.capacity() * sizeof(Node) + attrs_.capacity() * sizeof(Attr) + std::size_t(texts_.capacity());
    for (const auto& n : names_)
        bytes += sizeof(n) + n.capacity() * 2;
    return bytes;
}

} // namespace rek2::xml
