#pragma once
#include <QString>
#include <stdexcept>

namespace rek2::review {

// A refusal or a failure of a review action that is not the database's own
// error; its text is shown as it is.
class ReviewError : public std::runtime_error
{
public:
    explicit ReviewError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message)
    {
    }
    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace rek2::review
