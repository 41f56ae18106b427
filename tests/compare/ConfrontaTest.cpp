// Confronto as a user drives it: another edition opened beside the list, the list of what changed filtered by
// state and threshold, Enter on an item, the files refused, a comparison stopped. Which item is in which state
// is the library's, tested there; here the window must show it, in its columns, and keep out of the way.
#include "core/AppState.h"
#include "app/Application.h"
#include "tests/support/EditionPair.h"
#include "ui/MDIForm1.h"
#include "ui/MessageBox.h"
#include "ui/ReportList.h"
#include "compare/frmConfronta.h"
#include "consultation/frmPrincipale.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList utf8Texts(std::initializer_list<const char*> utf8)
{
    QStringList list;
    for (const char* text : utf8)
        list << QString::fromUtf8(text);
    return list;
}

struct Confronta : ::testing::Test
{
    fixture::PriceListFolder older{fixture::olderEdition()};
    fixture::PriceListFolder newer{fixture::newerEdition()};
    core::AppState state;
    app::Application prezzario{state};
    compare::frmConfronta* window = nullptr;

    void SetUp() override
    {
        ui::MessageBox::clearRecorded();
        ASSERT_TRUE(prezzario.startUp(newer.folder()));
        prezzario.mainWindow().show();
        window = &prezzario.confronto();
    }

    void TearDown() override
    {
        prezzario.consultazione().close();
        window->close();
        ui::MessageBox::clearRecorded();
    }

    template <typename Widget>
    Widget* child(const char* name)
    {
        return window->findChild<Widget*>(QString::fromLatin1(name));
    }

    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isBusy(); }, 10000));
        QApplication::processEvents();
    }

    ui::ReportList& list() { return *child<ui::ReportList>("lstConfronto"); }

    // Each row's cells, as the list shows them.
    QList<QStringList> rows()
    {
        QList<QStringList> shown;
        for (qsizetype row = 0; row < list().Count(); ++row) {
            QStringList cells;
            for (int column = 0; column < list().columnCountTotal(); ++column)
                cells << list().SubItem(ui::ReportList::keyFor(row), column);
            shown << cells;
        }
        return shown;
    }

    QStringList states()
    {
        QStringList names;
        for (const QStringList& row : rows())
            names << row[0];
        return names;
    }

    qsizetype rowOf(const QString& code)
    {
        const QList<QStringList> shown = rows();
        for (qsizetype row = 0; row < shown.size(); ++row) {
            if (shown[row][1] == code || shown[row][2] == code)
                return row;
        }
        return -1;
    }
};

} // namespace

TEST_F(Confronta, listsWhatChangedInItsColumnsAndFiltersByStateAndThreshold)
{
    ASSERT_TRUE(window->open(older.database()));
    settle();
    ASSERT_NE(window->comparison(), nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Confronto edizioni 2023 → 2024"));
    EXPECT_TRUE(child<QLabel>("lblRiepilogo")->text().contains(QStringLiteral("1 voce ricodificata")));

    // By default everything but the unchanged items.
    const core::Comparison& comparison = *window->comparison();
    EXPECT_FALSE(states().contains(QStringLiteral("invariata")));
    EXPECT_EQ(list().Count(), comparison.items.size() - comparison.invariate);
    EXPECT_EQ(child<QLabel>("lblConfrontati")->text(), QStringLiteral("%1 voci").arg(list().Count()));
    const QList<QStringList> expected = {
        utf8Texts({"variata", "01.A01.A01.020", "01.A01.A01.020", "Scavo – in terreno sciolto", "m³", "20,00", "22,00",
               "10,00"}),
        utf8Texts({"ricodificata", "01.A01.A02.010", "01.A01.A03.010", "Demolizione – di muratura in mattoni", "m³",
               "100,00", "120,00", "20,00"}),
        utf8Texts({"variata", "01.A01.A01.030", "01.A01.A01.030", "Scavo – in terreno compatto", "m³ → m²", "30,00",
               "30,00", "0,00"}),
        utf8Texts({"variata", "01.A01.A01.040", "01.A01.A01.040", "Scavo – in terreno roccioso", "m³", "", "40,00", ""}),
        utf8Texts({"nuova", "", "02.B01.A01.010", "Pavimento – in gres", "m²", "", "35,00", ""}),
        utf8Texts({"eliminata", "03.C01.A01.010", "", "Intonaco – di calce", "m²", "15,00", "", ""}),
    };
    for (const QStringList& row : expected) {
        const qsizetype at = rowOf(row[1].isEmpty() ? row[2] : row[1]);
        ASSERT_GE(at, 0) << row.join(u' ').toStdString();
        EXPECT_EQ(rows()[at], row);
    }

    // Each state alone, and all of them.
    auto* stateBox = child<QComboBox>("cmbStato");
    EXPECT_EQ(stateBox->currentText(), QStringLiteral("Tutte tranne invariate"));
    stateBox->setCurrentIndex(stateBox->findText(QStringLiteral("Nuove")));
    EXPECT_EQ(states(), QStringList(comparison.nuove, QStringLiteral("nuova")));
    stateBox->setCurrentIndex(stateBox->findText(QStringLiteral("Tutte")));
    EXPECT_EQ(list().Count(), comparison.items.size());

    // A threshold typed in the box filters the list (the rule itself is the library's).
    auto* threshold = child<QLineEdit>("txtSoglia");
    threshold->setText(QStringLiteral("19,5"));
    QStringList codes;
    for (const QStringList& row : rows())
        codes << row[2];
    EXPECT_EQ(codes, (QStringList{QStringLiteral("01.A01.A03.010"), QStringLiteral("04.D01.A01.010")}));
    // One that is not a number is marked in its box, and the list answers the state alone.
    threshold->setText(QStringLiteral("2x"));
    EXPECT_FALSE(threshold->styleSheet().isEmpty());
    EXPECT_EQ(list().Count(), comparison.items.size());
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());

    // Section 03 is only in the older edition: listed, with nothing to reckon.
    auto* sections = child<ui::ReportList>("lstSezioni");
    codes.clear();
    for (qsizetype row = 0; row < sections->Count(); ++row)
        codes << sections->SubItem(ui::ReportList::keyFor(row), 0);
    EXPECT_EQ(codes, utf8Texts({"01", "02", "03", "04"}));
    const QString third = ui::ReportList::keyFor(2);
    EXPECT_EQ(sections->SubItem(third, 2), QStringLiteral("0"));
    EXPECT_TRUE(sections->SubItem(third, 3).isEmpty());
}

TEST_F(Confronta, enterOpensTheNewerItemAndAnItemGoneIsToldInTheStatusBar)
{
    ASSERT_TRUE(window->open(older.database()));
    settle();
    list().setFocus();
    list().Select(ui::ReportList::keyFor(rowOf(QStringLiteral("01.A01.A02.010"))));
    QTest::keyClick(&list(), Qt::Key_Return);
    ASSERT_TRUE(prezzario.consultazione().isVisible());
    auto* subarticles = prezzario.consultazione().findChild<ui::ReportList*>(QStringLiteral("lstSubarticoli"));
    EXPECT_EQ(subarticles->SelectedText(), QStringLiteral("01.A01.A03.010"));
    prezzario.consultazione().close();

    list().Select(ui::ReportList::keyFor(rowOf(QStringLiteral("03.C01.A01.010"))));
    QTest::keyClick(&list(), Qt::Key_Return);
    EXPECT_FALSE(prezzario.consultazione().isVisible());
    EXPECT_TRUE(window->statusBar()->currentMessage().contains(QStringLiteral("eliminata")));

    QTest::keyClick(&list(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(prezzario.mainWindow().isEnabled());
}

TEST_F(Confronta, refusesTheOpenListUnderAnyNameAndAFileThatIsNoList)
{
    const QString link = older.folder() + QStringLiteral("/collegamento.mdb");
    ASSERT_TRUE(QFile::link(newer.database(), link));
    const QString text = older.folder() + QStringLiteral("/appunti.mdb");
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("non un prezzario\n");
    }
    struct Case
    {
        QString path;
        QString said;
    };
    for (const Case& refused : {Case{newer.database(), QStringLiteral("già aperto")},
                                Case{link, QStringLiteral("già aperto")},
                                Case{text, QStringLiteral("«%1»").arg(text)}}) {
        ui::MessageBox::clearRecorded();
        EXPECT_FALSE(window->open(refused.path));
        ASSERT_EQ(ui::MessageBox::recorded().size(), 1) << refused.path.toStdString();
        EXPECT_TRUE(ui::MessageBox::recorded().front().text.contains(refused.said))
            << ui::MessageBox::recorded().front().text.toStdString();
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->comparison(), nullptr);
    }
}

TEST_F(Confronta, cancellingOrClosingStopsTheComparison)
{
    ASSERT_TRUE(window->open(older.database()));
    settle();
    ASSERT_NE(window->comparison(), nullptr);

    window->compare(older.database());
    EXPECT_TRUE(window->isBusy());
    QTest::mouseClick(child<QWidget>("cmdAnnulla"), Qt::LeftButton);
    settle();
    EXPECT_EQ(window->comparison(), nullptr);
    EXPECT_EQ(list().Count(), 0);
    EXPECT_TRUE(child<QLabel>("lblRiepilogo")->text().contains(QStringLiteral("annullato")));

    window->compare(older.database());
    window->close();
    settle();
    EXPECT_EQ(window->comparison(), nullptr);
    EXPECT_TRUE(prezzario.mainWindow().isEnabled());
}
