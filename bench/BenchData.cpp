#include "BenchData.h"

#include "Builder.h"
#include "Database.h"
#include "PriceList.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace benchdata {

namespace {

// The newest index the builder makes: a list without it comes from an older builder.
bool isCurrent(const QString& list)
{
    if (!QFile::exists(list))
        return false;
    const core::Database db = core::Database::OpenDatabase(list, QStringLiteral(";pwd=") + core::kDbPassword);
    return !db.OpenRecordset(QStringLiteral("select name from sqlite_master where name = 'ix_prezzario_seq_capitolo'"))
                .Eof();
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

} // namespace benchdata
