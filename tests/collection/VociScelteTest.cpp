// Voci scelte as a user builds one: Ctrl+D in the windows that list items, then quantities, order and removal
// in its own window, and the collection there again after a restart. Storing and exporting are the
// library's, tested there.
#include "core/AppState.h"
#include "app/Application.h"
#include "core/Collections.h"
#include "tests/support/EditionPair.h"
#include "ui/MDIForm1.h"
#include "ui/MessageBox.h"
#include "ui/ListFiles.h"
#include "ui/ReportList.h"
#include "tests/support/SearchList.h"
#include "consultation/frmPrincipale.h"
#include "search/frmTrova.h"
#include "collection/frmVociScelte.h"
#include "report/export/ItemExport.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList codesShown(const QTableView& list)
{
    QStringList codes;
    for (int row = 0; row < list.model()->rowCount(); ++row)
        codes << list.model()->index(row, 0).data().toString();
    return codes;
}

} // namespace

TEST(VociScelte, ctrlDCollectsOnceAndTheWindowKeepsQuantitiesOrderAndRemovalsAcrossARestart)
{
    const fixture::PriceListFolder folder(fixture::searchTables());
    {
        core::AppState state;
        app::Application prezzario(state);
        ASSERT_TRUE(prezzario.startUp(folder.folder()));
        prezzario.mainWindow().show();

        // From Trova: once added, twice refused with a word in the status bar.
        search::frmTrova& trova = prezzario.trova();
        trova.showFromMenu();
        QTest::keyClicks(trova.findChild<QLineEdit*>(QStringLiteral("txtTrova")), QStringLiteral("laterizio 30"));
        auto* found = trova.findChild<ui::ReportList*>(QStringLiteral("lstTrovati"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !trova.isBusy() && found->Count() == 1; }, 10000));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&trova));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier); // from the box
        EXPECT_TRUE(trova.statusBar()->currentMessage().contains(QStringLiteral("aggiunta")));
        found->setFocus();
        QTest::keyClick(found, Qt::Key_D, Qt::ControlModifier);
        EXPECT_TRUE(trova.statusBar()->currentMessage().contains(QStringLiteral("già")));
        trova.close();

        // From Consultazione, two more.
        consultation::frmPrincipale& consultazione = prezzario.consultazione();
        auto* subarticles = consultazione.findChild<ui::ReportList*>(QStringLiteral("lstSubarticoli"));
        for (const char* code : {"01.B01.A01.010", "01.B01.A01.020"}) {
            consultazione.openAt(QString::fromLatin1(code));
            ASSERT_TRUE(QTest::qWaitForWindowActive(&consultazione));
            subarticles->setFocus();
            QTest::keyClick(subarticles, Qt::Key_D, Qt::ControlModifier);
        }
        consultazione.close();

        collection::frmVociScelte& window = prezzario.vociScelte();
        window.showFromMenu();
        auto* list = window.findChild<QTableView*>(QStringLiteral("lstVociScelte"));
        EXPECT_EQ(codesShown(*list),
                  (QStringList{QStringLiteral("01.A03.A05.020"), QStringLiteral("01.B01.A01.010"),
                               QStringLiteral("01.B01.A01.020")}));

        // A quantity with a decimal comma makes the amount and the total; a price-less item adds nothing.
        QAbstractItemModel& model = *list->model();
        EXPECT_TRUE(model.setData(model.index(1, 4), QStringLiteral("2,5")));
        EXPECT_TRUE(model.setData(model.index(2, 4), QStringLiteral("3")));
        EXPECT_FALSE(model.setData(model.index(0, 4), QStringLiteral("due")));
        EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lblTotale"))->text(), QStringLiteral("Totale: 301,25"));

        // Alt+Down moves the item; Delete removes the selected one.
        list->setFocus();
        list->setCurrentIndex(model.index(0, 0));
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
        list->selectRow(2);
        QTest::keyClick(list, Qt::Key_Delete);
        window.close();
    }
    // Another run of the program finds the collection as it was left.
    core::AppState state;
    app::Application prezzario(state);
    ASSERT_TRUE(prezzario.startUp(folder.folder()));
    collection::frmVociScelte& window = prezzario.vociScelte();
    window.showFromMenu();
    auto* list = window.findChild<QTableView*>(QStringLiteral("lstVociScelte"));
    EXPECT_EQ(codesShown(*list), (QStringList{QStringLiteral("01.B01.A01.010"), QStringLiteral("01.A03.A05.020")}));
    EXPECT_EQ(list->model()->index(0, 4).data().toString(), QStringLiteral("2,5"));
    window.close();
}

// A collection made on 2023 while 2024 is open; the 2023 file was opened once, so the program finds it itself.
TEST(VociScelte, riportaMakesACopyForTheOpenEditionWithTheNewCodes)
{
    const fixture::PriceListFolder older(fixture::olderEdition()), newer(fixture::newerEdition());
    core::CollectionStore store = core::CollectionStore::open();
    core::Collection project = store.create(QStringLiteral("Scuola"), QStringLiteral("2023"), core::kListTitle);
    {
        const core::PriceList list = core::PriceList::open(older.database());
        for (const char* code : {"01.A01.A02.010", "03.C01.A01.010", "01.A01.A01.020"})
            project.items << *core::chosenItem(list, QString::fromLatin1(code));
    }
    store.save(project);
    store.setLastUsed(project.id);
    ui::rememberListFile(older.database());

    core::AppState state;
    app::Application prezzario(state);
    ASSERT_TRUE(prezzario.startUp(newer.folder()));
    collection::frmVociScelte& window = prezzario.vociScelte();
    window.showFromMenu();
    auto* riporta = window.findChild<QPushButton*>(QStringLiteral("cmdRiporta"));
    ASSERT_TRUE(riporta->isVisible());
    ui::MessageBox::clearRecorded();
    QTest::mouseClick(riporta, Qt::LeftButton);

    ASSERT_TRUE(QTest::qWaitFor([] { return !ui::MessageBox::recorded().isEmpty(); }, 10000));
    ASSERT_EQ(ui::MessageBox::recorded().size(), 1);
    EXPECT_EQ(ui::MessageBox::recorded()[0].text,
              QStringLiteral("3 voci riportate: 1 ricodificate, 1 non presenti in questa edizione."));
    EXPECT_EQ(window.findChild<QComboBox*>(QStringLiteral("cmbRaccolta"))->currentText(),
              QStringLiteral("Scuola (2024)"));
    EXPECT_FALSE(riporta->isVisible());
    const auto* list = window.findChild<QTableView*>(QStringLiteral("lstVociScelte"));
    EXPECT_EQ(codesShown(*list), (QStringList{QStringLiteral("01.A01.A03.010"), QStringLiteral("03.C01.A01.010"),
                                              QStringLiteral("01.A01.A01.020")}));
    EXPECT_EQ(list->model()->index(0, 7).data().toString(), QStringLiteral("già 01.A01.A02.010"));
    EXPECT_EQ(store.load(project.id)->items.size(), 3) << "the 2023 collection is kept";
    window.close();
}

// Amounts of half a cent, as price × quantity often gives: the window, the clipboard and each file round every
// row half-up to the cent, and every total is the sum of the rows it shows.
TEST(VociScelte, theWindowTheClipboardAndTheFilesAgreeToTheCent)
{
    fixture::Tables tables;
    const struct
    {
        const char* code;
        const char* price;
        const char* quantity;
        const char* amount;
    } rows[] = {
        {"010", "16.09", "85,5", "1.375,70"}, // 1.375,695
        {"020", "112.93", "2,5", "282,33"},   // 282,325
        {"030", "0.15", "3,3", "0,50"},       // 0,495
        {"040", "2101.48", "1.000", "2.101.480,00"},
    };
    for (qsizetype i = 0; i < 4; ++i) {
        fixture::Row row;
        row.sequenza = i + 1;
        row.subarticolo_codice = QString::fromLatin1(rows[i].code);
        row.prezzo_lordo = QString::fromLatin1(rows[i].price);
        tables.rows << row;
    }
    const QString total = QStringLiteral("2.103.138,53");
    const fixture::PriceListFolder folder(tables);
    core::AppState state;
    app::Application prezzario(state);
    ASSERT_TRUE(prezzario.startUp(folder.folder()));
    collection::frmVociScelte& window = prezzario.vociScelte();
    window.showFromMenu();
    auto* list = window.findChild<QTableView*>(QStringLiteral("lstVociScelte"));
    QAbstractItemModel& model = *list->model();
    for (qsizetype i = 0; i < 4; ++i) {
        ASSERT_EQ(window.add(QStringLiteral("01.A01.A01.") + QLatin1String(rows[i].code)),
                  collection::frmVociScelte::Added::Added);
        ASSERT_TRUE(model.setData(model.index(int(i), 4), QString::fromLatin1(rows[i].quantity)));
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(model.index(i, 5).data().toString(), QString::fromUtf8(rows[i].amount));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lblTotale"))->text(), QStringLiteral("Totale: ") + total);

    // The clipboard: the item's whole text, amounts without thousands separators.
    list->setFocus();
    list->selectAll();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    for (int i = 0; i < 4; ++i) {
        const QStringList cells = lines[i + 1].split(u'\t');
        EXPECT_EQ(cells[1], QStringLiteral("Scavo a sezione obbligata in terreno di qualsiasi natura"));
        EXPECT_EQ(cells[5], QString::fromUtf8(rows[i].amount).remove(u'.'));
    }
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->html().contains(QStringLiteral("sdval=\"2101480.00\"")));

    // The CSV's rows and total.
    const QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("voci.csv"));
    report::exportItems(core::exportDocument(state.priceList, window.current()), csv, report::ExportFormat::Csv);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList csvLines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(csvLines.size(), 6);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(csvLines[i + 1].split(u';')[5], QString::fromUtf8(rows[i].amount).remove(u'.'));
    EXPECT_EQ(csvLines[5].split(u';')[5], QString(total).remove(u'.'));
    window.close();
}
