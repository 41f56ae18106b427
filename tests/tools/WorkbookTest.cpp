// Workbooks saved by a real LibreOffice as .xlsx and .ods, and files that are no workbook at all.
#include "tools/build/readers/Workbook.h"

#include <QFile>
#include <QTemporaryDir>

#include "tools/build/Builder.h"
#include "tests/tools/BuilderTestSupport.h"

#include <gtest/gtest.h>

#include <zip.h>


QT_BEGIN_NAMESPACE
// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

using builder::SheetCell;
using builder::Workbook;

namespace {

// A sheet read whole, each row at the index of its number: what the tests compare.
struct Sheet
{
    QString name;
    std::vector<std::vector<SheetCell>> rows;
};

struct Sheets
{
    std::vector<Sheet> sheets;

    const Sheet* sheet(QStringView name) const
    {
        for (const Sheet& sheet : sheets) {
            if (name.compare(sheet.name, Qt::CaseInsensitive) == 0)
                return &sheet;
        }
        return nullptr;
    }
};

Sheets readAll(const QString& path)
{
    const Workbook workbook = Workbook::open(path);
    Sheets all;
    for (const QString& name : workbook.sheetNames()) {
        Sheet sheet{name, {}};
        if (const std::unique_ptr<builder::SheetRows> rows = workbook.rows(name)) {
            while (rows->next()) {
                sheet.rows.resize(size_t(rows->number()));
                sheet.rows.back() = rows->cells();
            }
        }
        all.sheets.push_back(std::move(sheet));
    }
    return all;
}

constexpr auto Empty = SheetCell::Kind::Empty;
constexpr auto Text = SheetCell::Kind::Text;
constexpr auto Number = SheetCell::Kind::Number;

// The cells a publisher's sheet holds; formatted empty rows repeat to the bottom of the sheet, as in saved sheets.
const char* kPriceList = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:automatic-styles>
  <number:boolean-style style:name="yesno"><number:boolean/></number:boolean-style>
  <style:style style:name="flag" style:family="table-cell" style:data-style-name="yesno"/>
  <style:style style:name="shaded" style:family="table-cell"><style:table-cell-properties fo:background-color="#eeeeee"/></style:style>
  <style:style style:name="bold" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
 </office:automatic-styles>
 <office:body><office:spreadsheet>
  <table:table table:name="manuale"><table:table-row><table:table-cell office:value-type="string"><text:p>Uso</text:p></table:table-cell></table:table-row></table:table>
  <table:table table:name="Prezzario">
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>010</text:p></table:table-cell>
    <table:table-cell office:value-type="float" office:value="10"><text:p>10</text:p></table:table-cell>
    <table:table-cell office:value-type="float" office:value="19.01"><text:p>19,01</text:p></table:table-cell>
    <table:table-cell office:value-type="float" office:value="1826.34"><text:p>1826,34</text:p></table:table-cell>
    <table:table-cell table:style-name="flag" office:value-type="boolean" office:boolean-value="true"><text:p>VERO</text:p></table:table-cell>
    <table:table-cell table:formula="of:=[.C1]*2" office:value-type="float" office:value="38.02"><text:p>38,02</text:p></table:table-cell>
    <table:table-cell table:formula="of:=1/0"/>
    <table:table-cell table:formula="of:=&quot;a&quot;&amp;&quot;b&quot;" office:value-type="string"><text:p>ab</text:p></table:table-cell>
   </table:table-row>
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>L'opera è già più “bella”</text:p></table:table-cell>
    <table:table-cell/>
    <table:table-cell office:value-type="string"><text:p>prima riga</text:p><text:p>seconda riga</text:p></table:table-cell>
    <table:table-cell office:value-type="string"><text:p><text:s text:c="2"/>spazi a<text:s text:c="3"/>b<text:s text:c="2"/></text:p></table:table-cell>
    <table:table-cell office:value-type="string"><text:p>metà <text:span text:style-name="bold">grassetto</text:span> fine</text:p></table:table-cell>
    <table:table-cell office:value-type="float" office:value="0.001"><text:p>0,001</text:p></table:table-cell>
   </table:table-row>
   <table:table-row><table:table-cell table:number-columns-repeated="1024"/></table:table-row>
   <table:table-row><table:table-cell table:number-columns-repeated="3" office:value-type="float" office:value="7"><text:p>7</text:p></table:table-cell></table:table-row>
   <table:table-row table:number-rows-repeated="1048572"><table:table-cell table:style-name="shaded" table:number-columns-repeated="1024"/></table:table-row>
  </table:table>
  <table:table table:name="premesse"><table:table-row><table:table-cell office:value-type="string"><text:p>Premessa</text:p></table:table-cell></table:table-row></table:table>
  <table:table table:name="anno_prezzario"><table:table-row><table:table-cell office:value-type="float" office:value="2024"><text:p>2024</text:p></table:table-cell></table:table-row></table:table>
 </office:spreadsheet></office:body>
</office:document>
)";

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

using buildertest::writeZip;

// Both shapes come from one headless office run per format.
class SavedWorkbook : public ::testing::TestWithParam<const char*>
{
public:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        writeFile(s_dir->filePath(QStringLiteral("prezzi.fods")), kPriceList);
        for (const char* format : {"xlsx", "ods"})
            buildertest::saveWithOffice(*s_dir, s_dir->filePath(QStringLiteral("prezzi.fods")), format);
    }
    static void TearDownTestSuite() { delete s_dir; }

    Sheets read(const char* name) const
    {
        return readAll(s_dir->filePath(QString::fromLatin1(name) + u'.' + QString::fromLatin1(GetParam())));
    }

private:
    static inline QTemporaryDir* s_dir = nullptr;
};

TEST_P(SavedWorkbook, keepsTheSheetOrderAndFindsSheetsWhateverTheirCase)
{
    const Sheets workbook = read("prezzi");
    std::vector<QString> names;
    for (const Sheet& sheet : workbook.sheets)
        names.push_back(sheet.name);
    EXPECT_EQ(names, (std::vector<QString>{QStringLiteral("manuale"), QStringLiteral("Prezzario"),
                                           QStringLiteral("premesse"), QStringLiteral("anno_prezzario")}));
    ASSERT_NE(workbook.sheet(u"PREZZARIO"), nullptr);
    EXPECT_EQ(workbook.sheet(u"PREZZARIO")->name, QStringLiteral("Prezzario"));
    EXPECT_EQ(workbook.sheet(u"listino"), nullptr);
}

TEST_P(SavedWorkbook, readsEachCellAsTheSheetHoldsIt)
{
    const Sheets workbook = read("prezzi");
    const Sheet& sheet = *workbook.sheet(u"prezzario");
    struct Expected
    {
        int row, column;
        SheetCell::Kind kind;
        const char16_t* text;
    };
    const Expected cells[] = {
        {0, 0, Text, u"010"},
        {0, 1, Number, u"10"},
        {0, 2, Number, u"19.01"},
        {0, 3, Number, u"1826.34"},
        {0, 4, Number, u"1"},
        {0, 5, Number, u"38.02"},
        {0, 6, Text, u"#DIV/0!"},
        {0, 7, Text, u"ab"},
        {1, 0, Text, u"L'opera è già più “bella”"},
        {1, 1, Empty, u""},
        {1, 2, Text, u"prima riga\nseconda riga"},
        {1, 3, Text, u"  spazi a   b  "},
        {1, 4, Text, u"metà grassetto fine"},
        {1, 5, Number, u"0.001"},
        {3, 0, Number, u"7"},
        {3, 2, Number, u"7"},
    };
    for (const Expected& cell : cells) {
        SCOPED_TRACE(builder::columnLetters(cell.column).toStdString() + std::to_string(cell.row + 1));
        ASSERT_LT(size_t(cell.column), sheet.rows.at(size_t(cell.row)).size());
        EXPECT_EQ(sheet.rows[size_t(cell.row)][size_t(cell.column)].kind, cell.kind);
        EXPECT_EQ(sheet.rows[size_t(cell.row)][size_t(cell.column)].text, QString::fromUtf16(cell.text));
    }
    EXPECT_EQ(workbook.sheet(u"anno_prezzario")->rows.at(0).at(0).text, QStringLiteral("2024"));
}

TEST_P(SavedWorkbook, storesNoEmptyCellsOrRowsAfterTheLastValue)
{
    const Sheets workbook = read("prezzi");
    const Sheet& sheet = *workbook.sheet(u"prezzario");
    std::vector<size_t> lengths;
    for (const std::vector<SheetCell>& row : sheet.rows)
        lengths.push_back(row.size());
    EXPECT_EQ(lengths, (std::vector<size_t>{8, 6, 0, 3}));
}

INSTANTIATE_TEST_SUITE_P(Formats, SavedWorkbook, ::testing::Values("xlsx", "ods"),
                         [](const auto& info) { return std::string(info.param); });

// What other programs write and LibreOffice does not: inline strings, absolute targets, the first sheet in
// sheet2.xml, rows and cells without their reference, escaped line breaks, phonetic guides.
const QByteArray kRootRelations =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="/xl/workbook.xml"/></Relationships>)";
const QByteArray kWorkbook =
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="Dati" sheetId="1" r:id="rId7"/></sheets></workbook>)";
const QByteArray kWorkbookRelations =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet2.xml"/>
<Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)";
const QByteArray kStrings = R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>Riga_x000D_
nuova</t></si><si><r><t>ab</t></r><r><rPr><b/></rPr><t xml:space="preserve"> cd</t></r><rPh sb="0" eb="1"><t>エー</t></rPh></si></sst>)";
const QByteArray kSheet = R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>
<row r="1"><c r="F1" t="inlineStr"><is><t>F</t></is></c></row>
<row r="2"><c r="B2" t="inlineStr"><is><t>in linea</t></is></c><c t="s"><v>0</v></c></row>
<row><c r="A3" t="s"><v>1</v></c><c r="D3" t="b"><v>0</v></c><c r="E3"><v>1.2E-2</v></c><c r="F3"><f>X1</f></c></row>
</sheetData></worksheet>)";

std::vector<buildertest::ZipMember> handWritten(const QByteArray& sheet)
{
    return {{"_rels/.rels", kRootRelations},
            {"xl/workbook.xml", kWorkbook},
            {"xl/_rels/workbook.xml.rels", kWorkbookRelations},
            {"xl/sharedStrings.xml", kStrings},
            {"xl/worksheets/sheet2.xml", sheet}};
}

TEST(WorkbookByOtherPrograms, readsInlineStringsAbsoluteTargetsAndEscapes)
{
    const QTemporaryDir dir;
    writeZip(dir.filePath(QStringLiteral("altro.xlsx")), handWritten(kSheet));
    const Sheets workbook = readAll(dir.filePath(QStringLiteral("altro.xlsx")));
    ASSERT_EQ(workbook.sheets.size(), 1u);
    const auto& rows = workbook.sheets[0].rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].size(), 6u);
    ASSERT_EQ(rows[1].size(), 3u);
    EXPECT_EQ(rows[1][1].text, QStringLiteral("in linea"));
    EXPECT_EQ(rows[1][2].text, QStringLiteral("Riga\nnuova"));
    ASSERT_EQ(rows[2].size(), 5u);
    EXPECT_EQ(rows[2][0].text, QStringLiteral("ab cd"));
    EXPECT_EQ(rows[2][3].text, QStringLiteral("0"));
    EXPECT_EQ(rows[2][4].kind, Number);
    EXPECT_EQ(rows[2][4].text, QStringLiteral("1.2E-2"));
}

TEST(WorkbookErrors, namesTheFileAndTheCause)
{
    const QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    writeFile(path("testo.xlsx"), "codice;descrizione\n010;Scavo\n");
    writeFile(path("troncato.xlsx"), "PK\x03\x04 interrotto");
    writeZip(path("archivio.xlsx"), {{"leggimi.txt", "ciao"}});
    writeZip(path("rotto.xlsx"), handWritten("<worksheet><sheetData><row><c>"));
    writeZip(path("scritto.ods"), {{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", "<x/>"}});
    const std::pair<const char*, const char*> cases[] = {
        {"mancante.xlsx", "il file non esiste"},
        {"testo.xlsx", "non è un file .xlsx o .ods"},
        {"troncato.xlsx", "danneggiato o incompleto"},
        {"archivio.xlsx", "non è un file .xlsx o .ods"},
        {"rotto.xlsx", "contenuto danneggiato nel foglio «Dati» (xl/worksheets/sheet2.xml, riga 1"},
        {"scritto.ods", "non un foglio di calcolo"},
    };
    for (const auto& [name, cause] : cases) {
        SCOPED_TRACE(name);
        try {
            readAll(path(name));
            ADD_FAILURE() << "read without error";
        } catch (const builder::BuildError& error) {
            EXPECT_TRUE(error.text().contains(path(name))) << error.text().toStdString();
            EXPECT_TRUE(error.text().contains(QString::fromUtf8(cause))) << error.text().toStdString();
        }
    }
}

} // namespace
