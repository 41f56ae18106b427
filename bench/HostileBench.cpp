// prezzario-hostile: prezzario-build on the hostile and careless inputs a publisher's user could hand it, each at
// full size, beside a real list of a million rows. For each run: exit status, wall time, peak resident memory
// (the child's own, from wait4), the size of its standard error and its first message. The target: every
// hostile input ends with status 1 within 1 GiB and in seconds, the real list builds.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringEncoder>

#include "bench/BenchData.h"
#include "core/Database.h"
#include "core/PriceList.h"
#include "core/Recordset.h"

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr long kMemoryTargetMiB = 1024;
constexpr double kTimeTargetSeconds = 10;

struct Run
{
    int status = -1;
    int signal = 0;
    double seconds = 0;
    long peakMiB = 0;
    qint64 errBytes = 0;
    QString firstLine;
};

QString work(const QString& name)
{
    return benchdata::path(QStringLiteral("hostile/") + name);
}

QByteArray bytes(const QString& text)
{
    return QFile::encodeName(text);
}

pid_t start(const std::vector<QByteArray>& arguments, const QString& errFile)
{
    QByteArray exe(PREZZARIO_BUILD_EXE);
    std::vector<QByteArray> copies(arguments);
    std::vector<char*> argv{exe.data()};
    for (QByteArray& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, QFile::encodeName(errFile).constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    // A shell starts background jobs with SIGINT ignored; the tool keeps an ignored signal ignored.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.constData(), &actions, &attributes, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        std::exit(2);
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return pid;
}

void readErr(const QString& errFile, Run& run);

// Waits for a run started with start(); its peak memory is not its own (see Launcher), so it is not reported.
Run finish(pid_t pid, const QString& errFile, std::chrono::steady_clock::time_point started)
{
    int status = 0;
    struct rusage usage = {};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    else
        run.signal = WTERMSIG(status);
    QFile err(errFile);
    readErr(errFile, run);
    return run;
}

void readErr(const QString& errFile, Run& run)
{
    QFile err(errFile);
    run.errBytes = err.size();
    if (err.open(QIODevice::ReadOnly)) {
        // The message, not the progress lines.
        while (!err.atEnd()) {
            const QString line = QString::fromUtf8(err.readLine(4096)).trimmed();
            if (!line.startsWith(QStringLiteral("Costruzione del database"))) {
                run.firstLine = line.left(110);
                break;
            }
        }
    }
}

// A process forked while the bench is small starts the measured runs. The kernel keeps, as a child's peak
// memory, the peak of the process it was started from (vfork and fork alike): a child of the bench itself would
// report the bench's own peak, which holds the inputs it made.
class Launcher
{
public:
    Launcher()
    {
        int requests[2];
        int answers[2];
        if (::pipe(requests) != 0 || ::pipe(answers) != 0)
            std::exit(2);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(requests[1]);
            ::close(answers[0]);
            serve(requests[0], answers[1]);
            ::_exit(0);
        }
        ::close(requests[0]);
        ::close(answers[1]);
        m_requests = requests[1];
        m_answers = answers[0];
    }

    ~Launcher()
    {
        ::close(m_requests);
        ::close(m_answers);
        ::waitpid(m_pid, nullptr, 0);
    }

    Run run(const std::vector<QByteArray>& arguments)
    {
        const QString errFile = work(QStringLiteral("run.err"));
        QByteArray request;
        for (const QByteArray& argument : std::vector<QByteArray>{QByteArray(PREZZARIO_BUILD_EXE), bytes(errFile)})
            request += argument + '\0';
        for (const QByteArray& argument : arguments)
            request += argument + '\0';
        const qint64 size = request.size();
        const auto started = std::chrono::steady_clock::now();
        if (::write(m_requests, &size, sizeof size) != sizeof size ||
            ::write(m_requests, request.constData(), size_t(size)) != size)
            std::exit(2);
        int answer[2] = {};
        long peak = 0;
        if (::read(m_answers, answer, sizeof answer) != sizeof answer ||
            ::read(m_answers, &peak, sizeof peak) != sizeof peak)
            std::exit(2);
        Run run;
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        run.status = answer[0];
        run.signal = answer[1];
        run.peakMiB = peak / 1024;
        readErr(errFile, run);
        return run;
    }

private:
    static void serve(int requests, int answers)
    {
        qint64 size = 0;
        while (::read(requests, &size, sizeof size) == sizeof size) {
            std::vector<char> request(static_cast<size_t>(size));
            if (::read(requests, request.data(), request.size()) != size)
                return;
            std::vector<char*> argv;
            for (size_t at = 0; at < request.size(); at += std::strlen(request.data() + at) + 1)
                argv.push_back(request.data() + at);
            const char* errFile = argv[1];
            argv.erase(argv.begin() + 1);
            argv.push_back(nullptr);
            const pid_t pid = ::fork();
            if (pid == 0) {
                const int in = ::open("/dev/null", O_RDWR);
                const int err = ::open(errFile, O_WRONLY | O_CREAT | O_TRUNC, 0600);
                ::dup2(in, 0);
                ::dup2(in, 1);
                ::dup2(err, 2);
                ::execv(argv[0], argv.data());
                ::_exit(127);
            }
            int status = 0;
            struct rusage usage = {};
            while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
            }
            const int answer[2] = {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                                   WIFSIGNALED(status) ? WTERMSIG(status) : 0};
            const long peak = usage.ru_maxrss;
            if (::write(answers, answer, sizeof answer) != sizeof answer ||
                ::write(answers, &peak, sizeof peak) != sizeof peak)
                return;
        }
    }

    pid_t m_pid = -1;
    int m_requests = -1;
    int m_answers = -1;
};

// --- Inputs

// A zip member made on the fly: prefix, `count` copies of `piece`, suffix. Gigabytes cost no memory.
struct Stream
{
    QByteArray prefix;
    QByteArray piece;
    qint64 count = 0;
    QByteArray suffix;
    bool stored = false; // kept uncompressed: the compression ratio does not give it away
    qint64 at = 0;

    qint64 size() const { return prefix.size() + piece.size() * count + suffix.size(); }

    qint64 read(char* data, qint64 max)
    {
        qint64 done = 0;
        while (done < max && at < size()) {
            // The part `at` lies in, and where in it.
            const qint64 middle = piece.size() * count;
            const char* from = nullptr;
            qint64 left = 0;
            if (at < prefix.size()) {
                from = prefix.constData() + at;
                left = prefix.size() - at;
            } else if (at < prefix.size() + middle) {
                const qint64 offset = (at - prefix.size()) % piece.size();
                from = piece.constData() + offset;
                left = piece.size() - offset;
            } else {
                from = suffix.constData() + (at - prefix.size() - middle);
                left = size() - at;
            }
            const qint64 n = std::min(left, max - done);
            std::memcpy(data + done, from, size_t(n));
            done += n;
            at += n;
        }
        return done;
    }
};

zip_int64_t streamCallback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* stream = static_cast<Stream*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        stream->at = 0;
        return 0;
    case ZIP_SOURCE_READ:
        return stream->read(static_cast<char*>(data), qint64(length));
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        stat->size = zip_uint64_t(stream->size());
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return 2 * sizeof(int);
    case ZIP_SOURCE_FREE:
        delete stream;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        return -1;
    }
}

void writeZip(const QString& path, const std::vector<std::pair<const char*, Stream>>& members)
{
    int error = 0;
    zip_t* zip = zip_open(bytes(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, stream] : members) {
        zip_source_t* source = zip_source_function(zip, streamCallback, new Stream(stream));
        const zip_int64_t index = zip_file_add(zip, name, source, 0);
        zip_set_file_compression(zip, zip_uint64_t(index), stream.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 1);
    }
    if (zip_close(zip) != 0) {
        std::fprintf(stderr, "cannot write %s\n", bytes(path).constData());
        std::exit(2);
    }
}

Stream plain(const QByteArray& text)
{
    return {text, {}, 0, {}};
}

const char* const kOds = "urn:oasis:names:tc:opendocument:xmlns";
const char* const kXml = "http://schemas.openxmlformats.org";

QString ods(const char* name, const Stream& table,
            const Stream& mimetype = plain("application/vnd.oasis.opendocument.spreadsheet"))
{
    Stream content = table;
    content.prefix = QByteArray("<office:document-content xmlns:office=\"") + kOds + ":office:1.0\" xmlns:table=\"" +
                     kOds + ":table:1.0\" xmlns:text=\"" + kOds +
                     ":text:1.0\"><office:body><office:spreadsheet><table:table table:name=\"prezzario\">" +
                     content.prefix;
    content.suffix +=
        "</table:table><table:table table:name=\"anno_prezzario\"><table:table-row><table:table-cell "
        "office:value-type=\"string\"><text:p>ANNO_PREZZARIO</text:p></table:table-cell></table:table-row>"
        "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"2021\"/>"
        "</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>";
    const QString path = work(QString::fromLatin1(name));
    writeZip(path, {{"mimetype", mimetype}, {"content.xml", content}});
    return path;
}

QString xlsx(const char* name, const Stream& sheetData, int sheets = 1, const Stream& strings = {})
{
    QByteArray list;
    for (int i = 1; i <= sheets; ++i)
        list += "<sheet name=\"" +
                (i == 1   ? QByteArray("prezzario")
                 : i == 2 ? QByteArray("anno_prezzario")
                          : "foglio" + QByteArray::number(i)) +
                "\" sheetId=\"" + QByteArray::number(i) + "\" r:id=\"rId1\"/>";
    Stream sheet = sheetData;
    sheet.prefix = QByteArray("<worksheet xmlns=\"") + kXml + "/spreadsheetml/2006/main\"><sheetData>" + sheet.prefix;
    sheet.suffix += "</sheetData></worksheet>";
    QByteArray relations = QByteArray("<Relationships xmlns=\"") + kXml +
                           "/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + kXml +
                           "/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
    if (strings.size() > 0)
        relations += QByteArray("<Relationship Id=\"rId2\" Type=\"") + kXml +
                     "/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>";
    std::vector<std::pair<const char*, Stream>> members{
        {"_rels/.rels", plain(QByteArray("<Relationships xmlns=\"") + kXml +
                              "/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + kXml +
                              "/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
                              "</Relationships>")},
        {"xl/workbook.xml",
         plain(QByteArray("<workbook xmlns=\"") + kXml + "/spreadsheetml/2006/main\" xmlns:r=\"" + kXml +
               "/officeDocument/2006/relationships\"><sheets>" + list + "</sheets></workbook>")},
        {"xl/_rels/workbook.xml.rels", plain(relations + "</Relationships>")},
        {"xl/worksheets/sheet1.xml", sheet}};
    if (strings.size() > 0) {
        Stream table = strings;
        table.prefix = "<sst>" + table.prefix;
        table.suffix += "</sst>";
        members.push_back({"xl/sharedStrings.xml", table});
    }
    const QString path = work(QString::fromLatin1(name));
    writeZip(path, members);
    return path;
}

// Rows `from` to `to`, each with one cell at the last column a sheet has.
QByteArray xfdRows(int from, int to)
{
    QByteArray data;
    for (int r = from; r <= to; ++r)
        data += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"XFD" + QByteArray::number(r) + "\"><v>1</v></c></row>";
    return data;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s\n", bytes(path).constData());
        std::exit(2);
    }
}

const char* const kHeader =
    "sequenza,codice_totale,codice_sezione,sezione,note_sezione,codice_capitolo,codice_articolo,capitolo,"
    "note_capitolo,seq_capitolo,codice_subarticolo,articolo,note_articolo,note_subarticolo,subarticolo,simbolo,"
    "prezzo_lordo,incidenza_manodopera,somma_manodopera";

// A CSV folder whose prezzario.csv is `prices`.
QString csvFolder(const char* name, const QByteArray& prices)
{
    const QString folder = work(QString::fromLatin1(name));
    QDir().mkpath(folder);
    writeFile(folder + QStringLiteral("/prezzario.csv"), prices);
    writeFile(folder + QStringLiteral("/anno_prezzario.csv"), "ANNO_PREZZARIO\n2021\n");
    return folder;
}

QByteArray csvRows(int rows, const char* lineEnd, int bad, const QByteArray& price, const QByteArray& text = "Scavo")
{
    QByteArray data = QByteArray(kHeader) + lineEnd;
    for (int i = 1; i <= rows; ++i) {
        const QByteArray code = QByteArray::number(i).rightJustified(3, '0');
        data += QByteArray::number(i) + ",01.A01.A01." + code + ",01,Opere edili,,A01,A01,Scavi,,1," + code + "," +
                text + ",,,fino a 1 m,m3," + (i == bad ? price : QByteArray("12.5")) + ",27.5,3.44" + lineEnd;
    }
    return data;
}

// The demo list of a million rows as CSV, every column, as a publisher would hand it over.
QString realListCsv()
{
    const QString folder = benchdata::path(QStringLiteral("prezzario-csv-1000000"));
    const QString prices = folder + QStringLiteral("/prezzario.csv");
    if (QFileInfo::exists(prices))
        return folder;
    QDir().mkpath(folder);
    const core::Database db =
        core::Database::OpenDatabase(benchdata::demoList(1'000'000), QStringLiteral(";pwd=") + core::kDbPassword);
    QFile file(prices + QStringLiteral(".part"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::exit(2);
    file.write(QByteArray(kHeader) + '\n');
    QByteArray line;
    for (core::Recordset rs = db.OpenRecordset(QStringLiteral("select * from prezzario order by sequenza")); !rs.Eof();
         rs.MoveNext()) {
        line.clear();
        for (int i = 0; i < rs.FieldCount(); ++i) {
            if (i)
                line += ',';
            if (!rs.Fields(i).Value().isNull())
                line += '"' + rs.Utf8(i).toByteArray().replace('"', "\"\"") + '"';
        }
        file.write(line + '\n');
    }
    file.close();
    QFile::rename(prices + QStringLiteral(".part"), prices);
    writeFile(folder + QStringLiteral("/anno_prezzario.csv"), "ANNO_PREZZARIO\n2021\n");
    return folder;
}

// A workbook of the same shape as the real list: a million subarticles of 19 columns, texts as inline strings,
// one sheet of about 700 MB of XML.
QString realListXlsx()
{
    const QString path = benchdata::path(QStringLiteral("prezzario-1000000.xlsx"));
    if (QFileInfo::exists(path))
        return path;
    const QString xml = path + QStringLiteral(".sheet.xml");
    QFile sheet(xml);
    if (!sheet.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::exit(2);
    const auto text = [](const QByteArray& value) -> QByteArray {
        return value.isEmpty() ? QByteArray("<c/>") : "<c t=\"inlineStr\"><is><t>" + value + "</t></is></c>";
    };
    const auto number = [](const QByteArray& value) -> QByteArray { return "<c><v>" + value + "</v></c>"; };
    sheet.write(QByteArray("<worksheet xmlns=\"") + kXml + "/spreadsheetml/2006/main\"><sheetData><row>");
    for (const QByteArray& name : QByteArray(kHeader).split(','))
        sheet.write(text(name));
    sheet.write("</row>");
    QByteArray row;
    for (int i = 0; i < 1'000'000; ++i) {
        const QByteArray article = QByteArray::number(i / 1000).rightJustified(3, '0');
        const QByteArray sub = QByteArray::number(i % 1000).rightJustified(3, '0');
        row = "<row>" + number(QByteArray::number(i + 1)) + text("01.A00." + article + "." + sub) + text("01") +
              text("Opere edili") + text({}) + text("A00") + text(article) + text("Scavi e movimenti di terra") +
              text({}) + number("1") + text(sub) + text("Scavo a sezione obbligata, articolo " + article) + text({}) +
              text({}) +
              text("profondità fino a " + QByteArray::number(i % 1000) + " cm, in terreno di qualsiasi natura") +
              text("m³") + number(QByteArray::number(10 + i % 997) + ".25") + number("27.5") + number("3.44") +
              "</row>";
        sheet.write(row);
    }
    sheet.write("</sheetData></worksheet>");
    sheet.close();
    QByteArray year = "<row>" + text("ANNO_PREZZARIO") + "</row><row>" + number("2021") + "</row>";
    std::vector<std::pair<const char*, Stream>> members{
        {"_rels/.rels", plain(QByteArray("<Relationships xmlns=\"") + kXml +
                              "/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + kXml +
                              "/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
                              "</Relationships>")},
        {"xl/workbook.xml",
         plain(QByteArray("<workbook xmlns=\"") + kXml + "/spreadsheetml/2006/main\" xmlns:r=\"" + kXml +
               "/officeDocument/2006/relationships\"><sheets><sheet name=\"prezzario\" "
               "sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"anno_prezzario\" sheetId=\"2\" "
               "r:id=\"rId2\"/></sheets></workbook>")},
        {"xl/_rels/workbook.xml.rels",
         plain(QByteArray("<Relationships xmlns=\"") + kXml +
               "/package/2006/relationships\"><Relationship Id=\"rId1\" "
               "Type=\"" +
               kXml +
               "/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship "
               "Id=\"rId2\" Type=\"" +
               kXml +
               "/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet2.xml\"/></Relationships>")},
        {"xl/worksheets/sheet2.xml",
         plain(QByteArray("<worksheet xmlns=\"") + kXml + "/spreadsheetml/2006/main\"><sheetData>" + year +
               "</sheetData></worksheet>")}};
    int error = 0;
    zip_t* zip = zip_open(bytes(path + QStringLiteral(".part")).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, stream] : members)
        zip_file_add(zip, name, zip_source_function(zip, streamCallback, new Stream(stream)), 0);
    zip_file_add(zip, "xl/worksheets/sheet1.xml", zip_source_file(zip, bytes(xml).constData(), 0, -1), 0);
    if (zip_close(zip) != 0)
        std::exit(2);
    QFile::remove(xml);
    QFile::rename(path + QStringLiteral(".part"), path);
    return path;
}

// An XML file written as it is made: gigabytes cost no memory.
QString xmlFile(const char* name, Stream stream)
{
    const QString path = work(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", bytes(path).constData());
        std::exit(2);
    }
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 n; (n = stream.read(block.data(), block.size())) > 0;) {
        if (file.write(block.constData(), n) != n) {
            std::fprintf(stderr, "cannot write %s\n", bytes(path).constData());
            std::exit(2);
        }
    }
    return path;
}

QByteArray utf16(const QByteArray& utf8)
{
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder(
        QString::fromUtf8(utf8).replace(QStringLiteral("encoding=\"UTF-8\""), QStringLiteral("encoding=\"UTF-16\"")));
}

// A SIX document: `lists` price lists, then what `body` holds.
const char* const kSixHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
QByteArray sixOpening(qint64 lists = 1)
{
    QByteArray text = "<Documento xmlns=\"six.xsd\"><prezzario anno=\"2024\">\n<unitaDiMisura unitaDiMisuraId=\"1\" "
                      "simbolo=\"m\"/>\n";
    for (qint64 i = 1; i <= lists; ++i)
        text += "<listaQuotazione listaQuotazioneId=\"L" + QByteArray::number(i) + "\" lqtId=\"Q" +
                QByteArray::number(i) + "\" descrizione=\"Listino\" anno=\"2024\"/>\n";
    return text;
}
const char* const kSixClosing = "</prezzario></Documento>\n";

QByteArray sixHeading(const QByteArray& code, const QByteArray& brief, const QByteArray& extended = {})
{
    return "<prodotto prdId=\"" + code + "\"><prdDescrizione lingua=\"it\" breve=\"" + brief + "\"" +
           (extended.isEmpty() ? QByteArray() : " estesa=\"" + extended + "\"") + "/></prodotto>\n";
}

// Products under one section and chapter, 100 an article, each priced in list L1.
QByteArray sixProducts(int products)
{
    QByteArray text = sixHeading("01", "Opere") + sixHeading("01.A01", "Scavi");
    for (int p = 0; p < products; ++p) {
        const QByteArray article = "01.A01." + QByteArray::number(100 + p / 100);
        if (p % 100 == 0)
            text += sixHeading(article, "Articolo");
        text += "<prodotto prdId=\"" + article + "." + QByteArray::number(100 + p % 100) +
                "\" unitaDiMisuraId=\"1\"><prdDescrizione lingua=\"it\" breve=\"voce\"/><prdQuotazione "
                "listaQuotazioneId=\"L1\" valore=\"12.50\"/></prodotto>\n";
    }
    return text;
}

const char* const kXpweOpening = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PweDocumento><PweDatiGenerali>"
                                 "<PweDGDatiGenerali><Anno>2024</Anno></PweDGDatiGenerali></PweDatiGenerali>"
                                 "<PweMisurazioni><PweElencoPrezzi>\n";
const char* const kXpweClosing = "</PweElencoPrezzi></PweMisurazioni></PweDocumento>\n";

// One entity of 4,000 characters, and a DOCTYPE declaring it for the root `root`.
QByteArray entityDoctype(const char* root)
{
    return QByteArray("<!DOCTYPE ") + root + " [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]>\n";
}

QStringList filesLeft(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// What a run must end with: a refusal within the targets, a list built within them (an awkward but valid
// file), or a list built (the real list, whatever it takes).
enum class Expect { Refused, BuiltInTime, Built };

struct Case
{
    const char* what;
    std::function<std::vector<QByteArray>()> make; // "OUT" stands for the target
    Expect expect = Expect::Refused;
    qint64 maxErrBytes = 0; // a bound on the message, where a file could make it flood; 0: none
};

void report(const char* what, const Run& run, Expect expect, bool& met, qint64 maxErrBytes = 0)
{
    const bool inTime = run.peakMiB <= kMemoryTargetMiB && run.seconds <= kTimeTargetSeconds;
    const bool ok = expect == Expect::Refused
                        ? run.status == 1 && inTime && (maxErrBytes == 0 || run.errBytes <= maxErrBytes)
                    : expect == Expect::BuiltInTime ? run.status == 0 && inTime
                                                    : run.status == 0;
    met = met && ok;
    std::printf("%-58s %6s %8.2f %8ld %9lld  %s\n", what,
                run.signal ? qPrintable(QStringLiteral("sig%1").arg(run.signal))
                           : qPrintable(QString::number(run.status)),
                run.seconds, run.peakMiB, static_cast<long long>(run.errBytes),
                qPrintable(run.firstLine + (ok ? QString() : QStringLiteral("   <-- target missed"))));
    std::fflush(stdout);
}

} // namespace

// With an argument, only the cases whose name holds it, and not the real list.
int main(int argc, char** argv)
{
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    Launcher launcher;
    QDir(work(QString())).removeRecursively();
    QDir().mkpath(work(QString()));
    const QByteArray out = bytes(work(QStringLiteral("Prezzario.mdb")));
    std::printf("Building the inputs (a few gigabytes compressed on the fly; the million-row CSV once)...\n");
    std::fflush(stdout);
    const QString realList = only.isEmpty() ? realListCsv() : QString();
    const QString realWorkbook = only.isEmpty() ? realListXlsx() : QString();

    const std::vector<Case> cases = {
        {"--from-xlsx in.xlsx --out in.xlsx",
         [] {
             writeFile(work(QStringLiteral("in.xlsx")), "PK");
             return std::vector<QByteArray>{"--from-xlsx", bytes(work(QStringLiteral("in.xlsx"))), "--out",
                                            bytes(work(QStringLiteral("in.xlsx")))};
         }},
        {"--from-csv dir --out dir/prezzario.csv",
         [] {
             const QString folder = csvFolder("cartella", csvRows(3, "\n", 0, {}));
             return std::vector<QByteArray>{"--from-csv", bytes(folder), "--out",
                                            bytes(folder + QStringLiteral("/prezzario.csv"))};
         }},
        {"--out a device or pipe (a FIFO here)",
         [] {
             ::mkfifo(bytes(work(QStringLiteral("tubo"))).constData(), 0600);
             return std::vector<QByteArray>{"--demo", "--out", bytes(work(QStringLiteral("tubo")))};
         }},
        {".ods row groups nested 500,000 deep",
         [] {
             return std::vector<QByteArray>{
                 "--from-xlsx",
                 bytes(ods("annidato.ods", {"", "<table:table-row-group>", 500'000,
                                            QByteArray("</table:table-row-group>").repeated(500'000)})),
                 "--out", "OUT"};
         }},
        {".ods 16,383 empty cells and a number, rows repeated 1,048,000",
         [] {
             return std::vector<QByteArray>{
                 "--from-xlsx",
                 bytes(
                     ods("ripetuto.ods",
                         plain("<table:table-row table:number-rows-repeated=\"1048000\"><table:table-cell "
                               "table:number-columns-repeated=\"16383\"/><table:table-cell office:value-type=\"float\" "
                               "office:value=\"1\"/></table:table-row>"))),
                 "--out", "OUT"};
         }},
        {".xlsx 4,000 rows with one cell at column XFD",
         [] {
             return std::vector<QByteArray>{"--from-xlsx", bytes(xlsx("xfd4000.xlsx", plain(xfdRows(1, 4000)))),
                                            "--out", "OUT"};
         }},
        {".xlsx 100,000 rows with one cell at column XFD",
         [] {
             return std::vector<QByteArray>{"--from-xlsx", bytes(xlsx("xfd100000.xlsx", plain(xfdRows(1, 100'000)))),
                                            "--out", "OUT"};
         }},
        {".xlsx sheet of 4 GB of blanks, compressed",
         [] {
             return std::vector<QByteArray>{
                 "--from-xlsx", bytes(xlsx("spazi.xlsx", {"", QByteArray(1 << 20, ' '), 4096, ""})), "--out", "OUT"};
         }},
        {".xlsx one text cell of 3 GB",
         [] {
             return std::vector<QByteArray>{
                 "--from-xlsx",
                 bytes(xlsx("testo.xlsx", {"<row r=\"1\"><c t=\"inlineStr\"><is><t>", QByteArray(1 << 20, 'a'), 3072,
                                           "</t></is></c></row>"})),
                 "--out", "OUT"};
         }},
        {".xlsx 20 million shared strings",
         [] {
             return std::vector<QByteArray>{"--from-xlsx",
                                            bytes(xlsx("stringhe.xlsx", plain({}), 1, {"", "<si/>", 20'000'000, ""})),
                                            "--out", "OUT"};
         }},
        {".xlsx 20 million shared strings, stored (100 MB)",
         [] {
             return std::vector<QByteArray>{
                 "--from-xlsx", bytes(xlsx("stringhe-piene.xlsx", plain({}), 1, {"", "<si/>", 20'000'000, "", true})),
                 "--out", "OUT"};
         }},
        {".xlsx header, then 100,000 rows with one cell at XFD",
         [] {
             QByteArray header = "<row r=\"1\">";
             for (const QByteArray& name : QByteArray(kHeader).split(','))
                 header += "<c t=\"inlineStr\"><is><t>" + name + "</t></is></c>";
             return std::vector<QByteArray>{
                 "--from-xlsx", bytes(xlsx("xfd-intestazione.xlsx", plain(header + "</row>" + xfdRows(2, 100'001)), 2)),
                 "--out", "OUT"};
         }},
        {".ods header, then a row of 19 numbers repeated 1,048,000",
         [] {
             QByteArray header = "<table:table-row>";
             for (const QByteArray& name : QByteArray(kHeader).split(','))
                 header +=
                     "<table:table-cell office:value-type=\"string\"><text:p>" + name + "</text:p></table:table-cell>";
             return std::vector<QByteArray>{
                 "--from-xlsx",
                 bytes(ods("righe.ods",
                           plain(header + "</table:table-row><table:table-row table:number-rows-repeated=\"1048000\">"
                                          "<table:table-cell table:number-columns-repeated=\"19\" "
                                          "office:value-type=\"float\" office:value=\"1\"/></table:table-row>"))),
                 "--out", "OUT"};
         }},
        {".ods <text:s text:c=\"100000\"/> 20,000 times in a cell",
         [] {
             return std::vector<QByteArray>{
                 "--from-xlsx",
                 bytes(ods("spazi.ods", {"<table:table-row><table:table-cell><text:p>", "<text:s text:c=\"100000\"/>",
                                         20'000, "</text:p></table:table-cell></table:table-row>"})),
                 "--out", "OUT"};
         }},
        {".ods mimetype member of 3 GB",
         [] {
             return std::vector<QByteArray>{
                 "--from-xlsx",
                 bytes(ods("mimetype.ods", plain({}),
                           {"application/vnd.oasis.opendocument.spreadsheet", QByteArray(1 << 20, ' '), 3072, ""})),
                 "--out", "OUT"};
         }},
        {".xlsx 20,000 sheets all pointing to one 10 MB sheet",
         [] {
             return std::vector<QByteArray>{
                 "--from-xlsx",
                 bytes(
                     xlsx("fogli.xlsx",
                          {"", "<row><c t=\"inlineStr\"><is><t>voce</t></is></c><c><v>12.5</v></c></row>", 200'000, ""},
                          20'000)),
                 "--out", "OUT"};
         }},
        {"CSV header of 2 GB without a line end",
         [] {
             const QString folder = csvFolder("intestazione", {});
             ::truncate(bytes(folder + QStringLiteral("/prezzario.csv")).constData(), qint64(2) << 30);
             return std::vector<QByteArray>{"--from-csv", bytes(folder), "--out", "OUT"};
         }},
        {"CSV prezzario.csv a link to /dev/zero",
         [] {
             const QString folder = csvFolder("zero", {});
             QFile::remove(folder + QStringLiteral("/prezzario.csv"));
             ::symlink("/dev/zero", bytes(folder + QStringLiteral("/prezzario.csv")).constData());
             return std::vector<QByteArray>{"--from-csv", bytes(folder), "--out", "OUT"};
         }},
        {"CSV CR line ends, bad price on line 151",
         [] {
             return std::vector<QByteArray>{"--from-csv", bytes(csvFolder("cr", csvRows(150, "\r", 150, "abc"))),
                                            "--out", "OUT"};
         }},
        {"CSV NUL inside a text",
         [] {
             return std::vector<QByteArray>{"--from-csv",
                                            bytes(csvFolder("nul", csvRows(3, "\n", 0, {}, QByteArray("Sca\0vo", 6)))),
                                            "--out", "OUT"};
         }},
        {"CSV bad price of 5 MB",
         [] {
             return std::vector<QByteArray>{
                 "--from-csv", bytes(csvFolder("valore", csvRows(3, "\n", 2, QByteArray(5'000'000, '9') + 'x'))),
                 "--out", "OUT"};
         }},
        {"CSV header name of 256 MB",
         [] {
             return std::vector<QByteArray>{
                 "--from-csv", bytes(csvFolder("nome", QByteArray(kHeader) + ',' + QByteArray(256 << 20, 'n') + '\n')),
                 "--out", "OUT"};
         }},
        {"--from-csv FILE",
         [] {
             const QString folder = csvFolder("file", csvRows(3, "\n", 0, {}));
             return std::vector<QByteArray>{"--from-csv", bytes(folder + QStringLiteral("/prezzario.csv")), "--out",
                                            "OUT"};
         }},
        {"a file name that is not UTF-8",
         [] {
             return std::vector<QByteArray>{"--from-xlsx", bytes(work(QString())) + "/caf\xE9.xlsx", "--out", "OUT"};
         }},
        {"a FIFO given to --from-xlsx",
         [] {
             ::mkfifo(bytes(work(QStringLiteral("tubo.xlsx"))).constData(), 0600);
             return std::vector<QByteArray>{"--from-xlsx", bytes(work(QStringLiteral("tubo.xlsx"))), "--out", "OUT"};
         }},
        {"XPWE UTF-16, U+0122 in a text, then 60,000 nested elements",
         [] {
             const QByteArray xml =
                 QByteArray(kXpweOpening) + "<EPItem><DesEstesa>\xC4\xA2" + QByteArray("<a>").repeated(60'000);
             return std::vector<QByteArray>{"--from-xpwe", bytes(xmlFile("annidato.xpwe", plain(utf16(xml)))), "--out",
                                            "OUT"};
         }},
        {"SIX UTF-16, 100 products (valid: builds)",
         [] {
             const QByteArray xml = kSixHead + sixOpening() + sixProducts(100) + kSixClosing;
             return std::vector<QByteArray>{"--from-six", bytes(xmlFile("utf16.xml", plain(utf16(xml)))), "--out",
                                            "OUT"};
         },
         Expect::BuiltInTime},
        {"SIX 4,000-char entity referenced 100,000 times in a breve",
         [] {
             const QByteArray product = "<prodotto prdId=\"01\"><prdDescrizione lingua=\"it\" breve=\"";
             const Stream stream{kSixHead + entityDoctype("Documento") + sixOpening() + product, "&e;", 100'000,
                                 "\"/></prodotto>" + QByteArray(kSixClosing)};
             return std::vector<QByteArray>{"--from-six", bytes(xmlFile("entita.xml", stream)), "--out", "OUT"};
         }},
        {"XPWE 4,000-char entity referenced 100,000 times in a text",
         [] {
             QByteArray opening = kXpweOpening;
             opening.insert(opening.indexOf("<PweDocumento>"), entityDoctype("PweDocumento"));
             const Stream stream{opening + "<EPItem><Tariffa>01.A01.A01.010</Tariffa><DesEstesa>", "&e;", 100'000,
                                 "</DesEstesa></EPItem>" + QByteArray(kXpweClosing)};
             return std::vector<QByteArray>{"--from-xpwe", bytes(xmlFile("entita.xpwe", stream)), "--out", "OUT"};
         }},
        {"XPWE text of 300 MB cut every MiB by <!---->",
         [] {
             const Stream stream{QByteArray(kXpweOpening) + "<EPItem><Tariffa>01.A01.A01.010</Tariffa><DesEstesa>",
                                 QByteArray(1 << 20, 'x') + "<!---->", 300,
                                 "</DesEstesa></EPItem>" + QByteArray(kXpweClosing)};
             return std::vector<QByteArray>{"--from-xpwe", bytes(xmlFile("commenti.xpwe", stream)), "--out", "OUT"};
         }},
        {"SIX 150 headings with two texts of 1,000,000 chars each",
         [] {
             QByteArray headings;
             for (int h = 0; h < 150; ++h)
                 headings += sixHeading("01.A" + QByteArray::number(100 + h), QByteArray(1'000'000, 'b'),
                                        QByteArray(1'000'000, 'e'));
             return std::vector<QByteArray>{
                 "--from-six", bytes(xmlFile("titoli.xml", plain(kSixHead + sixOpening() + headings + kSixClosing))),
                 "--out", "OUT"};
         }},
        {"SIX breve of 2,000,000 characters",
         [] {
             const QByteArray xml =
                 kSixHead + sixOpening() + sixHeading("01", QByteArray(2'000'000, 'b')) + kSixClosing;
             return std::vector<QByteArray>{"--from-six", bytes(xmlFile("breve.xml", plain(xml))), "--out", "OUT"};
         }},
        {"XPWE DesEstesa of 2,000,000 characters",
         [] {
             const QByteArray xml = kXpweOpening + QByteArray("<EPItem><Tariffa>01</Tariffa><DesEstesa>") +
                                    QByteArray(2'000'000, 'd') + "</DesEstesa></EPItem>" + kXpweClosing;
             return std::vector<QByteArray>{"--from-xpwe", bytes(xmlFile("estesa.xpwe", plain(xml))), "--out", "OUT"};
         }},
        {"SIX 100,000 lists, 20,000 products, --quotazione (builds)",
         [] {
             const QByteArray xml = kSixHead + sixOpening(100'000) + sixProducts(20'000) + kSixClosing;
             return std::vector<QByteArray>{
                 "--from-six", bytes(xmlFile("listini.xml", plain(xml))), "--quotazione", "L1", "--out", "OUT"};
         },
         Expect::BuiltInTime},
        {"SIX 1,000,000 lists and no --quotazione",
         [] {
             const QByteArray xml = kSixHead + sixOpening(1'000'000) + sixProducts(100) + kSixClosing;
             return std::vector<QByteArray>{"--from-six", bytes(xmlFile("milione.xml", plain(xml))), "--out", "OUT"};
         },
         Expect::Refused, 64 * 1024},
    };

    std::printf("\n%-58s %6s %8s %8s %9s  %s\n", "input", "status", "seconds", "peak MiB", "stderr B", "message");
    bool met = true;
    for (const Case& c : cases) {
        if (!QString::fromUtf8(c.what).contains(only))
            continue;
        std::vector<QByteArray> arguments = c.make();
        for (QByteArray& argument : arguments) {
            if (argument == "OUT")
                argument = out;
        }
        report(c.what, launcher.run(arguments), c.expect, met, c.maxErrBytes);
        if (c.expect == Expect::Refused && QFileInfo::exists(QString::fromUtf8(out))) {
            std::printf("    the target was written\n");
            met = false;
        }
        if (c.expect != Expect::Refused)
            QFile::remove(QString::fromUtf8(out));
    }

    // Two builds to one target at once: both complete, the target one complete list.
    if (only.isEmpty()) {
        const std::vector<QByteArray> arguments{"--demo", "--rows", "200000", "--out", out};
        const auto started = std::chrono::steady_clock::now();
        const pid_t first = start(arguments, work(QStringLiteral("first.err")));
        const pid_t second = start(arguments, work(QStringLiteral("second.err")));
        const Run a = finish(first, work(QStringLiteral("first.err")), started);
        const Run b = finish(second, work(QStringLiteral("second.err")), started);
        const qint64 rows =
            core::Database::OpenDatabase(QString::fromUtf8(out), QStringLiteral(";pwd=") + core::kDbPassword)
                .OpenRecordset(QStringLiteral("select count(*) from prezzario"))
                .Fields(0)
                .Value()
                .toLongLong();
        std::printf("%-58s %3d %3d %8.2f  target holds %lld rows, files left: %s\n", "two builds to one --out at once",
                    a.status, b.status, b.seconds, static_cast<long long>(rows),
                    qPrintable(filesLeft(work(QString())).filter(QStringLiteral("Prezzario.mdb")).join(u' ')));
        met = met && a.status == 0 && b.status == 0 && rows == 200000;
        QFile::remove(QString::fromUtf8(out));
    }
    // Signals during a million-row build.
    for (const int signal : only.isEmpty() ? std::vector<int>{SIGINT, SIGTERM, SIGHUP} : std::vector<int>{}) {
        const QString folder = work(QStringLiteral("segnale-%1").arg(signal));
        QDir().mkpath(folder);
        const auto started = std::chrono::steady_clock::now();
        const pid_t pid = start({"--demo", "--rows", "1000000", "--out", bytes(folder + QStringLiteral("/P.mdb"))},
                                work(QStringLiteral("signal.err")));
        ::usleep(3'000'000);
        const qint64 written =
            filesLeft(folder).isEmpty() ? 0 : QFileInfo(folder + u'/' + filesLeft(folder).first()).size();
        ::kill(pid, signal);
        const Run run = finish(pid, work(QStringLiteral("signal.err")), started);
        std::printf(
            "%-58s %6s  after 3 s (%lld MB written): files left: %s\n",
            qPrintable(QStringLiteral("%1 during a 1,000,000-row build").arg(QString::fromLatin1(strsignal(signal)))),
            qPrintable(QStringLiteral("sig%1").arg(run.signal)), static_cast<long long>(written >> 20),
            qPrintable(filesLeft(folder).isEmpty() ? QStringLiteral("none") : filesLeft(folder).join(u' ')));
        met = met && filesLeft(folder).isEmpty();
    }
    if (only.isEmpty()) {
        report("real list: 1,000,000 rows from CSV (--check)", launcher.run({"--from-csv", bytes(realList), "--check"}),
               Expect::Built, met);
        report("real list: 1,000,000 rows from CSV", launcher.run({"--from-csv", bytes(realList), "--out", out}),
               Expect::Built, met);
        report("real list: 1,000,000 rows from .xlsx (--check)",
               launcher.run({"--from-xlsx", bytes(realWorkbook), "--check"}), Expect::Built, met);
    }
    std::printf("\n%s: every hostile input ends with status 1 and every awkward valid one builds, within %ld MiB "
                "and %.0f s; the real list builds\n",
                met ? "MET" : "NOT MET", kMemoryTargetMiB, kTimeTargetSeconds);
    QDir(work(QString())).removeRecursively();
    return met ? 0 : 1;
}
