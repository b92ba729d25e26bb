#pragma once
#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

namespace rek2::xml {

// Buffered output: the writer appends small pieces to a fixed block, the
// device sees whole blocks. The first failing write is remembered and ends
// the work. Without a device the bytes are collected in memory.
class Sink
{
public:
    static constexpr qsizetype Chunk = 1 << 16;

    explicit Sink(QIODevice* device) : device_(device), buffer_(new char[Chunk]) {}
    void put(const char* data, qsizetype size)
    {
        if (used_ + size > Chunk) {
            flush();
            if (size > Chunk) {
                send(data, size);
                return;
            }
        }
        std::memcpy(buffer_.get() + used_, data, std::size_t(size));
        used_ += size;
    }
    void put(std::string_view s) { put(s.data(), qsizetype(s.size())); }
    // Three pieces one after another (an element: start tag, text, end
    // tag), the room in the block looked at once.
    void put(QByteArrayView a, QByteArrayView b, QByteArrayView c)
    {
        if (used_ + a.size() + b.size() + c.size() > Chunk) {
            put(a.data(), a.size());
            put(b.data(), b.size());
            put(c.data(), c.size());
            return;
        }
        char* at = buffer_.get() + used_;
        std::memcpy(at, a.data(), std::size_t(a.size()));
        at += a.size();
        std::memcpy(at, b.data(), std::size_t(b.size()));
        at += b.size();
        std::memcpy(at, c.data(), std::size_t(c.size()));
        used_ += a.size() + b.size() + c.size();
    }
    void put(char c)
    {
        if (used_ == Chunk)
            flush();
        buffer_[std::size_t(used_++)] = c;
    }
    void indent(int depth)
    {
        static const std::string spaces(256, ' ');
        int n = 2 * depth;
        while (n > 0) {
            const int k = std::min<int>(n, int(spaces.size()));
            put(spaces.data(), k);
            n -= k;
        }
    }
    // Text or attribute value: & < > escaped, " too in an attribute; one
    // element per line, so a break or tab inside a value becomes a blank.
    void escaped(const char* data, qsizetype size, bool attribute)
    {
        qsizetype start = 0;
        for (qsizetype i = 0; i < size; ++i) {
            const char c = data[i];
            if (!special(c))
                continue;
            std::string_view rep;
            switch (c) {
            case '&':
                rep = "&amp;";
                break;
            case '<':
                rep = "&lt;";
                break;
            case '>':
                rep = "&gt;";
                break;
            case '"':
                if (!attribute)
                    continue;
                rep = "&quot;";
                break;
            default:
                rep = " ";
                break;
            }
            put(data + start, i - start);
            put(rep);
            start = i + 1;
        }
        put(data + start, size - start);
    }
    bool flush()
    {
        send(buffer_.get(), used_);
        used_ = 0;
        return ok_;
    }
    bool ok() const { return ok_; }
    QByteArray takeBytes() { return std::move(out_); }

private:
    static bool special(char c)
    {
        const auto u = static_cast<unsigned char>(c);
        return u <= '>' &&
               (u == '&' || u == '<' || u == '>' || u == '"' || u == '\t' || u == '\r' || u == '\n');
    }
    void send(const char* data, qsizetype size)
    {
        if (!ok_ || size == 0)
            return;
        if (device_)
            ok_ = device_->write(data, size) == size;
        else
            out_.append(data, size);
    }

    QIODevice* device_;
    std::unique_ptr<char[]> buffer_;
    qsizetype used_ = 0;
    QByteArray out_;
    bool ok_ = true;
};

} // namespace rek2::xml
