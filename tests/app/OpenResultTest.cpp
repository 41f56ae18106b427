// A search result opens in Consultazione where it lives in the price list.
#include "core/AppState.h"
#include "app/Application.h"
#include "tests/support/Fixture.h"
#include "ui/MDIForm1.h"
#include "ui/ReportList.h"
#include "search/frmCerca.h"
#include "consultation/frmPrincipale.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Section 02's third chapter, second article, with 40 subarticles: the sought one (150) starts out of sight.
fixture::Tables deepList()
{
    QList<fixture::Row> rows;
    qint64 sequenza = 0;
    const auto add = [&](const char* section, const char* chapter, qint64 chapterPosition, const char* article,
                         int subarticles, const char* sought) {
        for (int n = 1; n <= subarticles; ++n) {
            fixture::Row row;
            row.sequenza = ++sequenza;
            row.sezione_codice = QString::fromLatin1(section);
            row.sezione = QStringLiteral("Sezione ") + row.sezione_codice;
            row.capitolo_codice = QString::fromLatin1(chapter);
            row.capitolo = QStringLiteral("Capitolo ") + row.capitolo_codice;
            row.seq_capitolo = chapterPosition;
            row.articolo_codice = QString::fromLatin1(article);
            row.articolo = QStringLiteral("Articolo ") + row.articolo_codice;
            row.subarticolo_codice = QStringLiteral("%1").arg(n * 5, 3, 10, QLatin1Char('0'));
            row.subarticolo = n == 30 && sought ? QString::fromUtf8(sought) : QStringLiteral("voce %1").arg(n);
            rows << row;
        }
    };
    add("01", "A01", 1, "A01", 3, nullptr);
    add("02", "A01", 1, "A01", 3, nullptr);
    add("02", "B01", 2, "A01", 3, nullptr);
    add("02", "C01", 3, "A01", 3, nullptr);
    add("02", "C01", 3, "B02", 40, "bersaglio da trovare");
    return fixture::Tables{rows};
}

struct OpenResult : ::testing::Test
{
    fixture::PriceListFolder folder{deepList()};
    core::AppState state;
    app::Application prezzario{state};
    search::frmCerca* ricerca = nullptr;
    ui::ReportList* found = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(prezzario.startUp(folder.folder()));
        prezzario.mainWindow().show();
        ricerca = &prezzario.ricerca();
        ricerca->showFromMenu();
        // A text search over the subarticles of every section.
        auto* sections = ricerca->findChild<QComboBox*>(QStringLiteral("cmbSezioni"));
        sections->setCurrentIndex(0);
        emit sections->activated(0);
        clickButton("opttesto");
        QTest::keyClicks(ricerca->findChild<QLineEdit*>(QStringLiteral("txtCerca")), QStringLiteral("bersaglio"));
        clickButton("chkSubarticoli");
        clickButton("cmdCerca");
        found = ricerca->findChild<ui::ReportList*>(QStringLiteral("lstSubarticoli"));
        ASSERT_EQ(found->Count(), 1);
        QApplication::processEvents();
    }

    void TearDown() override
    {
        prezzario.consultazione().close();
        ricerca->close();
    }

    void clickButton(const char* name)
    {
        auto* button = ricerca->findChild<QAbstractButton*>(QString::fromLatin1(name));
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }

    ui::ReportList* list(const char* name)
    {
        return prezzario.consultazione().findChild<ui::ReportList*>(QString::fromLatin1(name));
    }

    // What Consultazione shows: section, then the selected row's text of each list, each in sight.
    QStringList shown()
    {
        QApplication::processEvents();
        QStringList texts{prezzario.consultazione().findChild<QComboBox*>(QStringLiteral("cmbSezioni"))->currentText()};
        for (const char* name : {"lst_Capitoli", "lst_Articoli", "lstSubarticoli"}) {
            const ui::ReportList* each = list(name);
            texts << (each->HasSelection() ? each->SelectedText() : QString());
            if (each->HasSelection()) {
                EXPECT_TRUE(each->viewport()->rect().contains(each->visualRect(each->currentIndex()))) << name;
            }
        }
        return texts;
    }
};

const QString kSought = QStringLiteral("bersaglio da trovare");
const QStringList kSubarticleShown{QStringLiteral("02 - Sezione 02"), QStringLiteral("02.C01"),
                                   QStringLiteral("02.C01.B02"), QStringLiteral("02.C01.B02.150")};

} // namespace

TEST_F(OpenResult, aDoubleClickEnterOrTheMenuEntryOpensTheRowSelectedAndInSight)
{
    const struct
    {
        const char* how;
        const char* list;
        QStringList shown;
        QString description; // of the subarticle, shown as a click on it shows it
    } cases[] = {
        {"double click", "lstSubarticoli", kSubarticleShown, kSought},
        {"Enter", "lstSubarticoli", kSubarticleShown, kSought},
        {"Apri in Consultazione", "lstSubarticoli", kSubarticleShown, kSought},
        {"Enter", "lstArticoli",
         {QStringLiteral("02 - Sezione 02"), QStringLiteral("02.C01"), QStringLiteral("02.C01.B02"),
          QStringLiteral("02.C01.B02.005")},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.how) + " in " + c.list);
        // A click on the subarticle lists its article.
        QTest::mouseClick(found->viewport(), Qt::LeftButton, {}, found->visualRect(found->model()->index(0, 0)).center());
        auto* results = ricerca->findChild<ui::ReportList*>(QString::fromLatin1(c.list));
        ASSERT_EQ(results->Count(), 1);
        const QRect row = results->visualRect(results->model()->index(0, 0));
        if (QLatin1String(c.how) == QLatin1String("double click")) {
            QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, row.center());
        } else if (QLatin1String(c.how) == QLatin1String("Enter")) {
            results->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(results, Qt::Key_Return);
        } else {
            results->actions().first()->trigger();
            EXPECT_EQ(results->actions().first()->text(), QString::fromLatin1(c.how));
        }
        consultation::frmPrincipale& consultazione = prezzario.consultazione();
        ASSERT_TRUE(consultazione.isVisible());
        EXPECT_EQ(shown(), c.shown);
        EXPECT_EQ(consultazione.findChild<QPlainTextEdit*>(QStringLiteral("txtSubarticolo"))->toPlainText(),
                  c.description);
        // Both windows stay usable; the menu waits until both are closed.
        EXPECT_TRUE(ricerca->isVisible());
        EXPECT_FALSE(prezzario.mainWindow().isEnabled());
        consultazione.close();
        EXPECT_FALSE(prezzario.mainWindow().isEnabled());
    }
    ricerca->close();
    EXPECT_TRUE(prezzario.mainWindow().isEnabled());
}

TEST_F(OpenResult, anOpenConsultazioneMovesToTheNextResultAndClosingRicercaFirstKeepsTheMenuWaiting)
{
    prezzario.consultazione().showFromMenu();
    found->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(found, Qt::Key_Enter);
    EXPECT_EQ(shown(), kSubarticleShown);

    ricerca->close();
    EXPECT_FALSE(prezzario.mainWindow().isEnabled());
    prezzario.consultazione().close();
    EXPECT_TRUE(prezzario.mainWindow().isEnabled());
}
