#include "BuilderTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Builder.h"
#include "Error.h"

#include <gtest/gtest.h>

#include <memory>

using namespace buildertest;

namespace {

class BuiltFile : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<QTemporaryDir>();
        builder::buildDemo({400, 2021}, path());
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    static QString path() { return QDir(s_dir->path()).filePath(QStringLiteral("Prezzario.mdb")); }

    void SetUp() override { db = openBuilt(path()); }

    // The plan SQLite picks for a query, one line per step.
    QString plan(const QString& sql) const
    {
        QStringList steps;
        for (const QVariantList& row : readAll(db, QStringLiteral("explain query plan ") + sql))
            steps << row.last().toString();
        return steps.join(u'\n');
    }

    core::Database db;
    static inline std::unique_ptr<QTemporaryDir> s_dir;
};

} // namespace

TEST_F(BuiltFile, selectStarColumnsStandAtTheirPositions)
{
    const QStringList expected = {
        QStringLiteral("sequenza"),           QStringLiteral("codice_totale"),
        QStringLiteral("codice_sezione"),     QStringLiteral("sezione"),
        QStringLiteral("note_sezione"),       QStringLiteral("codice_capitolo"),
        QStringLiteral("codice_articolo"),    QStringLiteral("capitolo"),
        QStringLiteral("note_capitolo"),      QStringLiteral("seq_capitolo"),
        QStringLiteral("codice_subarticolo"), QStringLiteral("articolo"),
        QStringLiteral("note_articolo"),      QStringLiteral("note_subarticolo"),
        QStringLiteral("subarticolo"),        QStringLiteral("simbolo"),
        QStringLiteral("prezzo_lordo"),       QStringLiteral("incidenza_manodopera"),
        QStringLiteral("somma_manodopera"),
    };
    core::Recordset rs = db.OpenRecordset(QStringLiteral("select * from prezzario order by sequenza"));
    ASSERT_EQ(rs.FieldCount(), int(expected.size()));
    for (int i = 0; i < rs.FieldCount(); ++i)
        EXPECT_EQ(rs.FieldName(i), expected[i]) << i;
    EXPECT_EQ(rs.Fields(0).Value().toLongLong(), 1);
    EXPECT_EQ(rs.Fields(1).Value().toString(), QStringLiteral("01.A01.A01.010"));
}

TEST_F(BuiltFile, staysInRollbackJournalMode)
{
    EXPECT_EQ(scalar(db, QStringLiteral("pragma journal_mode")).toString(), QStringLiteral("delete"));
}

TEST_F(BuiltFile, holdsTheIndexesTheQueriesNeed)
{
    const auto indexes = readAll(db, QStringLiteral("select name, sql from sqlite_master where type = 'index' "
                                                    "and tbl_name = 'prezzario'"));
    QStringList definitions;
    for (const QVariantList& index : indexes)
        definitions << index[1].toString();
    const QString all = definitions.join(u'\n');
    EXPECT_EQ(indexes.size(), 6);
    EXPECT_TRUE(all.contains(QStringLiteral("UNIQUE INDEX ix_prezzario_codice_totale on prezzario (codice_totale)")));
    EXPECT_TRUE(all.contains(QStringLiteral("on prezzario (codice_sezione, seq_capitolo)")));
    EXPECT_TRUE(all.contains(QStringLiteral("on prezzario (codice_sezione, sezione)")));
    EXPECT_TRUE(all.contains(QStringLiteral("on prezzario (seq_capitolo)")));
    EXPECT_TRUE(all.contains(QStringLiteral("(mid(codice_totale,1,6))")));
    EXPECT_TRUE(all.contains(QStringLiteral("(mid(codice_totale,1,10))")));
    EXPECT_GT(scalar(db, QStringLiteral("select count(*) from sqlite_stat1")).toInt(), 0);
}

TEST_F(BuiltFile, theProgramsQueriesUseTheIndexes)
{
    // sequenza is the row id: the list order is the table's own order, with no sort step.
    EXPECT_FALSE(plan(QStringLiteral("select codice_totale from prezzario where ucase(subarticolo) like '*DI*' "
                                     "order by sequenza"))
                     .contains(QStringLiteral("TEMP B-TREE")));
    // The chapter search over the whole list walks seq_capitolo's index instead of sorting its matches.
    EXPECT_FALSE(plan(QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo,seq_capitolo,"
                                     "note_capitolo from prezzario where ucase(capitolo) like '*DI*' "
                                     "order by seq_capitolo"))
                     .contains(QStringLiteral("TEMP B-TREE")));
    EXPECT_TRUE(plan(QStringLiteral("select distinct(codice_sezione),sezione from prezzario order by codice_sezione"))
                    .contains(QStringLiteral("COVERING INDEX ix_prezzario_sezione_nome")));
    EXPECT_TRUE(plan(QStringLiteral("select codice_articolo,articolo,note_capitolo from prezzario where "
                                    "mid(codice_totale,1,6) ='01.A01' order by codice_articolo"))
                    .contains(QStringLiteral("ix_prezzario_chiave_capitolo")));
    EXPECT_TRUE(plan(QStringLiteral("select codice_totale,subarticolo from prezzario where "
                                    "mid(codice_totale,1,10) ='01.A01.A01' order by codice_subarticolo"))
                    .contains(QStringLiteral("ix_prezzario_chiave_articolo")));
    EXPECT_TRUE(plan(QStringLiteral("select distinct codice_capitolo, capitolo,seq_capitolo,note_sezione from "
                                    "prezzario where codice_sezione ='01' order by seq_capitolo"))
                    .contains(QStringLiteral("ix_prezzario_sezione_seq_capitolo")));
    EXPECT_TRUE(plan(QStringLiteral("select * from prezzario where codice_totale = '01.A01.A01.010'"))
                    .contains(QStringLiteral("ix_prezzario_codice_totale")));
}

TEST_F(BuiltFile, isEncryptedWithTheProgramsPassword)
{
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.read(16).startsWith("SQLite format 3"));
    EXPECT_THROW(core::Database::OpenDatabase(path(), QStringLiteral(";pwd=sbagliata")), core::DbError);
}

TEST_F(BuiltFile, leavesOnlyTheDatabaseInItsFolder)
{
    EXPECT_EQ(filesIn(s_dir->path()), QStringList{QStringLiteral("Prezzario.mdb")});
}

TEST(BuildTarget, replacesAnExistingFileWhenComplete)
{
    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath(QStringLiteral("Prezzario.mdb"));
    writeCsvFolder(dir.path(), {{QStringLiteral("Prezzario.mdb"), QByteArray("un file qualsiasi")}});
    builder::buildDemo({30, 2021}, out);
    EXPECT_EQ(scalar(openBuilt(out), QStringLiteral("select count(*) from prezzario")).toInt(), 30);
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("Prezzario.mdb")});
}

TEST(BuildTarget, aFailureWhilePlacingTheFileRemovesTheTemporaryFile)
{
    // A directory in the way of the output lets the whole build run and fail only at the final rename.
    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath(QStringLiteral("Prezzario.mdb"));
    ASSERT_TRUE(QDir().mkpath(QDir(out).filePath(QStringLiteral("dentro"))));
    try {
        builder::buildDemo({30, 2021}, out);
        FAIL() << "the build should fail";
    } catch (const builder::BuildError& e) {
        EXPECT_TRUE(e.text().contains(out)) << e.text().toStdString();
    }
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

TEST(BuildTarget, anUnwritableFolderIsReportedWithItsPath)
{
    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath(QStringLiteral("manca/Prezzario.mdb"));
    try {
        builder::buildDemo({30, 2021}, out);
        FAIL() << "the build should fail";
    } catch (const builder::BuildError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("manca"))) << e.text().toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}
