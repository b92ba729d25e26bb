#include "db/postgres/postgres_rewrite.h"

#include <vector>

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
        int close = matching(t, i + 1);
        if (close < 0)
            continue;
        // A bound value alone as an operand has no type CONCAT could tell: text.
        std::vector<int> alone;
        int depth = 0;
        for (int j = i + 2; j < close; ++j) {
            const Token& k = t[size_t(j)];
            if (k.is(Tok::LParen))
                ++depth;
            else if (k.is(Tok::RParen))
                --depth;
            else if (depth == 0 && k.is(Tok::BindVar) && (j == i + 2 || t[size_t(j - 1)].is(Tok::Comma)) &&
                     (j + 1 == close || t[size_t(j + 1)].is(Tok::Comma)))
                alone.push_back(j);
        }
        for (auto it = alone.rbegin(); it != alone.rend(); ++it) {
            t.insert(t.begin() + *it + 1,
                     {word(QStringLiteral("AS")), word(QStringLiteral("text")), rparen()});
            t.insert(t.begin() + *it, {word(QStringLiteral("CAST")), lparen()});
            close += 5;
        }
        // Each operand as Oracle writes it in text (numbers without trailing
        // zeros or a leading zero: 100000, .3, -.5).
        std::vector<int> starts{i + 2};
        depth = 0;
        for (int j = i + 2; j < close; ++j) {
            const Token& k = t[size_t(j)];
            if (k.is(Tok::LParen))
                ++depth;
            else if (k.is(Tok::RParen))
                --depth;
            else if (depth == 0 && k.is(Tok::Comma))
                starts.push_back(j + 1);
        }
        std::vector<int> ends;
        for (size_t n = 1; n < starts.size(); ++n)
            ends.push_back(starts[n] - 1);
        ends.push_back(close);
        for (size_t n = starts.size(); n-- > 0;) {
            if (ends[n] <= starts[n])
                continue;
            t.insert(t.begin() + ends[n], rparen());
            t.insert(t.begin() + starts[n], {word(QStringLiteral("REK2_TEXT")), lparen()});
            close += 3;
        }
        t.insert(t.begin() + close + 1, {comma(), {Tok::String, QStringLiteral("''")}, rparen()});
        t[size_t(i)].text = QStringLiteral("CONCAT");
        t.insert(t.begin() + i, {word(QStringLiteral("NULLIF")), lparen()});
        i += 2;
    }
}

void callsToOperator(Tokens& t, const QString& fn, const QString& op)
{
    for (int i = 0; i + 1 < int(t.size()); ++i) {
        if (!(t[size_t(i)].kind == Tok::Word && t[size_t(i)].text == fn && t[size_t(i + 1)].is(Tok::LParen)))
            continue;
        const int close = matching(t, i + 1);
        int comma = -1;
        int depth = 0;
        for (int j = i + 2; j < close && comma < 0; ++j) {
            if (t[size_t(j)].is(Tok::LParen))
                ++depth;
            else if (t[size_t(j)].is(Tok::RParen))
                --depth;
            else if (depth == 0 && t[size_t(j)].is(Tok::Comma))
                comma = j;
        }
        if (close < 0 || comma < 0)
            continue;
        // fn ( a , b )  ->  ( ( a ) op ( b ) )
        t[size_t(close)] = rparen();
        t.insert(t.begin() + close, rparen());
        t[size_t(comma)] = rparen();
        t.insert(t.begin() + comma + 1, {{Tok::Op, op}, lparen()});
        t[size_t(i)] = lparen();
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

void nameFromSubqueries(Tokens& t)
{
    // Words that may follow a subquery in FROM and are no alias.
    static const char* const clauses[] = {"WHERE", "GROUP",  "ORDER", "UNION", "JOIN",      "LEFT",   "RIGHT",
                                          "INNER", "OUTER",  "FULL",  "CROSS", "ON",        "HAVING", "LIMIT",
                                          "MINUS", "EXCEPT", "FOR",   "USING", "INTERSECT", "NATURAL"};
    int n = 0;
    for (int i = 0; i + 2 < int(t.size()); ++i) {
        const Token& from = t[size_t(i)];
        if (!(from.isWord("FROM") || from.isWord("JOIN") || from.is(Tok::Comma)) ||
            !t[size_t(i + 1)].is(Tok::LParen) || !t[size_t(i + 2)].isWord("SELECT"))
            continue;
        if (from.is(Tok::Comma)) {
            // Only a comma of a FROM list: the nearest clause word before it at this depth is FROM.
            const Token* clause = sql::clauseWordBefore(t, i, {"FROM", "SELECT", "WHERE", "BY", "SET"});
            if (!clause || !clause->isWord("FROM"))
                continue;
        }
        const int close = matching(t, i + 1);
        if (close < 0)
            continue;
        bool named = false;
        if (close + 1 < int(t.size())) {
            const Token& next = t[size_t(close + 1)];
            named = next.is(Tok::QuotedIdent) || next.isWord("AS");
            if (next.is(Tok::Word)) {
                named = true;
                for (const char* c : clauses)
                    if (next.isWord(c))
                        named = false;
            }
        }
        if (!named)
            t.insert(t.begin() + close + 1, word(QStringLiteral("rek2_from_%1").arg(++n)));
    }
}

} // namespace rek2::sql
