#include "AppState.h"
#include "Fixture.h"
#include "MDIForm1.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

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
    core::MDIForm1 main(state);
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
    core::MDIForm1 main(state);
    main.MDIForm_Load(folder.folder());
    EXPECT_EQ(state.DbPassword, QStringLiteral("qzkw"));
    EXPECT_EQ(state.AnnoPrezzario, QStringLiteral("2021"));
    EXPECT_TRUE(state.dbPrezzario.IsOpen());
    EXPECT_FALSE(state.rsMain.IsOpen());
}

TEST(MainWindow, menuHoldsTheCommandsInOrderAndEmitsThem)
{
    const fixture::PriceListFolder folder({{fixture::Row{}}});
    core::AppState state;
    core::MDIForm1 main(state);
    main.MDIForm_Load(folder.folder());

    auto* menu = main.findChild<QMenu*>(QStringLiteral("mnuMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("Menu"));
    QStringList items;
    for (QAction* action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->objectName() + u'=' + action->text());
    EXPECT_EQ(items, (QStringList{QStringLiteral("mnuPremesse=Prefazione e Premesse"), QStringLiteral("-"),
                                  QStringLiteral("mnuAlbero=Consultazione"), QStringLiteral("-"),
                                  QStringLiteral("mnuRicerche=Ricerca"), QStringLiteral("-"),
                                  QStringLiteral("mnuManuale=Manuale Utente")}));

    QSignalSpy ricerca(&main, &core::MDIForm1::ricercheRequested);
    QSignalSpy manuale(&main, &core::MDIForm1::manualeRequested);
    main.findChild<QAction*>(QStringLiteral("mnuRicerche"))->trigger();
    main.findChild<QAction*>(QStringLiteral("mnuManuale"))->trigger();
    EXPECT_EQ(ricerca.count(), 1);
    EXPECT_EQ(manuale.count(), 1);
}

TEST(MainWindow, refusesToCloseWhileDisabledAndClosesTheDatabaseOnClose)
{
    const fixture::PriceListFolder folder({{fixture::Row{}}});
    core::AppState state;
    core::MDIForm1 main(state);
    main.MDIForm_Load(folder.folder());
    main.show();

    main.setEnabled(false); // a function window is open
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(state.dbPrezzario.IsOpen());

    main.setEnabled(true);
    EXPECT_TRUE(main.close());
    EXPECT_FALSE(state.dbPrezzario.IsOpen());
}
