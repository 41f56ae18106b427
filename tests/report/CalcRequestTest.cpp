// The requests of prezzario-calc read and checked before anything reaches the office: what is refused and
// with which kind of error, what is taken and how it reads, and the helper's own answers without an office.
#include "Protocol.h"
#include "Request.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace calc::protocol;

struct Refused
{
    std::string line;
    // A piece of the detail, or the whole detail when exact is set.
    std::string detail;
    bool exact = false;
};

// Reads a line of the helper's input (without its line feed) and expects it refused with this kind.
void expectRefused(const std::vector<Refused>& table, std::string_view kind)
{
    for (const Refused& refused : table) {
        SCOPED_TRACE(encodeLine(decodeLine(refused.line)));
        try {
            parseRequest(decodeLine(refused.line));
            ADD_FAILURE() << "taken";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind, kind) << failure.detail;
            if (refused.exact)
                EXPECT_EQ(failure.detail, refused.detail);
            else
                EXPECT_NE(failure.detail.find(refused.detail), std::string::npos) << failure.detail;
        }
    }
}

std::string cellsLine(const std::string& value)
{
    return "cells\t1\t1\t1\t1\t1\t;0;0;\t" + value + "\t0";
}

std::string repeated(std::string_view piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

struct Taken
{
    std::string line;
    Request request;
};

// The edges of the sheet and the requests the program sends.
std::vector<Taken> takenRequests()
{
    const Style plain;
    const Style text{true, true, true, 8, 3, "@"};
    const Style amount{false, false, false, 11, 4, "#,##0.00;-#,##0.00"};
    return {
        {"start\t/usr/lib/libreoffice/program/soffice\tprezzario-4242-1f3a\t120000\t--headless\t-env:"
         "UserInstallation=file:///tmp/profilo",
         StartOffice{"/usr/lib/libreoffice/program/soffice",
                     "prezzario-4242-1f3a",
                     120'000,
                     {"--headless", "-env:UserInstallation=file:///tmp/profilo"}}},
        {"start\tsoffice\tp\t1", StartOffice{"soffice", "p", 1, {}}},
        {"start\tsoffice\tp\t600000", StartOffice{"soffice", "p", 600'000, {}}},
        {"open\tfile:///opt/Prezzario/stampa.xls", OpenTemplate{"file:///opt/Prezzario/stampa.xls"}},
        {"sheet\t1", ActivateSheet{1}},
        {"sheet\t32767", ActivateSheet{32'767}},
        {"show", ShowWindow{}},
        {"cells\t1\t1\t1\t1\t1\t;0;0;\tx\t0", CellBlock{1, 1, 1, 1, {plain}, {"x"}, {0}}},
        {"cells\t1024\t1048576\t1\t1\t1\t;0;0;\t\t0", CellBlock{1024, 1'048'576, 1, 1, {plain}, {""}, {0}}},
        {"cells\t1023\t1048575\t2\t2\t2\tBWb;8;3;@\t;11;4;#,##0.00;-#,##0.00\ta\t0\tb\t1\tc\t1\td\t0",
         CellBlock{1023, 1'048'575, 2, 2, {text, amount}, {"a", "b", "c", "d"}, {0, 1, 1, 0}}},
        {cellsLine(repeated("a", 32'767)), CellBlock{1, 1, 1, 1, {plain}, {repeated("a", 32'767)}, {0}}},
        {cellsLine(repeated("é", 32'767)), CellBlock{1, 1, 1, 1, {plain}, {repeated("é", 32'767)}, {0}}},
        {"height\t7\t30", RowHeight{7, 30}},
        {"height\t1048576\t0", RowHeight{1'048'576, 0}},
        {"height\t1\t409", RowHeight{1, 409}},
        {"height\t1\t12.75", RowHeight{1, 12.75}},
        {"insert\t1\t1", InsertCell{1, 1}},
        {"insert\t1024\t1048576", InsertCell{1024, 1'048'576}},
        {"range\tA3:B3", CopyRange{{1, 3, 2, 3}}},
        {"range\tA1", CopyRange{{1, 1, 1, 1}}},
        {"range\t$b$3:a1", CopyRange{{1, 1, 2, 3}}},
        {"range\tAMJ1048576", CopyRange{{1024, 1'048'576, 1024, 1'048'576}}},
        {"paste\tC12:C12", PasteRange{{3, 12, 3, 12}}},
        {"paste\tZ1:Z1", PasteRange{{26, 1, 26, 1}}},
        {"get\t3\t100", GetText{3, 100}},
        {"get\t1024\t1048576", GetText{1024, 1'048'576}},
        {"texts\t1\t1\t8\t2000", GetTexts{1, 1, 8, 2000}},
        {"texts\t1024\t1\t1\t1048576", GetTexts{1024, 1, 1, 1'048'576}},
        {"inspect\t1\t7", InspectCell{1, 7}},
        {"closedoc", CloseDocument{}},
        {"quit", Quit{}},
    };
}

} // namespace

TEST(CalcRequestRange, cellsBlocksAndRowsOutsideTheSheetAreRefusedAsRange)
{
    expectRefused(
        {
            {"insert\t-2147483648\t1", "column -2147483648"},
            {"insert\t0\t0", "column 0"},
            {"insert\t1\t0", "row 0"},
            {"insert\t1025\t1", "column 1025"},
            {"insert\t1\t1048577", "row 1048577"},
            {"get\t1\t-2147483648", "row -2147483648"},
            {"get\t99999999999999999999\t1", "column 99999999999999999999"},
            {"inspect\t1\t2147483647", "row 2147483647"},
            {"height\t0\t10", "row 0"},
            {"height\t1048577\t10", "row 1048577"},
            {"cells\t1025\t1\t1\t1\t1\t;0;0;\tx\t0", "column 1025"},
            {"cells\t1024\t1\t2\t1\t1\t;0;0;\tx\t0\ty\t0", "2 columns from column 1024"},
            {"cells\t1\t1048576\t1\t2\t1\t;0;0;\tx\t0\ty\t0", "2 rows from row 1048576"},
            {"cells\t1\t1\t0\t1\t0", "0 columns"},
            {"cells\t1\t1\t1\t-1\t0", "-1 rows"},
            {"cells\t2\t2\t2147483647\t2147483647\t1\t;0;0;", "2147483647 columns"},
            {"texts\t1\t1\t1025\t1", "1025 columns"},
            {"texts\t2\t1\t1024\t1", "1024 columns from column 2"},
            {"texts\t1\t2\t1\t1048576", "1048576 rows from row 2"},
            {"texts\t1\t1\t2\t1048576", "2097152 cells at once"},
        },
        kRange);
}

TEST(CalcRequestRange, badReferencesAreRefusedAsRangeWithTheReferenceAsWritten)
{
    std::vector<Refused> table;
    for (const char* reference : {"",          ":",     "A",        "1",          "A0",
                                  "A01048577", "AMK1",  "AAAA1",    "A1048577",   "A99999999999999999999",
                                  "A1:",       ":A1",   "A1:B2:C3", "1A",         "$$A1",
                                  "A$$1",      "A$",    "A-1",      "A+1",        "A 1",
                                  " A1",       "A1 ",   "A1.5",     "Foglio1.A1", "non è un intervallo",
                                  "[1:[1",     "@1:@1", "A1\tB1",   "A1\n"}) {
        std::string line = encodeLine({"range", reference});
        line.pop_back();
        table.push_back({line, reference, true});
    }
    table.push_back({"paste\t[1:[1", "[1:[1", true});
    expectRefused(table, kRange);
}

TEST(CalcRequestMalformed, wrongCommandsWordCountsAndNumbersAreRefusedAsRequest)
{
    expectRefused(
        {
            {"", "no command"},
            {"\t1\t1", "no command"},
            {"bogus", "unknown command: bogus"},
            {"INSERT\t1\t1", "unknown command"},
            {"insert", "takes 2 words after the command, not 0"},
            {"insert\t1", "not 1"},
            {"insert\t1\t2\t3", "not 3"},
            {"get\t1\t2\t", "not 3"},
            {"show\tnow", "takes 0 words"},
            {"closedoc\tx", "takes 0 words"},
            {"quit\t1", "takes 0 words"},
            {"open", "takes 1 word after"},
            {"open\t", "no file"},
            {"open\ta\tb", "not 2"},
            {"range", "takes 1 word after"},
            {"paste\tA1\tB1", "not 2"},
            {"texts\t1\t1\t1", "not 3"},
            {"get\t+1\t1", "not a whole number: +1"},
            {"get\t 1\t1", "not a whole number"},
            {"get\t1 \t1", "not a whole number"},
            {"get\t1.0\t1", "not a whole number"},
            {"get\t0x1\t1", "not a whole number"},
            {"get\t1e3\t1", "not a whole number"},
            {"get\t\t1", "not a whole number"},
            {"get\t-\t1", "not a whole number"},
            {"get\t--1\t1", "not a whole number"},
            {"sheet\tuno", "not a whole number"},
        },
        kRequest);
}

TEST(CalcRequestMalformed, rowHeightsMustBeFinitePointsWithinWhatARowTakes)
{
    std::vector<Refused> table;
    for (const char* points : {"nan", "NaN", "inf", "-inf", "infinity", "", "abc", "+3", ".5", "5.", "1e2", "30pt",
                               "0x10", "1,5", " 30", "30 ", "1.2.3", "-"})
        table.push_back({std::string("height\t1\t") + points, "not a number of points"});
    for (const std::string& points : {std::string("-1"), std::string("-0.5"), std::string("409.01"), std::string("410"),
                                      std::string("2147483648"), repeated("9", 400)})
        table.push_back({"height\t1\t" + points, "is outside 0..409"});
    expectRefused(table, kRequest);
}

TEST(CalcRequestMalformed, cellsNeedEveryWordOneStyleEachKnownStylesAndShortTexts)
{
    expectRefused(
        {
            {"cells\t1\t1\t1\t1", "takes x, y"},
            {"cells\t1\t1\t1\t1\t1\t;0;0;\tx", "take 8 words after the command, not 7"},
            {"cells\t1\t1\t1\t1\t1\t;0;0;\tx\t0\t", "not 9"},
            {"cells\t1\t1\t1\t1\t2\t;0;0;\tx\t0", "with 2 styles take 9 words"},
            {"cells\t1\t1\t1\t1\t-1\tx\t0", "count of styles -1"},
            {"cells\t1\t1\t1\t1\t99999999999999999999\tx\t0", "count of styles"},
            {"cells\t1\t1\t1\t1\t0\tx\t0", "no style 0"},
            {"cells\t1\t1\t1\t1\t1\t;0;0;\tx\t1", "no style 1 for the cell in column 1, row 1"},
            {"cells\t1\t1\t2\t1\t1\t;0;0;\tx\t0\ty\t-1", "no style -1 for the cell in column 2, row 1"},
            {"cells\t1\t1\t1\t1\t1\t;0;0;\tx\tzero", "no style zero"},
            {"cells\t1\t1\t1\t1\t1\t;0;0;\tx\t+0", "no style +0"},
            {"cells\t1\t1\t1\t1\t1\tX;0;0;\tx\t0", "unknown style flag: X"},
            {"cells\t1\t1\t1\t1\t1\t;0;0\tx\t0", "not a style"},
            {"cells\t1\t1\t1\t1\t1\t\tx\t0", "not a style"},
            {"cells\t1\t1\t1\t1\t1\t;9;0;\tx\t0", "not a font size: 9"},
            {"cells\t1\t1\t1\t1\t1\t;08;0;\tx\t0", "not a font size: 08"},
            {"cells\t1\t1\t1\t1\t1\t;;0;\tx\t0", "not a font size"},
            {"cells\t1\t1\t1\t1\t1\t;0;2;\tx\t0", "not an alignment: 2"},
            {"cells\t1\t1\t1\t1\t1\t;0;-0;\tx\t0", "not an alignment: -0"},
            {"cells\t1\t1\t1\t1\t1\t;0;5;\tx\t0", "not an alignment: 5"},
            {cellsLine(repeated("a", 32'768)), "longer than 32767 characters"},
            // Outside the basic plane a character takes two units, as the spreadsheet counts them.
            {cellsLine(repeated("\U0001F600", 16'384)), "longer than 32767 characters"},
        },
        kRequest);
}

TEST(CalcRequestMalformed, startNeedsAProgramAPlainPipeNameAndATimeoutUpToTenMinutes)
{
    expectRefused(
        {
            {"start", "takes a program"},
            {"start\tsoffice\tp", "takes a program"},
            {"start\t\tp\t1000", "no program"},
            {"start\tsoffice\t\t1000", "not a pipe name"},
            {"start\tsoffice\ta;urp\t1000", "not a pipe name: a;urp"},
            {"start\tsoffice\ta,b\t1000", "not a pipe name"},
            {"start\tsoffice\tp\t0", "timeout 0 is outside 1..600000"},
            {"start\tsoffice\tp\t600001", "timeout 600001"},
            {"start\tsoffice\tp\t-2147483648", "timeout -2147483648"},
            {"start\tsoffice\tp\tmai", "not a whole number"},
        },
        kRequest);
}

TEST(CalcRequestSheet, sheetNumbersNoDocumentCanHaveAreRefusedAsAMissingSheet)
{
    // The program tells the user the number of the sheet that does not exist.
    expectRefused(
        {
            {"sheet\t0", "0", true},
            {"sheet\t-1", "-1", true},
            {"sheet\t-2147483648", "-2147483648", true},
            {"sheet\t32768", "32768", true},
            {"sheet\t99999999999999999999", "99999999999999999999", true},
        },
        kSheet);
}

TEST(CalcRequestTaken, theSheetsEdgesAndTheProgramsRequestsReadAsTyped)
{
    for (const Taken& taken : takenRequests()) {
        SCOPED_TRACE(taken.line.substr(0, 200));
        try {
            EXPECT_TRUE(parseRequest(decodeLine(taken.line)) == taken.request);
        } catch (const Failure& failure) {
            ADD_FAILURE() << failure.kind << ": " << failure.detail;
        }
    }
}

TEST(CalcRequestTaken, aRequestReadsBackTheSameFromItsOwnWords)
{
    for (const Taken& taken : takenRequests()) {
        SCOPED_TRACE(taken.line.substr(0, 200));
        std::string line = encodeLine(requestWords(taken.request));
        line.pop_back();
        EXPECT_TRUE(parseRequest(decodeLine(line)) == taken.request);
    }
}

TEST(CalcRequestTaken, everyStyleTheProgramCanSendIsTaken)
{
    // modExcel97 sets sizes 8 and 11 only, alignments 3 and 4 only, and any number format but blanks.
    for (const bool edges : {false, true}) {
        for (const bool wrap : {false, true}) {
            for (const bool bold : {false, true}) {
                for (const int size : {0, 8, 11}) {
                    for (const int justify : {0, 3, 4}) {
                        for (const char* format : {"", "@", " @", "#,##0.00", "0.00%;[RED]-0.00%", "\\;\t"}) {
                            const Style style{edges, wrap, bold, size, justify, format};
                            SCOPED_TRACE(encodeStyle(style));
                            EXPECT_EQ(decodeStyle(encodeStyle(style)), style);
                            std::string line =
                                encodeLine({"cells", "1", "1", "1", "1", "1", encodeStyle(style), "v", "0"});
                            line.pop_back();
                            EXPECT_TRUE(parseRequest(decodeLine(line)) ==
                                        Request(CellBlock{1, 1, 1, 1, {style}, {"v"}, {0}}));
                        }
                    }
                }
            }
        }
    }
}

TEST(CalcHelperWithoutOffice, cellsOutsideTheSheetAreRefusedBeforeAnyOfficeIsLookedFor)
{
#ifdef PREZZARIO_APP_DIR
    // No start request: had the helper looked for an office, the answer would be "error state".
    QProcess helper;
    helper.setProgram(QStringLiteral(PREZZARIO_APP_DIR "/prezzario-calc"));
    helper.start();
    ASSERT_TRUE(helper.waitForStarted(-1)) << helper.errorString().toStdString();
    const std::string requests = "insert\t-2147483648\t1\ninsert\t0\t0\n";
    helper.write(requests.data(), static_cast<qint64>(requests.size()));
    // The helper answers every line, then ends when its input closes.
    helper.closeWriteChannel();
    ASSERT_TRUE(helper.waitForFinished(-1));
    EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(helper.exitCode(), 0);
    const QList<QByteArray> answers = helper.readAllStandardOutput().split('\n');
    ASSERT_EQ(answers.size(), 3);
    EXPECT_TRUE(answers[2].isEmpty());
    for (int i = 0; i < 2; ++i) {
        const std::vector<std::string> words = decodeLine(answers[i].toStdString());
        ASSERT_GE(words.size(), 2U) << answers[i].toStdString();
        EXPECT_EQ(words[0], kError) << answers[i].toStdString();
        EXPECT_EQ(words[1], kRange) << answers[i].toStdString();
    }
#else
    GTEST_SKIP() << "prezzario-calc is not built";
#endif
}
