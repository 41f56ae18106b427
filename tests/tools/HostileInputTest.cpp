// prezzario-build run on inputs a careless or hostile user could hand it: each ends with a message naming
// what is wrong and status 1, and no file changes (no temporary file left, no input overwritten). The large
// inputs are made cheaply: declared repeats, blanks that compress, members stored as they are.
#include "tests/tools/BuilderTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace buildertest;

namespace {

using Arguments = std::vector<QByteArray>;

QByteArray bytes(const QString& text)
{
    return QFile::encodeName(text);
}

void write(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

// Every entry under dir: its kind, and for a regular file a hash of its bytes. A link is never followed.
QMap<QString, QByteArray> snapshot(const QString& dir)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        QByteArray kind = "other";
        if (info.isSymLink()) {
            kind = "link " + bytes(info.symLinkTarget());
        } else if (info.isDir()) {
            kind = "folder";
        } else if (info.isFile()) {
            QFile file(path);
            QCryptographicHash hash(QCryptographicHash::Sha1);
            if (file.open(QIODevice::ReadOnly))
                hash.addData(&file);
            kind = hash.result().toHex();
        }
        entries.insert(QDir(dir).relativeFilePath(path), kind);
    }
    return entries;
}

// --- Workbooks

const char* const kOds = "urn:oasis:names:tc:opendocument:xmlns";
const char* const kXml = "http://schemas.openxmlformats.org";

QByteArray odsContent(const QByteArray& tables)
{
    return QByteArray("<office:document-content xmlns:office=\"") + kOds + ":office:1.0\" xmlns:table=\"" + kOds +
           ":table:1.0\" xmlns:text=\"" + kOds + ":text:1.0\"><office:body><office:spreadsheet>" + tables +
           "</office:spreadsheet></office:body></office:document-content>";
}

void writeOds(const QString& path, const QByteArray& table)
{
    writeZip(path, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet", true},
                    {"content.xml", odsContent("<table:table table:name=\"prezzario\">" + table + "</table:table>")}});
}

// An .xlsx file listing `sheets` sheets (prezzario, foglio2, …), all of them the worksheet `sheetData`, with shared
// strings if given.
void writeXlsx(const QString& path, const QByteArray& sheetData, bool stored = false, int sheets = 1,
               const QByteArray& strings = {})
{
    QByteArray list;
    for (int i = 1; i <= sheets; ++i)
        list += "<sheet name=\"" + (i == 1 ? QByteArray("prezzario") : "foglio" + QByteArray::number(i)) +
                "\" sheetId=\"" + QByteArray::number(i) + "\" r:id=\"rId1\"/>";
    QByteArray relations = QByteArray("<Relationships xmlns=\"") + kXml +
                           "/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + kXml +
                           "/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
    if (!strings.isEmpty())
        relations += QByteArray("<Relationship Id=\"rId2\" Type=\"") + kXml +
                     "/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>";
    std::vector<ZipMember> members{
        {"_rels/.rels", QByteArray("<Relationships xmlns=\"") + kXml +
                            "/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + kXml +
                            "/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
                            "</Relationships>"},
        {"xl/workbook.xml", QByteArray("<workbook xmlns=\"") + kXml + "/spreadsheetml/2006/main\" xmlns:r=\"" + kXml +
                                "/officeDocument/2006/relationships\"><sheets>" + list + "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", relations + "</Relationships>"},
        {"xl/worksheets/sheet1.xml",
         QByteArray("<worksheet xmlns=\"") + kXml + "/spreadsheetml/2006/main\"><sheetData>" + sheetData +
             "</sheetData></worksheet>",
         stored}};
    if (!strings.isEmpty())
        members.push_back({"xl/sharedStrings.xml", "<sst>" + strings + "</sst>", true});
    writeZip(path, members);
}

QByteArray repeated(const QByteArray& piece, qsizetype times)
{
    QByteArray data;
    data.reserve(piece.size() * times);
    for (qsizetype i = 0; i < times; ++i)
        data += piece;
    return data;
}

// --- CSV

// The valid CSV folder with prezzario.csv replaced.
QString csvFolder(const QDir& dir, const QByteArray& prices)
{
    QMap<QString, QByteArray> files = validCsvFiles();
    files[QStringLiteral("prezzario.csv")] = prices;
    const QString folder = dir.filePath(QStringLiteral("listino"));
    writeCsvFolder(folder, files);
    return folder;
}

QByteArray csvHeader()
{
    const QByteArray valid = validCsvFiles()[QStringLiteral("prezzario.csv")];
    return valid.left(valid.indexOf('\n'));
}

// `rows` valid rows, codes 01.A01.A00.001, …; `field` of row `bad` (counted from 1; -1 for every row) replaced.
QByteArray csvRows(int rows, const char* lineEnd, int bad = 0, int field = 0, const QByteArray& value = {})
{
    QByteArray text = csvHeader() + lineEnd;
    for (int i = 1; i <= rows; ++i) {
        const QByteArray code = QByteArray::number(i % 1000).rightJustified(3, '0');
        const QByteArray article = "A" + QByteArray::number(i / 1000).rightJustified(2, '0');
        QList<QByteArray> fields = QByteArray(QByteArray::number(i) + ",01.A01." + article + "." + code +
                                              ",01,Opere edili,,A01," + article + ",Scavi,,1," + code +
                                              ",Scavo,,,fino a 1 m,m³,12.5,27.5,3.44")
                                       .split(',');
        if (i == bad || bad < 0)
            fields[field] = value;
        text += fields.join(',') + lineEnd;
    }
    return text;
}

struct Hostile
{
    const char* what;
    // Writes the input into the folder and gives the arguments; "OUT" stands for a new file of the folder.
    std::function<Arguments(const QDir&)> make;
    QStringList expected; // parts of the message
};

Arguments fromXlsx(const QString& path)
{
    return {"--from-xlsx", bytes(path), "--out", "OUT"};
}

const QList<Hostile>& hostileInputs()
{
    static const QList<Hostile> cases = {
        {"--out is the workbook it reads",
         [](const QDir& dir) {
             write(dir.filePath(QStringLiteral("in.xlsx")), "PK");
             return Arguments{"--from-xlsx", bytes(dir.filePath(QStringLiteral("in.xlsx"))), "--out",
                              bytes(dir.filePath(QStringLiteral("in.xlsx")))};
         },
         {QStringLiteral("un file che questa costruzione legge")}},
        {"--out is a hard link to the workbook it reads",
         [](const QDir& dir) {
             write(dir.filePath(QStringLiteral("in.xlsx")), "PK");
             ::link(bytes(dir.filePath(QStringLiteral("in.xlsx"))).constData(),
                    bytes(dir.filePath(QStringLiteral("altro.mdb"))).constData());
             return Arguments{"--from-xlsx", bytes(dir.filePath(QStringLiteral("in.xlsx"))), "--out",
                              bytes(dir.filePath(QStringLiteral("altro.mdb")))};
         },
         {QStringLiteral("un file che questa costruzione legge")}},
        {"--out is a table of the CSV folder it reads",
         [](const QDir& dir) {
             const QString folder = csvFolder(dir, validCsvFiles()[QStringLiteral("prezzario.csv")]);
             return Arguments{"--from-csv", bytes(folder), "--out", bytes(folder + QStringLiteral("/prezzario.csv"))};
         },
         {QStringLiteral("un file che questa costruzione legge")}},
        {"--out is a pipe",
         [](const QDir& dir) {
             ::mkfifo(bytes(dir.filePath(QStringLiteral("tubo"))).constData(), 0600);
             return Arguments{"--demo", "--rows", "10", "--out", bytes(dir.filePath(QStringLiteral("tubo")))};
         },
         {QStringLiteral("è un dispositivo, una pipe o un socket")}},
        {"--out is a folder",
         [](const QDir& dir) {
             dir.mkdir(QStringLiteral("cartella"));
             return Arguments{"--demo", "--rows", "10", "--out", bytes(dir.filePath(QStringLiteral("cartella")))};
         },
         {QStringLiteral("è una cartella")}},
        {".ods row groups nested 300 deep",
         [](const QDir& dir) {
             writeOds(dir.filePath(QStringLiteral("in.ods")),
                      repeated("<table:table-row-group>", 300) + repeated("</table:table-row-group>", 300));
             return fromXlsx(dir.filePath(QStringLiteral("in.ods")));
         },
         {QStringLiteral("content.xml, riga 1: elementi XML annidati oltre il limite di 256 livelli")}},
        {".ods manifest nested 300 deep",
         [](const QDir& dir) {
             writeZip(dir.filePath(QStringLiteral("in.ods")),
                      {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet", true},
                       {"META-INF/manifest.xml", repeated("<a>", 300) + repeated("</a>", 300)},
                       {"content.xml", odsContent({})}});
             return fromXlsx(dir.filePath(QStringLiteral("in.ods")));
         },
         {QStringLiteral("META-INF/manifest.xml, riga 1: elementi XML annidati oltre il limite di 256 livelli")}},
        {".ods row of 16,383 empty cells and a number repeated 1,048,000 times",
         [](const QDir& dir) {
             writeOds(dir.filePath(QStringLiteral("in.ods")),
                      "<table:table-row table:number-rows-repeated=\"1048000\"><table:table-cell "
                      "table:number-columns-repeated=\"16383\"/><table:table-cell office:value-type=\"float\" "
                      "office:value=\"1\"/></table:table-row>");
             return fromXlsx(dir.filePath(QStringLiteral("in.ods")));
         },
         {QStringLiteral("foglio «prezzario»"), QStringLiteral("oltre le 1024 colonne")}},
        {".xlsx rows of one cell at column XFD",
         [](const QDir& dir) {
             QByteArray rows;
             for (int r = 1; r <= 4000; ++r)
                 rows += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"XFD" + QByteArray::number(r) +
                         "\"><v>1</v></c></row>";
             writeXlsx(dir.filePath(QStringLiteral("in.xlsx")), rows);
             return fromXlsx(dir.filePath(QStringLiteral("in.xlsx")));
         },
         {QStringLiteral("la riga 1 ha un valore nella colonna XFD")}},
        {".xlsx sheet of 64 MiB of blanks, compressed",
         [](const QDir& dir) {
             writeXlsx(dir.filePath(QStringLiteral("in.xlsx")), QByteArray(64 << 20, ' '));
             return fromXlsx(dir.filePath(QStringLiteral("in.xlsx")));
         },
         {QStringLiteral("«xl/worksheets/sheet1.xml» decompressa è più di 100 volte più grande che compressa")}},
        {".xlsx text of 9 MiB",
         [](const QDir& dir) {
             writeXlsx(dir.filePath(QStringLiteral("in.xlsx")),
                       "<row r=\"1\"><c t=\"inlineStr\"><is><t>" + QByteArray(9 << 20, 'a') + "</t></is></c></row>",
                       true);
             return fromXlsx(dir.filePath(QStringLiteral("in.xlsx")));
         },
         {QStringLiteral("un testo o un elemento XML supera il limite di 8.388.608 caratteri")}},
        {".xlsx cell of 1,100,000 characters in runs",
         [](const QDir& dir) {
             writeXlsx(dir.filePath(QStringLiteral("in.xlsx")),
                       "<row r=\"1\"><c t=\"inlineStr\"><is>" +
                           repeated("<r><t>" + QByteArray(110'000, 'a') + "</t></r>", 10) + "</is></c></row>",
                       true);
             return fromXlsx(dir.filePath(QStringLiteral("in.xlsx")));
         },
         {QStringLiteral("foglio «prezzario»"), QStringLiteral("una cella supera il limite di 1048576 caratteri")}},
        {".xlsx with 4,000,001 shared strings",
         [](const QDir& dir) {
             writeXlsx(dir.filePath(QStringLiteral("in.xlsx")), {}, false, 1, repeated("<si/>", 4'000'001));
             return fromXlsx(dir.filePath(QStringLiteral("in.xlsx")));
         },
         {QStringLiteral("più di 4000000 testi condivisi")}},
        {".xlsx listing 10,001 sheets",
         [](const QDir& dir) {
             writeXlsx(dir.filePath(QStringLiteral("in.xlsx")), {}, false, 10'001);
             return fromXlsx(dir.filePath(QStringLiteral("in.xlsx")));
         },
         {QStringLiteral("il file ha più di 10000 fogli")}},
        {".ods cell of 20,000 runs of 100,000 spaces",
         [](const QDir& dir) {
             writeOds(dir.filePath(QStringLiteral("in.ods")), "<table:table-row><table:table-cell><text:p>" +
                                                                  repeated("<text:s text:c=\"100000\"/>", 20'000) +
                                                                  "</text:p></table:table-cell></table:table-row>");
             return fromXlsx(dir.filePath(QStringLiteral("in.ods")));
         },
         {QStringLiteral("una cella supera il limite di 1048576 caratteri")}},
        {"--from-xlsx a pipe",
         [](const QDir& dir) {
             ::mkfifo(bytes(dir.filePath(QStringLiteral("tubo.xlsx"))).constData(), 0600);
             return fromXlsx(dir.filePath(QStringLiteral("tubo.xlsx")));
         },
         {QStringLiteral("non è un file normale")}},
        {"--from-xlsx a folder",
         [](const QDir& dir) {
             const QString folder = csvFolder(dir, validCsvFiles()[QStringLiteral("prezzario.csv")]);
             return fromXlsx(folder);
         },
         {QStringLiteral("è una cartella, non un file"), QStringLiteral("--from-csv")}},
        {"--from-csv a file",
         [](const QDir& dir) {
             const QString folder = csvFolder(dir, validCsvFiles()[QStringLiteral("prezzario.csv")]);
             return Arguments{"--from-csv", bytes(folder + QStringLiteral("/prezzario.csv")), "--out", "OUT"};
         },
         {QStringLiteral("è un file, non una cartella")}},
        {"a file name that is not UTF-8",
         [](const QDir& dir) {
             return Arguments{"--from-xlsx", bytes(dir.path()) + "/caf\xE9.xlsx", "--out", "OUT"};
         },
         {QStringLiteral("/caf\\xE9.xlsx» non è scritto in UTF-8")}},
        {"CSV header of 5 MiB without a line end",
         [](const QDir& dir) {
             return Arguments{"--from-csv", bytes(csvFolder(dir, QByteArray(5 << 20, 'x'))), "--out", "OUT"};
         },
         {QStringLiteral("prezzario.csv, riga 1: la riga supera il limite di 4 MiB")}},
        {"prezzario.csv a link to /dev/zero",
         [](const QDir& dir) {
             const QString folder = csvFolder(dir, {});
             QFile::remove(folder + QStringLiteral("/prezzario.csv"));
             ::symlink("/dev/zero", bytes(folder + QStringLiteral("/prezzario.csv")).constData());
             return Arguments{"--from-csv", bytes(folder), "--out", "OUT"};
         },
         {QStringLiteral("prezzario.csv» non è un file normale")}},
        {"CSV with CR line ends and a bad price on line 151",
         [](const QDir& dir) {
             return Arguments{"--from-csv", bytes(csvFolder(dir, csvRows(150, "\r", 150, 16, "abc"))), "--out", "OUT"};
         },
         {QStringLiteral("prezzario.csv, riga 151, colonna \"prezzo_lordo\": numero non valido \"abc\"")}},
        {"CSV with CR LF line ends, a NUL in a text and a bad price after it",
         [](const QDir& dir) {
             QByteArray prices = csvRows(3, "\r\n", 2, 16, "abc");
             prices.replace("fino a 1 m", QByteArray("fino a\0 1 m", 11));
             return Arguments{"--from-csv", bytes(csvFolder(dir, prices)), "--out", "OUT"};
         },
         {QStringLiteral("prezzario.csv, riga 2, colonna \"subarticolo\": il testo contiene il carattere di "
                         "controllo U+0000 al carattere 7: \"fino aU+0000 1 m\""),
          QStringLiteral("prezzario.csv, riga 3, colonna \"prezzo_lordo\"")}},
        {"CSV with a bad price of 500 kB",
         [](const QDir& dir) {
             return Arguments{"--from-csv",
                              bytes(csvFolder(dir, csvRows(1, "\n", 1, 16, QByteArray(500'000, '9') + "x"))), "--out",
                              "OUT"};
         },
         {QStringLiteral("numero non valido \"") + QString(80, u'9') + QStringLiteral("…\"")}},
        {"CSV whose 12,000 rows are all wrong",
         [](const QDir& dir) {
             return Arguments{"--from-csv", bytes(csvFolder(dir, csvRows(12'000, "\n", -1, 16, "x"))), "--out", "OUT"};
         },
         {QStringLiteral("e altri 9900 errori: il controllo si è fermato qui")}},
        {"CSV header name of 3 MB",
         [](const QDir& dir) {
             return Arguments{"--from-csv", bytes(csvFolder(dir, csvHeader() + "," + QByteArray(3 << 20, 'n') + "\n")),
                              "--out", "OUT"};
         },
         {QStringLiteral("colonna sconosciuta \"") + QString(80, u'n') + QStringLiteral("…\"")}},
    };
    return cases;
}

} // namespace

TEST(HostileInput, eachEndsWithAMessageAndStatusOneAndChangesNoFile)
{
    for (const Hostile& c : hostileInputs()) {
        SCOPED_TRACE(c.what);
        const QTemporaryDir dir;
        Arguments arguments = c.make(QDir(dir.path()));
        for (QByteArray& argument : arguments) {
            if (argument == "OUT")
                argument = bytes(dir.filePath(QStringLiteral("Prezzario.mdb")));
        }
        const QMap<QString, QByteArray> before = snapshot(dir.path());
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        for (const QString& part : c.expected)
            EXPECT_TRUE(run.err.contains(part)) << run.err.left(2000).toStdString();
        // Values are cut and problems counted up to a bound, so a message stays readable whatever the input holds.
        EXPECT_LT(run.err.size(), 16000) << run.err.left(2000).toStdString();
        EXPECT_EQ(snapshot(dir.path()), before);
    }
}

TEST(HostileInput, twoBuildsToOneTargetBothLeaveOneCompleteList)
{
    const QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("Prezzario.mdb"));
    const Arguments arguments{"--demo", "--rows", "20000", "--out", bytes(out)};
    const QString firstErr = dir.filePath(QStringLiteral("first.err"));
    const QString secondErr = dir.filePath(QStringLiteral("second.err"));
    const pid_t first = startTool(arguments, firstErr);
    const pid_t second = startTool(arguments, secondErr);
    const ToolRun firstRun = finishTool(first, firstErr);
    const ToolRun secondRun = finishTool(second, secondErr);
    EXPECT_EQ(firstRun.exitCode, 0) << firstRun.err.toStdString();
    EXPECT_EQ(secondRun.exitCode, 0) << secondRun.err.toStdString();
    EXPECT_EQ(scalar(openBuilt(out), QStringLiteral("select count(*) from prezzario")).toInt(), 20000);
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("Prezzario.mdb")});
}

TEST(HostileInput, aBuildEndedBySignalLeavesNoTemporaryFile)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const QTemporaryDir dir;
        const QString errFile = QDir::temp().filePath(QStringLiteral("prezzario-signal-%1.err").arg(::getpid()));
        const pid_t pid = startTool(
            {"--demo", "--rows", "2000000", "--out", bytes(dir.filePath(QStringLiteral("Prezzario.mdb")))}, errFile);
        // Once the temporary file is there, the build is under way.
        for (int wait = 0; wait < 3000 && filesIn(dir.path()).isEmpty(); ++wait)
            QThread::msleep(10);
        ASSERT_FALSE(filesIn(dir.path()).isEmpty());
        ::kill(pid, signal);
        const ToolRun run = finishTool(pid, errFile);
        EXPECT_EQ(run.signal, signal) << run.err.toStdString();
        EXPECT_TRUE(filesIn(dir.path()).isEmpty()) << filesIn(dir.path()).join(u' ').toStdString();
    }
}
