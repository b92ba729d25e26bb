#pragma once
#include <QString>

namespace rek2 {
class Session;
struct Settings;
} // namespace rek2

namespace rek2::review {

struct OnwardCopy
{
    int rows = 0;  // history analytic rows that got the number
    int links = 0; // event links that got it
};

// Copies a history summary's document number to its history rows and their
// event links, in one transaction (number and identifier bound).
OnwardCopy copyNumberOnward(Session& session, int idZbir, const QString& number);

// The record editor's check of a number (PreveriEDP) without the editor:
// empty when the number may be given to the summary, else the editor's
// message ("... ni pravilnog formata ..." or "... že obstaja!").
QString documentNumberProblem(Session& session, const QString& payerTaxNumber, int idZbir,
                              const QString& number);

// Records a number on the history summary and copies it onward, in one
// transaction. A summary that already has another number is refused, as the
// editor shows such a number read-only. Throws ReviewError with the
// Slovenian message on a refusal, DbError on a database error.
OnwardCopy recordDocumentNumber(Session& session, const Settings& settings, int idZbir,
                                const QString& number);

} // namespace rek2::review
