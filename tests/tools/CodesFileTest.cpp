// The codes file of prezzario-query export: what each line may hold, and every wrong line reported with its
// number before anything is written.

#include "tools/query/CodesFile.h"
#include "tests/support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Two items: 01.A01.A01.010 and 01.A01.A01.020.
const fixture::PriceListFolder& twoItems()
{
    static const fixture::PriceListFolder folder([] {
        fixture::Tables tables;
        fixture::Row second;
        second.sequenza = 2;
        second.subarticolo_codice = QStringLiteral("020");
        tables.rows = {fixture::Row(), second};
        return tables;
    }());
    return folder;
}

struct Read
{
    QStringList codes;
    QList<std::optional<double>> quantities;
    QStringList problems;
};

Read collect(const QString& text)
{
    const core::PriceList list = core::PriceList::open(twoItems().database());
    Read read;
    const core::Collection collection = query::collectCodes(list, query::readCodes(text), read.problems);
    for (const core::ChosenItem& item : collection.items) {
        read.codes << item.code;
        read.quantities << item.quantita;
    }
    return read;
}

QStringList strings(const std::vector<const char*>& utf8)
{
    QStringList result;
    for (const char* text : utf8)
        result << QString::fromUtf8(text);
    return result;
}

TEST(CodesFile, readsCodesQuantitiesAndNamesEveryWrongLine)
{
    const struct
    {
        const char* what;
        const char* text;
        std::vector<const char*> codes;
        QList<std::optional<double>> quantities;
        std::vector<const char*> problems;
    } cases[] = {
        {"code alone, lower case, CR LF", "01.a01.a01.020\r\n", {"01.A01.A01.020"}, {std::nullopt}, {}},
        {"tab and decimal comma", "01.A01.A01.010\t12,5\n", {"01.A01.A01.010"}, {12.5}, {}},
        {"semicolon and decimal dot, blank lines",
         "\n  01.A01.A01.020 ; 0.25\n\n01.A01.A01.010;3\n",
         {"01.A01.A01.020", "01.A01.A01.010"},
         {0.25, 3.0},
         {}},
        {"empty quantity is none", "01.A01.A01.010;\n", {"01.A01.A01.010"}, {std::nullopt}, {}},
        {"quantities as Italians write them",
         "01.A01.A01.010;1.250,75\n01.A01.A01.020;1.500\n",
         {"01.A01.A01.010", "01.A01.A01.020"},
         {1250.75, 1500.0},
         {}},
        {"every wrong line, in order",
         "01.A01.A01.010;1,2,3\n\n01.A01.A99.010\n01.A01.A01.020;-4\n;5\n01.A01.A01.010\n",
         {},
         {},
         {"riga 1: la quantità «1,2,3» non è un numero: scrivere cifre con la virgola per i decimali e, se si vuole, "
          "il punto per le migliaia (1250,75 oppure 1.250,75).",
          "riga 3: il codice 01.A01.A99.010 non è nel prezzario.",
          "riga 4: la quantità «-4» non è un numero: scrivere cifre con la virgola per i decimali e, se si vuole, il "
          "punto per le migliaia (1250,75 oppure 1.250,75).",
          "riga 5: manca il codice prima della quantità.", "riga 6: il codice 01.A01.A01.010 è già alla riga 1."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Read read = collect(QString::fromUtf8(c.text));
        EXPECT_EQ(read.problems.join(u'\n').toStdString(), strings(c.problems).join(u'\n').toStdString());
        if (c.problems.empty()) {
            EXPECT_EQ(read.codes, strings(c.codes));
            EXPECT_EQ(read.quantities, c.quantities);
        }
    }
}

TEST(CodesFile, exportWritesAWholeFileOrNothing)
{
    const QTemporaryDir dir;
    const auto run = [&](const QByteArray& lines, const QString& out, QString& err) {
        const QString codes = QDir(dir.path()).filePath(QStringLiteral("voci.txt"));
        QFile file(codes);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(lines);
        file.close();
        QProcess process;
        // No display: the tool draws its PDF pages offscreen by itself.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PREZZARIO_QUERY_EXE),
                      {QStringLiteral("--database"), twoItems().database(), QStringLiteral("export"),
                       QStringLiteral("--codes"), codes, QStringLiteral("--out"), out});
        EXPECT_TRUE(process.waitForFinished(-1));
        err = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    };

    QString err;
    const QString refused = QDir(dir.path()).filePath(QStringLiteral("voci.csv"));
    EXPECT_EQ(run("01.A01.A01.010\t2\n01.A01.A01.999\t1\n01.A01.A01.020\tdue\n", refused, err), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("riga 2: il codice 01.A01.A01.999 non è nel prezzario."))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("riga 3: la quantità «due»"))) << err.toStdString();
    EXPECT_FALSE(QFile::exists(refused));

    // A good file makes the document a reader opens: the PDF, by its extension, read back as a viewer reads it.
    const QString pdf = QDir(dir.path()).filePath(QStringLiteral("elenco.pdf"));
    ASSERT_EQ(run("01.A01.A01.010;2,5\n", pdf, err), 0) << err.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(-1));
    const QString shown = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(shown.contains(QStringLiteral("01.A01.A01.010"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("pagina 1 di 1"))) << shown.toStdString();
}

} // namespace
