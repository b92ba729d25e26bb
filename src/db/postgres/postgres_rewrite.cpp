#include "db/postgres/postgres_rewrite.h"

namespace rek2::sql {

void nvlToCoalesce(Tokens& t)
{
    for (size_t i = 0; i + 1 < t.size(); ++i)
        if (t[i].isWord("NVL") && t[i + 1].is(Tok::LParen))
            t[i].text = QStringLiteral("COALESCE");
}

void concatCallsToNullIf(Tokens& t, const QString& fn)
{
    for (int i = 0; i + 1 < int(t.size()); ++i) {
        if (!(t[size_t(i)].kind == Tok::Word && t[size_t(i)].text == fn && t[size_t(i + 1)].is(Tok::LParen)))
            continue;
        const int close = matching(t, i + 1);
        if (close < 0)
            continue;
        t.insert(t.begin() + close + 1, {comma(), {Tok::String, QStringLiteral("''")}, rparen()});
        t[size_t(i)].text = QStringLiteral("CONCAT");
        t.insert(t.begin() + i, {word(QStringLiteral("NULLIF")), lparen()});
        i += 2;
    }
}

void rowidToRowMark(Tokens& t)
{
    for (int i = 2; i < int(t.size()); ++i) {
        if (!t[size_t(i)].isWord("ROWID") || !t[size_t(i - 1)].is(Tok::Dot))
            continue;
        const bool last = i + 1 >= int(t.size());
        if (!last && !(t[size_t(i + 1)].is(Tok::Comma) || t[size_t(i + 1)].isWord("FROM")))
            continue;
        const Token table = t[size_t(i - 2)];
        const Tokens mark = {word(QStringLiteral("CAST")),
                             lparen(),
                             table,
                             dot(),
                             word(QStringLiteral("ctid")),
                             word(QStringLiteral("AS")),
                             word(QStringLiteral("text")),
                             rparen(),
                             word(QStringLiteral("AS")),
                             word(QStringLiteral("ROWID"))};
        t.erase(t.begin() + i - 2, t.begin() + i + 1);
        t.insert(t.begin() + i - 2, mark.begin(), mark.end());
        i += int(mark.size()) - 3;
    }
}

} // namespace rek2::sql
