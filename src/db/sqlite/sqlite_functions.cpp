#include "db/sqlite/sqlite_functions.h"

#include "db/decimal_math.h"
#include "db/error.h"
#include "db/sqlite/sequences.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>

namespace rek2 {

namespace {

QString valueText(sqlite3_value* v)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(p, sqlite3_value_bytes(v));
}

void resultText(sqlite3_context* ctx, const QString& s)
{
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

bool isNullish(sqlite3_value* v)
{
    const int t = sqlite3_value_type(v);
    return t == SQLITE_NULL || (t == SQLITE_TEXT && sqlite3_value_bytes(v) == 0);
}

// A 'YYYY-MM-DD...' text: TRUNC and ROUND of a date keep the day.
bool isDateText(sqlite3_value* v)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT || sqlite3_value_bytes(v) < 10)
        return false;
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p[4] == '-' && p[7] == '-' && QDate::fromString(QString::fromLatin1(p, 10), Qt::ISODate).isValid();
}

// NVL(a, b): b when a is NULL (or the empty text, which is NULL to Oracle).
void fnNvl(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_result_value(ctx, isNullish(argv[0]) ? argv[1] : argv[0]);
}

void resultError(sqlite3_context* ctx, const QString& message)
{
    const QByteArray m = message.toUtf8();
    sqlite3_result_error(ctx, m.constData(), int(m.size()));
}

QDate dateOf(sqlite3_value* v)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QDate::fromString(QString::fromLatin1(p, 10), Qt::ISODate);
}

void resultDate(sqlite3_context* ctx, const QDate& d)
{
    resultText(ctx, d.toString(Qt::ISODate));
}

// TRUNC / ROUND of a date with Oracle's format: the day ('DD', none), the
// month ('MM') or the year ('YYYY'). Dates are whole days here, so the day
// stays as it is. Any other format is refused rather than answered wrongly.
void dateFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool round)
{
    const QDate d = dateOf(argv[0]);
    const QString fmt = argc > 1 ? valueText(argv[1]).trimmed().toUpper() : QStringLiteral("DD");
    static const QStringList days = {"DD", "DDD", "J"};
    static const QStringList months = {"MM", "MON", "MONTH", "RM"};
    static const QStringList years = {"YYYY", "SYYYY", "YEAR", "SYEAR", "YYY", "YY", "Y"};
    if (days.contains(fmt)) {
        resultDate(ctx, d);
    } else if (months.contains(fmt)) {
        const QDate first(d.year(), d.month(), 1);
        resultDate(ctx, round && d.day() >= 16 ? first.addMonths(1) : first);
    } else if (years.contains(fmt)) {
        const QDate first(d.year(), 1, 1);
        resultDate(ctx, round && d.month() >= 7 ? first.addYears(1) : first);
    } else {
        resultError(ctx, QStringLiteral("%1 of a date: format '%2' is not supported")
                             .arg(round ? QStringLiteral("ROUND") : QStringLiteral("TRUNC"), fmt));
    }
}

// ROUND / TRUNC (number [, places]) on the decimal value; the places are
// cut to a whole number, as Oracle does (ROUND(x, 2.6) has 2 places).
void decimalFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool round)
{
    if (isNullish(argv[0]) || (argc > 1 && isNullish(argv[1]))) {
        sqlite3_result_null(ctx);
        return;
    }
    if (isDateText(argv[0])) {
        dateFunction(ctx, argc, argv, round);
        return;
    }
    int places = 0;
    if (argc > 1) {
        const int placesType = sqlite3_value_numeric_type(argv[1]);
        if (placesType != SQLITE_INTEGER && placesType != SQLITE_FLOAT) {
            sqlite3_result_error(ctx, "invalid number", -1);
            return;
        }
        const double p = std::trunc(sqlite3_value_double(argv[1]));
        places = int(std::clamp(p, -400.0, 400.0));
    }
    const int type = sqlite3_value_numeric_type(argv[0]);
    if (type == SQLITE_INTEGER) {
        const sqlite3_int64 n = sqlite3_value_int64(argv[0]);
        if (places >= 0) {
            sqlite3_result_int64(ctx, n);
            return;
        }
        const double r = round ? decimalRound(double(n), places) : decimalTrunc(double(n), places);
        sqlite3_result_int64(ctx, sqlite3_int64(r));
        return;
    }
    if (type != SQLITE_FLOAT) {
        sqlite3_result_error(ctx, "invalid number", -1);
        return;
    }
    const double x = sqlite3_value_double(argv[0]);
    sqlite3_result_double(ctx, round ? decimalRound(x, places) : decimalTrunc(x, places));
}

void fnRound(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    decimalFunction(ctx, argc, argv, true);
}
void fnTrunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    decimalFunction(ctx, argc, argv, false);
}

// a + b and a - b where either may be a date, as Oracle reckons: a date
// plus or minus a number of days is a date, a date minus a date is the
// number of days between them; numbers add as numbers. What Oracle refuses
// (a date plus a date, a fraction of a day on a whole-day date, a text that
// is not a number) is an error here too, never a silently different value.
void dateArithmetic(sqlite3_context* ctx, sqlite3_value** argv, bool minus)
{
    if (isNullish(argv[0]) || isNullish(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool aDate = isDateText(argv[0]);
    const bool bDate = isDateText(argv[1]);
    if (aDate && bDate) {
        if (!minus) {
            sqlite3_result_error(ctx, "a date cannot be added to a date", -1);
            return;
        }
        sqlite3_result_int64(ctx, dateOf(argv[1]).daysTo(dateOf(argv[0])));
        return;
    }
    const int ta = aDate ? SQLITE_TEXT : sqlite3_value_numeric_type(argv[0]);
    const int tb = bDate ? SQLITE_TEXT : sqlite3_value_numeric_type(argv[1]);
    const auto isNumber = [](int type) { return type == SQLITE_INTEGER || type == SQLITE_FLOAT; };
    if ((!aDate && !isNumber(ta)) || (!bDate && !isNumber(tb))) {
        sqlite3_result_error(ctx, "invalid number", -1);
        return;
    }
    if (aDate || bDate) {
        if (bDate && minus) {
            sqlite3_result_error(ctx, "a date cannot be subtracted from a number", -1);
            return;
        }
        const double days = sqlite3_value_double(argv[aDate ? 1 : 0]);
        if (days != std::trunc(days) || std::fabs(days) > 3.0e6) {
            sqlite3_result_error(ctx, "only whole days can be added to a date", -1);
            return;
        }
        const QDate d = dateOf(argv[aDate ? 0 : 1]).addDays(qint64(minus ? -days : days));
        resultDate(ctx, d);
        return;
    }
    if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
        sqlite3_int64 r = 0;
        const sqlite3_int64 a = sqlite3_value_int64(argv[0]);
        const sqlite3_int64 b = sqlite3_value_int64(argv[1]);
        if (!(minus ? __builtin_sub_overflow(a, b, &r) : __builtin_add_overflow(a, b, &r))) {
            sqlite3_result_int64(ctx, r);
            return;
        }
    }
    const double a = sqlite3_value_double(argv[0]);
    const double b = sqlite3_value_double(argv[1]);
    sqlite3_result_double(ctx, minus ? a - b : a + b);
}

void fnPlus(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    dateArithmetic(ctx, argv, false);
}
void fnMinus(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    dateArithmetic(ctx, argv, true);
}

void fnUpper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        sqlite3_result_null(ctx);
    else
        resultText(ctx, valueText(argv[0]).toUpper());
}

void fnLower(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        sqlite3_result_null(ctx);
    else
        resultText(ctx, valueText(argv[0]).toLower());
}

// Oracle's ||: a NULL operand counts as empty, an all-empty result is NULL.
void fnConcat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    QString out;
    for (int i = 0; i < argc; ++i) {
        switch (sqlite3_value_type(argv[i])) {
        case SQLITE_NULL:
            break;
        case SQLITE_INTEGER:
            out += QString::number(sqlite3_value_int64(argv[i]));
            break;
        case SQLITE_FLOAT:
            // As Oracle writes a number: its decimal value, no exponent,
            // no zero before the point (100000, .3, -.5).
            out += QString::fromStdString(oracleNumberText(sqlite3_value_double(argv[i])));
            break;
        default:
            out += valueText(argv[i]);
        }
    }
    if (out.isEmpty())
        sqlite3_result_null(ctx);
    else
        resultText(ctx, out);
}

// Aggregate behind a scalar subquery: its one value, or Oracle's error when
// the subquery found more than one row.
struct SingleRow
{
    sqlite3_int64 rows;
    sqlite3_value* value;
};

void singleStep(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* st = static_cast<SingleRow*>(sqlite3_aggregate_context(ctx, sizeof(SingleRow)));
    if (!st)
        return;
    if (st->rows++ == 0)
        st->value = sqlite3_value_dup(argv[0]);
}

void singleFinal(sqlite3_context* ctx)
{
    auto* st = static_cast<SingleRow*>(sqlite3_aggregate_context(ctx, 0));
    if (!st || st->rows == 0) {
        sqlite3_result_null(ctx);
        return;
    }
    if (st->rows > 1)
        sqlite3_result_error(ctx, "single-row subquery returns more than one row", -1);
    else
        sqlite3_result_value(ctx, st->value);
    sqlite3_value_free(st->value);
}

void fnNextval(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* sequences = static_cast<SequenceCache*>(sqlite3_user_data(ctx));
    try {
        sqlite3_result_int64(ctx, sequences->next(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])),
                                                  sqlite3_value_bytes(argv[0])));
    } catch (const DbError& e) {
        const QByteArray m = e.message().toUtf8();
        sqlite3_result_error(ctx, m.constData(), int(m.size()));
    }
}

void fnCurrentDate(sqlite3_context* ctx, int, sqlite3_value**)
{
    resultText(ctx, QDate::currentDate().toString(Qt::ISODate));
}

void add(sqlite3* db, const char* name, int argc, void (*fn)(sqlite3_context*, int, sqlite3_value**),
         bool deterministic, void* user = nullptr)
{
    const int flags = SQLITE_UTF8 | (deterministic ? SQLITE_DETERMINISTIC : 0);
    if (sqlite3_create_function_v2(db, name, argc, flags, user, fn, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace

void registerSqliteFunctions(sqlite3* db, SequenceCache* sequences)
{
    add(db, "nvl", 2, fnNvl, true);
    add(db, "round", 1, fnRound, true);
    add(db, "round", 2, fnRound, true);
    add(db, "trunc", 1, fnTrunc, true);
    add(db, "trunc", 2, fnTrunc, true);
    add(db, "upper", 1, fnUpper, true);
    add(db, "lower", 1, fnLower, true);
    add(db, "rek2_concat", -1, fnConcat, true);
    add(db, "rek2_plus", 2, fnPlus, true);
    add(db, "rek2_minus", 2, fnMinus, true);
    // Not deterministic: one value per call, so one per row.
    add(db, "rek2_nextval", 1, fnNextval, false, sequences);
    add(db, "rek2_current_date", 0, fnCurrentDate, false);
    if (sqlite3_create_function_v2(db, "rek2_single", 1, SQLITE_UTF8, nullptr, nullptr, singleStep,
                                   singleFinal, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace rek2
