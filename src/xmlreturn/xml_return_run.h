#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
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
// - each file is written completely under a temporary name beside its final
//   name (every write checked, synced to disk);
// - only then, in one transaction per return, the type of a correction is
//   stored, its links get the file name, the summary with all its analytic
//   rows moves to the history tables and the journal records the final name;
// - then the file is renamed into place. A return is thus either written
//   and archived, or left in the working tables with no file and an older
//   file of its name untouched; a crash in between is finished by the next
//   command (journal::finishInterruptedReturns).
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
    // Tests: called with the summary's identifier when its file is complete
    // under the temporary name, and when its archive step is committed
    // (before the rename), so that a crash can be staged at either point.
    std::function<void(int)> afterFileWritten;
    std::function<void(int)> afterArchived;

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

// Marks the links of a written return's rows (:ID_REK2_ZBIR) with its file
// (:XML_FILE); links already carrying the file of an earlier return keep it.
QStringList linkFileUpdateSql();
// The same for SQLite: "+XML_FILE" keeps its planner off the index of the
// links' files, which would walk every link without a file instead of the
// few of the return's rows.
QStringList sqliteLinkFileUpdateSql();

} // namespace rek2
