// A price list with hostile texts, and a file with quotes in its codes, driven through every path of the
// consultation and search windows: every level, every search mode, every click in the result lists. No
// engine error may surface, no row may be wrong and no text may lose a character.
#include "tests/support/HostileList.h"
#include "tests/search/SearchSession.h"
#include "texts/frmPremesse.h"
#include "consultation/frmPrincipale.h"

#include <QPlainTextEdit>

using ui::ReportList;
using searchtest::SearchSession;

namespace {

void clickRow(ReportList* list, qsizetype row)
{
    QApplication::processEvents();
    list->scrollTo(list->model()->index(static_cast<int>(row), 0));
    const QRect rect = list->visualRect(list->model()->index(static_cast<int>(row), 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

QStringList warningTexts()
{
    QStringList texts;
    for (const auto& shown : ui::MessageBox::recorded())
        texts << shown.text;
    return texts;
}

QString plainText(QWidget* window, const char* name)
{
    return window->findChild<QPlainTextEdit*>(QString::fromLatin1(name))->toPlainText();
}

// The distinct codes of a level (6, 10 or 14 characters) in list order, optionally under a prefix.
QStringList codesOf(const fixture::Tables& tables, qsizetype length, const QString& under = {})
{
    QStringList codes;
    for (const fixture::Row& r : tables.rows) {
        const QString code = r.codiceTotale().left(length);
        if (code.startsWith(under) && !codes.contains(code))
            codes << code;
    }
    return codes;
}

QStringList rowTexts(const ReportList* list)
{
    QStringList texts;
    for (qsizetype i = 0; i < list->Count(); ++i)
        texts << list->Text(list->Key(i));
    return texts;
}

// Consultation: every section, chapter, article and subarticle, each compared with what was stored.
void walkConsultation(const fixture::Tables& tables, const QString& database)
{
    ui::MessageBox::clearRecorded();
    core::AppState state;
    state.priceList = core::PriceList(core::Database::OpenDatabase(database, QStringLiteral(";pwd=qzkw")));
    QWidget mainWindow;
    mainWindow.show();
    consultation::frmPrincipale window(state, &mainWindow);
    window.showFromMenu();
    auto* sections = window.findChild<QComboBox*>(QStringLiteral("cmbSezioni"));
    auto* chapters = window.findChild<ReportList*>(QStringLiteral("lst_Capitoli"));
    auto* articles = window.findChild<ReportList*>(QStringLiteral("lst_Articoli"));
    auto* subarticles = window.findChild<ReportList*>(QStringLiteral("lstSubarticoli"));
    ASSERT_EQ(sections->count(), 2);
    for (int s = 0; s < sections->count(); ++s) {
        sections->setCurrentIndex(s);
        emit sections->activated(s);
        const QString section = sections->currentText().left(2);
        const fixture::Row& first = *std::find_if(tables.rows.begin(), tables.rows.end(),
                                                  [&](const fixture::Row& r) { return r.sezione_codice == section; });
        EXPECT_EQ(sections->currentText(), section + QStringLiteral(" - ") + first.sezione);
        EXPECT_EQ(plainText(&window, "txtSezioneNote"), first.note_sezione.value_or(QString()));
        EXPECT_EQ(rowTexts(chapters), codesOf(tables, 6, section));
        hostile::expectRowsAsStored(chapters, tables);
        for (qsizetype c = 0; c < chapters->Count(); ++c) {
            clickRow(chapters, c);
            const QString chapter = chapters->Text(chapters->Key(c));
            // Listed in code order: compare as sets.
            QStringList listed = rowTexts(articles);
            QStringList stored = codesOf(tables, 10, chapter);
            listed.sort();
            stored.sort();
            EXPECT_EQ(listed, stored) << chapter.toStdString();
            hostile::expectRowsAsStored(articles, tables);
            for (qsizetype a = 0; a < articles->Count(); ++a) {
                clickRow(articles, a);
                const QString article = articles->Text(articles->Key(a));
                EXPECT_EQ(plainText(&window, "txtArticolo"),
                          hostile::expectedCells(QStringLiteral("lst_Articoli"), article, tables).value(1));
                EXPECT_EQ(rowTexts(subarticles).size(), codesOf(tables, 14, article).size());
                hostile::expectRowsAsStored(subarticles, tables);
                for (qsizetype r = 0; r < subarticles->Count(); ++r) {
                    clickRow(subarticles, r);
                    EXPECT_EQ(plainText(&window, "txtSubarticolo"), subarticles->SubItem(subarticles->Key(r), 1));
                }
            }
        }
    }
    EXPECT_EQ(warningTexts(), QStringList());
    window.close();
}

struct HostileSearch : SearchSession
{
    // The file is built from `built`; `stored` says what it holds once the test has changed it.
    explicit HostileSearch(const fixture::Tables& built = hostile::tables(),
                           const fixture::Tables& stored = hostile::tables())
        : SearchSession(built), tables(stored)
    {
    }

    fixture::Tables tables;

    void expectListsAsStored()
    {
        for (const ReportList* list : {lstCapitoli, lstArticoli, lstSubarticoli})
            hostile::expectRowsAsStored(list, tables);
        EXPECT_EQ(warnings(), QStringList());
    }

    // Clicks every row of every list, checking what each click lists.
    void clickEverything()
    {
        for (ReportList* list : {lstCapitoli, lstArticoli, lstSubarticoli}) {
            for (qsizetype i = 0; i < list->Count(); ++i) {
                clickRow(list, i);
                expectListsAsStored();
            }
        }
    }

    void typeText(const QString& needle, bool capitoli, bool articoli, bool subarticoli)
    {
        click("cmdpulisci");
        pickSection(0);
        click("opttesto");
        box("txtCerca")->setText(needle);
        for (const auto& [name, ticked] :
             {std::pair{"chkCapitoli", capitoli}, {"chkArticoli", articoli}, {"chkSubarticoli", subarticoli}})
            if (ticked)
                click(name);
    }
};

// What a text search must find: the codes whose description holds the text, letter case aside.
QStringList matching(const fixture::Tables& tables, qsizetype length, const QString& needle,
                     QString fixture::Row::*text)
{
    QStringList codes;
    for (const fixture::Row& r : tables.rows) {
        const QString code = r.codiceTotale().left(length);
        if ((r.*text).toUpper().contains(needle.toUpper()) && !codes.contains(code))
            codes << code;
    }
    return codes;
}

} // namespace

TEST(HostileList, consultationShowsEveryLevelAsStored)
{
    const fixture::PriceListFolder folder(hostile::tables());
    walkConsultation(hostile::tables(), folder.database());
}

TEST(HostileList, quotesInTheFileCodesBreakNoConsultationQuery)
{
    const fixture::PriceListFolder folder(hostile::tables());
    hostile::quoteCodes(folder.database());
    walkConsultation(hostile::quotedTables(), folder.database());
}

TEST_F(HostileSearch, textSearchesFindEveryHostileTextAndEveryClickListsItsRows)
{
    for (const QString& needle : hostile::needles()) {
        SCOPED_TRACE(needle.toStdString());
        ui::MessageBox::clearRecorded();
        typeText(needle, true, true, true);
        run();
        // Chapters come in chapter order, which here is also list order.
        EXPECT_EQ(searchtest::SearchSession::column(lstCapitoli), matching(tables, 6, needle, &fixture::Row::capitolo));
        EXPECT_EQ(searchtest::SearchSession::column(lstArticoli),
                  matching(tables, 10, needle, &fixture::Row::articolo));
        EXPECT_EQ(searchtest::SearchSession::column(lstSubarticoli),
                  matching(tables, 14, needle, &fixture::Row::subarticolo));
        ASSERT_GT(lstCapitoli->Count() + lstArticoli->Count() + lstSubarticoli->Count(), 0);
        expectListsAsStored();
        clickEverything();
        // Each level alone: chapters expand into their articles, subarticles climb to theirs.
        for (const auto& [capitoli, articoli, subarticoli] :
             {std::tuple{true, false, false}, {false, true, false}, {false, false, true}, {true, true, false}}) {
            typeText(needle, capitoli, articoli, subarticoli);
            run();
            if (lstCapitoli->Count() + lstArticoli->Count() + lstSubarticoli->Count() == 0) {
                ui::MessageBox::clearRecorded();
                continue;
            }
            expectListsAsStored();
            clickEverything();
        }
    }
}

TEST_F(HostileSearch, codeAndRangeSearchesListEveryRowAsStored)
{
    for (const QString& article : codesOf(tables, 10)) {
        articleSearch(article.left(2) == u"01" ? 1 : 2, article.mid(3, 3), article.mid(7, 3));
        EXPECT_EQ(searchtest::SearchSession::column(lstSubarticoli), codesOf(tables, 14, article));
        expectListsAsStored();
        clickEverything();
    }
    for (const QString& sub : codesOf(tables, 14)) {
        subarticleSearch(sub.left(2) == u"01" ? 1 : 2, sub.mid(3, 3), sub.mid(7, 3), sub.mid(11, 3));
        EXPECT_EQ(searchtest::SearchSession::column(lstSubarticoli), QStringList{sub});
        expectListsAsStored();
        clickEverything();
    }
    // Section 01 from its first to its last chapter, article and subarticle.
    const QStringList subs = codesOf(tables, 14, QStringLiteral("01"));
    rangeSearch(1, QStringLiteral("A01"), {}, {}, QStringLiteral("B02"), {}, {});
    EXPECT_EQ(searchtest::SearchSession::column(lstSubarticoli), subs);
    expectListsAsStored();
    clickEverything();
    rangeSearch(1, QStringLiteral("A01"), QStringLiteral("A01"), {}, QStringLiteral("B02"), QStringLiteral("A01"), {});
    EXPECT_EQ(searchtest::SearchSession::column(lstSubarticoli), subs);
    expectListsAsStored();
    rangeSearch(1, QStringLiteral("A01"), QStringLiteral("A01"), QStringLiteral("010"), QStringLiteral("B02"),
                QStringLiteral("A01"), QStringLiteral("020"));
    EXPECT_EQ(searchtest::SearchSession::column(lstSubarticoli), subs);
    expectListsAsStored();
    clickEverything();
}

struct QuotedCodes : HostileSearch
{
    QuotedCodes() : HostileSearch(hostile::tables(), hostile::quotedTables()) {}

    void SetUp() override
    {
        hostile::quoteCodes(folder.database());
        HostileSearch::SetUp();
    }
};

TEST_F(QuotedCodes, resultRowsWithQuotesInTheirCodesStillDrillDown)
{
    QStringList found;
    for (const QString& needle : {QStringLiteral("' "), QStringLiteral("al m"), QStringLiteral("sc")}) {
        for (const auto& [capitoli, articoli, subarticoli] :
             {std::tuple{true, false, false}, {false, true, false}, {false, false, true}, {true, true, true}}) {
            typeText(needle, capitoli, articoli, subarticoli);
            run();
            ui::MessageBox::clearRecorded(); // "nothing found" is no failure here
            found << searchtest::SearchSession::column(lstSubarticoli);
            clickEverything();
        }
    }
    EXPECT_TRUE(found.contains(QStringLiteral("01.A'1.'--.010")));
}

TEST(HostileList, prefaceViewerShowsTheIntroductionsAsStored)
{
    const fixture::Tables tables = hostile::tables();
    const fixture::PriceListFolder folder(tables);
    ui::MessageBox::clearRecorded();
    core::AppState state;
    state.priceList = core::PriceList(folder.open());
    QWidget mainWindow;
    texts::frmPremesse window(state, &mainWindow);
    window.showFromMenu();
    auto* sections = window.findChild<QComboBox*>(QStringLiteral("cmbSezioni"));
    QStringList shown;
    for (int i = 0; i < sections->count(); ++i) {
        if (!sections->itemText(i).startsWith(u'0'))
            continue;
        sections->setCurrentIndex(i);
        emit sections->activated(i);
        for (QPlainTextEdit* box : window.findChildren<QPlainTextEdit*>())
            if (!box->toPlainText().isEmpty())
                shown << box->toPlainText();
    }
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Premessa con '--, \"virgolette\" e 🏗️\nsu due righe"),
                                  QStringLiteral("מבוא ‮evil‬")}));
    EXPECT_EQ(warningTexts(), QStringList());
    window.close();
}
