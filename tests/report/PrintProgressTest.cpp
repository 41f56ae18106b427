// While a report is written the program stays drawn, refuses input to its windows rather than queueing
// it, and lets the user cancel from the progress window.
#include "ui/MessageBox.h"
#include "report/OfficeSettings.h"
#include "report/ReportProgress.h"
#include "tests/report/ReportSession.h"
#include "report/modExcel97.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

namespace reporttest {

namespace {

// One section of 20 chapters of 25 articles of 20 subarticles: 500 articles and 10,000 subarticles,
// every name holding "numero".
fixture::Tables manyRows()
{
    return gridTables(20, 25, 20);
}

// Articles and subarticles in two blocks: "ARTICOLI:" on row 5, the articles from row 6, "SUBARTICOLI:"
// on row 508, the subarticles from row 509.
constexpr int kFirstSubarticleRow = 509;
constexpr int kLastRow = kFirstSubarticleRow + 10'000 - 1;

struct LongPrint : ReportSession
{
    LongPrint() : ReportSession(manyRows()) {}

    void TearDown() override
    {
        report::OfficeSettings::current().afterRow = {};
        ReportSession::TearDown();
    }

    QProgressDialog* progressWindow() const { return window->findChild<QProgressDialog*>(); }
    QLineEdit* txtCerca() const { return window->findChild<QLineEdit*>(QStringLiteral("txtCerca")); }
};

} // namespace

TEST_F(LongPrint, cancellingHalfWayKeepsTheRowsWrittenAndGivesTheWindowsBack)
{
    textSearch(0, QStringLiteral("numero"), false, true, true);
    ASSERT_EQ((*window->findChild<ui::ReportList*>(QStringLiteral("lstArticoli"))).Count(), 500);
    ASSERT_EQ((*window->findChild<ui::ReportList*>(QStringLiteral("lstSubarticoli"))).Count(), 10'000);

    int lastWritten = 0;
    QString shown;
    report::OfficeSettings::current().afterRow = [&](const report::ReportProgress& progress) {
        if (lastWritten != 0 || progress.rowsWritten() < progress.rowsExpected() / 2)
            return;
        // Half-way, the user waits for the progress window if it is not there yet, and cancels.
        QProgressDialog* dialog = progressWindow();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->isVisible(); }));
        // Still typing as it comes up: only Annulla or Esc cancel.
        for (const Qt::Key key : {Qt::Key_C, Qt::Key_Space, Qt::Key_Return})
            QTest::keyClick(QGuiApplication::focusWindow(), key);
        ASSERT_FALSE(dialog->wasCanceled());
        shown = dialog->labelText();
        lastWritten = progress.lastRow();
        auto* annulla = dialog->findChild<QPushButton*>();
        ASSERT_NE(annulla, nullptr);
        EXPECT_EQ(annulla->text(), QStringLiteral("Annulla"));
        QTest::mouseClick(annulla, Qt::LeftButton);
    };
    Sheet sheet;
    report::OfficeSettings::current().reportEnded = [&](report::modExcel97& excel) {
        sheet = readSheet(excel, 6, {lastWritten, lastWritten + 1, kLastRow});
        excel.closeDocument();
    };
    click("cmdstampa");

    ASSERT_GT(lastWritten, kFirstSubarticleRow);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Righe scritte: "))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral(" di 10.502 — tempo trascorso "))) << shown.toStdString();
    ASSERT_EQ(ui::MessageBox::recorded().size(), 1);
    EXPECT_EQ(ui::MessageBox::recorded().front().title, QStringLiteral("Prezziario"));
    EXPECT_EQ(ui::MessageBox::recorded().front().text,
              QStringLiteral("Stampa annullata: il foglio contiene le righe scritte fino all'annullamento."));

    EXPECT_EQ(sheet.values(6).value(2), QStringLiteral("Articolo numero 1"));
    EXPECT_EQ(sheet.values(lastWritten).value(2),
              QStringLiteral("Voce numero %1").arg(lastWritten - kFirstSubarticleRow + 1));
    EXPECT_TRUE(sheet.rowEmpty(lastWritten + 1));
    EXPECT_TRUE(sheet.rowEmpty(kLastRow));

    EXPECT_EQ(progressWindow(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window->isEnabled());
    // Typed and clicked as before the print.
    textSearch(0, QStringLiteral("numero 1234"), false, false, true);
    EXPECT_EQ((*window->findChild<ui::ReportList*>(QStringLiteral("lstSubarticoli"))).Count(), 1);
}

TEST_F(LongPrint, inputDuringAPrintIsThrownAwayNotAppliedAfterIt)
{
    textSearch(0, QStringLiteral("numero 12"), false, true, true);
    const qsizetype articles = (*window->findChild<ui::ReportList*>(QStringLiteral("lstArticoli"))).Count();
    const qsizetype subarticles = (*window->findChild<ui::ReportList*>(QStringLiteral("lstSubarticoli"))).Count();
    ASSERT_GT(subarticles, 0);

    // Keys on their way to the search box as the first row and the last are written, and a click on
    // "Pulisci", which would empty the lists the report is reading.
    int typed = 0;
    report::OfficeSettings::current().afterRow = [&](const report::ReportProgress& progress) {
        if (progress.rowsWritten() == 1)
            click("cmdpulisci");
        if (progress.rowsWritten() == 1 || progress.rowsWritten() == progress.rowsExpected()) {
            for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                QCoreApplication::postEvent(txtCerca(),
                                            new QKeyEvent(type, Qt::Key_Z, Qt::NoModifier, QStringLiteral("z")));
            ++typed;
        }
    };
    const Sheet sheet = print("cmdstampa", 6);
    QApplication::processEvents();

    ASSERT_EQ(typed, 2);
    ASSERT_TRUE(printed);
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join(u'\n').toStdString();
    EXPECT_EQ(sheet.values(6).value(2), QStringLiteral("Articolo numero 12"));
    EXPECT_EQ(txtCerca()->text(), QStringLiteral("numero 12"));
    EXPECT_EQ((*window->findChild<ui::ReportList*>(QStringLiteral("lstArticoli"))).Count(), articles);
    EXPECT_EQ((*window->findChild<ui::ReportList*>(QStringLiteral("lstSubarticoli"))).Count(), subarticles);

    // The same keys after the print reach the box.
    QTest::keyClicks(txtCerca(), QStringLiteral("3"));
    EXPECT_EQ(txtCerca()->text(), QStringLiteral("numero 123"));
}

// The bar counts what the layout said it would write: rows, or list items when it learns each item's rows
// as it goes.
TEST(PrintProgress, theBarCountsRowsOrItemsAsTheLayoutTellsThem)
{
    struct Case
    {
        bool items;
        int value;
        int maximum;
    };
    for (const Case& c : {Case{false, 10, 40}, Case{true, 1, 4}}) {
        SCOPED_TRACE(c.items ? "items" : "rows");
        QWidget over;
        report::ReportProgress progress(over);
        if (c.items)
            progress.expectItems(QStringLiteral("Articoli"), 4);
        else
            progress.expectRows(40);
        // One item of ten rows; the bar moves at most every few tens of milliseconds.
        for (int row = 1; row <= 10; ++row) {
            if (row == 10) {
                if (c.items)
                    progress.itemDone();
                QTest::qWait(100);
            }
            progress.rowWritten(row);
        }
        const QProgressDialog* dialog = over.findChild<QProgressDialog*>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->maximum(), c.maximum);
        EXPECT_EQ(dialog->value(), c.value);
        // What a screen reader on the bar hears: the counts, as the window shows them.
        const auto* bar = dialog->findChild<QProgressBar*>();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->accessibleDescription(), dialog->labelText());
    }
}

} // namespace reporttest
