#include "db/oracle_rewrite.h"

#include "db/variables.h"

#include <QSet>
#include <QStringList>

namespace rek2::sql {

namespace {

const Token& at(const Tokens& t, int i)
{
    return t[size_t(i)];
}
bool valid(const Tokens& t, int i)
{
    return i >= 0 && i < int(t.size());
}

bool isKeyword(const Token& tok)
{
    static const QSet<QString> kw = {
        QStringLiteral("SELECT"),    QStringLiteral("FROM"),     QStringLiteral("WHERE"),
        QStringLiteral("AND"),       QStringLiteral("OR"),       QStringLiteral("NOT"),
        QStringLiteral("IN"),        QStringLiteral("EXISTS"),   QStringLiteral("WHEN"),
        QStringLiteral("THEN"),      QStringLiteral("ELSE"),     QStringLiteral("CASE"),
        QStringLiteral("END"),       QStringLiteral("ON"),       QStringLiteral("AS"),
        QStringLiteral("JOIN"),      QStringLiteral("LEFT"),     QStringLiteral("RIGHT"),
        QStringLiteral("INNER"),     QStringLiteral("OUTER"),    QStringLiteral("FULL"),
        QStringLiteral("CROSS"),     QStringLiteral("NATURAL"),  QStringLiteral("USING"),
        QStringLiteral("GROUP"),     QStringLiteral("ORDER"),    QStringLiteral("BY"),
        QStringLiteral("HAVING"),    QStringLiteral("UNION"),    QStringLiteral("ALL"),
        QStringLiteral("VALUES"),    QStringLiteral("IS"),       QStringLiteral("LIKE"),
        QStringLiteral("BETWEEN"),   QStringLiteral("SET"),      QStringLiteral("INTO"),
        QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT"),   QStringLiteral("MINUS"),
        QStringLiteral("LIMIT"),     QStringLiteral("DISTINCT"), QStringLiteral("UPDATE"),
        QStringLiteral("DELETE"),    QStringLiteral("INSERT"),   QStringLiteral("NULL"),
        QStringLiteral("ESCAPE"),    QStringLiteral("OFFSET"),   QStringLiteral("CONNECT"),
        QStringLiteral("START"),     QStringLiteral("WITH"),     QStringLiteral("FOR"),
        QStringLiteral("ASC"),       QStringLiteral("DESC"),     QStringLiteral("NULLS"),
    };
    return tok.is(Tok::Word) && kw.contains(tok.text.toUpper());
}

// Start of the primary expression that ends at `end`, or -1.
int primaryStart(const Tokens& t, int end)
{
    if (!valid(t, end))
        return -1;
    const Token& e = at(t, end);
    if (e.is(Tok::RParen)) {
        const int m = matching(t, end);
        if (m < 0)
            return -1;
        if (m > 0 && at(t, m - 1).is(Tok::Word) && !isKeyword(at(t, m - 1))) {
            int s = m - 1;
            while (s >= 2 && at(t, s - 1).is(Tok::Dot) && at(t, s - 2).is(Tok::Word))
                s -= 2;
            return s;
        }
        return m;
    }
    if (e.isWord("END")) {
        int depth = 0;
        int paren = 0;
        for (int j = end; j >= 0; --j) {
            const Token& k = at(t, j);
            if (k.is(Tok::RParen))
                ++paren;
            else if (k.is(Tok::LParen))
                --paren;
            else if (paren == 0 && k.isWord("END"))
                ++depth;
            else if (paren == 0 && k.isWord("CASE") && --depth == 0)
                return j;
            if (paren < 0)
                return -1;
        }
        return -1;
    }
    if (e.is(Tok::String) || e.is(Tok::Number) || e.is(Tok::BindVar))
        return end;
    if ((e.is(Tok::Word) && !isKeyword(e)) || e.is(Tok::QuotedIdent) || e.isWord("NULL")) {
        int s = end;
        while (s >= 2 && at(t, s - 1).is(Tok::Dot) &&
               (at(t, s - 2).is(Tok::Word) || at(t, s - 2).is(Tok::QuotedIdent)))
            s -= 2;
        return s;
    }
    return -1;
}

// End of the primary expression that starts at `start`, or -1.
int primaryEnd(const Tokens& t, int start)
{
    if (!valid(t, start))
        return -1;
    const Token& s = at(t, start);
    if (s.is(Tok::LParen))
        return matching(t, start);
    if (s.isWord("CASE")) {
        int depth = 0;
        int paren = 0;
        for (int j = start; j < int(t.size()); ++j) {
            const Token& k = at(t, j);
            if (k.is(Tok::LParen))
                ++paren;
            else if (k.is(Tok::RParen))
                --paren;
            else if (paren == 0 && k.isWord("CASE"))
                ++depth;
            else if (paren == 0 && k.isWord("END") && --depth == 0)
                return j;
            if (paren < 0)
                return -1;
        }
        return -1;
    }
    if (s.is(Tok::String) || s.is(Tok::Number) || s.is(Tok::BindVar) || s.isWord("NULL"))
        return start;
    if (s.is(Tok::Op) && (s.text == QLatin1String("-") || s.text == QLatin1String("+")))
        return primaryEnd(t, start + 1);
    if ((s.is(Tok::Word) && !isKeyword(s)) || s.is(Tok::QuotedIdent)) {
        int e = start;
        while (valid(t, e + 2) && at(t, e + 1).is(Tok::Dot) &&
               (at(t, e + 2).is(Tok::Word) || at(t, e + 2).is(Tok::QuotedIdent)))
            e += 2;
        if (valid(t, e + 1) && at(t, e + 1).is(Tok::LParen))
            return matching(t, e + 1);
        return e;
    }
    return -1;
}

void replaceRange(Tokens& t, int from, int to, const Tokens& with)
{
    t.erase(t.begin() + from, t.begin() + to + 1);
    t.insert(t.begin() + from, with.begin(), with.end());
}

Tokens slice(const Tokens& t, int from, int to)
{
    if (to < from)
        return {};
    return Tokens(t.begin() + from, t.begin() + to + 1);
}

void append(Tokens& out, const Tokens& more)
{
    out.insert(out.end(), more.begin(), more.end());
}

bool isIdentChain(const Tokens& t, int from, int to)
{
    for (int i = from; i <= to; ++i) {
        const bool even = (i - from) % 2 == 0;
        if (even && !(at(t, i).is(Tok::Word) || at(t, i).is(Tok::QuotedIdent)))
            return false;
        if (!even && !at(t, i).is(Tok::Dot))
            return false;
    }
    return (to - from) % 2 == 0;
}

QString upperName(const Token& tok)
{
    QString n = tok.text;
    if (tok.is(Tok::QuotedIdent))
        n = n.mid(1, n.size() - 2);
    return n.toUpper();
}

} // namespace

void emptyStringToNull(Tokens& t)
{
    for (Token& tok : t)
        if (tok.is(Tok::String) && tok.text == QLatin1String("''"))
            tok = word(QStringLiteral("NULL"));
}

namespace {

bool isSign(const Token& k)
{
    return k.isOp("+") || k.isOp("-");
}
bool isMultiplicative(const Token& k)
{
    return k.isOp("*") || k.isOp("/");
}

// Whether the token at `i` ends an operand, so that a + or - after it is a
// binary operator (otherwise it is a sign).
bool endsOperand(const Tokens& t, int i)
{
    if (!valid(t, i))
        return false;
    const Token& k = at(t, i);
    return k.is(Tok::RParen) || k.is(Tok::Number) || k.is(Tok::String) || k.is(Tok::BindVar) ||
           k.is(Tok::QuotedIdent) ||
           (k.is(Tok::Word) && (!isKeyword(k) || k.isWord("END") || k.isWord("NULL")));
}

// A term binds tighter than ||, + and -: signs, a primary, and any
// "* primary" or "/ primary" after it. End of the term at `start`, or -1.
int termEnd(const Tokens& t, int start)
{
    int e = primaryEnd(t, start); // takes leading signs itself
    if (e < 0)
        return -1;
    while (valid(t, e + 2) && isMultiplicative(at(t, e + 1))) {
        const int r = primaryEnd(t, e + 2);
        if (r < 0)
            return -1;
        e = r;
    }
    return e;
}

// Start of the term that ends at `end`, or -1.
int termStart(const Tokens& t, int end)
{
    int s = primaryStart(t, end);
    while (s >= 0) {
        while (s >= 1 && isSign(at(t, s - 1)) && !endsOperand(t, s - 2))
            --s;
        if (s >= 2 && isMultiplicative(at(t, s - 1)))
            s = primaryStart(t, s - 2);
        else
            break;
    }
    return s;
}

// A term that is a number whatever the columns hold: a literal, a product
// or quotient, a signed value, or a function that gives a number. A date
// is none of these.
bool numericTerm(const Tokens& t, int from, int to)
{
    if (from == to && at(t, from).is(Tok::Number))
        return true;
    if (isSign(at(t, from)))
        return true;
    int depth = 0;
    for (int i = from; i <= to; ++i) {
        const Token& k = at(t, i);
        if (k.is(Tok::LParen))
            ++depth;
        else if (k.is(Tok::RParen))
            --depth;
        else if (depth == 0 && isMultiplicative(k))
            return true;
    }
    if (!at(t, from).is(Tok::Word) || !valid(t, from + 1) || !at(t, from + 1).is(Tok::LParen) ||
        matching(t, from + 1) != to)
        return false;
    static const QSet<QString> numeric = {QStringLiteral("ABS"), QStringLiteral("SUM"),
                                          QStringLiteral("COUNT"), QStringLiteral("AVG"),
                                          QStringLiteral("LENGTH")};
    const QString name = at(t, from).text.toUpper();
    if (numeric.contains(name))
        return true;
    if (name != QLatin1String("ROUND") && name != QLatin1String("TRUNC"))
        return false;
    // ROUND(n, places) and TRUNC(n, places) give numbers; with one argument
    // or a format text they may give a date.
    depth = 0;
    for (int i = from + 2; i < to; ++i) {
        const Token& k = at(t, i);
        if (k.is(Tok::LParen))
            ++depth;
        else if (k.is(Tok::RParen))
            --depth;
        else if (depth == 0 && k.is(Tok::Comma))
            return valid(t, i + 1) && !at(t, i + 1).is(Tok::String);
    }
    return false;
}

} // namespace

void additiveToFunctions(Tokens& t, const QString& concatFn, const QString& plusFn, const QString& minusFn)
{
    for (int i = 1; i < int(t.size()); ++i) {
        const Token& o = at(t, i);
        const bool concat = o.isOp("||");
        if (!concat && !(isSign(o) && endsOperand(t, i - 1)))
            continue;
        const int left = termStart(t, i - 1);
        if (left < 0)
            continue;
        // ||, + and - have the same precedence and group from the left.
        Tokens acc = slice(t, left, i - 1);
        bool accNumeric = numericTerm(t, left, i - 1);
        bool accIsConcat = false;
        int j = i;
        bool ok = true;
        bool changed = false;
        while (valid(t, j) && (at(t, j).isOp("||") || (isSign(at(t, j)) && endsOperand(t, j - 1)))) {
            const Token opTok = at(t, j);
            const int r = termEnd(t, j + 1);
            if (r < 0) {
                ok = false;
                break;
            }
            const Tokens term = slice(t, j + 1, r);
            const bool termNumeric = numericTerm(t, j + 1, r);
            if (opTok.isOp("||")) {
                if (accIsConcat) {
                    acc.pop_back(); // reopen the call
                } else {
                    Tokens call{word(concatFn), lparen()};
                    append(call, acc);
                    acc = call;
                }
                acc.push_back(comma());
                append(acc, term);
                acc.push_back(rparen());
                accIsConcat = true;
                accNumeric = false;
                changed = true;
            } else if (accNumeric && termNumeric) {
                // Two numbers: the engine's own arithmetic.
                acc.push_back(opTok);
                append(acc, term);
                accIsConcat = false;
            } else {
                // A date may be among them: Oracle's date arithmetic.
                Tokens call{word(opTok.isOp("+") ? plusFn : minusFn), lparen()};
                append(call, acc);
                call.push_back(comma());
                append(call, term);
                call.push_back(rparen());
                acc = call;
                accIsConcat = false;
                accNumeric = false;
                changed = true;
            }
            j = r + 1;
        }
        if (!ok || !changed)
            continue;
        replaceRange(t, left, j - 1, acc);
        i = left; // operands may hold further chains inside parentheses
    }
}

void sequencesToFunction(Tokens& t, const QString& fn)
{
    auto call = [&](const Token& seq) {
        return Tokens{word(fn),
                      lparen(),
                      {Tok::String, QLatin1Char('\'') + upperName(seq) + QLatin1Char('\'')},
                      rparen()};
    };
    for (int i = 0; i < int(t.size()); ++i) {
        if (!at(t, i).isWord("NEXTVAL"))
            continue;
        if (i >= 2 && at(t, i - 1).is(Tok::Dot) &&
            (at(t, i - 2).is(Tok::Word) || at(t, i - 2).is(Tok::QuotedIdent))) {
            int from = i - 2;
            if (from >= 2 && at(t, from - 1).is(Tok::Dot)) // schema.seq.NEXTVAL
                from -= 2;
            const Tokens c = call(at(t, i - 2));
            replaceRange(t, from, i, c);
            i = from;
        } else if (valid(t, i + 2) && at(t, i + 1).isWord("FOR") &&
                   (at(t, i + 2).is(Tok::Word) || at(t, i + 2).is(Tok::QuotedIdent))) {
            int to = i + 2;
            Token seq = at(t, to);
            if (valid(t, to + 2) && at(t, to + 1).is(Tok::Dot)) { // schema.seq
                seq = at(t, to + 2);
                to += 2;
            }
            replaceRange(t, i, to, call(seq));
        }
    }
}

void dropDummyTables(Tokens& t)
{
    for (int i = 0; i < int(t.size()); ++i) {
        if (!at(t, i).isWord("FROM"))
            continue;
        int end = -1;
        if (valid(t, i + 1) && at(t, i + 1).isWord("DUAL"))
            end = i + 1;
        else if (valid(t, i + 3) && at(t, i + 1).isWord("SYSIBM") && at(t, i + 2).is(Tok::Dot) &&
                 at(t, i + 3).isWord("SYSDUMMY1"))
            end = i + 3;
        if (end < 0)
            continue;
        // Only the dummy table alone, not joined with others.
        if (valid(t, end + 1) &&
            (at(t, end + 1).is(Tok::Comma) || at(t, end + 1).isWord("JOIN") || at(t, end + 1).is(Tok::Dot)))
            continue;
        // Its alias goes with it ("FROM dual d").
        if (valid(t, end + 1) && at(t, end + 1).isWord("AS"))
            ++end;
        if (valid(t, end + 1) && (at(t, end + 1).is(Tok::Word) || at(t, end + 1).is(Tok::QuotedIdent)) &&
            !isKeyword(at(t, end + 1)))
            ++end;
        t.erase(t.begin() + i, t.begin() + end + 1);
        --i;
    }
}

void currentDateToFunction(Tokens& t, const QString& fn)
{
    for (int i = 0; i < int(t.size()); ++i) {
        if (!at(t, i).isWord("CURRENT_DATE"))
            continue;
        if (i > 0 && at(t, i - 1).is(Tok::Dot))
            continue; // a column of that name
        if (valid(t, i + 1) && at(t, i + 1).is(Tok::LParen))
            continue;
        replaceRange(t, i, i, {word(fn), lparen(), rparen()});
        i += 2;
    }
}

void realDivision(Tokens& t)
{
    for (int i = 0; i < int(t.size()); ++i) {
        if (!at(t, i).isOp("/"))
            continue;
        replaceRange(
            t, i, i,
            {op(QStringLiteral("*")), {Tok::Number, QStringLiteral("1.0")}, op(QStringLiteral("/"))});
        i += 2;
    }
}

void oracleNullOrdering(Tokens& t)
{
    static const char* const enders[] = {"LIMIT",  "OFFSET", "UNION", "INTERSECT",
                                         "EXCEPT", "MINUS",  "FOR",   "FETCH"};
    for (int i = 0; i + 1 < int(t.size()); ++i) {
        if (!(at(t, i).isWord("ORDER") && at(t, i + 1).isWord("BY")))
            continue;
        // Items of this ORDER BY: [start, end] pairs at its own depth.
        std::vector<std::pair<int, int>> items;
        int depth = 0;
        int itemStart = i + 2;
        int j = i + 2;
        for (; j < int(t.size()); ++j) {
            const Token& k = at(t, j);
            if (k.is(Tok::LParen)) {
                ++depth;
                continue;
            }
            if (k.is(Tok::RParen)) {
                if (depth == 0)
                    break;
                --depth;
                continue;
            }
            if (depth > 0)
                continue;
            bool end = k.is(Tok::Semicolon);
            for (const char* e : enders)
                end = end || k.isWord(e);
            if (end)
                break;
            if (k.is(Tok::Comma)) {
                items.push_back({itemStart, j - 1});
                itemStart = j + 1;
            }
        }
        items.push_back({itemStart, j - 1});
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            const auto [a, b] = *it;
            if (b < a)
                continue;
            bool hasNulls = false;
            for (int k = a; k <= b; ++k)
                hasNulls = hasNulls || at(t, k).isWord("NULLS");
            if (hasNulls)
                continue;
            const bool desc = at(t, b).isWord("DESC");
            t.insert(t.begin() + b + 1, {word(QStringLiteral("NULLS")),
                                         word(desc ? QStringLiteral("FIRST") : QStringLiteral("LAST"))});
        }
    }
}

namespace {

// Names a subquery defines: its own table and alias, and every table and
// alias named after FROM / JOIN / "," of a FROM list anywhere inside `cond`.
QSet<QString> definedNames(const Tokens& t, int from, int to)
{
    QSet<QString> names;
    bool inFrom = false;
    for (int i = from; i <= to; ++i) {
        const Token& k = at(t, i);
        const bool starts = k.isWord("FROM") || k.isWord("JOIN") || (inFrom && k.is(Tok::Comma));
        if (k.isWord("WHERE") || k.isWord("ON") || k.isWord("GROUP") || k.isWord("ORDER") ||
            k.isWord("SELECT") || k.is(Tok::RParen))
            inFrom = false;
        if (!starts)
            continue;
        inFrom = true;
        int j = i + 1;
        if (!valid(t, j) || !(at(t, j).is(Tok::Word) || at(t, j).is(Tok::QuotedIdent)))
            continue;
        while (valid(t, j + 2) && at(t, j + 1).is(Tok::Dot))
            j += 2;
        names.insert(upperName(at(t, j)));
        int a = j + 1;
        if (valid(t, a) && at(t, a).isWord("AS"))
            ++a;
        if (valid(t, a) && (at(t, a).is(Tok::Word) || at(t, a).is(Tok::QuotedIdent)) && !isKeyword(at(t, a)))
            names.insert(upperName(at(t, a)));
    }
    return names;
}

// Qualifiers (Q of Q.col) used in [from, to].
QSet<QString> qualifiers(const Tokens& t, int from, int to)
{
    QSet<QString> q;
    for (int i = from; i + 2 <= to; ++i)
        if ((at(t, i).is(Tok::Word) || at(t, i).is(Tok::QuotedIdent)) && at(t, i + 1).is(Tok::Dot) &&
            (i == 0 || !at(t, i - 1).is(Tok::Dot)))
            q.insert(upperName(at(t, i)));
    return q;
}

// The single table (its alias, else its name) of the query level that holds
// index `pos`: "FROM T [a] WHERE", "UPDATE T [a] SET", "DELETE FROM T [a]".
// Empty when the level joins several tables or cannot be read.
QString enclosingSingleTable(const Tokens& t, int pos)
{
    int depth = 0;
    for (int i = pos - 1; i >= 0; --i) {
        const Token& k = at(t, i);
        if (k.is(Tok::RParen)) {
            ++depth;
            continue;
        }
        if (k.is(Tok::LParen)) {
            if (depth == 0)
                return {};
            --depth;
            continue;
        }
        if (depth > 0 || !(k.isWord("FROM") || k.isWord("UPDATE")))
            continue;
        int j = i + 1;
        if (!valid(t, j) || !(at(t, j).is(Tok::Word) || at(t, j).is(Tok::QuotedIdent)) || isKeyword(at(t, j)))
            return {};
        while (valid(t, j + 2) && at(t, j + 1).is(Tok::Dot))
            j += 2;
        QString name = at(t, j).text;
        int a = j + 1;
        if (valid(t, a) && at(t, a).isWord("AS"))
            ++a;
        if (valid(t, a) && (at(t, a).is(Tok::Word) || at(t, a).is(Tok::QuotedIdent)) &&
            !isKeyword(at(t, a))) {
            name = at(t, a).text;
            ++a;
        }
        if (!valid(t, a))
            return {};
        if (!(at(t, a).isWord("WHERE") || at(t, a).isWord("SET")))
            return {};
        return name;
    }
    return {};
}

// Whether a condition starting at `pos` only ever decides which rows are
// kept: reached from WHERE, ON, HAVING or WHEN through AND, OR and
// parentheses, never under NOT or as a value. There an unknown (NULL)
// result and false act alike, so an EXISTS form that never gives NULL keeps
// the meaning; under NOT they differ.
bool inPositiveCondition(const Tokens& t, int pos)
{
    int i = pos;
    while (i > 0) {
        // The nearest token before `i` at the same depth that ends this operand.
        const Token& p = at(t, i - 1);
        if (p.isWord("WHERE") || p.isWord("ON") || p.isWord("HAVING") || p.isWord("WHEN"))
            return true;
        if (p.is(Tok::LParen)) {
            if (i >= 2 && at(t, i - 2).is(Tok::Word) && !isKeyword(at(t, i - 2)))
                return false; // an argument of a function
            i = i - 1;
            continue;
        }
        if (!(p.isWord("AND") || p.isWord("OR")))
            return false;
        // Walk back over the other operands of AND / OR to the start of this
        // boolean group.
        int depth = 0;
        int j = i - 2;
        for (; j >= 0; --j) {
            const Token& k = at(t, j);
            if (k.is(Tok::RParen)) {
                ++depth;
                continue;
            }
            if (k.is(Tok::LParen)) {
                if (depth == 0)
                    break;
                --depth;
                continue;
            }
            if (depth == 0 &&
                (k.isWord("WHERE") || k.isWord("ON") || k.isWord("HAVING") || k.isWord("WHEN") ||
                 k.isWord("THEN") || k.isWord("ELSE") || k.isWord("SELECT") || k.is(Tok::Comma)))
                break;
        }
        if (j < 0)
            return false;
        const Token& k = at(t, j);
        if (k.isWord("WHERE") || k.isWord("ON") || k.isWord("HAVING") || k.isWord("WHEN"))
            return true;
        if (!k.is(Tok::LParen) || (j >= 1 && at(t, j - 1).is(Tok::Word) && !isKeyword(at(t, j - 1))))
            return false;
        i = j; // the group opened at j: look at what comes before it
    }
    return false;
}

} // namespace

void correlatedInToExists(Tokens& t)
{
    for (int i = 1; i + 2 < int(t.size()); ++i) {
        if (!(at(t, i).isWord("IN") && at(t, i + 1).is(Tok::LParen) && at(t, i + 2).isWord("SELECT")))
            continue;
        const bool negated = at(t, i - 1).isWord("NOT");
        const int xEnd = negated ? i - 2 : i - 1;
        const int xStart = primaryStart(t, xEnd);
        if (xStart < 0)
            continue;
        const bool xIsVar = xStart == xEnd && at(t, xStart).is(Tok::BindVar);
        if (!xIsVar && !isIdentChain(t, xStart, xEnd))
            continue;
        if (!inPositiveCondition(t, xStart))
            continue; // under NOT or used as a value: NULL and false differ
        const int open = i + 1;
        const int close = matching(t, open);
        if (close < 0)
            continue;
        // SELECT [DISTINCT] c FROM T [alias] [WHERE cond]
        int k = i + 3;
        if (at(t, k).isWord("DISTINCT"))
            ++k;
        const int cStart = k;
        while (valid(t, k + 2) && at(t, k + 1).is(Tok::Dot))
            k += 2;
        if (!isIdentChain(t, cStart, k) || !at(t, k + 1).isWord("FROM"))
            continue;
        const int cEnd = k;
        k += 2;
        const int tStart = k;
        if (!(at(t, k).is(Tok::Word) || at(t, k).is(Tok::QuotedIdent)) || isKeyword(at(t, k)))
            continue;
        while (valid(t, k + 2) && at(t, k + 1).is(Tok::Dot))
            k += 2;
        const int tEnd = k;
        QString alias;
        ++k;
        if (at(t, k).isWord("AS"))
            ++k;
        if ((at(t, k).is(Tok::Word) || at(t, k).is(Tok::QuotedIdent)) && !isKeyword(at(t, k))) {
            alias = at(t, k).text;
            ++k;
        }
        int condStart = -1;
        if (at(t, k).isWord("WHERE"))
            condStart = k + 1;
        else if (k != close)
            continue; // joins, GROUP BY, ...
        const int condEnd = close - 1;
        if (condStart >= 0) {
            bool simple = condStart <= condEnd;
            int depth = 0;
            for (int j = condStart; j <= condEnd && simple; ++j) {
                const Token& c = at(t, j);
                if (c.is(Tok::LParen))
                    ++depth;
                else if (c.is(Tok::RParen))
                    --depth;
                else if (depth == 0 && (c.isWord("GROUP") || c.isWord("HAVING") || c.isWord("ORDER") ||
                                        c.isWord("UNION") || c.isWord("INTERSECT") || c.isWord("EXCEPT") ||
                                        c.isWord("MINUS") || c.isWord("LIMIT") || c.isWord("CONNECT")))
                    simple = false;
            }
            if (!simple)
                continue;
        }
        // Only correlated subqueries: an uncorrelated one the engine runs once.
        QSet<QString> defined = definedNames(t, condStart < 0 ? close : condStart, condEnd);
        const QString tableName = upperName(at(t, tEnd));
        defined.insert(tableName);
        if (!alias.isEmpty())
            defined.insert(alias.toUpper());
        bool correlated = false;
        if (condStart >= 0)
            for (const QString& q : qualifiers(t, condStart, condEnd))
                correlated = correlated || !defined.contains(q);
        if (!correlated)
            continue;
        // X as the subquery will see it: qualified by the outer table.
        Tokens x = slice(t, xStart, xEnd);
        if (!xIsVar) {
            if (xStart == xEnd) {
                const QString outer = enclosingSingleTable(t, xStart);
                if (outer.isEmpty() || defined.contains(outer.toUpper()))
                    continue;
                x = {word(outer), dot(), at(t, xStart)};
            } else if (defined.contains(upperName(at(t, xStart)))) {
                continue; // the subquery hides X's table
            }
        }
        Tokens c = slice(t, cStart, cEnd);
        if (cStart == cEnd)
            c = {word(alias.isEmpty() ? at(t, tEnd).text : alias), dot(), at(t, cStart)};
        Tokens from{
            word(QStringLiteral("SELECT")), {Tok::Number, QStringLiteral("1")}, word(QStringLiteral("FROM"))};
        append(from, slice(t, tStart, tEnd));
        if (!alias.isEmpty())
            from.push_back(word(alias));
        const Tokens cond = condStart >= 0 ? slice(t, condStart, condEnd) : Tokens{};
        auto andCond = [&](Tokens& out) {
            if (cond.empty())
                return;
            out.push_back(word(QStringLiteral("AND")));
            out.push_back(lparen());
            append(out, cond);
            out.push_back(rparen());
        };
        Tokens rep;
        if (!negated) {
            rep = {word(QStringLiteral("EXISTS")), lparen()};
            append(rep, from);
            rep.push_back(word(QStringLiteral("WHERE")));
            append(rep, c);
            rep.push_back(op(QStringLiteral("=")));
            append(rep, x);
            andCond(rep);
            rep.push_back(rparen());
        } else {
            // X NOT IN (S) holds when S is empty, or when X is not NULL and S
            // holds neither X nor NULL.
            rep = {lparen(), word(QStringLiteral("CASE")), word(QStringLiteral("WHEN"))};
            append(rep, x);
            append(rep,
                   {word(QStringLiteral("IS")), word(QStringLiteral("NULL")), word(QStringLiteral("THEN")),
                    word(QStringLiteral("NOT")), word(QStringLiteral("EXISTS")), lparen()});
            append(rep, from);
            if (!cond.empty()) {
                rep.push_back(word(QStringLiteral("WHERE")));
                rep.push_back(lparen());
                append(rep, cond);
                rep.push_back(rparen());
            }
            append(rep, {rparen(), word(QStringLiteral("ELSE")), word(QStringLiteral("NOT")),
                         word(QStringLiteral("EXISTS")), lparen()});
            append(rep, from);
            rep.push_back(word(QStringLiteral("WHERE")));
            rep.push_back(lparen());
            append(rep, c);
            rep.push_back(op(QStringLiteral("=")));
            append(rep, x);
            rep.push_back(word(QStringLiteral("OR")));
            append(rep, c);
            append(rep, {word(QStringLiteral("IS")), word(QStringLiteral("NULL")), rparen()});
            andCond(rep);
            append(rep, {rparen(), word(QStringLiteral("END")), rparen()});
        }
        replaceRange(t, xStart, close, rep);
        i = xStart;
    }
}

namespace {

// The clause keyword that governs index `pos` at its own depth.
QString governingClause(const Tokens& t, int pos)
{
    int depth = 0;
    for (int j = pos - 1; j >= 0; --j) {
        const Token& k = at(t, j);
        if (k.is(Tok::RParen))
            ++depth;
        else if (k.is(Tok::LParen) && --depth < 0)
            return QStringLiteral("(");
        if (depth != 0 || !k.is(Tok::Word))
            continue;
        const QString w = k.text.toUpper();
        if (w == QLatin1String("SELECT") || w == QLatin1String("FROM") || w == QLatin1String("JOIN") ||
            w == QLatin1String("WHERE") || w == QLatin1String("ON") || w == QLatin1String("BY") ||
            w == QLatin1String("SET") || w == QLatin1String("VALUES") || w == QLatin1String("HAVING"))
            return w;
    }
    return {};
}

bool usedAsValue(const Tokens& t, int open)
{
    if (open == 0)
        return false;
    const Token& p = at(t, open - 1);
    if (p.is(Tok::Op))
        return true;
    if (p.is(Tok::Comma)) {
        const QString clause = governingClause(t, open - 1);
        return clause != QLatin1String("FROM") && clause != QLatin1String("JOIN") && !clause.isEmpty();
    }
    if (p.is(Tok::LParen)) // argument of a function, or a group inside an expression
        return open >= 2 && (at(t, open - 2).is(Tok::Word)
                                 ? !isKeyword(at(t, open - 2)) || at(t, open - 2).isWord("WHEN") ||
                                       at(t, open - 2).isWord("THEN") || at(t, open - 2).isWord("ELSE") ||
                                       at(t, open - 2).isWord("AND") || at(t, open - 2).isWord("OR")
                                 : !at(t, open - 2).is(Tok::RParen));
    return p.isWord("SELECT") || p.isWord("THEN") || p.isWord("ELSE") || p.isWord("WHEN") ||
           p.isWord("AND") || p.isWord("OR") || p.isWord("WHERE") || p.isWord("ON");
}

bool plainValueFunction(const Token& name)
{
    static const QSet<QString> plain = {QStringLiteral("NVL"),         QStringLiteral("ABS"),
                                        QStringLiteral("ROUND"),       QStringLiteral("TRUNC"),
                                        QStringLiteral("UPPER"),       QStringLiteral("LOWER"),
                                        QStringLiteral("REK2_CONCAT"), QStringLiteral("COALESCE"),
                                        QStringLiteral("LENGTH"),      QStringLiteral("SUBSTR")};
    return plain.contains(name.text.toUpper());
}

} // namespace

void scalarSubqueriesSingleRow(Tokens& t, const QString& fn)
{
    for (int open = 0; open + 1 < int(t.size()); ++open) {
        if (!at(t, open).is(Tok::LParen) || !at(t, open + 1).isWord("SELECT") || !usedAsValue(t, open))
            continue;
        const int close = matching(t, open);
        if (close < 0)
            continue;
        // One plain select item up to the subquery's own FROM.
        int itemStart = open + 2;
        if (at(t, itemStart).isWord("DISTINCT") || at(t, itemStart).isWord("ALL"))
            continue;
        int from = -1;
        int itemEnd = -1;
        bool simple = true;
        int depth = 0;
        for (int j = itemStart; j < close && simple; ++j) {
            const Token& k = at(t, j);
            if (k.is(Tok::LParen)) {
                ++depth;
                if (j > itemStart && at(t, j - 1).is(Tok::Word) && from < 0 && !isKeyword(at(t, j - 1)) &&
                    !plainValueFunction(at(t, j - 1)))
                    simple = false; // possibly an aggregate
                continue;
            }
            if (k.is(Tok::RParen)) {
                --depth;
                continue;
            }
            if (depth > 0)
                continue;
            if (from < 0) {
                if (k.isWord("FROM")) {
                    from = j;
                    continue;
                }
                if (k.is(Tok::Comma) || (k.isOp("*") && j == itemStart))
                    simple = false;
                if (k.isWord("AS") && itemEnd < 0)
                    itemEnd = j - 1;
            } else if (k.isWord("GROUP") || k.isWord("HAVING") || k.isWord("UNION") ||
                       k.isWord("INTERSECT") || k.isWord("EXCEPT") || k.isWord("MINUS") ||
                       k.isWord("ORDER") || k.isWord("LIMIT") || k.isWord("CONNECT")) {
                simple = false;
            }
        }
        if (!simple || from < 0)
            continue;
        if (itemEnd < 0)
            itemEnd = from - 1;
        // A plain column name as the alias: "(SELECT x y FROM" is not used here.
        if (itemEnd < itemStart)
            continue;
        // An aggregate over outer columns only would belong to the outer
        // query; such an item is taken through a derived table of its own:
        // (SELECT fn(v) FROM (SELECT item AS v FROM ...)).
        const QSet<QString> itemQualifiers = qualifiers(t, itemStart, itemEnd);
        bool onlyOuter = !itemQualifiers.isEmpty();
        if (onlyOuter) {
            const QSet<QString> inner = definedNames(t, from, close - 1);
            for (const QString& q : itemQualifiers)
                onlyOuter = onlyOuter && !inner.contains(q);
        }
        if (onlyOuter) {
            const QString v = QStringLiteral("rek2_v");
            Tokens inner{lparen(), word(QStringLiteral("SELECT"))};
            append(inner, slice(t, itemStart, itemEnd));
            inner.push_back(word(QStringLiteral("AS")));
            inner.push_back(word(v));
            append(inner, slice(t, from, close - 1));
            inner.push_back(rparen());
            Tokens rep{lparen(), word(QStringLiteral("SELECT")), word(fn), lparen(), word(v),
                       rparen(), word(QStringLiteral("FROM"))};
            append(rep, inner);
            rep.push_back(rparen());
            replaceRange(t, open, close, rep);
            continue;
        }
        t.insert(t.begin() + itemEnd + 1, rparen());
        t.insert(t.begin() + itemStart, {word(fn), lparen()});
    }
}

void nameRowidColumns(Tokens& t)
{
    for (int i = 0; i + 1 < int(t.size()); ++i) {
        if (!at(t, i).isWord("ROWID") || !(at(t, i + 1).is(Tok::Comma) || at(t, i + 1).isWord("FROM")))
            continue;
        const Token* clause = clauseWordBefore(t, i, {"SELECT", "FROM", "WHERE", "BY", "ON", "SET"});
        if (!clause || !clause->isWord("SELECT"))
            continue;
        t.insert(t.begin() + i + 1, {word(QStringLiteral("AS")), word(QStringLiteral("ROWID"))});
        i += 2;
    }
}

void bindVariablesToPositional(Tokens& t, QStringList& names)
{
    for (Token& tok : t) {
        if (!tok.is(Tok::BindVar))
            continue;
        names << Variables::storedName(tok.text);
        tok = {Tok::Op, QStringLiteral("?")};
    }
}

} // namespace rek2::sql
