#pragma once
#include <QString>

namespace rek2::importxls {

// BrezRimskogNaKoncu: drops a last word that is a Roman numeral I to X in
// capitals (optionally followed by a period); the blank before it stays.
QString BrezRimskogNaKoncu(const QString& text);

struct SplitName
{
    QString ime, priimek, naziv;
};

// ObrniImePriimek: a full name written surname first, split into first name,
// surname and the full name written first name first. Every blank counts.
SplitName ObrniImePriimek(const QString& fullName);

} // namespace rek2::importxls
