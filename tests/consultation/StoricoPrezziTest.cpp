// Storico prezzi from Consultazione: the button follows the subarticle list, the dialog lists the editions.

#include "core/AppState.h"
#include "tests/support/EditionPair.h"
#include "ui/ListFiles.h"
#include "ui/ReportList.h"
#include "consultation/frmPrincipale.h"
#include "consultation/frmStoricoPrezzi.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using ui::ReportList;

TEST(StoricoPrezzi, theSelectedSubarticleShowsItsPriceInEachEditionNewestFirst)
{
    const fixture::PriceListFolder older(fixture::olderEdition());
    const fixture::PriceListFolder newer(fixture::newerEdition());
    ui::rememberListFile(older.database());
    ui::rememberListFile(newer.database());
    core::AppState state;
    state.priceList = core::PriceList(newer.open());
    QWidget mainWindow;
    consultation::frmPrincipale window(state, &mainWindow);
    window.showFromMenu();
    QApplication::setActiveWindow(&window);

    auto* storico = window.findChild<QPushButton*>(QStringLiteral("cmdStorico"));
    auto* sections = window.findChild<QComboBox*>(QStringLiteral("cmbSezioni"));
    auto* articles = window.findChild<ReportList*>(QStringLiteral("lst_Articoli"));
    EXPECT_FALSE(storico->isEnabled());
    sections->setCurrentIndex(0);
    emit sections->activated(0);
    window.findChild<ReportList*>(QStringLiteral("lst_Capitoli"))->setFocus(Qt::TabFocusReason);
    articles->Select(articles->KeyOfText(QStringLiteral("01.A01.A03")));
    articles->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(storico->isEnabled());

    QTest::mouseClick(storico, Qt::LeftButton);
    auto* dialog = window.findChild<consultation::frmStoricoPrezzi*>();
    ASSERT_NE(dialog, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isReading(), 30000);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Storico prezzi – 01.A01.A03.010"));
    const auto* list = dialog->findChild<ReportList*>(QStringLiteral("lstStorico"));
    QStringList rows;
    for (qsizetype i = 0; i < list->Count(); ++i) {
        QStringList cells;
        for (int column = 0; column < 6; ++column)
            cells << list->SubItem(ReportList::keyFor(i), column);
        rows << cells.join(u'|');
    }
    EXPECT_EQ(rows,
              (QStringList{QStringLiteral("2024|01.A01.A03.010|m³|120,00|+20,00|già 01.A01.A02.010; edizione aperta"),
                           QStringLiteral("2023|01.A01.A02.010|m³|100,00||")}));

    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    // Another section empties the subarticles: nothing to follow.
    sections->setCurrentIndex(1);
    emit sections->activated(1);
    EXPECT_FALSE(storico->isEnabled());
    window.close();
}
