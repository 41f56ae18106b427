// modExcel97 on a real headless LibreOffice: what each call leaves in the cells.
#include "report/AutomationError.h"
#include "report/OfficeSettings.h"
#include "tests/report/ReportSession.h"
#include "report/modExcel97.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace reporttest {

namespace {

QString templatePath()
{
    return report::OfficeSettings::current().templatePath();
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// A template of our own: B3 with both diagonals and no edges; B4 bold, wrapped, right-aligned, 14 pt.
const char* kMarkedTemplate = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:automatic-styles>
  <style:style style:name="diagonals" style:family="table-cell">
   <style:table-cell-properties style:diagonal-tl-br="0.74pt solid #ff0000" style:diagonal-bl-tr="0.74pt solid #ff0000"/>
  </style:style>
  <style:style style:name="marked" style:family="table-cell">
   <style:table-cell-properties fo:wrap-option="wrap" style:text-align-source="fix"/>
   <style:paragraph-properties fo:text-align="end"/>
   <style:text-properties fo:font-weight="bold" fo:font-size="14pt"/>
  </style:style>
 </office:automatic-styles>
 <office:body><office:spreadsheet><table:table table:name="Foglio1">
  <table:table-column table:number-columns-repeated="4"/>
  <table:table-row table:number-rows-repeated="2"><table:table-cell table:number-columns-repeated="4"/></table:table-row>
  <table:table-row><table:table-cell/><table:table-cell table:style-name="diagonals"/><table:table-cell table:number-columns-repeated="2"/></table:table-row>
  <table:table-row><table:table-cell/><table:table-cell table:style-name="marked"/><table:table-cell table:number-columns-repeated="2"/></table:table-row>
 </table:table></office:spreadsheet></office:body>
</office:document>
)";

// A wrapper with the report template open, as PrintSearchReport makes it.
struct Wrapper : ::testing::Test
{
    void SetUp() override
    {
        excel = std::make_unique<report::modExcel97>();
        excel->Apri_Modello(templatePath());
    }

    void TearDown() override
    {
        if (excel)
            excel->closeDocument();
    }

    Cell cell(int x, int y) { return Cell{excel->inspect(x, y)}; }

    void write(int x, int y, const QString& value, const QString& format = QString(), bool bold = false,
               bool border = false)
    {
        excel->SetCell(x, y, value, border, format, bold);
    }

    std::unique_ptr<report::modExcel97> excel;
};

} // namespace

TEST(WrapperBeforeApriModello, setCellFailsWithFoglioNonApertoAndTouchesNothing)
{
    report::modExcel97 excel;
    try {
        excel.SetCell(1, 3, QStringLiteral("x"), true, QStringLiteral("@"), true);
        FAIL() << "SetCell before Apri_Modello must fail";
    } catch (const report::AutomationError& error) {
        EXPECT_EQ(error.number(), -2146950325);
        EXPECT_EQ(static_cast<quint32>(error.number()), 0x8008234BU);
        EXPECT_EQ(error.source(), QStringLiteral("Modulo Exel"));
        EXPECT_EQ(error.description(), QStringLiteral("Foglio non ancora aperto"));
    }
    excel.Apri_Modello(templatePath());
    const Cell untouched{excel.inspect(1, 3)};
    EXPECT_EQ(untouched.facts.value(QStringLiteral("type")), QStringLiteral("empty"));
    EXPECT_FALSE(untouched.bold());
    EXPECT_EQ(untouched.facts.value(QStringLiteral("left")), QStringLiteral("none"));
    excel.closeDocument();
}

TEST(WrapperEvents, openShowAndCloseAreRaisedWhereTheyBelong)
{
    auto excel = std::make_unique<report::modExcel97>();
    QSignalSpy opened(excel.get(), &report::modExcel97::onOpen);
    QSignalSpy shown(excel.get(), &report::modExcel97::onShow);
    QSignalSpy closed(excel.get(), &report::modExcel97::onClose);
    excel->Apri_Modello(templatePath());
    EXPECT_EQ(opened.count(), 1);
    EXPECT_EQ(shown.count(), 0);
    excel->Show();
    EXPECT_EQ(shown.count(), 1);
    excel->closeDocument();
    EXPECT_EQ(closed.count(), 0);
    excel.reset();
    EXPECT_EQ(closed.count(), 1);
}

TEST(WrapperTemplate, theTemplateFileIsNeverChanged)
{
    const QByteArray before = fileHash(templatePath());
    ASSERT_FALSE(before.isEmpty());
    {
        report::modExcel97 excel;
        excel.Apri_Modello(templatePath());
        excel.Show();
        excel.SetCell(1, 1, QStringLiteral("titolo"), false, QString(), true);
        EXPECT_EQ(Cell{excel.inspect(1, 1)}.value(), QStringLiteral("titolo"));
        excel.closeDocument();
    }
    EXPECT_EQ(fileHash(templatePath()), before);
}

TEST_F(Wrapper, textFormatKeepsCodesAsTextAndWrapsThem)
{
    write(1, 3, QStringLiteral("010"), QStringLiteral("@"));
    write(2, 3, QStringLiteral("01.A01.A01.010"), QStringLiteral("@"));
    write(4, 3, QStringLiteral("1/2"), QStringLiteral("@"));
    write(5, 3, QStringLiteral("12,5"), QStringLiteral("@"));
    for (int x : {1, 2, 4, 5}) {
        const Cell c = cell(x, 3);
        EXPECT_EQ(c.facts.value(QStringLiteral("type")), QStringLiteral("text")) << x;
        EXPECT_EQ(c.format(), QStringLiteral("@")) << x;
        EXPECT_TRUE(c.wrapped()) << x;
    }
    EXPECT_EQ(cell(1, 3).value(), QStringLiteral("010"));
    EXPECT_EQ(cell(4, 3).value(), QStringLiteral("1/2"));
    EXPECT_EQ(cell(5, 3).value(), QStringLiteral("12,5"));
}

TEST_F(Wrapper, aFormatOfBlanksChangesNoFormatAndSetsNoWrapping)
{
    write(2, 3, QStringLiteral("scavo"), QStringLiteral("   "));
    const Cell c = cell(2, 3);
    EXPECT_EQ(c.format(), QStringLiteral("General"));
    EXPECT_FALSE(c.wrapped());
    EXPECT_EQ(c.value(), QStringLiteral("scavo"));
}

TEST_F(Wrapper, aValueThatLooksLikeANumberStaysTextEvenWithoutTheTextFormat)
{
    // Values are written as text, never parsed; LibreOffice marks such a cell as text by itself.
    write(2, 3, QStringLiteral("010"));
    const Cell c = cell(2, 3);
    EXPECT_EQ(c.value(), QStringLiteral("010"));
    EXPECT_EQ(c.facts.value(QStringLiteral("type")), QStringLiteral("text"));
    EXPECT_FALSE(c.wrapped());
}

TEST_F(Wrapper, atWithALeadingBlankIsSetAsTheFormatButDoesNotWrap)
{
    write(2, 3, QStringLiteral("scavo"), QStringLiteral(" @"));
    const Cell c = cell(2, 3);
    // LibreOffice keeps the code of this text format without its leading blank.
    EXPECT_EQ(c.format(), QStringLiteral("@"));
    EXPECT_FALSE(c.wrapped());
}

TEST_F(Wrapper, bordoDrawsFourThinEdgesAndAFalseFlagLeavesTheTemplateFormatting)
{
    QTemporaryDir folder;
    const QString marked = folder.filePath(QStringLiteral("segnato.fods"));
    QFile file(marked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kMarkedTemplate);
    file.close();
    excel->closeDocument();
    excel->Apri_Modello(marked);

    write(2, 3, QStringLiteral("bordato"), QString(), false, true);
    const Cell bordered = cell(2, 3);
    EXPECT_TRUE(bordered.bordered()) << bordered.facts.value(QStringLiteral("left")).toStdString();
    EXPECT_FALSE(bordered.hasDiagonal()) << "the diagonals go";

    write(2, 4, QStringLiteral("invariato"));
    const Cell kept = cell(2, 4);
    EXPECT_TRUE(kept.bold());
    EXPECT_TRUE(kept.wrapped());
    EXPECT_EQ(kept.facts.value(QStringLiteral("justify")), QStringLiteral("RIGHT"));
    EXPECT_EQ(kept.facts.value(QStringLiteral("size")), QStringLiteral("14"));
    EXPECT_EQ(kept.facts.value(QStringLiteral("left")), QStringLiteral("none"));
}

TEST_F(Wrapper, aSecondWriteToACellReplacesTheValueAndAddsItsFormats)
{
    write(3, 3, QStringLiteral("prima"), QString(), true);
    write(3, 3, QStringLiteral("seconda"), QString(), false, true);
    const Cell c = cell(3, 3);
    EXPECT_EQ(c.value(), QStringLiteral("seconda"));
    EXPECT_TRUE(c.bold()) << "a False flag resets nothing";
    EXPECT_TRUE(c.bordered());
}

TEST_F(Wrapper, rowsWrittenTogetherLookLikeRowsWrittenOneCellAtATime)
{
    // The same rows twice: first each cell sent on its own, then all gathered and sent as blocks.
    const auto writeRow = [&](int y, int i, bool alone) {
        const int kind = i % 3;
        for (int x = 1; x <= 8; ++x) {
            const bool text = x != 3 && !(kind == 0 && x == 8);
            // Every fourth row carries a unit too long for its column, which wrapping spreads over lines.
            const QString value = x == 4 && i % 4 == 0 ? QStringLiteral("metro quadrato per centimetro di spessore")
                                                       : QStringLiteral("%1-%2").arg(kind).arg(x);
            excel->SetCell(x, y, value, !(kind == 2 && x == 6), text ? QStringLiteral("@") : QString(),
                           kind < 2 && x != 3);
            if (alone)
                excel->Flush();
        }
    };
    for (int i = 0; i < 12; ++i)
        writeRow(3 + i, i, true);
    for (int i = 0; i < 12; ++i)
        writeRow(20 + i, i, false);
    excel->Flush();
    for (int i = 0; i < 12; ++i) {
        for (int x = 1; x <= 8; ++x) {
            QMap<QString, QString> alone = excel->inspect(x, 3 + i);
            QMap<QString, QString> together = excel->inspect(x, 20 + i);
            EXPECT_EQ(alone, together) << "row " << i << " column " << x;
        }
    }
}

TEST_F(Wrapper, aWrappedValueTooLongForItsColumnMakesItsRowTaller)
{
    write(4, 3, QStringLiteral("m²"), QStringLiteral("@"));
    write(4, 4, QStringLiteral("metro quadrato per centimetro di spessore"), QStringLiteral("@"));
    write(4, 5, QStringLiteral("metro quadrato per centimetro di spessore"), QStringLiteral(" @"));
    const int oneLine = cell(4, 3).facts.value(QStringLiteral("height")).toInt();
    EXPECT_GT(cell(4, 4).facts.value(QStringLiteral("height")).toInt(), 2 * oneLine);
    EXPECT_EQ(cell(4, 5).facts.value(QStringLiteral("height")).toInt(), oneLine) << "not wrapped: one line";
}

TEST_F(Wrapper, aCellOutsideTheSheetIsRefusedAndTheWorkbookStays)
{
    write(1025, 3, QStringLiteral("oltre"));
    try {
        excel->Flush();
        ADD_FAILURE() << "column 1025 is past the sheet's last";
    } catch (const report::OfficeError& error) {
        EXPECT_EQ(error.kind(), report::OfficeError::Kind::Refused);
        EXPECT_TRUE(error.text().contains(u"1025")) << error.text().toStdString();
    }
    write(2, 3, QStringLiteral("ancora qui"));
    EXPECT_EQ(cell(2, 3).value(), QStringLiteral("ancora qui"));
}

} // namespace reporttest
