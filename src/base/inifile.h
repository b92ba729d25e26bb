#pragma once
#include <QString>
#include <QStringList>

namespace rek2 {

// An INI file read and written line by line, the way the Windows profile
// functions treat it: sections and keys match without regard to case, values
// are trimmed. A file that is valid UTF-8 is read as UTF-8, anything else as
// Windows-1250, so files brought from Windows workstations keep "Splošno".
// Writing one key rewrites only that line; every other line, the encoding,
// the byte-order mark and the line endings stay as they were, and the file is
// replaced whole (written beside, then renamed) or not at all.
class IniFile
{
public:
    enum class Encoding { Utf8, Windows1250 };

    explicit IniFile(QString path);

    // Reads the file again; false when it does not exist or cannot be read.
    bool load();
    bool exists() const;
    const QString& path() const { return path_; }
    Encoding encoding() const { return encoding_; }

    bool contains(const QString& section, const QString& key) const;
    // Section names as written, in file order.
    QStringList sections() const;
    QString value(const QString& section, const QString& key, const QString& fallback = QString()) const;
    // The keys of a section in file order; empty when the section is missing.
    QStringList keys(const QString& section) const;
    // 0 (or `fallback`) when missing or not a whole number.
    int intValue(const QString& section, const QString& key, int fallback = 0) const;

    // Sets one key and saves the file at once; a missing file is created
    // (UTF-8). On failure returns false with a Slovenian message in `error`
    // and leaves the file on disk untouched.
    bool writeValue(const QString& section, const QString& key, const QString& value,
                    QString* error = nullptr);

private:
    // Index of the "key=" line inside the section, or -1.
    int findKey(const QString& section, const QString& key) const;
    bool save(QString* error) const;

    QString path_;
    QStringList lines_;
    Encoding encoding_ = Encoding::Utf8;
    bool bom_ = false;
    QString eol_ = QStringLiteral("\r\n");
    bool endsWithEol_ = true;
};

} // namespace rek2
