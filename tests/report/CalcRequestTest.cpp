// The requests of prezzario-calc read and checked before anything reaches the office: what is refused and
// with which kind of error, what is taken and how it reads, and the helper's own answers without an office.
#include "report/calc/Protocol.h"
#include "report/calc/Request.h"

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
    return "cells\t1\t1\t1\t1\t1\t;\t" + value + "\t0";
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
    const Style text{true, true, true, "@"};
    const Style amount{false, false, false, "#,##0.00;-#,##0.00"};
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
        {"cells\t1\t1\t1\t1\t1\t;\tx\t0", CellBlock{1, 1, 1, 1, {plain}, {"x"}, {0}}},
        {"cells\t1024\t1048576\t1\t1\t1\t;\t\t0", CellBlock{1024, 1'048'576, 1, 1, {plain}, {""}, {0}}},
        {"cells\t1023\t1048575\t2\t2\t2\tBWb;@\t;#,##0.00;-#,##0.00\ta\t0\tb\t1\tc\t1\td\t0",
         CellBlock{1023, 1'048'575, 2, 2, {text, amount}, {"a", "b", "c", "d"}, {0, 1, 1, 0}}},
        {cellsLine(repeated("a", 32'767)), CellBlock{1, 1, 1, 1, {plain}, {repeated("a", 32'767)}, {0}}},
        {cellsLine(repeated("é", 32'767)), CellBlock{1, 1, 1, 1, {plain}, {repeated("é", 32'767)}, {0}}},
        {"texts\t1\t1\t8\t2000", GetTexts{1, 1, 8, 2000}},
        {"texts\t1024\t1\t1\t1048576", GetTexts{1024, 1, 1, 1'048'576}},
        {"inspect\t1\t7", InspectCell{1, 7}},
        {"inspect\t1024\t1048576", InspectCell{1024, 1'048'576}},
        {"closedoc", CloseDocument{}},
    };
}

} // namespace

TEST(CalcRequestRange, cellsBlocksAndRowsOutsideTheSheetAreRefusedAsRange)
{
    expectRefused(
        {
            {"inspect\t-2147483648\t1", "column -2147483648"},
            {"inspect\t0\t0", "column 0"},
            {"inspect\t1\t0", "row 0"},
            {"inspect\t1025\t1", "column 1025"},
            {"inspect\t1\t1048577", "row 1048577"},
            {"inspect\t1\t-2147483648", "row -2147483648"},
            {"inspect\t99999999999999999999\t1", "column 99999999999999999999"},
            {"inspect\t1\t2147483647", "row 2147483647"},
            {"cells\t1025\t1\t1\t1\t1\t;\tx\t0", "column 1025"},
            {"cells\t1024\t1\t2\t1\t1\t;\tx\t0\ty\t0", "2 columns from column 1024"},
            {"cells\t1\t1048576\t1\t2\t1\t;\tx\t0\ty\t0", "2 rows from row 1048576"},
            {"cells\t1\t1\t0\t1\t0", "0 columns"},
            {"cells\t1\t1\t1\t-1\t0", "-1 rows"},
            {"cells\t2\t2\t2147483647\t2147483647\t1\t;", "2147483647 columns"},
            {"texts\t1\t1\t1025\t1", "1025 columns"},
            {"texts\t2\t1\t1024\t1", "1024 columns from column 2"},
            {"texts\t1\t2\t1\t1048576", "1048576 rows from row 2"},
            {"texts\t1\t1\t2\t1048576", "2097152 cells at once"},
        },
        kRange);
}

TEST(CalcRequestMalformed, wrongCommandsWordCountsAndNumbersAreRefusedAsRequest)
{
    expectRefused(
        {
            {"", "no command"},
            {"\t1\t1", "no command"},
            {"bogus", "unknown command: bogus"},
            {"INSPECT\t1\t1", "unknown command"},
            {"inspect", "takes 2 words after the command, not 0"},
            {"inspect\t1", "not 1"},
            {"inspect\t1\t2\t3", "not 3"},
            {"inspect\t1\t2\t", "not 3"},
            {"show\tnow", "takes 0 words"},
            {"closedoc\tx", "takes 0 words"},
            {"open", "takes 1 word after"},
            {"open\t", "no file"},
            {"open\ta\tb", "not 2"},
            {"texts\t1\t1\t1", "not 3"},
            {"inspect\t+1\t1", "not a whole number: +1"},
            {"inspect\t 1\t1", "not a whole number"},
            {"inspect\t1 \t1", "not a whole number"},
            {"inspect\t1.0\t1", "not a whole number"},
            {"inspect\t0x1\t1", "not a whole number"},
            {"inspect\t1e3\t1", "not a whole number"},
            {"inspect\t\t1", "not a whole number"},
            {"inspect\t-\t1", "not a whole number"},
            {"inspect\t--1\t1", "not a whole number"},
            {"sheet\tuno", "not a whole number"},
        },
        kRequest);
}

TEST(CalcRequestMalformed, cellsNeedEveryWordOneStyleEachKnownStylesAndShortTexts)
{
    expectRefused(
        {
            {"cells\t1\t1\t1\t1", "takes x, y"},
            {"cells\t1\t1\t1\t1\t1\t;\tx", "take 8 words after the command, not 7"},
            {"cells\t1\t1\t1\t1\t1\t;\tx\t0\t", "not 9"},
            {"cells\t1\t1\t1\t1\t2\t;\tx\t0", "with 2 styles take 9 words"},
            {"cells\t1\t1\t1\t1\t-1\tx\t0", "count of styles -1"},
            {"cells\t1\t1\t1\t1\t99999999999999999999\tx\t0", "count of styles"},
            {"cells\t1\t1\t1\t1\t0\tx\t0", "no style 0"},
            {"cells\t1\t1\t1\t1\t1\t;\tx\t1", "no style 1 for the cell in column 1, row 1"},
            {"cells\t1\t1\t2\t1\t1\t;\tx\t0\ty\t-1", "no style -1 for the cell in column 2, row 1"},
            {"cells\t1\t1\t1\t1\t1\t;\tx\tzero", "no style zero"},
            {"cells\t1\t1\t1\t1\t1\t;\tx\t+0", "no style +0"},
            {"cells\t1\t1\t1\t1\t1\tX;\tx\t0", "unknown style flag: X"},
            {"cells\t1\t1\t1\t1\t1\t8;@\tx\t0", "unknown style flag: 8"},
            {"cells\t1\t1\t1\t1\t1\tBWb\tx\t0", "not a style"},
            {"cells\t1\t1\t1\t1\t1\t\tx\t0", "not a style"},
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
    // modExcel97 sends any number format but blanks.
    for (const bool edges : {false, true}) {
        for (const bool wrap : {false, true}) {
            for (const bool bold : {false, true}) {
                for (const char* format : {"", "@", " @", "#,##0.00", "0.00%;[RED]-0.00%", "\\;\t"}) {
                    const Style style{edges, wrap, bold, format};
                    SCOPED_TRACE(encodeStyle(style));
                    EXPECT_EQ(decodeStyle(encodeStyle(style)), style);
                    std::string line = encodeLine({"cells", "1", "1", "1", "1", "1", encodeStyle(style), "v", "0"});
                    line.pop_back();
                    EXPECT_TRUE(parseRequest(decodeLine(line)) == Request(CellBlock{1, 1, 1, 1, {style}, {"v"}, {0}}));
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
    const std::string requests = "inspect\t-2147483648\t1\ninspect\t0\t0\n";
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
