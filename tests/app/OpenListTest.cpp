// Another edition opened from the main menu without a restart: the windows show the new list from their next
// opening, Voci scelte keeps its collection, and "Prezzari recenti" offers the files opened.
#include "core/AppState.h"
#include "app/Application.h"
#include "core/Collections.h"
#include "tests/support/EditionPair.h"
#include "ui/MDIForm1.h"
#include "ui/MessageBox.h"
#include "ui/ListFiles.h"
#include "ui/ReportList.h"
#include "search/frmCerca.h"
#include "search/frmTrova.h"
#include "collection/frmVociScelte.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct OpenList : ::testing::Test
{
    fixture::PriceListFolder older{fixture::olderEdition()}; // 2023
    fixture::PriceListFolder newer{fixture::newerEdition()}; // 2024
    core::AppState state;
    app::Application prezzario{state};

    void SetUp() override
    {
        ui::MessageBox::clearRecorded();
        // A collection of its own, made on the older edition: Ctrl+D adds to it.
        core::CollectionStore store = core::CollectionStore::open();
        store.setLastUsed(store.create(QStringLiteral("Cantiere"), QStringLiteral("2023"), core::kListTitle).id);
        ASSERT_TRUE(prezzario.startUp(older.folder()));
        prezzario.mainWindow().show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&prezzario.mainWindow()));
    }

    static void type(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::activePopupWidget();
        if (!target && QApplication::activeWindow())
            target = QApplication::activeWindow()->focusWidget() ? QApplication::activeWindow()->focusWidget()
                                                                 : QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }

    // Trova opened from the menu, with what it finds for 'words'.
    QStringList trovaFinds(const QString& words)
    {
        search::frmTrova& trova = prezzario.trova();
        trova.showFromMenu();
        QTest::keyClicks(trova.findChild<QLineEdit*>(QStringLiteral("txtTrova")), words);
        auto* found = trova.findChild<ui::ReportList*>(QStringLiteral("lstTrovati"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !trova.isBusy(); }, 10000));
        QStringList codes;
        for (qsizetype row = 0; row < found->Count(); ++row)
            codes << found->Text(ui::ReportList::keyFor(row));
        return codes;
    }

    // The sections Ricerca offers as it opens, by their codes.
    QStringList ricercaSections()
    {
        search::frmCerca& ricerca = prezzario.ricerca();
        ricerca.showFromMenu();
        const auto* sections = ricerca.findChild<QComboBox*>(QStringLiteral("cmbSezioni"));
        QStringList codes;
        for (int i = 0; i < sections->count(); ++i) {
            if (sections->itemText(i).mid(2, 3) == QStringLiteral(" - ")) // past "all sections"
                codes << sections->itemText(i).left(2);
        }
        ricerca.close();
        return codes;
    }
};

} // namespace

TEST_F(OpenList, anotherEditionReplacesTheListInEveryWindowButVociScelteKeepsItsCollection)
{
    QWidget& main = prezzario.mainWindow();
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral(" 2023 CD")));
    ASSERT_EQ(trovaFinds(QStringLiteral("intonaco")), QStringList{QStringLiteral("03.C01.A01.010")});
    type(Qt::Key_D, Qt::ControlModifier);
    prezzario.trova().close();
    EXPECT_EQ(ricercaSections(), (QStringList{QStringLiteral("01"), QStringLiteral("03"), QStringLiteral("04")}));
    collection::frmVociScelte& voci = prezzario.vociScelte();
    voci.showFromMenu();
    auto* riporta = voci.findChild<QPushButton*>(QStringLiteral("cmdRiporta"));
    EXPECT_FALSE(riporta->isVisible());

    // Ctrl+O in the main window, the file chosen in the dialog.
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    bool chosen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(newer.database());
        static_cast<QDialog*>(dialog)->accept(); // as the Open button does
        chosen = true;
    });
    type(Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral(" 2024 CD"))) << main.windowTitle().toStdString();
    EXPECT_EQ(state.AnnoPrezzario, QStringLiteral("2024"));

    EXPECT_TRUE(trovaFinds(QStringLiteral("intonaco")).isEmpty());
    EXPECT_EQ(trovaFinds(QStringLiteral("pavimento")), QStringList{QStringLiteral("02.B01.A01.010")});
    prezzario.trova().close();
    EXPECT_EQ(ricercaSections(), (QStringList{QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("04")}));

    // Voci scelte stayed open on its collection, now offered to the open edition.
    EXPECT_TRUE(voci.isVisible());
    EXPECT_EQ(voci.currentName(), QStringLiteral("Cantiere"));
    ASSERT_EQ(voci.current().items.size(), 1);
    EXPECT_EQ(voci.current().items[0].code, QStringLiteral("03.C01.A01.010"));
    EXPECT_TRUE(riporta->isVisible());
    EXPECT_TRUE(voci.findChild<QLabel*>(QStringLiteral("lblEdizione"))->text().contains(QStringLiteral("2024")));

    // Alt+M, N: the recent files, the last opened first; the second is the older edition again.
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    type(Qt::Key_M, Qt::AltModifier);
    type(Qt::Key_N);
    auto* recenti = main.findChild<QMenu*>(QStringLiteral("mnuRecenti"));
    ASSERT_EQ(QApplication::activePopupWidget(), recenti);
    QStringList files;
    for (const QAction* action : recenti->actions())
        files << action->text().section(u' ', 2);
    EXPECT_EQ(files,
              (QStringList{QDir::toNativeSeparators(newer.database()), QDir::toNativeSeparators(older.database())}));
    type(Qt::Key_2);
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral(" 2023 CD")));
    EXPECT_FALSE(riporta->isVisible());
    EXPECT_EQ(ui::rememberedListFiles(), (QStringList{older.database(), newer.database()}));
    voci.close();
}

TEST_F(OpenList, aFileThatIsNoPriceListChangesNothing)
{
    search::frmTrova* trova = &prezzario.trova();
    prezzario.vociScelte().showFromMenu();
    const QString title = prezzario.mainWindow().windowTitle();

    QTemporaryDir dir;
    const QString notAList = dir.filePath(QStringLiteral("Prezzario.mdb"));
    QFile file(notAList);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Non è un prezzario.\n");
    file.close();

    EXPECT_FALSE(prezzario.openPriceList(notAList));
    ASSERT_EQ(ui::MessageBox::recorded().size(), 1);
    EXPECT_TRUE(ui::MessageBox::recorded()[0].text.contains(QDir::toNativeSeparators(notAList)))
        << ui::MessageBox::recorded()[0].text.toStdString();
    EXPECT_EQ(prezzario.mainWindow().windowTitle(), title);
    EXPECT_EQ(state.priceList.path(), older.database());
    EXPECT_TRUE(state.priceList.isOpen());
    EXPECT_EQ(&prezzario.trova(), trova) << "the windows are kept";
    EXPECT_TRUE(prezzario.vociScelte().isVisible());
    EXPECT_EQ(ui::rememberedListFiles(), QStringList{older.database()});
    prezzario.vociScelte().close();
}
