#include "tests/tools/BuilderTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tools/build/Builder.h"
#include "core/Error.h"
#include "core/EscapeQuotes.h"
#include "core/Compare.h"
#include "core/Find.h"
#include "core/PriceList.h"
#include "core/Search.h"

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

TEST_F(BuiltFile, eachLevelIsStoredOnce)
{
    EXPECT_EQ(scalar(db, QStringLiteral("select count(*) from subarticoli")).toInt(), 400);
    EXPECT_EQ(scalar(db, QStringLiteral("select count(*) from articoli")),
              scalar(db, QStringLiteral("select count(distinct mid(codice_totale,1,10)) from prezzario")));
    EXPECT_EQ(scalar(db, QStringLiteral("select count(*) from capitoli")),
              scalar(db, QStringLiteral("select count(distinct mid(codice_totale,1,6)) from prezzario")));
}

TEST_F(BuiltFile, theProgramsQueriesUseTheIndexes)
{
    // The plans below rest on the statistics the builder gathers.
    ASSERT_GT(scalar(db, QStringLiteral("select count(*) from sqlite_stat1")).toInt(), 0);
    // sequenza is the row id: the list order is the table's own order, with no sort step.
    EXPECT_FALSE(plan(QStringLiteral("select codice_totale from prezzario where ucase(subarticolo) like '*DI*' "
                                     "order by sequenza"))
                     .contains(QStringLiteral("TEMP B-TREE")));
    // The chapter search reads the chapters, in seq_capitolo's order, and only then their rows.
    const QString chapters = plan(QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo,"
                                                 "seq_capitolo,note_capitolo from prezzario where ucase(capitolo) "
                                                 "like '*DI*' order by seq_capitolo"));
    EXPECT_TRUE(chapters.startsWith(QStringLiteral("SCAN TABLE capitoli AS c USING INDEX ix_capitoli_seq_capitolo")))
        << chapters.toStdString();
    EXPECT_FALSE(chapters.contains(QStringLiteral("TEMP B-TREE")));
    EXPECT_TRUE(plan(QStringLiteral("select distinct(codice_sezione),sezione from prezzario order by codice_sezione"))
                    .contains(QStringLiteral("ix_sezioni_codice")));
    EXPECT_TRUE(plan(QStringLiteral("select codice_articolo,articolo,note_capitolo from prezzario where "
                                    "mid(codice_totale,1,6) ='01.A01' order by codice_articolo"))
                    .contains(QStringLiteral("ix_subarticoli_chiave_capitolo")));
    EXPECT_TRUE(plan(QStringLiteral("select codice_totale,subarticolo from prezzario where "
                                    "mid(codice_totale,1,10) ='01.A01.A01' order by codice_subarticolo"))
                    .contains(QStringLiteral("ix_subarticoli_chiave_articolo")));
    // A section's chapters come from the chapters, not from a walk of every subarticle.
    EXPECT_FALSE(plan(QStringLiteral("select distinct codice_capitolo, capitolo,seq_capitolo,note_sezione from "
                                     "prezzario where codice_sezione ='01' order by seq_capitolo"))
                     .contains(QStringLiteral("SCAN TABLE subarticoli")));
    EXPECT_TRUE(plan(QStringLiteral("select * from prezzario where codice_totale = '01.A01.A01.010'"))
                    .contains(QStringLiteral("ix_subarticoli_codice_totale")));
}

namespace {

// The layout of earlier builders: one table, every subarticle row repeating its section, chapter and article,
// keyed with the password itself.
constexpr const char* kEarlierLayout[] = {
    "create table vecchio.prezzario (sequenza integer primary key, codice_totale text not null, codice_sezione "
    "text not null, sezione text not null, note_sezione text, codice_capitolo text not null, codice_articolo text "
    "not null, capitolo text not null, note_capitolo text, seq_capitolo integer not null, codice_subarticolo text "
    "not null, articolo text not null, note_articolo text, note_subarticolo text, subarticolo text not null, "
    "simbolo text not null, prezzo_lordo real, incidenza_manodopera real, somma_manodopera real)",
    "insert into vecchio.prezzario select * from prezzario order by sequenza",
    "create table vecchio.anno_prezzario as select * from anno_prezzario",
    "create table vecchio.premesse as select * from premesse",
    "create table vecchio.manuale as select * from manuale",
    "create unique index vecchio.ix_prezzario_codice_totale on prezzario (codice_totale)",
    "create index vecchio.ix_prezzario_sezione_seq_capitolo on prezzario (codice_sezione, seq_capitolo)",
    "create index vecchio.ix_prezzario_seq_capitolo on prezzario (seq_capitolo)",
    "create index vecchio.ix_prezzario_sezione_nome on prezzario (codice_sezione, sezione)",
    "create index vecchio.ix_prezzario_chiave_capitolo on prezzario (mid(codice_totale,1,6))",
    "create index vecchio.ix_prezzario_chiave_articolo on prezzario (mid(codice_totale,1,10))",
    "analyze vecchio",
};

// The queries of the windows and the report, with codes of the demo list.
constexpr const char* kFixedQueries[] = {
    "select distinct(codice_sezione),sezione from prezzario order by codice_sezione",
    "select distinct codice_capitolo, capitolo,seq_capitolo,note_sezione from prezzario where codice_sezione "
    "='01' order by seq_capitolo",
    "select codice_articolo,articolo,note_capitolo from prezzario where mid(codice_totale,1,6) ='01.A01' order "
    "by codice_articolo",
    "select codice_totale,subarticolo,simbolo,prezzo_lordo,note_articolo,incidenza_manodopera,somma_manodopera "
    "from prezzario where mid(codice_totale,1,10) ='01.A01.A01' order by codice_subarticolo",
    "select codice_totale,subarticolo,simbolo,prezzo_lordo,note_articolo,incidenza_manodopera,somma_manodopera "
    "from prezzario where mid(codice_totale,1,10) ='01.A01.A01' order by sequenza",
    "select codice_sezione, sezione , codice_capitolo, capitolo, codice_articolo,articolo,seq_capitolo,"
    "note_articolo from prezzario where mid(codice_totale,1,6) = '01.A01' order by sequenza",
    "select codice_sezione, sezione , codice_capitolo, capitolo, codice_articolo,articolo,seq_capitolo,"
    "note_articolo from prezzario where codice_totale = '01.A01.A01.010' order by sequenza",
    "select mid(codice_totale,1,10),sezione,capitolo,articolo,seq_capitolo,note_capitolo,note_articolo from "
    "prezzario where mid(codice_totale,1,10) = '01.A01.A02' order by sequenza",
    "select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,somma_manodopera,seq_capitolo,"
    "sezione,capitolo,articolo,note_capitolo,note_articolo from prezzario where codice_totale = '01.A01.A02.010'",
    "select distinct seq_capitolo,codice_capitolo from prezzario where codice_sezione = '01' order by "
    "seq_capitolo",
    "select min(sequenza),mid(codice_totale,1,10) from prezzario where mid(codice_totale,1,10) = '01.A01.A02' "
    "group by mid(codice_totale,1,10)",
    "select max(sequenza),mid(codice_totale,1,10) from prezzario where mid(codice_totale,1,10) = '01.A01.A02' "
    "group by mid(codice_totale,1,10)",
    "select sequenza,codice_totale from prezzario where codice_totale = '01.A01.A01.020'",
    "select * from prezzario where codice_sezione = '01' and codice_capitolo ='A01' order by sequenza",
    "select * from prezzario where codice_sezione = '02' order by sequenza",
    "select note_sezione from prezzario where codice_sezione='02' order by sequenza",
    "select * from prezzario where mid(codice_totale,1,6) = '01.A02' order by sequenza",
};

QStringList programQueries()
{
    QStringList queries;
    for (const char* sql : kFixedQueries)
        queries << QString::fromLatin1(sql);
    for (const char* word : {"*DI*", "*CALCESTRUZZO*", "*A*O*", "[CS]?A*"}) {
        const QString pattern = QString::fromLatin1(word);
        for (const QString& section : {QString(), QStringLiteral(" and codice_sezione = '01'")}) {
            queries << QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo,seq_capitolo,"
                                      "note_capitolo from prezzario where ucase(capitolo) like '%1'%2 order by "
                                      "seq_capitolo")
                           .arg(pattern, section)
                    << QStringLiteral("select codice_sezione, sezione , codice_capitolo, capitolo, codice_articolo,"
                                      "articolo,seq_capitolo,note_articolo from prezzario where ucase(articolo) like "
                                      "'%1'%2 order by sequenza")
                           .arg(pattern, section)
                    << QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,"
                                      "somma_manodopera,seq_capitolo from prezzario where ucase(subarticolo) like "
                                      "'%1'%2 order by sequenza")
                           .arg(pattern, section);
        }
    }
    return queries;
}

// Every row a text search lists, with every field, for comparing two files.
QStringList textSearchRows(const core::Database& db, const QString& words, bool wholeList)
{
    core::SearchRequest request;
    request.mode = core::SearchMode::Text;
    request.sectionText = wholeList ? QStringLiteral("Tutto il prezzario") : QStringLiteral("01 - ");
    request.wholeList = wholeList;
    request.text = words;
    request.levels = {true, true, true};
    const core::PriceList list(core::Database::OpenDatabase(db.path(), QStringLiteral(";pwd=") + core::kDbPassword));
    const core::SearchResults results = core::runSearch(list, request).results;
    const auto text = [](const core::Text& t) { return t.isNull() ? QStringLiteral("<null>") : t.toString(); };
    const auto number = [](const std::optional<double>& n) { return n ? QString::number(*n) : QStringLiteral("<null>"); };
    QStringList rows;
    for (const core::ChapterResult& c : results.chapters)
        rows << QStringList{c.code, text(c.sezione), text(c.capitolo), text(c.note)}.join(u'|');
    for (const core::ArticleResult& a : results.articles)
        rows << QStringList{a.code, text(a.sezione), text(a.capitolo), text(a.articolo), text(a.note)}.join(u'|');
    for (const core::Subarticle& s : results.subarticles)
        rows << QStringList{s.code, text(s.subarticolo), text(s.simbolo), number(s.prezzoLordo),
                            number(s.incidenzaManodopera), number(s.sommaManodopera)}
                    .join(u'|');
    return rows;
}

QStringList columnNames(const core::Database& db, const QString& sql)
{
    const core::Recordset rs = db.OpenRecordset(sql);
    QStringList names;
    for (int i = 0; i < rs.FieldCount(); ++i)
        names << rs.FieldName(i);
    return names;
}

} // namespace

TEST_F(BuiltFile, aFileOfTheEarlierLayoutOpensAndAnswersEveryQueryAsThisOne)
{
    const QString earlier = QDir(s_dir->path()).filePath(QStringLiteral("Prezzario-vecchio.mdb"));
    {
        const core::Database source = core::Database::OpenDatabase(path(), QStringLiteral(";pwd=") + core::kDbPassword,
                                                                   core::Database::Mode::CreateWrite);
        source.Execute(QStringLiteral("attach database %1 as vecchio key %2")
                           .arg(core::SqlString(earlier), core::SqlString(core::kDbPassword)));
        source.Execute(QStringLiteral("pragma vecchio.cipher_page_size = 4096"));
        for (const char* sql : kEarlierLayout)
            source.Execute(QString::fromLatin1(sql));
        source.Execute(QStringLiteral("detach database vecchio"));
    }
    const core::Database old = openBuilt(earlier);
    const QStringList queries = programQueries();
    qsizetype rows = 0;
    for (const QString& sql : queries) {
        const QList<QVariantList> expected = readAll(old, sql);
        EXPECT_EQ(readAll(db, sql), expected) << sql.toStdString();
        EXPECT_EQ(columnNames(db, sql), columnNames(old, sql)) << sql.toStdString();
        rows += expected.size();
    }
    EXPECT_GT(rows, 2000); // the queries found rows to compare
    // The text search reads this layout's level tables, and the earlier one through its single table.
    qsizetype listed = 0;
    for (const char* words : {"di", "calcestruzzo", "a*o", "[cs]?a"}) {
        for (const bool wholeList : {true, false}) {
            const QStringList expected = textSearchRows(old, QString::fromLatin1(words), wholeList);
            EXPECT_EQ(textSearchRows(db, QString::fromLatin1(words), wholeList), expected) << words;
            listed += expected.size();
        }
    }
    EXPECT_GT(listed, 1000);
    // Trova's index reads the level tables too, and the earlier layout row by row.
    const auto findRows = [](const core::Database& file, const char* typed) {
        const core::PriceList list(core::Database::OpenDatabase(file.path(), QStringLiteral(";pwd=") + core::kDbPassword));
        const std::shared_ptr<const core::FindIndex> index = core::FindIndex::build(list);
        QStringList rows;
        const auto found = index->find(core::parseFindText(QString::fromUtf8(typed)), {});
        for (const std::int32_t item : found.value()) {
            QStringList cells{index->sectionCode(item), index->sezione(item).toString(), index->capitolo(item).toString()};
            for (int column = 0; column < core::kFindColumns; ++column)
                cells << index->cell(item, core::FindColumn(column));
            rows << cells.join(u'|');
        }
        return rows;
    };
    for (const char* typed : {"di", "calcestruzzo armato", "01.A0"}) {
        const QStringList expected = findRows(old, typed);
        EXPECT_EQ(findRows(db, typed), expected) << typed;
        EXPECT_FALSE(expected.isEmpty()) << typed;
    }
    // The two layouts of one list compare as one edition: every item the same.
    {
        const auto list = [](const core::Database& file) {
            return core::PriceList(core::Database::OpenDatabase(file.path(), QStringLiteral(";pwd=") + core::kDbPassword));
        };
        const core::Comparison same = core::compareEditions(list(old), list(db)).value();
        EXPECT_EQ(same.invariate, same.items.size());
        EXPECT_GT(same.invariate, 100);
    }
    QFile::remove(earlier);
}

TEST_F(BuiltFile, isEncryptedWithTheProgramsPassword)
{
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.read(16).startsWith("SQLite format 3"));
    EXPECT_THROW(core::Database::OpenDatabase(path(), QStringLiteral(";pwd=sbagliata")), core::DbError);
}

// A new file is keyed with 32 raw bytes taken from the password, on 64 KiB pages; the keying of earlier
// builders (a key derived from the password, 4 KiB pages) does not open it.
TEST_F(BuiltFile, isKeyedWithARawKeyOnLargePages)
{
    const QByteArray password = core::kDbPassword.toUtf8();
    const struct
    {
        QString key;
        int pageSize;
        bool opens;
    } cases[] = {
        {QStringLiteral("x'%1'").arg(
             QString::fromLatin1(QCryptographicHash::hash(password, QCryptographicHash::Sha256).toHex())),
         65536, true},
        {core::kDbPassword, 4096, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageSize);
        QTemporaryDir dir;
        const core::Database probe = core::Database::OpenDatabase(
            QDir(dir.path()).filePath(QStringLiteral("prova.mdb")), QStringLiteral(";pwd=") + core::kDbPassword,
            core::Database::Mode::CreateWrite);
        // The attached file is read as it is attached, with the process's default page size, set back after.
        const QVariant defaultPageSize = scalar(probe, QStringLiteral("pragma cipher_default_page_size"));
        probe.Execute(QStringLiteral("pragma cipher_default_page_size = %1").arg(c.pageSize));
        bool opened = true;
        try {
            probe.Execute(QStringLiteral("attach database %1 as costruito key %2")
                              .arg(core::SqlString(path()), core::SqlString(c.key)));
            probe.Execute(QStringLiteral("select count(*) from costruito.sqlite_master"));
        } catch (const core::DbError&) {
            opened = false;
        }
        probe.Execute(QStringLiteral("pragma cipher_default_page_size = %1").arg(defaultPageSize.toInt()));
        EXPECT_EQ(opened, c.opens);
    }
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
