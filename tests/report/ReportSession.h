#pragma once

#include "core/AppState.h"
#include "tests/support/Fixture.h"
#include "ui/ReportList.h"
#include "search/frmCerca.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <ostream>

namespace report {
class modExcel97;
}

QT_BEGIN_NAMESPACE
// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace reporttest {

// A thin continuous black edge, as the helper describes it: style/width/colour.
inline const QString kThinEdge = QStringLiteral("0/26/000000");

// One cell of a workbook, as LibreOffice holds it.
struct Cell
{
    QMap<QString, QString> facts;

    QString value() const { return facts.value(QStringLiteral("value")); }
    // The office names its general format in its own language: "Standard" in an Italian session.
    QString format() const
    {
        const QString code = facts.value(QStringLiteral("format"));
        return code == u"Standard" ? QStringLiteral("General") : code;
    }
    bool bold() const { return facts.value(QStringLiteral("bold")) == u"1"; }
    bool wrapped() const { return facts.value(QStringLiteral("wrap")) == u"1"; }
    bool bordered() const;
    bool hasDiagonal() const;
};

// The rows of a workbook read back after a report, from row 1.
struct Sheet
{
    QList<QList<Cell>> rows;

    const Cell& at(int column, int row) const;
    QStringList values(int row) const;
    bool rowEmpty(int row) const;
    // Which of the eight cells of a row are bold, as a string of 1 and 0 ("11101111").
    QString boldPattern(int row) const;
};

enum class RowKind {
    Section,
    SectionWithoutNote,
    Chapter,
    Article,
    Subarticle,
};

// A data row: its eight values, edges on every cell and no diagonal, bold and text format as its kind
// wants them.
void expectRow(const Sheet& sheet, int row, RowKind kind, const QStringList& values);
// The title in A1, or a block label: column 1 only, bold, no edges, the template's format.
void expectLabel(const Sheet& sheet, int row, const QString& text);

// Reads rows 1 to `rows` (and the extra rows) of the wrapper's sheet, eight columns each.
Sheet readSheet(report::modExcel97& excel, int rows, const QList<int>& extraRows = {});

// The price list the report tests print, in list order (sequenza):
//   01 Opere edili (note)  A01 Scavi e rinterri (note)  A01 Scavo a sezione obbligata (note)  010, 020 (no prices)
//                                                       A02 Rinterro con materiale di scavo   010
//                          B02 Murature                 A05 Muratura in laterizio            010, 020
//                                                       A06 Muratura armata                  010
//   02 Restauro            A01 Scavi archeologici       A01 Scavo stratigrafico              010
//                          C01 Consolidamenti           A01 Iniezioni di malta               010
fixture::Tables reportTables();

// One section of `chapters` chapters of `articles` articles of `subarticles` subarticles, in list order:
// article n of the list is "Articolo numero n", the subarticle at position s "Voce numero s".
fixture::Tables gridTables(int chapters, int articles, int subarticles);

// The search window on a price list, its print buttons wired to PrintSearchReport as the program wires
// them, driven as a user drives it.
struct ReportSession : ::testing::Test
{
    explicit ReportSession(const fixture::Tables& tables = reportTables());

    void SetUp() override;
    void TearDown() override;

    void pickSection(int index);
    void click(const char* name);
    void type(const char* name, const QString& ascii);
    void textSearch(int section, const QString& ascii, bool capitoli, bool articoli, bool subarticoli);
    void articleSearch(int section, const QString& cap, const QString& art);
    void subarticleSearch(int section, const QString& cap, const QString& art, const QString& sub);
    void rangeSearch(int section, const QString& daCap, const QString& daArt, const QString& aCap, const QString& aArt);

    // Presses a print button and reads the workbook back; printed stays false when no workbook was made.
    Sheet print(const char* button = "cmdstampa", int rows = 20, const QList<int>& extraRows = {});
    // Calls the report as the buttons do, whatever state the buttons are in.
    Sheet printDirectly(int rows = 20);
    QStringList warnings() const;

    fixture::PriceListFolder folder;
    core::AppState state;
    QWidget mainWindow;
    std::unique_ptr<search::frmCerca> window;
    bool printed = false;

private:
    Sheet printWith(const std::function<void()>& action, int rows, const QList<int>& extraRows);
};

// The heading every report title starts with, the main window's title in these tests.
inline const QString kHeading = QStringLiteral("Prezzario Regione Vallorsa 2021 CD");

// Expected cells of the fixture rows that several layouts print.
inline const QStringList kSection01{QStringLiteral("01"),
                             QStringLiteral("01"),
                             QStringLiteral("Opere edili"),
                             {},
                             {},
                             {},
                             {},
                             QStringLiteral("Prezzi comprensivi di oneri")};
inline const QStringList kChapterA01{QStringLiteral("01"),
                              QStringLiteral("01.A01"),
                              QStringLiteral("Scavi e rinterri"),
                              {},
                              {},
                              {},
                              {},
                              QStringLiteral("Nota dei capitoli di scavo")};
inline const QStringList kArticleA01{QStringLiteral("01"),
                              QStringLiteral("01.A01.A01"),
                              QStringLiteral("Scavo a sezione obbligata"),
                              {},
                              {},
                              {},
                              {},
                              QStringLiteral("Profondità fino a 2 m")};
inline const QStringList kSub010{QStringLiteral("01"),
                          QStringLiteral("01.A01.A01.010"),
                          QStringLiteral("In terreno sciolto"),
                          QStringLiteral("m³"),
                          QStringLiteral("12,5"),
                          QStringLiteral("27,5 %"),
                          QStringLiteral("3,44"),
                          {}};
inline const QStringList kSub020{QStringLiteral("01"),
                          QStringLiteral("01.A01.A01.020"),
                          QStringLiteral("In roccia dura dell'alveo"),
                          QStringLiteral("m³"),
                          {},
                          {},
                          {},
                          {}};

inline const QStringList kArticleA02{QStringLiteral("01"),
                                     QStringLiteral("01.A01.A02"),
                                     QStringLiteral("Rinterro con materiale di scavo"),
                                     {},
                                     {},
                                     {},
                                     {},
                                     {}};
inline const QStringList kChapter02A01{
    QStringLiteral("02"), QStringLiteral("02.A01"), QStringLiteral("Scavi archeologici"), {}, {}, {}, {}, {}};
inline const QStringList kArticle02{
    QStringLiteral("02"), QStringLiteral("02.A01.A01"), QStringLiteral("Scavo stratigrafico"), {}, {}, {}, {}, {}};
inline const QStringList kSub02{
    QStringLiteral("02"),  QStringLiteral("02.A01.A01.010"), QStringLiteral("A mano"), QStringLiteral("m³"),
    QStringLiteral("150"), QStringLiteral("90 %"),           QStringLiteral("135"),    {}};

struct ExpectedRow
{
    RowKind kind;
    QStringList values;
};

// Data rows one after another from `firstRow` on.
void expectRows(const Sheet& sheet, int firstRow, const QList<ExpectedRow>& rows);

// Section 01, chapter A01 and article A01: the headings over the first subarticles of the list.
inline const QList<ExpectedRow> kFirstArticleHeadings{
    {RowKind::Section, kSection01}, {RowKind::Chapter, kChapterA01}, {RowKind::Article, kArticleA01}};

} // namespace reporttest
