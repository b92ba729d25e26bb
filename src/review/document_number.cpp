#include "review/document_number.h"

#include "base/settings.h"
#include "db/query.h"
#include "db/session.h"
#include "db/transaction.h"
#include "edit/details_rules.h"
#include "review/review_error.h"

namespace rek2::review {

namespace {

OnwardCopy copyOnward(Session& session, int idZbir, const QString& number)
{
    Query q(QStringLiteral("qREK2_ANALUpd"));
    q.SetSession(&session);
    q.DeclareAndSet(QStringLiteral("DURS_ID_DOK"), VarType::String, number);
    q.DeclareAndSet(QStringLiteral("ID_REK2_ZBIR"), VarType::Integer, idZbir);
    OnwardCopy done;
    q.SQL = QStringList{
        QStringLiteral("UPDATE REK2_ANAL_HST SET DURS_ID_DOK=:DURS_ID_DOK WHERE ID_REK2_ZBIR=:ID_REK2_ZBIR")};
    q.Execute();
    done.rows = q.RowsProcessed();
    q.Close();
    q.SQL = QStringList{
        QStringLiteral("UPDATE REK2_DOG SET DURS_ID_DOK=:DURS_ID_DOK WHERE ID_REK2_ANAL IN "
                       "(SELECT ID_REK2_ANAL FROM REK2_ANAL_HST WHERE ID_REK2_ZBIR=:ID_REK2_ZBIR)")};
    q.Execute();
    done.links = q.RowsProcessed();
    q.Close();
    return done;
}

} // namespace

OnwardCopy copyNumberOnward(Session& session, int idZbir, const QString& number)
{
    Transaction tx(session);
    const OnwardCopy done = copyOnward(session, idZbir, number);
    tx.commit();
    return done;
}

QString documentNumberProblem(Session& session, const QString& payerTaxNumber, int idZbir,
                              const QString& number)
{
    if (!hasEdpPrefix(number, payerTaxNumber))
        return edpFormatMessage(number);
    Query q(QStringLiteral("odsEDP"));
    q.SetSession(&session);
    q.SQL = QStringList{QStringLiteral("select * from REK2_ZBIR_HST"),
                        QStringLiteral("WHERE DURS_ID_DOK=:DURS_ID_DOK"),
                        QStringLiteral("AND ID_REK2_ZBIR<>:ID_REK2_ZBIR")};
    q.DeclareAndSet(QStringLiteral("DURS_ID_DOK"), VarType::String, number);
    q.DeclareAndSet(QStringLiteral("ID_REK2_ZBIR"), VarType::Integer, idZbir);
    q.Execute();
    return q.RowCount() > 0 ? edpUsedMessage(number) : QString();
}

OnwardCopy recordDocumentNumber(Session& session, const Settings& settings, int idZbir, const QString& number)
{
    Query q(QStringLiteral("qZbirHst"));
    q.SetSession(&session);
    q.SQL =
        QStringList{QStringLiteral("SELECT COUNT(*) AS N, MAX(DURS_ID_DOK) AS DURS_ID_DOK FROM REK2_ZBIR_HST "
                                   "WHERE ID_REK2_ZBIR=:ID_REK2_ZBIR")};
    q.DeclareAndSet(QStringLiteral("ID_REK2_ZBIR"), VarType::Integer, idZbir);
    q.Execute();
    if (q.FieldAsInteger(0) == 0)
        throw ReviewError(QStringLiteral("Zbirni %1 ni med oddanimi zbirnimi zapisi.").arg(idZbir));
    if (q.FieldAsInteger(0) > 1)
        throw ReviewError(QStringLiteral("Zbirni %1 je med oddanimi zbirnimi zapisi večkrat.").arg(idZbir));
    const QString stored = q.FieldAsString(1);
    if (!stored.isEmpty() && stored != number)
        throw ReviewError(QStringLiteral("Zbirni %1 že ima EDP številko %2.").arg(idZbir).arg(stored));
    const QString problem = documentNumberProblem(session, settings.DvsIzp, idZbir, number);
    if (!problem.isEmpty())
        throw ReviewError(problem);

    Transaction tx(session);
    q.Close();
    q.SQL = QStringList{
        QStringLiteral("UPDATE REK2_ZBIR_HST SET DURS_ID_DOK=:DURS_ID_DOK WHERE ID_REK2_ZBIR=:ID_REK2_ZBIR")};
    q.DeclareAndSet(QStringLiteral("DURS_ID_DOK"), VarType::String, number);
    q.Execute();
    const OnwardCopy done = copyOnward(session, idZbir, number);
    tx.commit();
    return done;
}

} // namespace rek2::review
