#pragma once
#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QIODevice;

namespace rek2::xml {

class Sink;
using NodeId = std::int32_t;
constexpr NodeId NoNode = -1;

// A small element tree made for writing return documents. A return can carry
// a hundred thousand analytic items, so nodes are compact records in one
// array, names are interned and texts live UTF-8 encoded in one buffer: the
// tree stays smaller than the file it becomes. Only elements, their text and
// their attributes exist; namespace declarations are plain "xmlns" attributes,
// written exactly where they were set.
class XmlDocument
{
public:
    XmlDocument();

    NodeId createRoot(std::string_view name);
    NodeId root() const { return nodes_.empty() ? NoNode : 0; }

    // Appends a new element after the existing children of `parent`.
    NodeId appendChild(NodeId parent, std::string_view name, std::string_view prefix = {});
    // Inserts a new element before the index-th child named `name` (appends
    // when there are not that many).
    NodeId insertChild(NodeId parent, int index, std::string_view name);
    // First child called `name`, or NoNode.
    NodeId findChild(NodeId parent, std::string_view name) const;
    // The child called `name`, created and appended on first access.
    NodeId child(NodeId parent, std::string_view name);
    int countChildren(NodeId parent, std::string_view name) const;
    NodeId nthChild(NodeId parent, std::string_view name, int index) const;

    QString name(NodeId node) const; // qualified: prefix:name
    void setText(NodeId node, QStringView text);
    void setText(NodeId node, std::string_view ascii); // plain ASCII, stored as it is
    QString text(NodeId node) const;

    // Sets (or replaces) an attribute; the order of first setting is kept.
    void setAttribute(NodeId node, std::string_view name, QStringView value);
    QString attribute(NodeId node, std::string_view name) const;
    void removeAttributes(NodeId node);

    // The final bytes: declaration, one element per line, two spaces per
    // level, CR LF, empty elements as <X/>.
    bool save(QIODevice& out) const;
    QByteArray toBytes() const;

    // A document too large to hold: the tree holds everything but the
    // children of one element, which the caller writes straight to the sink
    // between the two calls (indented one level below the depth returned).
    // writeOpen writes the declaration, everything before that element's
    // children, its start tag and the children it has in the tree;
    // writeClose the rest. The bytes are those save() would write had the
    // children been in the tree.
    int writeOpen(Sink& sink, NodeId open) const;
    // The whole document into `sink`, flushed; false when a write failed.
    bool writeAll(Sink& sink) const;
    void writeClose(Sink& sink, NodeId open) const;

    // Room for a known number of nodes and text bytes, so that a large
    // return does not grow its arrays to twice their need.
    void reserve(std::size_t nodes, qsizetype textBytes);

    // Heap bytes held by the tree (for the memory check of large returns).
    std::size_t memoryUsage() const;

private:
    struct Node
    {
        std::uint16_t name;
        std::uint16_t prefix; // 0 = none
        NodeId firstChild;
        NodeId lastChild;
        NodeId next;
        NodeId firstAttr;
        std::int32_t textOffset;
        std::int32_t textLength;
    };
    struct Attr
    {
        std::uint16_t name;
        NodeId next;
        std::int32_t valueOffset;
        std::int32_t valueLength;
    };

    std::uint16_t intern(std::string_view name);
    std::uint16_t internSlow(std::string_view name);
    int internFind(std::string_view name) const;
    NodeId newNode(std::string_view name, std::string_view prefix);
    std::pair<std::int32_t, std::int32_t> store(QStringView text);
    QString stored(std::int32_t offset, std::int32_t length) const;
    void writeNode(Sink& sink, NodeId node, int depth) const;
    void writeStartTag(Sink& sink, NodeId node, int depth) const;
    void writeEndTag(Sink& sink, NodeId node, int depth) const;
    bool pathTo(NodeId from, NodeId target, std::vector<NodeId>& path) const;

    std::vector<Node> nodes_;
    std::vector<Attr> attrs_;
    QByteArray texts_;
    std::vector<std::string> names_; // index 0 = no name
    std::unordered_map<std::string, std::uint16_t> nameIndex_;
    struct CacheEntry
    {
        const char* data = nullptr;
        std::size_t size = 0;
        std::uint16_t id = 0;
    };
    static constexpr std::size_t CacheSize = 512;
    mutable std::array<CacheEntry, CacheSize> cache_{};
    CacheEntry& cacheSlot(std::string_view name) const;
    bool cacheHit(const CacheEntry& slot, std::string_view name) const;
};

} // namespace rek2::xml
