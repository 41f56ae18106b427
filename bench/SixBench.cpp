// prezzario-six-bench: a SIX file of a million priced products (and their 10,200 headings), built by
// prezzario-build with --check and with --out. For each run: status, wall time and the child's peak resident
// memory (from wait4), beside the file's size: the reading streams, so the peak must not grow with the file.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kSections = 10;
constexpr int kChapters = 20;  // per section
constexpr int kArticles = 50;  // per chapter
constexpr int kProducts = 100; // per article: 1,000,000 in all

void writeList(const QString& path)
{
    std::FILE* out = std::fopen(QFile::encodeName(path).constData(), "w");
    if (!out) {
        std::perror("fopen");
        std::exit(2);
    }
    std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Documento xmlns=\"six.xsd\">\n<prezzario anno=\"2024\">\n"
               "<unitaDiMisura unitaDiMisuraId=\"1\" simbolo=\"m³\"/>\n"
               "<listaQuotazione listaQuotazioneId=\"L1\" descrizione=\"Prezzi\"/>\n",
               out);
    const auto heading = [out](const char* code, const char* text) {
        std::fprintf(out, "<prodotto prdId=\"%s\"><prdDescrizione lingua=\"it\" breve=\"%s\"/></prodotto>\n", code,
                     text);
    };
    char code[64];
    for (int s = 1; s <= kSections; ++s) {
        std::snprintf(code, sizeof code, "%02d", s);
        heading(code, "Sezione di opere");
        for (int c = 1; c <= kChapters; ++c) {
            std::snprintf(code, sizeof code, "%02d.A%02d", s, c);
            heading(code, "Capitolo di lavorazioni");
            for (int a = 1; a <= kArticles; ++a) {
                std::snprintf(code, sizeof code, "%02d.A%02d.B%02d", s, c, a);
                heading(code, "Articolo con una descrizione di media lunghezza come nei prezzari");
                for (int p = 1; p <= kProducts; ++p)
                    std::fprintf(out,
                                 "<prodotto prdId=\"%02d.A%02d.B%02d.%03d\" unitaDiMisuraId=\"1\">"
                                 "<prdDescrizione lingua=\"it\" breve=\"voce %d\" estesa=\"voce %d, fornita e posta "
                                 "in opera a regola d'arte\"/>"
                                 "<prdQuotazione listaQuotazioneId=\"L1\" valore=\"%d.%02d\"/>"
                                 "<incidenzaManodopera>%d.5</incidenzaManodopera></prodotto>\n",
                                 s, c, a, p, p, p, 10 + p, p, 20 + p % 30);
            }
        }
    }
    std::fputs("</prezzario>\n</Documento>\n", out);
    std::fclose(out);
}

struct Run
{
    int status = -1;
    double seconds = 0;
    long peakKiB = 0;
};

Run run(std::vector<QByteArray> arguments)
{
    QByteArray exe(PREZZARIO_BUILD_EXE);
    std::vector<char*> argv{exe.data()};
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const auto started = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.constData(), nullptr, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        std::exit(2);
    }
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    Run result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.peakKiB = usage.ru_maxrss;
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    const QString list = QDir(dir).filePath(QStringLiteral("six-bench.xml"));
    const QString out = QDir(dir).filePath(QStringLiteral("six-bench.mdb"));
    writeList(list);
    std::printf("SIX file: %d products, %.1f MB\n", kSections * kChapters * kArticles * kProducts,
                double(QFileInfo(list).size()) / (1024.0 * 1024.0));
    const QByteArray path = QFile::encodeName(list);
    const Run check = run({"--from-six", path, "--check"});
    std::printf("--check: status %d, %.1f s, peak %ld MiB\n", check.status, check.seconds, check.peakKiB / 1024);
    const Run build = run({"--from-six", path, "--out", QFile::encodeName(out)});
    std::printf("--out:   status %d, %.1f s, peak %ld MiB, database %.1f MB\n", build.status, build.seconds,
                build.peakKiB / 1024, double(QFileInfo(out).size()) / (1024.0 * 1024.0));
    QFile::remove(list);
    QFile::remove(out);
    return check.status == 0 && build.status == 0 ? 0 : 1;
}
