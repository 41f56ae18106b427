#include "tools/build/readers/CsvReader.h"
#include "tests/support/EditionPair.h"
#include "core/Find.h"
#include "tests/support/Fixture.h"
#include "core/PriceList.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <ostream>
#include <span>
#include <string_view>

// prezzario-query run as a user runs it, on a list built for the file, its output read back by a CSV reader,
// a JSON parser and a TSV split.

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr std::string_view kColumns[] = {
    "livello",   "codice", "sezione", "capitolo", "articolo", "subarticolo", "unita", "prezzo", "incidenza_manodopera",
    "manodopera"};

// The list, in list order:
//   01 Opere edili  B01 (chapter position 1) Conglomerati cementizi   A01 010 020, A02 010
//                   A01 (2) Scavi e movimenti di terra                A01 010 020
//   02 Restauro     C01 (3) Consolidamenti                            A01 010
// Chapter B01 comes before A01; the texts hold a quote, a comma, a line break, a tab and a backslash; the
// numbers include 3.3935000000000004, a whole 2021, a 12.50, and Nulls; one unit is empty text.
fixture::Tables queryTables()
{
    struct Line
    {
        const char* section;
        const char* sectionName;
        const char* chapter;
        qint64 chapterSeq;
        const char* chapterName;
        const char* article;
        const char* articleName;
        const char* sub;
        const char* subName;
        const char* unit;
        std::optional<QString> price, share, amount;
    };
    const Line lines[] = {
        {"01", "Opere edili", "B01", 1, "Conglomerati cementizi", "A01", "Calcestruzzo per fondazioni", "010",
         "classe C25/30", "m³", QStringLiteral("12.34"), QStringLiteral("27.5"), QStringLiteral("3.3935000000000004")},
        {"01", "Opere edili", "B01", 1, "Conglomerati cementizi", "A01", "Calcestruzzo per fondazioni", "020",
         "con \"fibre\", armato", "m³", QStringLiteral("2021"), std::nullopt, std::nullopt},
        {"01", "Opere edili", "B01", 1, "Conglomerati cementizi", "A02", "Magrone di sottofondazione", "010",
         "spessore 10 cm", "", QStringLiteral("12.50"), QStringLiteral("30"), QStringLiteral("3.75")},
        {"01", "Opere edili", "A01", 2, "Scavi e movimenti di terra", "A01", "Scavo di sbancamento", "010",
         "in roccia\r\ncompatta", "m³", QStringLiteral("1234.56"), QStringLiteral("0.5"), QStringLiteral("6.1728")},
        {"01", "Opere edili", "A01", 2, "Scavi e movimenti di terra", "A01", "Scavo di sbancamento", "020",
         "a mano\tcon attrezzi \\ leggeri", "m³", QStringLiteral("45"), QStringLiteral("60"), QStringLiteral("27")},
        {"02", "Restauro", "C01", 3, "Consolidamenti", "A01", "Iniezioni di malta", "010", "a base di calce", "kg",
         QStringLiteral("8.9"), QStringLiteral("40"), QStringLiteral("3.56")},
    };
    fixture::Tables tables;
    qint64 sequenza = 0;
    for (const Line& line : lines) {
        fixture::Row r;
        r.sequenza = ++sequenza;
        r.sezione_codice = QString::fromUtf8(line.section);
        r.sezione = QString::fromUtf8(line.sectionName);
        r.capitolo_codice = QString::fromUtf8(line.chapter);
        r.seq_capitolo = line.chapterSeq;
        r.capitolo = QString::fromUtf8(line.chapterName);
        r.articolo_codice = QString::fromUtf8(line.article);
        r.articolo = QString::fromUtf8(line.articleName);
        r.subarticolo_codice = QString::fromUtf8(line.sub);
        r.subarticolo = QString::fromUtf8(line.subName);
        r.simbolo = QString::fromUtf8(line.unit);
        r.prezzo_lordo = line.price;
        r.incidenza_manodopera = line.share;
        r.somma_manodopera = line.amount;
        tables.rows << r;
    }
    return tables;
}

using Rows = QList<QStringList>;

QStringList chapter(const char* code, const char* sezione, const char* capitolo)
{
    return {QStringLiteral("capitolo"),
            QString::fromUtf8(code),
            QString::fromUtf8(sezione),
            QString::fromUtf8(capitolo),
            {},
            {},
            {},
            {},
            {},
            {}};
}

QStringList article(const char* code, const char* sezione, const char* capitolo, const char* articolo)
{
    return {QStringLiteral("articolo"),
            QString::fromUtf8(code),
            QString::fromUtf8(sezione),
            QString::fromUtf8(capitolo),
            QString::fromUtf8(articolo),
            {},
            {},
            {},
            {},
            {}};
}

QStringList subarticle(const char* code, const char* text, const char* unit, const char* price, const char* share,
                       const char* amount)
{
    return {QStringLiteral("subarticolo"),
            QString::fromUtf8(code),
            {},
            {},
            {},
            QString::fromUtf8(text),
            QString::fromUtf8(unit),
            QString::fromUtf8(price),
            QString::fromUtf8(share),
            QString::fromUtf8(amount)};
}

const QStringList kChapterB01 = chapter("01.B01", "Opere edili", "Conglomerati cementizi");
const QStringList kChapterA01 = chapter("01.A01", "Opere edili", "Scavi e movimenti di terra");
const QStringList kChapterC01 = chapter("02.C01", "Restauro", "Consolidamenti");
const QStringList kArticleB01A01 =
    article("01.B01.A01", "Opere edili", "Conglomerati cementizi", "Calcestruzzo per fondazioni");
const QStringList kArticleB01A02 =
    article("01.B01.A02", "Opere edili", "Conglomerati cementizi", "Magrone di sottofondazione");
const QStringList kArticleA01A01 =
    article("01.A01.A01", "Opere edili", "Scavi e movimenti di terra", "Scavo di sbancamento");
const QStringList kSub1 = subarticle("01.B01.A01.010", "classe C25/30", "m³", "12.34", "27.5", "3.3935");
const QStringList kSub2 = subarticle("01.B01.A01.020", "con \"fibre\", armato", "m³", "2021", "", "");
const QStringList kSub3 = subarticle("01.B01.A02.010", "spessore 10 cm", "", "12.5", "30", "3.75");
const QStringList kSub4 = subarticle("01.A01.A01.010", "in roccia\r\ncompatta", "m³", "1234.56", "0.5", "6.1728");
const QStringList kSub5 = subarticle("01.A01.A01.020", "a mano\tcon attrezzi \\ leggeri", "m³", "45", "60", "27");
const QStringList kSub6 = subarticle("02.C01.A01.010", "a base di calce", "kg", "8.9", "40", "3.56");

struct QueryRun
{
    int status = -1;
    QByteArray out;
    QString err;
};

QueryRun runQuery(const QStringList& arguments, const QString& program = QStringLiteral(PREZZARIO_QUERY_EXE))
{
    QProcess process;
    process.start(program, arguments);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    QueryRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Each reader gives Null as a null QString and an empty text as an empty one.
Rows readCsvColumns(const QByteArray& output, std::span<const std::string_view> columns)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("risultati.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(output) != output.size())
        throw std::runtime_error("cannot write the output");
    file.close();
    builder::CsvReader reader(path);
    reader.setControlCharactersAllowed(true);
    reader.readHeader(columns);
    Rows rows;
    while (reader.next()) {
        QStringList row;
        for (int i = 0; i < int(columns.size()); ++i) {
            const builder::Field field = reader.field(i);
            row << (field.kind == builder::Field::Kind::Null ? QString() : field.text);
        }
        rows << row;
    }
    return rows;
}

Rows readCsv(const QByteArray& output)
{
    return readCsvColumns(output, kColumns);
}

// Rows end at any line break, as TSV readers take them: a carriage return left in a text would split its row.
Rows readTsv(const QByteArray& output)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = QString::fromUtf8(output).split(lineBreak);
    EXPECT_EQ(lines.takeLast(), QString()) << "the last line ends with a line feed";
    QStringList header;
    for (const std::string_view name : kColumns)
        header << QString::fromLatin1(name.data(), qsizetype(name.size()));
    EXPECT_EQ(lines.value(0), header.join(u'\t'));
    Rows rows;
    for (const QString& line : lines.mid(1)) {
        QStringList row;
        for (const QString& field : line.split(u'\t')) {
            QString text;
            for (qsizetype i = 0; i < field.size(); ++i) {
                if (field[i] != u'\\' || i + 1 == field.size()) {
                    text += field[i];
                    continue;
                }
                const QChar escaped = field[++i];
                text += escaped == u't' ? u'\t' : escaped == u'n' ? u'\n' : escaped == u'r' ? u'\r' : escaped;
            }
            row << text;
        }
        rows << row;
    }
    return rows;
}

// Numbers come back in their shortest exact form, so that 3.3935000000000004 cannot pass for 3.3935.
Rows readJson(const QByteArray& output)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(output, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_TRUE(document.isArray());
    Rows rows;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject object = value.toObject();
        EXPECT_EQ(object.size(), qsizetype(std::size(kColumns)));
        QStringList row;
        int column = 0;
        for (const std::string_view name : kColumns) {
            const QJsonValue cell = object.value(QLatin1String(name.data(), qsizetype(name.size())));
            const bool numeric = column >= 7;
            if (cell.isDouble() && numeric)
                row << QString::number(cell.toDouble(), 'g', QLocale::FloatingPointShortest);
            else if (cell.isString() && !numeric)
                row << cell.toString();
            else if (cell.isNull())
                row << QString();
            else
                ADD_FAILURE() << "column " << name << " holds the wrong kind of value";
            ++column;
        }
        rows << row;
    }
    return rows;
}

struct Format
{
    const char* name;
    Rows (*read)(const QByteArray&);
};
const Format kFormats[] = {{"csv", readCsv}, {"tsv", readTsv}, {"json", readJson}};

QStringList withFormat(QStringList arguments, const Format& format)
{
    if (QLatin1String(format.name) != QLatin1String("csv"))
        arguments << QStringLiteral("--format") << QString::fromLatin1(format.name);
    return arguments;
}

class Query : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_folder = new fixture::PriceListFolder(queryTables()); }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }

    static QueryRun search(const QStringList& arguments)
    {
        return runQuery(QStringList{QStringLiteral("--database"), s_folder->database(), QStringLiteral("search")} +
                        arguments);
    }

    static QueryRun find(const QStringList& arguments)
    {
        return runQuery(QStringList{QStringLiteral("--database"), s_folder->database(), QStringLiteral("find")} +
                        arguments);
    }

    static fixture::PriceListFolder* s_folder;
};

fixture::PriceListFolder* Query::s_folder = nullptr;

QStringList words(const char* line)
{
    return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

TEST_F(Query, searchesListTheWindowsRowsInOrderInEachFormat)
{
    struct Case
    {
        const char* arguments;
        Rows rows;
    };
    const Case cases[] = {
        // The whole list, every level; lower case finds upper case.
        {"--text ca --levels capitoli,articoli,subarticoli", {kChapterA01, kArticleB01A01, kArticleA01A01, kSub6}},
        // Chapters in the list's order, not their codes'.
        {"--text ti --levels capitoli", {kChapterB01, kChapterA01, kChapterC01}},
        {"--text ca --levels subarticoli,articoli --section 01", {kArticleB01A01, kArticleA01A01}},
        {"--text ca --levels subarticoli --section 02", {kSub6}},
        {"--article 01.b01.a01", {kChapterB01, kArticleB01A01, kSub1, kSub2}},
        {"--subarticle 01.A01.A01.010", {kChapterA01, kArticleA01A01, kSub4}},
        {"--range 01.B01 01.A01",
         {kChapterB01, kChapterA01, kArticleB01A01, kArticleB01A02, kArticleA01A01, kSub1, kSub2, kSub3, kSub4, kSub5}},
        {"--range 01.a01 01.a01", {kChapterA01, kArticleA01A01, kSub4, kSub5}},
        {"--range 01.B01.A02 01.A01.A01",
         {kChapterB01, kChapterA01, kArticleB01A02, kArticleA01A01, kSub3, kSub4, kSub5}},
        {"--range 01.B01.A01.020 01.B01.A02.010", {kChapterB01, kArticleB01A01, kArticleB01A02, kSub2, kSub3}},
    };
    for (const Case& c : cases) {
        for (const Format& format : kFormats) {
            SCOPED_TRACE(std::string(c.arguments) + " --format " + format.name);
            const QueryRun run = search(withFormat(words(c.arguments), format));
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.err, QString());
            EXPECT_EQ(format.read(run.out), c.rows);
        }
    }
}

TEST_F(Query, nullAndEmptyTextStayApartInCsvAndJson)
{
    for (const Format& format : {kFormats[0], kFormats[2]}) {
        const Rows rows = format.read(search(withFormat(words("--range 01.B01.A01.020 01.B01.A02.010"), format)).out);
        ASSERT_EQ(rows.size(), 5) << format.name;
        EXPECT_TRUE(rows[3][8].isNull()) << format.name << ": a Null labour share";
        EXPECT_TRUE(rows[0][4].isNull()) << format.name << ": a chapter has no article";
        EXPECT_FALSE(rows[4][6].isNull()) << format.name << ": an empty unit";
        EXPECT_TRUE(rows[4][6].isEmpty()) << format.name;
    }
}

TEST_F(Query, theWindowsWarningsEndWithStatusTwo)
{
    struct Case
    {
        QStringList arguments;
        const char* message;
    };
    const Case cases[] = {
        {words("--text a --levels capitoli"),
         "Inserire un Elemento di almeno 2 caratteri prima di procedere con la ricerca"},
        // The text is checked before the levels, as the window does.
        {words("--text a"), "Inserire un Elemento di almeno 2 caratteri prima di procedere con la ricerca"},
        {words("--text scavo"),
         "Selezionare almeno una scelta fra Capitoli/Articoli/Subarticoli prima di procedere con la ricerca"},
        {{QStringLiteral("--text"), QStringLiteral("scavo"), QStringLiteral("--levels"), QStringLiteral("capitoli"),
          QStringLiteral("--section"), QString()},
         "Selezionare una Sezione prima di procedere con la ricerca elemento"},
        {words("--article .A01.A01"), "Selezionare una Sezione prima di procedere con la ricerca articolo"},
        {words("--article 01.A1.A01"), "I Codici Capitolo e Articolo devono avere una lunghezza di 3 caratteri ed "
                                       "essere composti da una lettera e due numeri. Es. : 'A01'"},
        {words("--subarticle 01.A01.A01.01"), "Il Codice Subarticolo devono avere una lunghezza di 3 caratteri."},
        {words("--range 01.A01 01.A01.A01"), "Ricerca possibile solo fra elementi dello stesso tipo "
                                             "(Capitolo-Capitolo, Articolo-Articolo, Subarticolo-Subarticolo)"},
        // Checks the run makes against the list.
        {words("--range 01.A01 01.B01"), "Il Codice Capitolo di arrivo deve essere successivo nell'ordine del "
                                         "prezzario al Codice Capitolo di partenza"},
        {words("--range 01.Z99 01.A01"), "Codice Capitolo di partenza inesistente"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const QueryRun run = search(c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, QStringLiteral("prezzario-query: ") + QString::fromUtf8(c.message) + u'\n');
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST_F(Query, nothingFoundEndsWithStatusOneAndNoRows)
{
    for (const Format& format : kFormats) {
        SCOPED_TRACE(format.name);
        const QueryRun run = search(withFormat(words("--text zzz --levels capitoli,articoli,subarticoli"), format));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, QStringLiteral("prezzario-query: LA RICERCA NON HA FORNITO RISULTATI\n"));
        EXPECT_EQ(format.read(run.out), Rows());
    }
}

TEST_F(Query, badUsageEndsWithStatusTwoAndTheUsageLine)
{
    const QList<QStringList> wrong = {
        {},
        words("--colore search --text scavo"),
        words("search --text scavo --colore"),
        words("cerca --text scavo"),
        words("search"),
        words("search --text"),
        words("search --text scavo --article 01.A01.A01"),
        words("search --text scavo --text scavi"),
        words("search --text scavo --levels capitoli,voci"),
        words("search --text scavo --levels capitoli --format xml"),
        words("search --article 01.A01"),
        words("search --subarticle 01.A01.A01"),
        words("search --article 01.A01.A01 --section 01"),
        words("search --range 01.A01"),
        words("search --range 01 01.A02"),
        words("search --range 01.A01.A01.010.1 01.A02.A01.010.1"),
        words("search --range 01.A01 02.A01"),
        words("search --text scavo --levels capitoli avanzo"),
    };
    for (const QStringList& arguments : wrong) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const QueryRun run = runQuery(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("prezzario-query: "))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("\nUso: prezzario-query "))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_EQ(runQuery({QStringLiteral("--help")}).status, 0);
}

TEST_F(Query, aListThatCannotBeOpenedIsNamedWithStatusTwo)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("Mancante.mdb"));
    const QString notAList = dir.filePath(QStringLiteral("Testo.mdb"));
    QFile text(notAList);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("non è un prezzario\n");
    text.close();
    for (const QString& path : {missing, notAList, dir.path()}) {
        SCOPED_TRACE(path.toStdString());
        const QueryRun run =
            runQuery({QStringLiteral("--database"), path, QStringLiteral("search"), QStringLiteral("--text"),
                      QStringLiteral("scavo"), QStringLiteral("--levels"), QStringLiteral("capitoli")});
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("prezzario-query: "))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(u"«" + path + u"»")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

// The list of the folder the program really lives in, even when it is started through a link from elsewhere,
// as the installed link on the PATH starts it.
TEST_F(Query, withoutDatabaseTheListBesideTheProgramIsRead)
{
    QTemporaryDir application;
    QTemporaryDir path;
    const QString program = application.filePath(QStringLiteral("prezzario-query"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PREZZARIO_QUERY_EXE), program));
    ASSERT_TRUE(QFile::copy(s_folder->database(), application.filePath(core::kDatabaseFileName)));
    const QString link = path.filePath(QStringLiteral("prezzario-query"));
    ASSERT_TRUE(QFile::link(program, link));
    const QueryRun run = runQuery(words("search --subarticle 02.C01.A01.010"), link);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(readCsv(run.out),
              (Rows{kChapterC01, article("02.C01.A01", "Restauro", "Consolidamenti", "Iniezioni di malta"), kSub6}));
}

// find lists what Trova's index finds, in its order, each item with the texts of its levels.
TEST_F(Query, findListsWhatTheFindIndexFinds)
{
    const core::PriceList list = core::PriceList::open(s_folder->database());
    const std::shared_ptr<const core::FindIndex> index = core::FindIndex::build(list);
    struct Case
    {
        const char* arguments;
        const char* typed;
        core::FindFilter filter;
    };
    const core::Text m3 = core::Text::fromString(QStringLiteral("m³"));
    const Case cases[] = {
        {"calcestruzzo", "calcestruzzo", {}},
        // Every word counts, not only the first.
        {"calcestruzzo FIBRE", "fibre calcestruzzo", {}},
        // A code at the start of any of its segments.
        {"a01.010", "A01.010", {}},
        {"--section 02", "", {QStringLiteral("02"), {}, {}, {}}},
        {"di --unit m³", "di", {{}, m3, {}, {}}},
        // Both separators, bounds included.
        {"--min 12,34 --max 1234.56", "", {{}, {}, 12.34, 1234.56}},
        {"zzz", "zzz", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const std::vector<std::int32_t> items = *index->find(core::parseFindText(QString::fromUtf8(c.typed)), c.filter);
        const QueryRun run = find(words(c.arguments));
        EXPECT_EQ(run.status, items.empty() ? 1 : 0) << run.err.toStdString();
        Rows expected;
        for (const std::int32_t item : items) {
            expected << QStringList{index->code(item), index->sezione(item).toString(),
                                    index->capitolo(item).toString(), index->articolo(item).toString()};
        }
        Rows printed;
        for (const QStringList& row : readCsv(run.out))
            printed << row.mid(1, 4);
        EXPECT_EQ(printed, expected);
    }
}

TEST_F(Query, findRefusesABadPriceOrNothingToFind)
{
    for (const char* arguments : {"scavo --min abc", "scavo --min -3", "scavo --max 12,5.0", "", ","}) {
        SCOPED_TRACE(arguments);
        const QueryRun run = find(words(arguments));
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("prezzario-query: "))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

// compare on two editions built for the file: every item once, with its state, in the newer's code order and then
// the removed ones in the older's.
TEST(QueryCompare, listsEveryItemWithItsStateInCodeOrder)
{
    const fixture::PriceListFolder older(fixture::olderEdition());
    const fixture::PriceListFolder newer(fixture::newerEdition());
    constexpr std::string_view columns[] = {"stato", "codice_vecchio", "codice_nuovo", "descrizione",
                                            "unita", "prezzo_vecchio", "prezzo_nuovo", "variazione_percentuale"};
    const char* const expected[][8] = {
        {"invariata", "01.A01.A01.010", "01.A01.A01.010", "Scavo – in terreno vegetale", "m³", "10", "10", "0"},
        {"variata", "01.A01.A01.020", "01.A01.A01.020", "Scavo – in terreno sciolto", "m³", "20", "22", "10"},
        {"variata", "01.A01.A01.030", "01.A01.A01.030", "Scavo – in terreno compatto", "m²", "30", "30", "0"},
        {"variata", "01.A01.A01.040", "01.A01.A01.040", "Scavo – in terreno roccioso", "m³", "", "40", ""},
        {"invariata", "01.A01.A01.050", "01.A01.A01.050", "Scavo – In  roccia, compattà.", "m³", "50", "50", "0"},
        {"variata", "01.A01.A01.060", "01.A01.A01.060", "Scavo – in acqua salata", "m³", "60", "66", "10"},
        {"ricodificata", "01.A01.A02.010", "01.A01.A03.010", "Demolizione – di muratura in mattoni", "m³", "100", "120",
         "20"},
        {"nuova", "", "01.A01.A05.010", "Trasporto – a discarica", "t", "", "14", ""},
        {"nuova", "", "01.A01.A07.010", "Ponteggio – metallico", "m", "", "7", ""},
        {"nuova", "", "02.B01.A01.010", "Pavimento – in gres", "m²", "", "35", ""},
        {"variata", "04.D01.A01.010", "04.D01.A01.010", "Tinteggiatura – a tempera", "m²", "8", "10", "25"},
        {"eliminata", "01.A01.A04.010", "", "Trasporto – a discarica", "t", "12", "", ""},
        {"eliminata", "01.A01.A04.020", "", "Trasporto – a discarica", "t", "13", "", ""},
        {"eliminata", "01.A01.A06.010", "", "Ponteggio – metallico", "m²", "7", "", ""},
        {"eliminata", "03.C01.A01.010", "", "Intonaco – di calce", "m²", "15", "", ""},
    };
    Rows rows;
    for (const auto& line : expected) {
        QStringList row;
        for (const char* cell : line)
            row << QString::fromUtf8(cell);
        rows << row;
    }
    const QueryRun run = runQuery({QStringLiteral("compare"), older.database(), newer.database()});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(readCsvColumns(run.out, columns), rows);

    // --out writes the same rows to a file, and nothing on the standard output.
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("confronto.csv"));
    const QueryRun written =
        runQuery({QStringLiteral("compare"), older.database(), newer.database(), QStringLiteral("--out"), out});
    EXPECT_EQ(written.status, 0) << written.err.toStdString();
    EXPECT_TRUE(written.out.isEmpty());
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), run.out);

    // A workbook is asked for by --format xlsx or by the name of --out; its rows are the export's, tested there.
    const QString workbook = dir.filePath(QStringLiteral("confronto.xlsx"));
    const QueryRun xlsx =
        runQuery({QStringLiteral("compare"), older.database(), newer.database(), QStringLiteral("--out"), workbook});
    EXPECT_EQ(xlsx.status, 0) << xlsx.err.toStdString();
    QFile book(workbook);
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    EXPECT_TRUE(book.read(2) == "PK");
    const QueryRun toScreen = runQuery(
        {QStringLiteral("compare"), older.database(), newer.database(), QStringLiteral("--format"), QStringLiteral("xlsx")});
    EXPECT_EQ(toScreen.status, 2);
    EXPECT_TRUE(toScreen.err.contains(u"--out")) << toScreen.err.toStdString();
}

TEST(QueryCompare, refusesOneFileTwiceOrAFileThatIsNoList)
{
    const fixture::PriceListFolder list(fixture::olderEdition());
    QTemporaryDir dir;
    const QString notAList = dir.filePath(QStringLiteral("Testo.mdb"));
    QFile text(notAList);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("non è un prezzario\n");
    text.close();
    const QString database = list.database();
    // The same file under another spelling of its path is still the same file.
    const QString again = QFileInfo(database).absolutePath() + QStringLiteral("/./") + QFileInfo(database).fileName();
    // And so is a hard link to it.
    const QString linked = dir.filePath(QStringLiteral("Collegato.mdb"));
    ASSERT_EQ(::link(QFile::encodeName(database).constData(), QFile::encodeName(linked).constData()), 0);
    const struct
    {
        QString older, newer, named;
    } cases[] = {
        {database, database, database}, {database, again, database},    {database, linked, database},
        {notAList, database, notAList}, {database, notAList, notAList},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString(c.older + u' ' + c.newer).toStdString());
        const QueryRun run = runQuery({QStringLiteral("compare"), c.older, c.newer});
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("prezzario-query: "))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(u"«" + c.named + u"»")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}
