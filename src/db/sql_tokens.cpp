#include "db/sql_tokens.h"

#include "db/error.h"

namespace rek2::sql {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}
bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#');
}

} // namespace

Tokens tokenize(const QString& s)
{
    Tokens out;
    const int n = int(s.size());
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && s[i + 1] == QLatin1Char('-')) {
            while (i < n && s[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const int end = int(s.indexOf(QLatin1String("*/"), i + 2));
            if (end < 0)
                throw DbError(QStringLiteral("Unterminated comment in statement"));
            i = end + 2;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            for (;;) {
                if (j >= n)
                    throw DbError(c == QLatin1Char('\'')
                                      ? QStringLiteral("Quoted string not properly terminated")
                                      : QStringLiteral("Quoted identifier not properly terminated"));
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out.push_back({c == QLatin1Char('\'') ? Tok::String : Tok::QuotedIdent, s.mid(i, j - i + 1)});
            i = j + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
            int j = i;
            while (j < n && s[j].isDigit())
                ++j;
            if (j < n && s[j] == QLatin1Char('.')) {
                ++j;
                while (j < n && s[j].isDigit())
                    ++j;
            }
            if (j < n && (s[j] == QLatin1Char('e') || s[j] == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (s[k] == QLatin1Char('+') || s[k] == QLatin1Char('-')))
                    ++k;
                if (k < n && s[k].isDigit()) {
                    while (k < n && s[k].isDigit())
                        ++k;
                    j = k;
                }
            }
            out.push_back({Tok::Number, s.mid(i, j - i)});
            i = j;
        } else if (isWordStart(c)) {
            int j = i + 1;
            while (j < n && isWordChar(s[j]))
                ++j;
            out.push_back({Tok::Word, s.mid(i, j - i)});
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && isWordStart(s[i + 1])) {
            int j = i + 2;
            while (j < n && isWordChar(s[j]))
                ++j;
            out.push_back({Tok::BindVar, s.mid(i, j - i)});
            i = j;
        } else if (c == QLatin1Char('(')) {
            out.push_back(lparen());
            ++i;
        } else if (c == QLatin1Char(')')) {
            out.push_back(rparen());
            ++i;
        } else if (c == QLatin1Char(',')) {
            out.push_back(comma());
            ++i;
        } else if (c == QLatin1Char('.')) {
            out.push_back(dot());
            ++i;
        } else if (c == QLatin1Char(';')) {
            out.push_back({Tok::Semicolon, QStringLiteral(";")});
            ++i;
        } else {
            static const char* const two[] = {"||", "<=", ">=", "<>", "!=", "==", "<<", ">>"};
            QString o(c);
            if (i + 1 < n) {
                const QString pair = s.mid(i, 2);
                for (const char* t : two)
                    if (pair == QLatin1String(t))
                        o = pair;
            }
            out.push_back({Tok::Op, o});
            i += int(o.size());
        }
    }
    return out;
}

QString join(const Tokens& t)
{
    QString out;
    for (size_t i = 0; i < t.size(); ++i) {
        if (i > 0) {
            const Token& prev = t[i - 1];
            const Token& cur = t[i];
            const bool tight = prev.is(Tok::Dot) || cur.is(Tok::Dot) || cur.is(Tok::Comma) ||
                               cur.is(Tok::RParen) || prev.is(Tok::LParen) ||
                               (cur.is(Tok::LParen) && prev.is(Tok::Word));
            if (!tight)
                out += QLatin1Char(' ');
        }
        out += t[i].text;
    }
    return out;
}

int matching(const Tokens& t, int i)
{
    if (i < 0 || i >= int(t.size()))
        return -1;
    if (t[size_t(i)].is(Tok::LParen)) {
        int depth = 0;
        for (int j = i; j < int(t.size()); ++j) {
            if (t[size_t(j)].is(Tok::LParen))
                ++depth;
            else if (t[size_t(j)].is(Tok::RParen) && --depth == 0)
                return j;
        }
    } else if (t[size_t(i)].is(Tok::RParen)) {
        int depth = 0;
        for (int j = i; j >= 0; --j) {
            if (t[size_t(j)].is(Tok::RParen))
                ++depth;
            else if (t[size_t(j)].is(Tok::LParen) && --depth == 0)
                return j;
        }
    }
    return -1;
}

const Token* clauseWordBefore(const Tokens& t, int i, std::initializer_list<const char*> words)
{
    int depth = 0;
    for (int j = i - 1; j >= 0; --j) {
        const Token& k = t[size_t(j)];
        if (k.is(Tok::RParen))
            ++depth;
        else if (k.is(Tok::LParen) && --depth < 0)
            return nullptr;
        if (depth != 0)
            continue;
        for (const char* w : words)
            if (k.isWord(w))
                return &k;
    }
    return nullptr;
}

} // namespace rek2::sql
