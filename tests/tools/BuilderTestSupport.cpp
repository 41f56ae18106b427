#include "tests/tools/BuilderTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "core/PriceList.h"

#include <zip.h>

#include <fcntl.h>
#include <spawn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace buildertest {

core::Database openBuilt(const QString& path)
{
    return core::Database::OpenDatabase(path, QStringLiteral(";pwd=") + core::kDbPassword);
}

QList<QVariantList> readAll(const core::Database& db, const QString& sql)
{
    QList<QVariantList> rows;
    core::Recordset rs = db.OpenRecordset(sql);
    for (; !rs.Eof(); rs.MoveNext()) {
        QVariantList row;
        for (int i = 0; i < rs.FieldCount(); ++i)
            row << rs.Fields(i).Value();
        rows << row;
    }
    return rows;
}

QVariant scalar(const core::Database& db, const QString& sql)
{
    const QList<QVariantList> rows = readAll(db, sql);
    return rows.isEmpty() ? QVariant() : rows.first().value(0);
}

QMap<QString, QByteArray> validCsvFiles()
{
    QMap<QString, QByteArray> files;
    files[QStringLiteral("prezzario.csv")] =
        "sequenza,codice_totale,codice_sezione,sezione,note_sezione,codice_capitolo,codice_articolo,capitolo,"
        "note_capitolo,seq_capitolo,codice_subarticolo,articolo,note_articolo,note_subarticolo,subarticolo,simbolo,"
        "prezzo_lordo,incidenza_manodopera,somma_manodopera\n"
        "1,01.A01.A01.010,01,Opere edili,,A01,A01,Scavi,,1,010,Scavo a sezione obbligata,,,\"fino a 1,5 m\",m³,"
        "12.5,27.5,3.44\n"
        "2,01.A01.A01.020,01,Opere edili,,A01,A01,Scavi,,1,020,Scavo a sezione obbligata,,,\"oltre 1,5 m\",m³,"
        "14.25,30,4.28\n"
        "3,01.A02.A01.010,01,Opere edili,,A02,A01,Murature,,2,010,Muratura in blocchi,,,spessore 30 cm,m²,,,\n";
    files[QStringLiteral("anno_prezzario.csv")] = "ANNO_PREZZARIO\n2021\n";
    files[QStringLiteral("premesse.csv")] =
        "codice_sezione,premessa,premessa2,premessa3\nPrefazione,Testo della prefazione,,\n01,Premessa edile,,\n";
    files[QStringLiteral("manuale.csv")] = "titolo,Descrizione\nConsultazione,Come consultare\nRicerca,Come cercare\n";
    return files;
}

void writeCsvFolder(const QString& dir, const QMap<QString, QByteArray>& files)
{
    QDir().mkpath(dir);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(QDir(dir).filePath(it.key()));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(it.value()) != it.value().size())
            throw std::runtime_error("cannot write " + file.fileName().toStdString());
    }
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeZip(const QString& path, const std::vector<ZipMember>& members)
{
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        throw std::runtime_error("cannot create " + path.toStdString());
    for (const ZipMember& member : members) {
        const zip_int64_t index = zip_file_add(
            zip, member.name, zip_source_buffer(zip, member.data.constData(), zip_uint64_t(member.data.size()), 0), 0);
        if (member.stored)
            zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(zip) != 0)
        throw std::runtime_error("cannot write " + path.toStdString());
}

#ifdef PREZZARIO_BUILD_EXE
pid_t startTool(const std::vector<QByteArray>& arguments, const QString& errFile)
{
    QByteArray exe(PREZZARIO_BUILD_EXE);
    std::vector<char*> argv{exe.data()};
    std::vector<QByteArray> copies(arguments);
    for (QByteArray& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, QFile::encodeName(errFile + QStringLiteral(".out")).constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
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
    const int rc = posix_spawn(&pid, exe.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0)
        throw std::runtime_error("cannot start prezzario-build");
    return pid;
}

ToolRun finishTool(pid_t pid, const QString& errFile)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ToolRun run;
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.signal = WTERMSIG(status);
    run.err = QString::fromUtf8(readFile(errFile));
    run.out = QString::fromUtf8(readFile(errFile + QStringLiteral(".out")));
    QFile::remove(errFile);
    QFile::remove(errFile + QStringLiteral(".out"));
    return run;
}

ToolRun runTool(const std::vector<QByteArray>& arguments)
{
    const QString errFile = QDir::temp().filePath(QStringLiteral("prezzario-build-test-%1.err").arg(::getpid()));
    return finishTool(startTool(arguments, errFile), errFile);
}

ToolRun runTool(const QStringList& arguments)
{
    std::vector<QByteArray> bytes;
    for (const QString& argument : arguments)
        bytes.push_back(QFile::encodeName(argument));
    return runTool(bytes);
}
#endif

#ifdef PREZZARIO_SOFFICE
QString saveWithOffice(const QTemporaryDir& dir, const QString& source, const char* format)
{
    QProcess office;
    office.setProgram(QStringLiteral(PREZZARIO_SOFFICE));
    office.setArguments({QStringLiteral("--headless"), QStringLiteral("--norestore"),
                         QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
                         QStringLiteral("--convert-to"), QString::fromLatin1(format), QStringLiteral("--outdir"),
                         dir.path(), source});
    office.setChildProcessModifier([] { ::setsid(); });
    office.start();
    if (!office.waitForFinished(300'000))
        ::kill(-pid_t(office.processId()), SIGKILL);
    return dir.filePath(QFileInfo(source).completeBaseName() + u'.' + QString::fromLatin1(format));
}
#endif

} // namespace buildertest
