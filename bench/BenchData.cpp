#include "BenchData.h"

#include "Builder.h"
#include "Database.h"
#include "Error.h"
#include "PriceList.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <stdexcept>

namespace benchdata {

namespace {

// A list of an older builder lacks the newest table, or does not open with today's keying.
bool isCurrent(const QString& list)
{
    if (!QFile::exists(list))
        return false;
    try {
        const core::Database db = core::Database::OpenDatabase(list, QStringLiteral(";pwd=") + core::kDbPassword);
        return !db.OpenRecordset(QStringLiteral("select name from sqlite_master where name = 'subarticoli'")).Eof();
    } catch (const core::DbError&) {
        return false;
    }
}

} // namespace

QString path(const QString& name)
{
    QDir().mkpath(QStringLiteral(PREZZARIO_BENCH_DATA));
    return QDir(QStringLiteral(PREZZARIO_BENCH_DATA)).filePath(name);
}

QString demoList(qint64 rows)
{
    const QString list = path(QStringLiteral("Prezzario-%1.mdb").arg(rows));
    if (isCurrent(list))
        return list;
    for (const char* derived : {"Prezzario-%1-plain.db", "search-%1.csv", "subarticolo-%1.csv"})
        QFile::remove(path(QString::fromLatin1(derived).arg(rows)));
    QFile::remove(list);
    std::fprintf(stderr, "building %lld-row demo list...\n", static_cast<long long>(rows));
    builder::buildDemo(builder::DemoOptions{rows, 2021}, list);
    return list;
}

QString searchedColumns(qint64 rows)
{
    const QString list = demoList(rows); // first: a list built again takes its CSV with it
    const QString csv = path(QStringLiteral("search-%1.csv").arg(rows));
    if (QFile::exists(csv))
        return csv;
    const QString part = csv + QStringLiteral(".part");
    QFile file(part);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write the CSV");
    const core::Database db =
        core::Database::OpenDatabase(list, QStringLiteral(";pwd=") + core::kDbPassword);
    QByteArray line;
    for (core::Recordset rs =
             db.OpenRecordset(QStringLiteral("select capitolo,articolo,subarticolo from prezzario order by sequenza"));
         !rs.Eof(); rs.MoveNext()) {
        line.clear();
        for (int i = 0; i < 3; ++i)
            line += (i ? ",\"" : "\"") + rs.Utf8(i).toByteArray().replace('"', "\"\"") + '"';
        line += '\n';
        file.write(line);
    }
    file.close();
    if (!QFile::rename(part, csv))
        throw std::runtime_error("cannot move the CSV into place");
    return csv;
}

QStringList textSearchQueries(const char* word, bool programDialect)
{
    const QString pattern = QString::fromUtf8(word).toUpper();
    const QString upper = programDialect ? QStringLiteral("ucase(") : QStringLiteral("upper(");
    const QString any = programDialect ? QStringLiteral("*") : QStringLiteral("%");
    const QString where = QStringLiteral(" like '") + any + pattern + any + QStringLiteral("'");
    return {
        QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo,seq_capitolo,note_capitolo from "
                       "prezzario where ") +
            upper + QStringLiteral("capitolo)") + where + QStringLiteral(" order by seq_capitolo"),
        QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo, codice_articolo,articolo,"
                       "seq_capitolo,note_articolo from prezzario where ") +
            upper + QStringLiteral("articolo)") + where + QStringLiteral(" order by sequenza"),
        QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,somma_manodopera,"
                       "seq_capitolo from prezzario where ") +
            upper + QStringLiteral("subarticolo)") + where + QStringLiteral(" order by sequenza"),
    };
}

} // namespace benchdata
