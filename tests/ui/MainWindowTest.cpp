#include "core/AppState.h"
#include "tests/support/Fixture.h"
#include "ui/MDIForm1.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

// The title shown for a list whose anno_prezzario holds these years, in this order.
QString titleFor(const QList<int>& years)
{
    fixture::Tables tables{{fixture::Row{}}};
    tables.anno = QStringLiteral("ANNO_PREZZARIO\n%1\n").arg(years.front());
    const fixture::PriceListFolder folder(tables);
    {
        core::Database db = core::Database::OpenDatabase(folder.database(), QStringLiteral(";pwd=qzkw"),
                                                         core::Database::Mode::CreateWrite);
        for (qsizetype i = 1; i < years.size(); ++i)
            db.Execute(QStringLiteral("insert into anno_prezzario values (%1)").arg(years[i]));
    }
    core::AppState state;
    ui::MDIForm1 main(state);
    main.MDIForm_Load(folder.folder());
    return main.windowTitle();
}

} // namespace

TEST(MainWindow, titleCarriesTheYearOfTheFirstRow)
{
    EXPECT_EQ(titleFor({2021}), QStringLiteral("Prezzario Regione Vallorsa 2021 CD"));
    EXPECT_EQ(titleFor({2019, 2020}), QStringLiteral("Prezzario Regione Vallorsa 2019 CD"));
}

TEST(MainWindow, loadFillsTheSharedState)
{
    const fixture::PriceListFolder folder({{fixture::Row{}}});
    core::AppState state;
    ui::MDIForm1 main(state);
    main.MDIForm_Load(folder.folder());
    EXPECT_EQ(state.AnnoPrezzario, QStringLiteral("2021"));
    EXPECT_TRUE(state.priceList.isOpen());
}

TEST(MainWindow, menuHoldsTheCommandsInOrderAndEmitsThem)
{
    const fixture::PriceListFolder folder({{fixture::Row{}}});
    core::AppState state;
    ui::MDIForm1 main(state);
    main.MDIForm_Load(folder.folder());

    auto* menu = main.findChild<QMenu*>(QStringLiteral("mnuMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("Menu"));
    QStringList items;
    for (QAction* action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->objectName() + u'=' + action->text());
    EXPECT_EQ(items, (QStringList{QStringLiteral("mnuApri=Apri prezzario…"), QStringLiteral("=Prezzari recenti"),
                                  QStringLiteral("-"), QStringLiteral("mnuPremesse=Prefazione e Premesse"),
                                  QStringLiteral("-"), QStringLiteral("mnuAlbero=Consultazione"), QStringLiteral("-"),
                                  QStringLiteral("mnuRicerche=Ricerca"), QStringLiteral("mnuTrova=Trova voce"),
                                  QStringLiteral("mnuVociScelte=Voci scelte"),
                                  QStringLiteral("mnuConfronta=Confronta con un'altra edizione…"), QStringLiteral("-"),
                                  QStringLiteral("mnuManuale=Manuale Utente")}));

    QSignalSpy ricerca(&main, &ui::MDIForm1::ricercheRequested);
    QSignalSpy manuale(&main, &ui::MDIForm1::manualeRequested);
    main.findChild<QAction*>(QStringLiteral("mnuRicerche"))->trigger();
    main.findChild<QAction*>(QStringLiteral("mnuManuale"))->trigger();
    EXPECT_EQ(ricerca.count(), 1);
    EXPECT_EQ(manuale.count(), 1);
}

TEST(MainWindow, refusesToCloseWhileDisabledAndClosesTheDatabaseOnClose)
{
    const fixture::PriceListFolder folder({{fixture::Row{}}});
    core::AppState state;
    ui::MDIForm1 main(state);
    main.MDIForm_Load(folder.folder());
    main.show();

    main.setEnabled(false); // a function window is open
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(state.priceList.isOpen());

    main.setEnabled(true);
    EXPECT_TRUE(main.close());
    EXPECT_FALSE(state.priceList.isOpen());
}

TEST(MainWindow, everyCommandCanBeReachedFromTheKeyboard)
{
    const fixture::PriceListFolder folder({{fixture::Row{}}});
    core::AppState state;
    ui::MDIForm1 main(state);
    main.MDIForm_Load(folder.folder());
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));

    struct Case
    {
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        void (ui::MDIForm1::*signal)();
    };
    const Case cases[] = {
        {{{Qt::Key_M, Qt::AltModifier}, {Qt::Key_R, Qt::NoModifier}}, &ui::MDIForm1::ricercheRequested},
        {{{Qt::Key_F10, Qt::NoModifier}, {Qt::Key_C, Qt::NoModifier}}, &ui::MDIForm1::alberoRequested},
        {{{Qt::Key_M, Qt::AltModifier}, {Qt::Key_P, Qt::NoModifier}}, &ui::MDIForm1::premesseRequested},
        {{{Qt::Key_M, Qt::AltModifier}, {Qt::Key_M, Qt::NoModifier}}, &ui::MDIForm1::manualeRequested},
        {{{Qt::Key_F, Qt::ControlModifier}}, &ui::MDIForm1::ricercheRequested},
        {{{Qt::Key_F1, Qt::NoModifier}}, &ui::MDIForm1::manualeRequested},
    };
    for (const Case& c : cases) {
        QSignalSpy spy(&main, c.signal);
        for (const auto& [key, modifiers] : c.keys) {
            // An open menu takes the keys; otherwise the window does.
            QWidget* target = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : &main;
            QTest::keyClick(target, key, modifiers);
        }
        EXPECT_EQ(spy.count(), 1) << c.keys.front().first;
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the menu closes once its command runs";
    }
    // The captions stay as written: the letters are only drawn.
    EXPECT_EQ(main.findChild<QAction*>(QStringLiteral("mnuRicerche"))->text(), QStringLiteral("Ricerca"));

    QTest::keyClick(&main, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(main.isVisible());
}
