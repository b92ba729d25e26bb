#pragma once
#include <QString>

namespace rek2::xml {

// The five namespaces of a return document. The first three belong to the tax
// administration's schemas, the two auxiliary ones to a placeholder host; the
// receiving system compares them character for character.
inline const QString NsRek2 = QStringLiteral("http://edavki.durs.si/Documents/Schemas/REK_2_3.xsd");
inline const QString NsEdp = QStringLiteral("http://edavki.durs.si/Documents/Schemas/EDP-Common-1.xsd");
inline const QString NsPodo = QStringLiteral("http://edavki.durs.si/Documents/Schemas/PODO-Common-1.xsd");
inline const QString NsNer = QStringLiteral("http://tempuri.org/Ds_NER_1.xsd");
inline const QString NsDsOdip = QStringLiteral("http://tempuri.org/Ds_ODIP_1.xsd");

} // namespace rek2::xml
