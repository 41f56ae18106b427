#include "core/Error.h"
#include "ui/ReportList.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using ui::ReportList;

namespace {

// A window holding a line edit and a list, so that focus can move into the list as a user moves it.
struct ListWindow
{
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    ReportList* list = new ReportList(&window);

    explicit ListWindow(qsizetype rows = 0)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(list);
        list->setColumns({{QStringLiteral("Codice"), 1000}, {QStringLiteral("Descrizione"), 6450},
                          {QStringLiteral("note"), 0}});
        for (qsizetype i = 0; i < rows; ++i) {
            list->Add(ReportList::keyFor(i), QStringLiteral("01.A%1").arg(i, 2, 10, QLatin1Char('0')));
            list->SetSubItem(ReportList::keyFor(i), 1, QStringLiteral("capitolo %1").arg(i));
        }
        window.show();
        QApplication::setActiveWindow(&window);
        before->setFocus();
        QApplication::processEvents();
    }
};

} // namespace

TEST(ReportList, rowsAreKeyedAndCarrySubItemsIncludingHiddenColumns)
{
    ListWindow w(3);
    ReportList& list = *w.list;
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(QStringLiteral("k1")), QStringLiteral("01.A01"));
    EXPECT_EQ(list.SubItem(QStringLiteral("k2"), 1), QStringLiteral("capitolo 2"));
    list.SetSubItem(QStringLiteral("k2"), 2, QStringLiteral("nota nascosta"));
    EXPECT_EQ(list.SubItem(QStringLiteral("k2"), 2), QStringLiteral("nota nascosta"));
    EXPECT_TRUE(list.isColumnHidden(2));
    EXPECT_FALSE(list.isColumnHidden(1));
    EXPECT_GE(list.columnWidth(0), qRound(1000 * list.logicalDpiX() / 1440.0));
    EXPECT_EQ(list.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Descrizione"));
    EXPECT_THROW(list.Add(QStringLiteral("k1"), QStringLiteral("doppio")), ui::ListError);
    EXPECT_THROW(list.SetSubItem(QStringLiteral("k9"), 1, QString()), ui::ListError);
}

TEST(ReportList, columnsShowTheirHeadingAndTheWholeCode)
{
    ListWindow w;
    ReportList& list = *w.list;
    list.setColumns({{QStringLiteral("Codice"), 300}, {QStringLiteral("Manodopera Lorda"), 200}});
    EXPECT_GT(list.columnWidth(1), list.header()->fontMetrics().horizontalAdvance(QStringLiteral("Manodopera Lorda")));
    list.Add(QStringLiteral("k0"), QStringLiteral("01.A03.A01.010"));
    QApplication::processEvents();
    EXPECT_GT(list.columnWidth(0), list.fontMetrics().horizontalAdvance(QStringLiteral("01.A03.A01.010")));
}

TEST(ReportList, aListWithRowsAlwaysHasASelectedRow)
{
    ListWindow w;
    ReportList& list = *w.list;
    EXPECT_FALSE(list.HasSelection());
    EXPECT_EQ(list.SelectedKey(), QString());
    list.Add(QStringLiteral("k0"), QStringLiteral("primo"));
    list.Add(QStringLiteral("k1"), QStringLiteral("secondo"));
    EXPECT_EQ(list.SelectedKey(), QStringLiteral("k0"));
    list.Select(QStringLiteral("k1"));
    EXPECT_EQ(list.SelectedText(), QStringLiteral("secondo"));
    // Adding rows keeps the user's row selected.
    list.Add(QStringLiteral("k2"), QStringLiteral("terzo"));
    EXPECT_EQ(list.SelectedKey(), QStringLiteral("k1"));
    // Removing the selected row moves the selection to the first row.
    list.Remove(QStringLiteral("k1"));
    EXPECT_EQ(list.SelectedKey(), QStringLiteral("k0"));
}

TEST(ReportList, removalByKeyFromFrontMiddleAndWholeList)
{
    ListWindow w(5);
    ReportList& list = *w.list;
    list.Remove(QStringLiteral("k2"));
    EXPECT_EQ(list.Count(), 4);
    EXPECT_FALSE(list.Contains(QStringLiteral("k2")));
    EXPECT_EQ(list.Key(2), QStringLiteral("k3"));
    list.Remove(QStringLiteral("k0"));
    EXPECT_EQ(list.Key(0), QStringLiteral("k1"));
    EXPECT_EQ(list.SubItem(QStringLiteral("k4"), 1), QStringLiteral("capitolo 4"));
    EXPECT_THROW(list.Remove(QStringLiteral("k0")), ui::ListError);
    QApplication::processEvents();
    EXPECT_EQ(list.model()->rowCount(), 3);

    list.Remove(QStringLiteral("k1"));
    list.Remove(QStringLiteral("k3"));
    list.Remove(QStringLiteral("k4"));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.HasSelection());
    // Emptied, the list takes the same keys again.
    list.Add(QStringLiteral("k0"), QStringLiteral("di nuovo"));
    EXPECT_EQ(list.SelectedText(), QStringLiteral("di nuovo"));
}

// Keys that are not "k<n>" as keyFor writes them ("k01", "k-1", "K1", names) are keys of their own.
TEST(ReportList, keysOfAnyShapeStayDistinctThroughRemovals)
{
    ListWindow w(3);
    ReportList& list = *w.list;
    const QString others[] = {QStringLiteral("k01"), QStringLiteral("k-1"), QStringLiteral("K1"),
                              QStringLiteral("k"), QStringLiteral("k99999999999"), QStringLiteral("capitolo")};
    for (const QString& key : others)
        list.Add(key, key + QStringLiteral(" testo"));
    EXPECT_EQ(list.Count(), 9);
    EXPECT_EQ(list.Text(QStringLiteral("k1")), QStringLiteral("01.A01"));
    EXPECT_EQ(list.Text(QStringLiteral("k01")), QStringLiteral("k01 testo"));
    EXPECT_EQ(list.Key(4), QStringLiteral("k-1"));
    EXPECT_THROW(list.Add(QStringLiteral("k99999999999"), QString()), ui::ListError);
    // A removal in the middle moves every later key, of both kinds, one row up.
    list.Remove(QStringLiteral("k1"));
    EXPECT_EQ(list.Key(1), QStringLiteral("k2"));
    EXPECT_EQ(list.Key(2), QStringLiteral("k01"));
    EXPECT_EQ(list.Text(QStringLiteral("capitolo")), QStringLiteral("capitolo testo"));
    list.Select(QStringLiteral("K1"));
    EXPECT_EQ(list.SelectedText(), QStringLiteral("K1 testo"));
    // RemoveAll removes "k0" to "k<Count - 1>": here "k1" is gone, so it stops there with an error.
    EXPECT_THROW(list.RemoveAll(), ui::ListError);
    EXPECT_FALSE(list.Contains(QStringLiteral("k0")));
    EXPECT_TRUE(list.Contains(QStringLiteral("k2")));
}

TEST(ReportList, aWholeRowAddedAtOnceReadsAsCellByCell)
{
    ListWindow w;
    ReportList& list = *w.list;
    ui::ReportRow row;
    row.cellUtf8("01.A01").cell(QStringLiteral("perché è così")).emptyCell();
    list.Add(QStringLiteral("k0"), row);
    row.clear();
    row.cell(QStringLiteral("01.A02"));
    list.Add(QStringLiteral("k1"), row);
    EXPECT_EQ(list.SubItem(QStringLiteral("k0"), 1), QStringLiteral("perché è così"));
    EXPECT_EQ(list.SubItem(QStringLiteral("k0"), 2), QString());
    EXPECT_EQ(list.SubItem(QStringLiteral("k1"), 1), QString());
    EXPECT_EQ(list.SubItem(QStringLiteral("k1"), 7), QString());
    // Setting a cell past the row's last one, and changing one in the middle, keeps the others.
    list.SetSubItem(QStringLiteral("k1"), 2, QStringLiteral("nota"));
    list.SetSubItem(QStringLiteral("k0"), 1, QStringLiteral("più corto"));
    EXPECT_EQ(list.Text(QStringLiteral("k1")), QStringLiteral("01.A02"));
    EXPECT_EQ(list.SubItem(QStringLiteral("k1"), 2), QStringLiteral("nota"));
    EXPECT_EQ(list.SubItem(QStringLiteral("k0"), 1), QStringLiteral("più corto"));
    EXPECT_EQ(list.Text(QStringLiteral("k0")), QStringLiteral("01.A01"));
    QApplication::processEvents();
    EXPECT_EQ(list.model()->index(0, 1).data().toString(), QStringLiteral("più corto"));
}

TEST(ReportList, aCellShowsOneLineElidedToItsWidth)
{
    ListWindow w;
    const QFontMetrics metrics = w.list->fontMetrics();
    const QString description = QStringLiteral("Calcestruzzo per strutture di fondazione, dosato a 300 kg ").repeated(8);
    for (const int width : {40, 150, 400}) {
        const QString shown = ReportList::cellText(description, metrics, width);
        EXPECT_EQ(shown, metrics.elidedText(description, Qt::ElideRight, width)) << width;
        EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
        EXPECT_LE(metrics.horizontalAdvance(shown), width);
    }
    // A run of narrow characters cannot fool the shortcut into showing a cut text as whole.
    const QString narrow = QStringLiteral("'").repeated(400);
    EXPECT_EQ(ReportList::cellText(narrow, metrics, 200), metrics.elidedText(narrow, Qt::ElideRight, 200));
    EXPECT_EQ(ReportList::cellText(QStringLiteral("01.A01"), metrics, 400), QStringLiteral("01.A01"));
    // Several lines: the first, marked as cut.
    EXPECT_EQ(ReportList::cellText(QStringLiteral("prima riga\nseconda"), metrics, 400),
              QStringLiteral("prima riga") + QChar(0x2026));
    EXPECT_EQ(ReportList::cellText(QStringLiteral("prima\r\nseconda"), metrics, 400),
              QStringLiteral("prima") + QChar(0x2026));
}

TEST(ReportList, aRefilledListSelectsItsFirstRow)
{
    ListWindow w(3);
    ReportList& list = *w.list;
    list.Select(QStringLiteral("k2"));
    list.RemoveAll();
    for (int i = 0; i < 3; ++i)
        list.Add(ReportList::keyFor(i), QStringLiteral("nuova %1").arg(i));
    EXPECT_EQ(list.SelectedKey(), QStringLiteral("k0"));
}

TEST(ReportList, holdsMoreRowsThanA16BitCounter)
{
    ListWindow w(100000);
    ReportList& list = *w.list;
    EXPECT_EQ(list.Count(), 100000);
    EXPECT_EQ(list.Text(QStringLiteral("k99999")), QStringLiteral("01.A99999"));
    QApplication::processEvents();
    EXPECT_EQ(list.model()->rowCount(), 100000);
    list.RemoveAll();
    EXPECT_EQ(list.Count(), 0);
    QApplication::processEvents();
    EXPECT_EQ(list.model()->rowCount(), 0);
}

TEST(ReportList, arrowKeysRaiseItemClickButSelectionByCodeDoesNot)
{
    ListWindow w(3);
    ReportList& list = *w.list;
    QSignalSpy clicks(&list, &ReportList::ItemClick);
    list.Select(QStringLiteral("k1"));
    EXPECT_EQ(clicks.count(), 0);

    list.setFocus(Qt::OtherFocusReason);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(list.SelectedKey(), QStringLiteral("k2"));
    QTest::keyClick(&list, Qt::Key_Down); // already on the last row: nothing moves
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(&list, Qt::Key_Home);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(list.SelectedKey(), QStringLiteral("k0"));
}

TEST(ReportList, mouseClickOnARowRaisesItemClick)
{
    ListWindow w(3);
    ReportList& list = *w.list;
    QSignalSpy clicks(&list, &ReportList::ItemClick);
    const QRect row = list.visualRect(list.model()->index(2, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(list.SelectedKey(), QStringLiteral("k2"));
}

TEST(ReportList, gotFocusOnlyForFocusTheUserMoves)
{
    ListWindow w(2);
    ReportList& list = *w.list;
    QSignalSpy focus(&list, &ReportList::GotFocus);
    list.setFocus(Qt::ActiveWindowFocusReason);
    EXPECT_EQ(focus.count(), 0);
    w.before->setFocus();
    QTest::keyClick(w.before, Qt::Key_Tab);
    EXPECT_TRUE(list.hasFocus());
    EXPECT_EQ(focus.count(), 1);
}
