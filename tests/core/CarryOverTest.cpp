// A collection made on one edition carried over to the next, on the pair of editions built for the comparison.

#include "core/CarryOver.h"
#include "core/Collections.h"
#include "tests/support/EditionPair.h"

#include <gtest/gtest.h>

namespace {

TEST(CarryOver, keepsOrderAndQuantitiesTakesNewCodesAndPricesAndKeepsGoneItems)
{
    const fixture::PriceListFolder olderFolder(fixture::olderEdition()), newerFolder(fixture::newerEdition());
    const core::PriceList older = core::PriceList::open(olderFolder.database());
    const core::PriceList newer = core::PriceList::open(newerFolder.database());

    const struct
    {
        const char* state;
        const char* code;
        std::optional<double> quantity;
        const char* newCode; // empty: the same
        double price;
        const char* subarticolo;
        bool present;
    } cases[] = {
        {"variata", "01.A01.A01.060", 3.0, "", 66, "in acqua salata", true},
        {"eliminata", "03.C01.A01.010", 1.5, "", 15, "di calce", false},
        {"ricodificata", "01.A01.A02.010", 2.0, "01.A01.A03.010", 120, "di muratura in mattoni", true},
        {"invariata", "01.A01.A01.010", std::nullopt, "", 10, "in terreno vegetale", true},
    };
    core::Collection project;
    project.name = QStringLiteral("Scuola (2023)");
    project.editionYear = older.year();
    for (const auto& row : cases) {
        std::optional<core::ChosenItem> chosen = core::chosenItem(older, QString::fromLatin1(row.code));
        ASSERT_TRUE(chosen) << row.code;
        chosen->quantita = row.quantity;
        project.items << *chosen;
    }

    const core::CarriedCollection carried =
        core::carryOver(project, core::compareEditions(older, newer).value(), newer);
    EXPECT_EQ(carried.riportate, 4);
    EXPECT_EQ(carried.ricodificate, 1);
    EXPECT_EQ(carried.nonPresenti, 1);
    EXPECT_EQ(carried.collection.name, QStringLiteral("Scuola (2024)"));
    EXPECT_EQ(carried.collection.editionYear, QStringLiteral("2024"));
    EXPECT_EQ(carried.collection.editionTitle, core::kListTitle);

    // As the window and the exports show it on the newer edition: no old price beside the new one.
    const core::ExportDocument document = core::exportDocument(newer, carried.collection);
    ASSERT_EQ(carried.collection.items.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& expected = cases[i];
        SCOPED_TRACE(expected.state);
        const bool recoded = *expected.newCode != 0;
        const QString previousCode = recoded ? QString::fromLatin1(expected.code) : QString();
        const core::ChosenItem& item = carried.collection.items[qsizetype(i)];
        EXPECT_EQ(item.code, QString::fromLatin1(recoded ? expected.newCode : expected.code));
        EXPECT_EQ(item.previousCode, previousCode);
        EXPECT_EQ(item.prezzoLordo, expected.price);
        EXPECT_EQ(item.quantita, expected.quantity);
        EXPECT_EQ(item.subarticolo.toString(), QString::fromUtf8(expected.subarticolo));
        const core::ExportItem& shown = document.items[qsizetype(i)];
        EXPECT_EQ(shown.presente, expected.present);
        EXPECT_EQ(shown.previousCode, previousCode);
        EXPECT_FALSE(shown.prezzoPrecedente);
    }
}

} // namespace
