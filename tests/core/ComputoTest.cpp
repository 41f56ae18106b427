// The computo's arithmetic: factors as estimators write them, line and item quantities, amounts, labour costs
// and chapter subtotals that add rounded cents.

#include "core/Collections.h"
#include "core/Computo.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

core::MeasureLine line(const char* parti, const char* lunghezza, const char* larghezza, const char* hPeso)
{
    return core::MeasureLine{QString(), {QString::fromUtf8(parti), QString::fromUtf8(lunghezza),
                                         QString::fromUtf8(larghezza), QString::fromUtf8(hPeso)}};
}

core::ExportItem item(const char* code, double price, double share, double quantity, const char* chapter = "")
{
    core::ExportItem made;
    made.code = QString::fromUtf8(code);
    made.prezzoLordo = price;
    made.incidenzaManodopera = share;
    made.quantita = quantity;
    made.chapter = QString::fromUtf8(chapter);
    return made;
}

} // namespace

TEST(Measures, factorsReadAsEstimatorsWriteThem)
{
    const struct
    {
        const char* typed;
        std::optional<double> value;
        bool read;
    } cases[] = {
        {"", std::nullopt, true},          {"  ", std::nullopt, true},       {"2", 2, true},
        {"4,50", 4.5, true},               {"4.50", 4.5, true},              {" 2*3 ", 6, true},
        {"(4,50+1,20)/2", 2.85, true},     {"2+3*4", 14, true},              {"(2+3)*4", 20, true},
        {"-1,5", -1.5, true},              {"2*-3", -6, true},               {"-(2+3)", -5, true},
        {"10-2-3", 5, true},               {"12/2/3", 2, true},              {",5", 0.5, true},
        {"((((1))))", 1, true},            {"1.250,75", std::nullopt, false}, {"2x3", std::nullopt, false},
        {"2*", std::nullopt, false},       {"(2+3", std::nullopt, false},    {"2+3)", std::nullopt, false},
        {"4/0", std::nullopt, false},      {"4/(2-2)", std::nullopt, false}, {"*2", std::nullopt, false},
        {"2 3", std::nullopt, false},      {"()", std::nullopt, false},      {"1e3", std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        std::optional<double> value;
        QString fault;
        EXPECT_EQ(core::evaluateFactor(QString::fromUtf8(c.typed), value, fault), c.read);
        EXPECT_EQ(fault.isEmpty(), c.read);
        if (c.value)
            EXPECT_DOUBLE_EQ(value.value_or(-999), *c.value);
        else
            EXPECT_FALSE(value);
    }
    std::optional<double> value;
    QString fault;
    EXPECT_FALSE(core::evaluateFactor(QString(201, u'1'), value, fault));
    // Deep parentheses are read without recursion.
    const QString deep = QString(99, u'(') + u'7' + QString(99, u')');
    EXPECT_TRUE(core::evaluateFactor(deep, value, fault));
}

TEST(Measures, linesMakeTheItemsQuantity)
{
    // 2 × 2,85 = 5,7; 1 × 1,5 × 1 deducted; a note measures nothing.
    const QList<core::MeasureLine> lines{line("2", "(4,50+1,20)/2", "", ""), line("", "-1", "1,5", ""),
                                         line("", "", "", "")};
    EXPECT_DOUBLE_EQ(*core::lineQuantity(lines[0]), 5.7);
    EXPECT_DOUBLE_EQ(*core::lineQuantity(lines[1]), -1.5);
    EXPECT_TRUE(core::isNote(lines[2]));
    EXPECT_EQ(core::lineQuantity(lines[2]), 0.0);
    EXPECT_NEAR(*core::linesQuantity(lines), 4.2, 1e-12);
    EXPECT_FALSE(core::lineQuantity(line("2", "a", "", "")));
    EXPECT_EQ(core::measureFault({lines[0], line("", "", "3/0", "")}),
              QStringLiteral("riga 2, «Larghezza»: divisione per zero"));

    core::ChosenItem chosen;
    chosen.quantita = 7;
    EXPECT_EQ(chosen.quantity(), 7.0); // no lines: the typed quantity
    chosen.misure = lines;
    EXPECT_NEAR(*chosen.quantity(), 4.2, 1e-12);
}

TEST(Computo, subtotalsAndLabourAddRoundedCents)
{
    core::ExportDocument document;
    document.chapters = {QStringLiteral("Scavi"), QStringLiteral("Strutture"), QStringLiteral("Finiture")};
    document.items = {
        item("A", 10.005, 27.5, 1, "Strutture"), // 10,01 (half-up), labour 2,75275 → 2,75
        item("B", 3.333, 10.0, 3, "Scavi"),      // 10,00 (9,999), labour 1,00
        item("C", 0.125, 50, 1),                 // 0,13, labour 0,065 → 0,07
        item("D", 12.5, 9.44, 2, "Strutture"),   // 25,00, labour 2,36
    };
    const core::ComputoTotals totals = core::computoTotals(document);
    ASSERT_EQ(totals.chapters.size(), 4); // no chapter first, then each named one, the empty one too
    EXPECT_TRUE(totals.chapters[0].name.isEmpty());
    EXPECT_EQ(totals.chapters[0].items, QList<int>{2});
    EXPECT_EQ(totals.chapters[1].amount, 1000);
    EXPECT_EQ(totals.chapters[2].items, (QList<int>{0, 3}));
    EXPECT_EQ(totals.chapters[2].amount, 3501);
    EXPECT_EQ(totals.chapters[2].labour, 275 + 236);
    EXPECT_TRUE(totals.chapters[3].items.isEmpty());
    EXPECT_EQ(totals.amount, 1000 + 3501 + 13);
    EXPECT_EQ(totals.labour, 100 + 275 + 236 + 7);
    EXPECT_EQ(core::labourSummary(totals, QLocale(QLocale::Italian, QLocale::Italy)),
              QStringLiteral("Costo della manodopera: 6,18 (13,69 %)"));
    EXPECT_EQ(core::labourSummary({}, QLocale(QLocale::Italian, QLocale::Italy)),
              QStringLiteral("Costo della manodopera: 0,00 (0,00 %)"));
}

TEST(Computo, itemsStayGroupedByChapter)
{
    core::Collection collection;
    for (const char* code : {"A", "B", "C", "D"}) {
        core::ChosenItem chosen;
        chosen.code = QString::fromUtf8(code);
        collection.items << chosen;
    }
    const auto codes = [&] {
        QStringList found;
        for (const core::ChosenItem& chosen : collection.items)
            found << chosen.code + u':' + chosen.chapter;
        return found.join(u' ');
    };
    EXPECT_TRUE(core::addChapter(collection, QStringLiteral(" Scavi ")));
    EXPECT_TRUE(core::addChapter(collection, QStringLiteral("Strutture")));
    EXPECT_FALSE(core::addChapter(collection, QStringLiteral("Scavi")));
    EXPECT_FALSE(core::addChapter(collection, QStringLiteral("  ")));
    EXPECT_TRUE(core::moveToChapter(collection, {3, 0}, QStringLiteral("Strutture")));
    EXPECT_EQ(codes(), QStringLiteral("B: C: A:Strutture D:Strutture"));
    EXPECT_TRUE(core::moveToChapter(collection, {1}, QStringLiteral("Scavi")));
    EXPECT_EQ(codes(), QStringLiteral("B: C:Scavi A:Strutture D:Strutture"));
    EXPECT_FALSE(core::moveToChapter(collection, {9}, QStringLiteral("Scavi")));
    EXPECT_FALSE(core::moveToChapter(collection, {0}, QStringLiteral("Altro")));
    // Dragged in front of an item, an item joins that item's chapter.
    EXPECT_EQ(core::moveItems(collection, {0}, 3), 2);
    EXPECT_EQ(codes(), QStringLiteral("C:Scavi A:Strutture B:Strutture D:Strutture"));
    EXPECT_TRUE(core::renameChapter(collection, QStringLiteral("Strutture"), QStringLiteral("Opere in c.a.")));
    EXPECT_FALSE(core::renameChapter(collection, QStringLiteral("Scavi"), QStringLiteral("Opere in c.a.")));
    core::removeChapter(collection, QStringLiteral("Scavi"));
    EXPECT_EQ(codes(), QStringLiteral("C: A:Opere in c.a. B:Opere in c.a. D:Opere in c.a."));
    EXPECT_EQ(collection.chapters, QStringList{QStringLiteral("Opere in c.a.")});
}
