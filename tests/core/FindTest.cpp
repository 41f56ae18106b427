// Trova's words, filters and marks, asked of the library directly; the window's test checks that the window
// shows what these return.

#include "core/Find.h"
#include "core/PriceList.h"
#include "tests/support/SearchList.h"

#include <gtest/gtest.h>

namespace {

// The search tests' list, with a second unit and prices to filter by.
const core::FindIndex& index()
{
    static const fixture::PriceListFolder folder([] {
        fixture::Tables tables = fixture::searchTables();
        tables.rows[2].simbolo = QStringLiteral("m²");  // 01.B01.A02.010
        tables.rows[11].simbolo = QStringLiteral("kg"); // 02.C01.A01.010
        tables.rows[11].prezzo_lordo = QStringLiteral("4.75");
        return tables;
    }());
    static const core::PriceList list(folder.open());
    static const std::shared_ptr<const core::FindIndex> built = core::FindIndex::build(list);
    return *built;
}

QStringList found(const QString& typed, const core::FindFilter& filter = {})
{
    const std::optional<std::vector<std::int32_t>> items = index().find(core::parseFindText(typed), filter);
    QStringList codes;
    for (const std::int32_t item : items.value())
        codes << index().code(item);
    return codes;
}

QStringList split(const char* text)
{
    return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

TEST(Find, everyWordMatchesTheStartOfAWordOfSomeLevelOrACodeAtASegmentStart)
{
    const struct
    {
        const char* typed;
        const char* codes;
    } cases[] = {
        // Accents and case are ignored, both ways.
        {"perche", "01.B01.A01.010"},
        {"PERCHÉ così", "01.B01.A01.010"},
        // The start of a word, of any level: the article's here.
        {"calcestr", "01.B01.A01.010 01.B01.A01.020"},
        {"estruzzo", ""},
        // Punctuation splits words: C25/30 is two, dell'opera two; a lone one is found by its word.
        {"c25", "01.B01.A01.010"},
        {"C25/30", "01.B01.A01.010"},
        {"dell'opera", "01.A01.A02.010"},
        {"100*200", "01.B01.A02.010"},
        // Words of different levels, in any order: the section's and the article's.
        {"opere scavo", "01.A01.A01.010 01.A01.A01.020 01.A01.A02.010"},
        {"scavo opere", "01.A01.A01.010 01.A01.A01.020 01.A01.A02.010"},
        {"restauro scavo", "02.A01.A01.010"},
        {"spess 3", "01.A03.A05.020 01.A03.A05.030"},
        // A code at the start of a segment, in the list's order (A06 lies between the rows of A05).
        {"01.A03", "01.A03.A05.010 01.A03.A05.020 01.A03.A06.010 01.A03.A05.030"},
        {"a05.020", "01.A03.A05.020"},
        {"(A05.020)", "01.A03.A05.020"},
        {"03.A05", ""},
        // A dotted number that no code holds is its words.
        {"100.200", "01.B01.A02.010"},
        // A code's segment is a word as well.
        {"a06", "01.A03.A06.010"},
        // Notes are not searched.
        {"nota", ""},
        {"   ", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(found(QString::fromUtf8(c.typed)), split(c.codes)) << c.typed;
}

TEST(Find, filtersNarrowWhatTheWordsFind)
{
    const auto unit = [](const char* text) { return std::optional(core::Text::fromString(QString::fromUtf8(text))); };
    const struct
    {
        const char* typed;
        core::FindFilter filter;
        const char* codes;
    } cases[] = {
        {"scavo", {QStringLiteral("02"), {}, {}, {}}, "02.A01.A01.010"},
        {"malta", {{}, unit("kg"), {}, {}}, "02.C01.A01.010"},
        {"", {{}, unit("m²"), {}, {}}, "01.B01.A02.010"},
        {"", {{}, unit("m2"), {}, {}}, ""},
        // Bounds hold both ends; an item without a price has none to hold.
        {"classe", {{}, {}, 12.5, {}}, "01.B01.A01.010"},
        {"", {{}, {}, 4.75, 12.0}, "02.C01.A01.010"},
        {"", {{}, {}, {}, 4.75}, "02.C01.A01.010"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(found(QString::fromUtf8(c.typed), c.filter), split(c.codes)) << c.typed;

    EXPECT_EQ(index().units().size(), 3); // kg, m², m³
    const std::atomic<bool> stop(true);
    EXPECT_FALSE(index().find(core::parseFindText(u"scavo"), {}, &stop));
}

TEST(Find, marksWhatTheWordsMatchedAndTheCellsTellSiblingsApart)
{
    const auto marks = [](const char* typed, const char* text) {
        QStringList shown;
        const QString cell = QString::fromUtf8(text);
        for (const core::TextRange& range : core::FindMarker(core::parseFindText(QString::fromUtf8(typed))).ranges(cell))
            shown << cell.mid(range.start, range.length);
        return shown.join(u'|');
    };
    EXPECT_EQ(marks("perche c25", "Classe C25/30 perché è così"), QStringLiteral("C25|perché"));
    EXPECT_EQ(core::foldText(u"Ｍ³ PERCHÉ"), QStringLiteral("m3 perche"));
    EXPECT_EQ(marks("cal calce", "Malta di calce idraulica"), QStringLiteral("calce"));
    EXPECT_EQ(marks("01.A03 a05", "01.A03.A05.010"), QStringLiteral("01.A03|A05"));
    EXPECT_EQ(marks("03.A05 uro", "01.A03.A05.010 duro"), QString());

    const std::int32_t first = 0;
    EXPECT_EQ(index().cell(first, core::FindColumn::Description),
              QStringLiteral("Calcestruzzo per fondazioni – Classe C25/30 perché è così"));
    EXPECT_EQ(index().cell(1, core::FindColumn::Price), QString());
    // A copy carries the whole description, and the figures as shown.
    EXPECT_EQ(index().copiedCell(first, core::FindColumn::Description),
              QStringLiteral("Calcestruzzo per fondazioni Classe C25/30 perché è così"));
    EXPECT_EQ(index().sectionCode(first), QStringLiteral("01"));
    EXPECT_EQ(index().capitolo(first).toString(), QStringLiteral("Conglomerati cementizi"));
    // A long article gives its first line, cut at a word.
    EXPECT_EQ(core::FindIndex::articleOpening(QStringLiteral("Calcestruzzo per strutture di fondazione in "
                                                             "elevazione, classe di esposizione XC1, fornito e posto "
                                                             "in opera\nSeconda riga")),
              QStringLiteral("Calcestruzzo per strutture di fondazione in elevazione, classe di esposizione…"));
    EXPECT_EQ(core::shortDescription(QStringLiteral("Scavo di sbancamento. Compreso il carico."), QStringLiteral("in roccia")),
              QStringLiteral("Scavo di sbancamento – in roccia"));
}
