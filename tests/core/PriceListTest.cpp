// The price list's questions and the four searches, asked of the library directly. The windows' tests check
// that each window shows what these return.

#include "core/PriceList.h"
#include "core/Search.h"
#include "tests/support/SearchList.h"
#include "core/SearchMessages.h"

#include <gtest/gtest.h>

namespace {

const fixture::PriceListFolder& searchList()
{
    static const fixture::PriceListFolder folder(fixture::searchTables());
    return folder;
}

const core::PriceList& list()
{
    static const core::PriceList opened(searchList().open());
    return opened;
}

template <typename Item>
QStringList codes(const QList<Item>& items)
{
    QStringList result;
    for (const Item& item : items)
        result << item.code;
    return result;
}

QStringList split(const char* text)
{
    return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

core::SearchRequest text(const QString& words, core::SearchLevels levels, const QString& section = {})
{
    core::SearchRequest request;
    request.mode = core::SearchMode::Text;
    request.sectionText = section.isEmpty() ? QStringLiteral("TUTTE LE SEZIONI") : section;
    request.wholeList = section.isEmpty();
    request.text = words;
    request.levels = levels;
    return request;
}

core::SearchRequest code(core::SearchMode mode, core::CodeParts parts)
{
    core::SearchRequest request;
    request.mode = mode;
    request.sectionText = QStringLiteral("01 - Opere edili");
    request.codePrefix = QStringLiteral("01.");
    request.code = parts;
    return request;
}

core::SearchRequest range(core::CodeParts from, core::CodeParts to)
{
    core::SearchRequest request = code(core::SearchMode::Range, {});
    request.from = from;
    request.to = to;
    return request;
}

} // namespace

TEST(PriceList, answersConsultationLevelByLevel)
{
    const QList<core::Section> sections = list().sections();
    ASSERT_EQ(sections.size(), 2);
    EXPECT_EQ(sections[1].code, QStringLiteral("02"));
    EXPECT_EQ(sections[1].name.toString(), QStringLiteral("Restauro"));
    EXPECT_EQ(list().year(), QStringLiteral("2021"));

    // Chapters in the list's order, not by code.
    const core::SectionChapters chapters = list().chapters(QStringLiteral("01"));
    EXPECT_EQ(codes(chapters.chapters), split("B01 A01 A03"));
    EXPECT_TRUE(chapters.sectionNote.isNull());

    // An article whose rows are split by another is listed once, articles by code.
    EXPECT_EQ(codes(list().articles(QStringLiteral("01.A03")).articles), split("A05 A06"));
    EXPECT_EQ(list().articles(QStringLiteral("01.B01")).chapterNote.toString(),
              QStringLiteral("Nota del capitolo B01"));
    EXPECT_TRUE(list().articles(QStringLiteral("01.A01")).chapterNote.isNull());

    const core::ArticleSubarticles items =
        list().subarticles(QStringLiteral("01.B01.A01"), core::SubarticleOrder::ByCode);
    ASSERT_EQ(items.subarticles.size(), 2);
    EXPECT_EQ(items.subarticles[0].prezzoLordo, 120.5);
    EXPECT_EQ(items.subarticles[0].incidenzaManodopera, 12.0);
    EXPECT_EQ(items.subarticles[0].subarticolo.toString(), QStringLiteral("Classe C25/30 perché è così"));
    EXPECT_EQ(items.subarticles[1].prezzoLordo, std::nullopt) << "a Null price is no price, not 0";
    EXPECT_EQ(codes(list().subarticles(QStringLiteral("01.A03.A05"), core::SubarticleOrder::ByListOrder).subarticles),
              split("01.A03.A05.010 01.A03.A05.020 01.A03.A05.030"));

    const std::optional<core::PriceList::Row> row = list().row(QStringLiteral("01.A01.A01.020"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->articolo.toString(), QStringLiteral("Scavo a sezione obbligata"));
    EXPECT_EQ(row->noteArticolo.toString(), QStringLiteral("Nota dello scavo a sezione obbligata"));
    EXPECT_TRUE(row->noteCapitolo.isNull());
    EXPECT_FALSE(list().row(QStringLiteral("01.A01.A01.099")));
    // Many codes at once give each the row row() gives; a code the list lacks, or an apostrophe, gives none.
    const QStringList many = split("01.A03.A05.030 01.A01.A01.020 01.A01.A01.099 01'A 01.A03.A05.010");
    const QHash<QString, core::PriceList::Row> rows = list().rows(many);
    EXPECT_EQ(rows.size(), 3);
    for (const QString& each : many) {
        const std::optional<core::PriceList::Row> one = list().row(each);
        ASSERT_EQ(rows.contains(each), bool(one)) << each.toStdString();
        if (one)
            EXPECT_EQ(rows[each].subarticle.subarticolo.toString(), one->subarticle.subarticolo.toString());
    }
    EXPECT_TRUE(list().manualTopic(QStringLiteral("Nessun argomento")).isNull());
}

TEST(Search, validationNamesTheFirstFaultyFieldWithTheWindowsWarning)
{
    using F = core::SearchField;
    core::SearchRequest none;
    core::SearchRequest noSection = text(QStringLiteral("scavo"), {true, false, false});
    noSection.sectionText.clear();
    core::SearchRequest wholeListArticle = code(core::SearchMode::Article, {QStringLiteral("A01"), QStringLiteral("A01")});
    wholeListArticle.wholeList = true;
    core::SearchRequest wholeListSubarticle =
        code(core::SearchMode::Subarticle, {QStringLiteral("A01"), QStringLiteral("A01"), QStringLiteral("010")});
    wholeListSubarticle.wholeList = true;
    core::SearchRequest wholeListRange = range({QStringLiteral("A01")}, {QStringLiteral("A03")});
    wholeListRange.wholeList = true;
    const struct
    {
        core::SearchRequest request;
        core::SearchField field;
        QString message;
    } cases[] = {
        {none, F::Mode, QStringLiteral("Selezionare un tipo di ricerca prima di procedere ")},
        {noSection, F::Section, QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca elemento")},
        {text(QStringLiteral("s"), {true, false, false}), F::Text,
         QStringLiteral("Inserire un Elemento di almeno 2 caratteri prima di procedere con la ricerca")},
        // The text is not trimmed: two blanks pass, and only then are the levels looked at.
        {text(QStringLiteral("  "), {}), F::Levels,
         QStringLiteral("Selezionare almeno una scelta fra Capitoli/Articoli/Subarticoli prima di procedere con la "
                        "ricerca")},
        {code(core::SearchMode::Article, {QStringLiteral("A1"), QStringLiteral("A'1")}), F::Chapter,
         core::msg::kCodiciCapitoloArticolo},
        {code(core::SearchMode::Article, {QStringLiteral("A'1"), QStringLiteral("A'1")}), F::Article,
         core::msg::kCodiceArticolo},
        {code(core::SearchMode::Article, {QStringLiteral("A'1"), QStringLiteral("A1")}), F::Article,
         core::msg::kCodiciCapitoloArticolo},
        {code(core::SearchMode::Article, {QStringLiteral("A'1"), QStringLiteral("A01")}), F::Chapter,
         core::msg::kCodiceCapitolo},
        {wholeListArticle, F::Section, core::msg::kSezionePerArticolo},
        {code(core::SearchMode::Subarticle, {QStringLiteral("A'1"), QStringLiteral("A'1"), QStringLiteral("0'0")}),
         F::Subarticle,
         QStringLiteral("Il Codice Subarticolo deve avere una lunghezza di 3 caratteri ed essere composto da tre "
                        "numeri. Es. : '010'")},
        {code(core::SearchMode::Subarticle, {QStringLiteral("A'1"), QStringLiteral("A'1"), QStringLiteral("010")}),
         F::Article, core::msg::kCodiceArticolo},
        {wholeListSubarticle, F::Section, core::msg::kSezionePerSubarticolo},
        {code(core::SearchMode::Subarticle, {QStringLiteral("A01"), QStringLiteral("A01"), QStringLiteral("01")}),
         F::Subarticle, QStringLiteral("Il Codice Subarticolo devono avere una lunghezza di 3 caratteri.")},
        {wholeListRange, F::Section, core::msg::kSezioneDaA},
        {range({QStringLiteral("A01")}, {QStringLiteral("A3")}), F::ToChapter,
         QStringLiteral("I Codici Capitolo devono essere valorizzati, avere una lunghezza di 3 caratteri ed essere "
                        "composti da una lettera e due numeri. Es. : 'A01'")},
        {range({QStringLiteral("A01"), {}, QStringLiteral("010")}, {QStringLiteral("A03")}), F::FromArticle,
         QStringLiteral("Impossibile cercare il Codice Subarticolo senza il Codice Articolo")},
        {range({QStringLiteral("A01"), QStringLiteral("A01")}, {QStringLiteral("A03")}), F::ToArticle,
         QStringLiteral("Ricerca possibile solo fra elementi dello stesso tipo (Capitolo-Capitolo, Articolo-Articolo, "
                        "Subarticolo-Subarticolo)")},
    };
    for (const auto& c : cases) {
        const std::optional<core::SearchProblem> problem = core::validate(c.request);
        ASSERT_TRUE(problem) << c.message.toStdString();
        EXPECT_EQ(problem->field, c.field) << c.message.toStdString();
        EXPECT_EQ(problem->message, c.message);
        // A refused request reaches no query, so it fails alike on a closed list.
        EXPECT_EQ(core::runSearch(core::PriceList(), c.request).problem->message, c.message);
    }
    EXPECT_FALSE(core::validate(text(QStringLiteral("scavo"), {true, false, false})));
}

// Each part of a range on its own first, then the two codes against each other, then against the list.
TEST(Search, rangeChecksComeInTheWindowsOrder)
{
    using F = core::SearchField;
    const QString chapterParts =
        QStringLiteral("I Codici Capitolo devono essere valorizzati, avere una lunghezza di 3 caratteri ed essere "
                       "composti da una lettera e due numeri. Es. : 'A01'");
    const QString chapterQuote = QStringLiteral("I Codici Capitolo devono avere una lunghezza di 3 caratteri ed essere "
                                                "composti da una lettera e due numeri. Es. : 'A01'");
    const QString articleParts =
        QStringLiteral("I Codici Articolo, se sono valorizzati, devono avere una lunghezza di 3 caratteri ed essere "
                       "composti da una lettera e due numeri. Es. : 'A01'");
    const QString noArticle = QStringLiteral("Impossibile cercare il Codice Subarticolo senza il Codice Articolo");
    const QString subParts = QStringLiteral("Il Codice Subarticolo, se presente, deve avere una lunghezza di 3 "
                                            "caratteri ed essere composto da tre numeri. Es. : '010'");
    const QString sameKind = QStringLiteral("Ricerca possibile solo fra elementi dello stesso tipo (Capitolo-Capitolo, "
                                            "Articolo-Articolo, Subarticolo-Subarticolo)");
    const QString order = QStringLiteral("Il Codice %1 di arrivo deve essere successivo nell'ordine del prezzario al "
                                         "Codice %1 di partenza");
    const struct
    {
        const char* from;
        const char* to;
        core::SearchField field;
        QString message;
    } cases[] = {
        {"A0.x", "A01", F::FromChapter, chapterParts},
        {"A01", "", F::ToChapter, chapterParts},
        {"A01.A1", "A'1.A1", F::ToChapter, chapterQuote},
        {"A01.A1.0", "A01..0", F::FromArticle, articleParts},
        {"A01.A'1", "A01", F::FromArticle, articleParts},
        {"A01.A01", "A01.A1", F::ToArticle, articleParts},
        {"A01.A01", "A01..0", F::ToArticle, noArticle},
        {"A01..010", "A01.A01.010", F::FromArticle, noArticle},
        {"A01.A01.01", "A01.A01.0'0", F::FromSubarticle, subParts},
        {"A01.A01.010", "A01.A01.0'0", F::ToSubarticle, subParts},
        {"a01.a05", "A02", F::ToArticle, sameKind},
        {"A01.A01.010", "A01.A01", F::ToSubarticle, sameKind},
        // Against the list: C01 is a chapter of section 02 only; A03 comes after B01 although its code sorts
        // before it; an article range needs its chapters in order too.
        {"Z99", "A01", F::FromChapter, QStringLiteral("Codice Capitolo di partenza inesistente")},
        {"A01", "C01", F::ToChapter, QStringLiteral("Codice Capitolo di arrivo inesistente")},
        {"A03", "B01", F::ToChapter, order.arg(QStringLiteral("Capitolo"))},
        {"A01.A01", "B01.A01", F::ToChapter, order.arg(QStringLiteral("Capitolo"))},
        {"A01.Z99", "A01.A01", F::FromArticle, QStringLiteral("Codice Articolo di partenza inesistente")},
        {"A01.A01", "A01.Z99", F::ToArticle, QStringLiteral("Codice Articolo di arrivo inesistente")},
        {"A01.A02", "A01.A01", F::ToArticle, order.arg(QStringLiteral("Articolo"))},
        {"A01.A01.090", "A01.A01.010", F::FromSubarticle, QStringLiteral("Codice Subarticolo di partenza inesistente")},
        {"A01.A01.010", "A01.A01.090", F::ToSubarticle, QStringLiteral("Codice Subarticolo di arrivo inesistente")},
        {"A01.A01.020", "A01.A01.010", F::ToSubarticle, order.arg(QStringLiteral("Subarticolo"))},
    };
    const auto parts = [](const char* code) {
        const QStringList segments = QString::fromUtf8(code).split(u'.');
        return core::CodeParts{segments.value(0), segments.value(1), segments.value(2)};
    };
    for (const auto& c : cases) {
        const core::SearchOutcome outcome = core::runSearch(list(), range(parts(c.from), parts(c.to)));
        ASSERT_TRUE(outcome.problem) << c.from << " " << c.to;
        EXPECT_EQ(outcome.problem->field, c.field) << c.from << " " << c.to;
        EXPECT_EQ(outcome.problem->message, c.message) << c.from << " " << c.to;
        EXPECT_EQ(outcome.problem->title, c.message == sameKind ? QStringLiteral("Prezzario") : QString());
        EXPECT_TRUE(outcome.results.isEmpty());
    }
    // Well formed codes are kept for the report even when they are refused for their levels.
    EXPECT_TRUE(core::rangeCodesWellFormed(range(parts("a01.a05"), parts("A02"))));
    EXPECT_FALSE(core::rangeCodesWellFormed(range(parts("A01.A'1"), parts("A01"))));
}

TEST(Search, runsGiveTheListsRowsInTheirOrder)
{
    const core::SearchLevels capitoli{true, false, false};
    const core::SearchLevels articoli{false, true, false};
    const core::SearchLevels subarticoli{false, false, true};
    const QString edili = QStringLiteral("01 - Opere edili");
    const struct
    {
        const char* name;
        core::SearchRequest request;
        const char* chapters;
        const char* articles;
        const char* subarticles;
    } cases[] = {
        {"chapters of the whole list, by chapter order, each once", text(QStringLiteral("scav"), capitoli),
         "01.A01 02.A01", "", ""},
        {"articles of one section, accents and case ignored", text(QStringLiteral("SCAVO"), articoli, edili), "",
         "01.A01.A01 01.A01.A02", ""},
        {"subarticles in the list's order", text(QStringLiteral("spessore"), subarticoli, edili), "", "",
         "01.B01.A02.010 01.A03.A05.010 01.A03.A05.020 01.A03.A06.010 01.A03.A05.030"},
        {"a quote is text", text(QStringLiteral("dell'opera"), articoli), "", "01.A01.A02", ""},
        {"an article code, typed in lower case",
         code(core::SearchMode::Article, {QStringLiteral("a03"), QStringLiteral("a05")}), "01.A03", "01.A03.A05",
         "01.A03.A05.010 01.A03.A05.020 01.A03.A05.030"},
        {"a subarticle code",
         code(core::SearchMode::Subarticle, {QStringLiteral("A01"), QStringLiteral("A01"), QStringLiteral("020")}),
         "01.A01", "01.A01.A01", "01.A01.A01.020"},
        {"a chapter range: an article split by another is listed at each run",
         range({QStringLiteral("A01")}, {QStringLiteral("A03")}), "01.A01 01.A03",
         "01.A01.A01 01.A01.A02 01.A03.A05 01.A03.A06 01.A03.A05",
         "01.A01.A01.010 01.A01.A01.020 01.A01.A02.010 01.A03.A05.010 01.A03.A05.020 01.A03.A06.010 "
         "01.A03.A05.030"},
        {"an article range", range({QStringLiteral("A01"), QStringLiteral("A02")}, {QStringLiteral("A03"), QStringLiteral("A05")}),
         "01.A01 01.A03", "01.A01.A02 01.A03.A05 01.A03.A06 01.A03.A05",
         "01.A01.A02.010 01.A03.A05.010 01.A03.A05.020 01.A03.A06.010 01.A03.A05.030"},
        {"nothing found", text(QStringLiteral("zzz"), {true, true, true}), "", "", ""},
    };
    for (const auto& c : cases) {
        const core::SearchOutcome outcome = core::runSearch(list(), c.request);
        ASSERT_FALSE(outcome.problem) << c.name << ": " << outcome.problem->message.toStdString();
        EXPECT_EQ(codes(outcome.results.chapters), split(c.chapters)) << c.name;
        EXPECT_EQ(codes(outcome.results.articles), split(c.articles)) << c.name;
        EXPECT_EQ(codes(outcome.results.subarticles), split(c.subarticles)) << c.name;
    }
}

TEST(Search, navigationFollowsTheLevelsSearched)
{
    const core::SearchResults chapters =
        core::runSearch(list(), text(QStringLiteral("scav"), {true, false, false})).results;
    EXPECT_TRUE(chapters.expandChapter);
    EXPECT_EQ(chapters.articlesHold, core::SearchResults::ArticlesHold::ChaptersArticles);
    EXPECT_EQ(chapters.reportKind, core::ReportKind::CapInd);
    EXPECT_EQ(codes(core::articlesOfChapter(list(), QStringLiteral("01.A03"))), split("01.A03.A05 01.A03.A06 01.A03.A05"));

    const core::SearchResults items =
        core::runSearch(list(), text(QStringLiteral("spessore"), {false, false, true})).results;
    EXPECT_TRUE(items.climbToArticle && items.lockSubarticles && items.subarticlesAreResults);
    EXPECT_EQ(items.reportKind, core::ReportKind::SubInd);
    EXPECT_EQ(codes(core::articleOfSubarticle(list(), QStringLiteral("01.A03.A06.010"))), split("01.A03.A06"));

    const core::SearchResults related =
        core::runSearch(list(), text(QStringLiteral("scav"), {true, true, false})).results;
    EXPECT_EQ(related.reportKind, core::ReportKind::CapInd_ArtInd_SubDip);
    EXPECT_FALSE(related.lockSubarticles);
}
