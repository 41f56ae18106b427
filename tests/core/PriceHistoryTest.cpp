// An item's price over the editions of the list, followed through its re-codings, asked of the library on
// three editions built for the file.

#include "core/Compare.h"
#include "tests/support/EditionPair.h"
#include "core/PriceHistory.h"
#include "core/PriceList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The newer edition a year on: its re-coded item re-coded once more (01.A01.A03.010 → 01.A01.A08.010).
fixture::Tables thirdEdition()
{
    fixture::Tables tables = fixture::newerEdition();
    tables.anno = QStringLiteral("ANNO_PREZZARIO\n2025\n");
    for (fixture::Row& row : tables.rows) {
        if (row.codiceTotale() == u"01.A01.A03.010") {
            row.articolo_codice = QStringLiteral("A08");
            row.prezzo_lordo = QStringLiteral("130");
        }
    }
    return tables;
}

struct Editions
{
    fixture::PriceListFolder older{fixture::olderEdition()};
    fixture::PriceListFolder newer{fixture::newerEdition()};
    fixture::PriceListFolder third{thirdEdition()};
    // A second file of the older edition's year, opened before it: the older one is kept.
    fixture::PriceListFolder sameYear{fixture::olderEdition()};
    QTemporaryDir notAList;

    const fixture::PriceListFolder& byYear(int year) const
    {
        return year == 2023 ? older : year == 2024 ? newer : third;
    }
    // As the program remembers them: the newest opening first.
    QStringList remembered() const
    {
        const QString bogus = notAList.filePath(QStringLiteral("appunti.mdb"));
        QFile file(bogus);
        file.open(QIODevice::WriteOnly);
        file.write("non sono un prezzario");
        return {third.database(), bogus, newer.database(), older.database(), sameYear.database()};
    }
};

const Editions& editions()
{
    static const Editions made;
    return made;
}

std::string text(const std::optional<double>& value)
{
    return value ? QString::number(*value, 'g', 15).toStdString() : std::string("-");
}

// "2025 01.A01.A08.010 m³ 130 già 01.A01.A03.010"; an edition without the item is its year alone.
std::string line(const core::EditionPrice& edition)
{
    if (!edition.holdsItem())
        return edition.year.toStdString();
    std::string said = QString(edition.year + u' ' + edition.code + u' ' + edition.unit.toString()).toStdString() +
                       ' ' + text(edition.price);
    if (edition.recoded())
        said += " già " + edition.formerCode.toStdString();
    return said;
}

} // namespace

TEST(PriceHistory, anItemIsFollowedThroughEveryEditionNewestFirst)
{
    const struct
    {
        int openYear;
        const char* code;
        std::vector<std::string> lines; // 2025, 2024, 2023
    } cases[] = {
        {2024,
         "01.A01.A01.010",
         {"2025 01.A01.A01.010 m³ 10", "2024 01.A01.A01.010 m³ 10", "2023 01.A01.A01.010 m³ 10"}},
        // Re-coded twice, followed from the middle edition both ways and from either end.
        {2024,
         "01.A01.A03.010",
         {"2025 01.A01.A08.010 m³ 130 già 01.A01.A03.010", "2024 01.A01.A03.010 m³ 120 già 01.A01.A02.010",
          "2023 01.A01.A02.010 m³ 100"}},
        {2023,
         "01.A01.A02.010",
         {"2025 01.A01.A08.010 m³ 130 già 01.A01.A03.010", "2024 01.A01.A03.010 m³ 120 già 01.A01.A02.010",
          "2023 01.A01.A02.010 m³ 100"}},
        {2025,
         "01.A01.A08.010",
         {"2025 01.A01.A08.010 m³ 130 già 01.A01.A03.010", "2024 01.A01.A03.010 m³ 120 già 01.A01.A02.010",
          "2023 01.A01.A02.010 m³ 100"}},
        // Two gone items of its text: none is it.
        {2024, "01.A01.A05.010", {"2025 01.A01.A05.010 t 14", "2024 01.A01.A05.010 t 14", "2023"}},
        // Its text in another unit is another item.
        {2024, "01.A01.A07.010", {"2025 01.A01.A07.010 m 7", "2024 01.A01.A07.010 m 7", "2023"}},
        // One code, another unit: the same item, each edition with its own unit.
        {2024,
         "01.A01.A01.030",
         {"2025 01.A01.A01.030 m² 30", "2024 01.A01.A01.030 m² 30", "2023 01.A01.A01.030 m³ 30"}},
        {2024,
         "01.A01.A01.040",
         {"2025 01.A01.A01.040 m³ 40", "2024 01.A01.A01.040 m³ 40", "2023 01.A01.A01.040 m³ -"}},
        {2024, "02.B01.A01.010", {"2025 02.B01.A01.010 m² 35", "2024 02.B01.A01.010 m² 35", "2023"}},
        // Gone in 2024: the trail ends there.
        {2023, "03.C01.A01.010", {"2025", "2024", "2023 03.C01.A01.010 m² 15"}},
        {2023, "01.A01.A04.010", {"2025", "2024", "2023 01.A01.A04.010 t 12"}},
    };
    const Editions& e = editions();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const core::PriceList open = core::PriceList::open(e.byYear(c.openYear).database());
        const core::PriceHistory history =
            core::priceHistory(open, QString::fromLatin1(c.code), e.remembered()).value();
        std::vector<std::string> lines;
        for (const core::EditionPrice& edition : history.editions)
            lines.push_back(line(edition));
        EXPECT_EQ(lines, c.lines);
        ASSERT_EQ(history.editions.size(), 3);
        EXPECT_EQ(history.editions[2].path, QDir(e.older.folder()).filePath(QStringLiteral("Prezzario.mdb")));
    }
}

TEST(PriceHistory, filesThatGiveNoEditionAreLeftOutWithTheirReason)
{
    const Editions& e = editions();
    const core::PriceList open = core::PriceList::open(e.newer.database());
    const core::PriceHistory history =
        core::priceHistory(open, QStringLiteral("01.A01.A01.010"), e.remembered()).value();
    ASSERT_EQ(history.notes.size(), 2) << history.notes.join(u'\n').toStdString();
    EXPECT_TRUE(history.notes[0].contains(QStringLiteral("appunti.mdb")));
    EXPECT_TRUE(history.notes[1].contains(QStringLiteral("anch'essa dell'anno 2023")));

    // Only the open list known: its edition alone, nothing to say about it.
    const core::PriceHistory alone = core::priceHistory(open, QStringLiteral("01.A01.A01.010"), {open.path()}).value();
    ASSERT_EQ(alone.editions.size(), 1);
    EXPECT_EQ(alone.editions[0].year, QStringLiteral("2024"));
    EXPECT_TRUE(alone.notes.isEmpty());
}

TEST(PriceHistory, stoppingThroughTheProgressGivesNothing)
{
    const Editions& e = editions();
    const core::PriceList open = core::PriceList::open(e.newer.database());
    double last = 0;
    EXPECT_TRUE(core::priceHistory(open, QStringLiteral("01.A01.A03.010"), e.remembered(), [&last](double done) {
                    EXPECT_GE(done, last);
                    last = done;
                    return true;
                }).has_value());
    EXPECT_EQ(last, 1.0);
    EXPECT_FALSE(core::priceHistory(open, QStringLiteral("01.A01.A03.010"), e.remembered(), [](double done) {
                     return done < 0.5;
                 }).has_value());
}

// The window of comparison and the history must never tell two stories about one item.
TEST(PriceHistory, pairingOneItemAgreesWithTheWholeComparison)
{
    const Editions& e = editions();
    const std::pair<const fixture::PriceListFolder*, const fixture::PriceListFolder*> pairs[] = {
        {&e.older, &e.newer}, {&e.newer, &e.third}, {&e.older, &e.third}};
    for (const auto& [olderFolder, newerFolder] : pairs) {
        const core::PriceList older = core::PriceList::open(olderFolder->database());
        const core::PriceList newer = core::PriceList::open(newerFolder->database());
        const core::Comparison comparison = core::compareEditions(older, newer).value();
        for (const core::ComparedItem& item : comparison.items) {
            SCOPED_TRACE(QString(item.oldCode + QStringLiteral(" → ") + item.newCode).toStdString());
            if (!item.oldCode.isEmpty()) {
                EXPECT_EQ(core::pairedCode(older, newer, item.oldCode, core::EditionSide::Older), item.newCode);
            }
            if (!item.newCode.isEmpty()) {
                EXPECT_EQ(core::pairedCode(older, newer, item.newCode, core::EditionSide::Newer), item.oldCode);
            }
        }
    }
}
