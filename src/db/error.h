#pragma once
#include <QString>
#include <stdexcept>

namespace rek2 {

// Every failure of the store layer. The text is the database engine's own
// message, passed on unchanged, or one of the layer's fixed messages
// ("Variable :X not declared", "Record has been changed by another user", ...).
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The fixed texts of the row checks, so callers and tests can compare them.
inline const QString kRecordLocked = QStringLiteral("Record is locked by another user");
inline const QString kRecordChanged = QStringLiteral("Record has been changed by another user");
inline const QString kRecordDeleted = QStringLiteral("Record has been deleted by another user");

} // namespace rek2
