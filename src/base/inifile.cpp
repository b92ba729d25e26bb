#include "base/inifile.h"
#include "base/cp1250.h"
#include "base/system_errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace rek2 {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// "[Name]" -> "Name"; empty for any other line.
QString sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.front() == u'[' && t.back() == u']')
        return t.mid(1, t.size() - 2).trimmed();
    return QString();
}

bool isSection(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(u'[') && t.endsWith(u']');
}

bool isComment(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(u';') || t.startsWith(u'#');
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path))
{
    load();
}

bool IniFile::exists() const
{
    return QFileInfo(path_).isFile();
}

bool IniFile::load()
{
    lines_.clear();
    encoding_ = Encoding::Utf8;
    bom_ = false;
    eol_ = QStringLiteral("\r\n");
    endsWithEol_ = true;

    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = f.readAll();
    if (bytes.startsWith(kUtf8Bom)) {
        bom_ = true;
        bytes.remove(0, kUtf8Bom.size());
    }
    QString text;
    if (bom_ || isValidUtf8(bytes)) {
        text = QString::fromUtf8(bytes);
    } else {
        encoding_ = Encoding::Windows1250;
        text = fromWindows1250(bytes);
    }
    if (!text.contains(QStringLiteral("\r\n")) && text.contains(u'\n'))
        eol_ = QStringLiteral("\n");
    endsWithEol_ = text.isEmpty() || text.endsWith(u'\n');
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines_ = text.split(u'\n');
    if (endsWithEol_)
        lines_.removeLast(); // the empty piece after the final line break
    return true;
}

int IniFile::findKey(const QString& section, const QString& key) const
{
    bool inSection = false;
    for (int i = 0; i < lines_.size(); ++i) {
        const QString& line = lines_[i];
        if (isSection(line)) {
            inSection = sectionName(line).compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || isComment(line))
            continue;
        const int eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const QString& line : lines_)
        if (isSection(line))
            out << sectionName(line);
    return out;
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    return findKey(section, key) >= 0;
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const
{
    const int i = findKey(section, key);
    if (i < 0)
        return fallback;
    const QString& line = lines_[i];
    // Quotes are kept: "SfDogDvcOdt" is an SQL list and may be written 'A','B'.
    return line.mid(line.indexOf(u'=') + 1).trimmed();
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList out;
    bool inSection = false;
    for (const QString& line : lines_) {
        if (isSection(line)) {
            inSection = sectionName(line).compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || isComment(line))
            continue;
        const int eq = line.indexOf(u'=');
        if (eq > 0)
            out << line.left(eq).trimmed();
    }
    return out;
}

int IniFile::intValue(const QString& section, const QString& key, int fallback) const
{
    bool ok = false;
    const int v = value(section, key).toInt(&ok);
    return ok ? v : fallback;
}

bool IniFile::writeValue(const QString& section, const QString& key, const QString& value, QString* error)
{
    // Work on a copy so a failed save leaves memory and disk in agreement.
    const QStringList before = lines_;
    const QString newLine = key + u'=' + value;
    const int at = findKey(section, key);
    if (at >= 0) {
        const QString& old = lines_[at];
        lines_[at] = old.left(old.indexOf(u'=')).trimmed() + u'=' + value;
    } else {
        int sectionAt = -1;
        for (int i = 0; i < lines_.size(); ++i) {
            if (isSection(lines_[i]) && sectionName(lines_[i]).compare(section, Qt::CaseInsensitive) == 0) {
                sectionAt = i;
                break;
            }
        }
        if (sectionAt < 0) {
            if (!lines_.isEmpty() && !lines_.last().trimmed().isEmpty())
                lines_ << QString();
            lines_ << u'[' + section + u']' << newLine;
        } else {
            // After the section's last non-blank line, before the blank lines
            // that separate it from the next section.
            int insertAt = sectionAt + 1;
            for (int i = sectionAt + 1; i < lines_.size() && !isSection(lines_[i]); ++i) {
                if (!lines_[i].trimmed().isEmpty())
                    insertAt = i + 1;
            }
            lines_.insert(insertAt, newLine);
        }
    }
    if (!save(error)) {
        lines_ = before;
        return false;
    }
    return true;
}

bool IniFile::save(QString* error) const
{
    QString text = lines_.join(eol_);
    if (endsWithEol_ && !lines_.isEmpty())
        text += eol_;
    QByteArray bytes;
    if (encoding_ == Encoding::Windows1250) {
        if (!toWindows1250(text, bytes)) {
            if (error)
                *error =
                    QStringLiteral("Vrednosti ni mogoče zapisati v kodni tabeli datoteke %1.").arg(path_);
            return false;
        }
    } else {
        bytes = text.toUtf8();
        if (bom_)
            bytes.prepend(kUtf8Bom);
    }
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("Datoteke %1 ni mogoče zapisati: %2")
                         .arg(path_, fileErrorReason(f.errorString()));
        return false;
    }
    return true;
}

} // namespace rek2
