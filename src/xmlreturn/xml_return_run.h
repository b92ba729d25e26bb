#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace rek2 {

struct RekContext;

// An error that stops a run of the return writer; its text is shown as it is.
class XmlReturnError : public std::runtime_error
{
public:
    explicit XmlReturnError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message)
    {
    }
    const QString& message() const { return message_; }

private:
    QString message_;
};

struct XmlRunResult
{
    QList<int> writtenIds; // summaries whose returns were written and moved to history
    QStringList files;     // their file names, without the folder
    QStringList warnings;  // what the operator was warned about
    bool wroteAny() const { return !writtenIds.isEmpty(); }
};

// bXMLClick as domain code: writes the returns of the chosen summaries of the
// summary grid (the selected ones, or all of them with "za vse zbirne") into
// the folder of unsent returns and moves each written return to history.
//
// The order of work protects the files and the tables:
// - every chosen summary is checked first (document reference, the type of a
//   correction, every tax number its file will carry); a bad tax number stops
//   the run before any file is written;
// - each file is written beside its final name and renamed into place when
//   complete;
// - only then, in one transaction per return, the type of a correction is
//   stored, its links get the file name, and the summary with all its
//   analytic rows moves to the history tables. A return is thus either
//   written and archived, or left in the working tables untouched.
// The window switches to the report files tab when wroteAny().
class XmlReturnRun
{
public:
    explicit XmlReturnRun(RekContext& ctx);

    // Stamped on the history copies (LoginUserName, WorkstationName).
    QString userName;
    QString computerName;
    // "Today" for the kind of a correction; the workstation's date by default.
    QDate today = QDate::currentDate();

    // Throws XmlReturnError, or DbError with the database's message.
    // Returns written before an error stay written and archived; result()
    // lists them also after a throw.
    XmlRunResult run();
    const XmlRunResult& result() const { return result_; }

private:
    struct Summary;
    struct Impl;
    RekContext& ctx_;
    XmlRunResult result_;
};

// The operating-system user in upper case and the computer name.
QString currentLoginUserName();
QString currentWorkstationName();

} // namespace rek2
