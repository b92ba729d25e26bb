#include "batch/tax_number.h"

namespace rek2 {

int taxNumberCheckDigit(const QString& sevenDigits)
{
    if (sevenDigits.size() != 7)
        return -1;
    int sum = 0;
    for (int i = 0; i < 7; ++i) {
        const QChar c = sevenDigits.at(i);
        if (c < u'0' || c > u'9')
            return -1;
        sum += (c.unicode() - u'0') * (8 - i);
    }
    const int remainder = sum % 11;
    if (remainder == 0)
        return -1;
    const int digit = 11 - remainder;
    return digit == 10 ? 0 : digit;
}

bool isValidTaxNumber(const QString& taxNumber)
{
    if (taxNumber.size() != 8 || taxNumber.at(0) == u'0')
        return false;
    const int check = taxNumberCheckDigit(taxNumber.left(7));
    return check >= 0 && taxNumber.at(7) == QChar(u'0' + check);
}

} // namespace rek2
