#pragma once
#include <QByteArray>
#include <QString>

namespace rek2 {

// Windows-1250 (Central European) conversion, kept in our own table so the
// result does not depend on which codecs the Qt build happens to carry.
QString fromWindows1250(const QByteArray& bytes);

// Converts to Windows-1250; returns false (and leaves `out` partial) when the
// text holds a character the code page cannot represent.
bool toWindows1250(const QString& text, QByteArray& out);

// True when the bytes are well-formed UTF-8 (plain ASCII included).
bool isValidUtf8(const QByteArray& bytes);

} // namespace rek2
