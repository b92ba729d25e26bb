#pragma once
#include <QString>
#include <initializer_list>
#include <vector>

namespace rek2::sql {

// A statement text cut into tokens, without white space and comments.
enum class Tok { Word, QuotedIdent, String, Number, BindVar, Op, LParen, RParen, Comma, Dot, Semicolon };

struct Token
{
    Tok kind;
    QString text;
    bool is(Tok k) const { return kind == k; }
    // Case-insensitive keyword or identifier test.
    bool isWord(const char* w) const
    {
        return kind == Tok::Word && text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    bool isOp(const char* o) const { return kind == Tok::Op && text == QLatin1String(o); }
};

using Tokens = std::vector<Token>;

// Throws DbError on an unterminated literal or comment.
Tokens tokenize(const QString& text);
// One blank between tokens, none around dots or before commas.
QString join(const Tokens& tokens);

// The nearest token before `i` at the same parenthesis depth that is one of
// `words` (the clause the token at `i` belongs to); null when the enclosing
// parenthesis or the start of the statement comes first.
const Token* clauseWordBefore(const Tokens& t, int i, std::initializer_list<const char*> words);

inline Token word(const QString& w)
{
    return {Tok::Word, w};
}
inline Token op(const QString& o)
{
    return {Tok::Op, o};
}
inline Token lparen()
{
    return {Tok::LParen, QStringLiteral("(")};
}
inline Token rparen()
{
    return {Tok::RParen, QStringLiteral(")")};
}
inline Token comma()
{
    return {Tok::Comma, QStringLiteral(",")};
}
inline Token dot()
{
    return {Tok::Dot, QStringLiteral(".")};
}

// Index of the parenthesis matching the one at `i` (either direction), or -1.
int matching(const Tokens& t, int i);

} // namespace rek2::sql
