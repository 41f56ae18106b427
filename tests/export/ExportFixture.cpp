#include "tests/export/ExportFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QXmlStreamReader>

#include <csignal>
#include <unistd.h>

namespace exporttest {

namespace {

core::Text text(const char* utf8)
{
    return core::Text::fromUtf8(utf8);
}

core::ExportItem item(const char* code, const char* sezione, const char* capitolo, const char* articolo,
                      const char* subarticolo, const char* simbolo, std::optional<double> price,
                      std::optional<double> labour, std::optional<double> quantity)
{
    core::ExportItem item;
    item.code = QString::fromUtf8(code);
    item.sezione = text(sezione);
    item.capitolo = text(capitolo);
    item.articolo = text(articolo);
    item.subarticolo = text(subarticolo);
    item.simbolo = text(simbolo);
    item.prezzoLordo = price;
    item.incidenzaManodopera = labour;
    item.quantita = quantity;
    return item;
}

} // namespace

core::ExportDocument sampleDocument()
{
    core::ExportDocument document;
    document.listTitle = QStringLiteral("Prezzario Regione Vallorsa");
    document.year = QStringLiteral("2021");
    document.collectionName = QStringLiteral("Progetto scuola via Roma");
    const char* scavo = "Scavo di sbancamento eseguito con mezzi meccanici, anche in presenza d'acqua. Compreso il "
                        "carico su automezzo e ogni onere per dare il lavoro finito a regola d'arte, più il "
                        "trasporto a rifiuto";
    document.items = {
        item("01.A01.A01.010", "OPERE EDILI", "Scavi e rinterri", scavo, "in terreno di qualsiasi natura, città", "m³",
             1234.56, 27.5, 2.0),
        item("01.A01.A02.005", "OPERE EDILI", "Scavi e rinterri", scavo, "in roccia compatta", "m³", 12.5, 31.0,
             10.125),
        item("01.A02.B01.030", "OPERE EDILI", "Demolizioni", "Demolizione di muratura", "di mattoni pieni", "m²", 45.0,
             60.0, std::nullopt),
        item("010", "IMPIANTI", "Impianti elettrici", "Punto luce", "", "cad", 7.0, std::nullopt, 3.0),
    };
    document.items[1].prezzoPrecedente = 11.8;
    document.items[1].previousCode = QStringLiteral("01.A01.A02.001");
    document.items[2].presente = false;
    return document;
}

namespace {

core::MeasureLine line(const char* description, std::array<const char*, core::kFactors> factors)
{
    core::MeasureLine line;
    line.descrizione = QString::fromUtf8(description);
    for (int f = 0; f < core::kFactors; ++f)
        line.factors[std::size_t(f)] = QString::fromUtf8(factors[std::size_t(f)]);
    return line;
}

} // namespace

core::ExportDocument computoDocument()
{
    core::ExportDocument document;
    document.listTitle = QStringLiteral("Prezzario Regione Vallorsa");
    document.year = QStringLiteral("2021");
    document.collectionName = QStringLiteral("Progetto scuola via Roma");
    document.chapters = QStringList{QStringLiteral("Scavi"), QStringLiteral("Strutture")};

    QStringList words;
    for (int i = 1; i <= kLongTextWords; ++i)
        words << QStringLiteral("parola%1").arg(i, 3, 10, QLatin1Char('0'));
    const std::string longText = words.join(u' ').toStdString();
    document.items = {
        item("01.A01.A01.010", "OPERE EDILI", "Scavi e rinterri", "Scavo di sbancamento eseguito con mezzi meccanici",
             "in terreno di qualsiasi natura", "m³", 12.35, 27.5, std::nullopt),
        item("01.A01.A02.005", "OPERE EDILI", "Scavi e rinterri", "Rinterro con materiale di scavo", "", "m³", 8.6,
             40.0, 125500),
        item("NP.001", "", "", "Nuovo prezzo: solaio in lastre tralicciate", "", "m²", 45.8, 33.3, std::nullopt),
        item("03.C01.A01.020", "OPERE EDILI", "Strutture in cemento armato", "Calcestruzzo per plinti",
             longText.c_str(), "m³", 145.27, 18.25, std::nullopt),
    };
    document.items[0].misure = {
        line("Cortile", {"", "12,50", "8,40", "1,20"}),
        line("Rampa", {"2", "(4,50+1,20)/2", "3", "0,80"}),
        line("A dedurre pozzetto", {"-1", "1,20", "1,20", "1,20"}),
        line("Misure prese in contraddittorio con la direzione lavori", {"", "", "", ""}),
    };
    document.items[2].fuoriPrezzario = true;
    document.items[2].misure = {line("Solaio", {"", "6,00", "4,25", ""})};
    document.items[3].misure = {line("Plinti", {"4", "1,50", "1,50", "0,60"})};
    for (core::ExportItem& item : document.items) {
        if (!item.misure.isEmpty())
            item.quantita = core::linesQuantity(item.misure);
    }
    document.items[0].chapter = document.items[1].chapter = document.chapters[0];
    document.items[2].chapter = document.items[3].chapter = document.chapters[1];
    return document;
}

bool haveOffice()
{
#ifdef PREZZARIO_SOFFICE
    return true;
#else
    return false;
#endif
}

namespace {

// A paragraph's text as the office shows it: runs of spaces after the first are kept as <text:s text:c="N"/>.
QString paragraphText(QXmlStreamReader& xml)
{
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters())
            text += xml.text();
        else if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("text:s"))
            text += QString(qMax(1, xml.attributes().value(QLatin1String("text:c")).toInt()), u' ');
        else if (xml.isEndElement() && xml.qualifiedName() == QLatin1String("text:p"))
            break;
    }
    return text;
}

QString cellText(QXmlStreamReader& xml)
{
    QStringList paragraphs;
    while (xml.readNextStartElement()) {
        if (xml.qualifiedName() == QLatin1String("text:p"))
            paragraphs << paragraphText(xml);
        else
            xml.skipCurrentElement();
    }
    return paragraphs.join(u'\n');
}

QList<Cell> readRow(QXmlStreamReader& xml)
{
    QList<Cell> row;
    while (xml.readNextStartElement()) {
        const auto attributes = xml.attributes();
        const int repeated = std::max(1, attributes.value(QLatin1String("table:number-columns-repeated")).toInt());
        Cell cell{attributes.value(QLatin1String("office:value-type")).toString(),
                  attributes.value(QLatin1String("office:value")).toString(),
                  {},
                  attributes.value(QLatin1String("table:formula")).toString()};
        cell.text = cellText(xml);
        for (int i = 0; i < std::min(repeated, 20); ++i)
            row << cell;
    }
    while (!row.isEmpty() && row.last().type.isEmpty() && row.last().text.isEmpty())
        row.removeLast();
    return row;
}

} // namespace

Rows readWithOffice(const QTemporaryDir& dir, const QString& source, const QString& importFilter)
{
    const QList<Rows> sheets = readSheetsWithOffice(dir, source, importFilter);
    return sheets.isEmpty() ? Rows() : sheets.front();
}

QList<Rows> readSheetsWithOffice(const QTemporaryDir& dir, const QString& source, const QString& importFilter)
{
    QList<Rows> sheets;
#ifdef PREZZARIO_SOFFICE
    // The office recalculates every formula on loading, as a user's spreadsheet may: a formula naming the wrong
    // cells then shows, where the values the file caches would hide it.
    QDir().mkpath(dir.filePath(QStringLiteral("profile/user")));
    QFile settings(dir.filePath(QStringLiteral("profile/user/registrymodifications.xcu")));
    if (settings.open(QIODevice::WriteOnly | QIODevice::Truncate))
        settings.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="ODFRecalcMode" oor:op="fuse"><value>0</value></prop></item>
</oor:items>
)");
    settings.close();
    QStringList arguments{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                          QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile"))};
    if (!importFilter.isEmpty())
        arguments << QStringLiteral("--infilter=") + importFilter;
    arguments << QStringLiteral("--convert-to") << QStringLiteral("fods") << QStringLiteral("--outdir")
              << dir.filePath(QStringLiteral("office")) << source;
    QProcess office;
    office.setProgram(QStringLiteral(PREZZARIO_SOFFICE));
    office.setArguments(arguments);
    office.setChildProcessModifier([] { ::setsid(); });
    office.start();
    if (!office.waitForFinished(300'000))
        ::kill(-pid_t(office.processId()), SIGKILL);

    QFile fods(
        dir.filePath(QStringLiteral("office/") + QFileInfo(source).completeBaseName() + QStringLiteral(".fods")));
    if (!fods.open(QIODevice::ReadOnly))
        return sheets;
    QXmlStreamReader xml(&fods);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("table:table"))
            sheets << Rows();
        if (sheets.isEmpty() || !xml.isStartElement() || xml.qualifiedName() != QLatin1String("table:table-row"))
            continue;
        const int repeated = xml.attributes().value(QLatin1String("table:number-rows-repeated")).toInt();
        const QList<Cell> row = readRow(xml);
        if (!row.isEmpty() || repeated < 100)
            sheets.last() << row;
    }
    for (Rows& rows : sheets) {
        while (!rows.isEmpty() && rows.last().isEmpty())
            rows.removeLast();
    }
#else
    Q_UNUSED(dir);
    Q_UNUSED(source);
    Q_UNUSED(importFilter);
#endif
    return sheets;
}

QStringList pdfPages(const QString& path, bool layout)
{
    QStringList pages;
#ifdef PREZZARIO_PDFTOTEXT
    QStringList arguments{QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")};
    if (layout)
        arguments.prepend(QStringLiteral("-layout"));
    QProcess process;
    process.start(QStringLiteral(PREZZARIO_PDFTOTEXT), arguments);
    process.waitForFinished(60'000);
    pages = QString::fromUtf8(process.readAllStandardOutput()).split(u'\f');
    while (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    for (QString& page : pages)
        page = page.simplified(); // a wrapped line reads as one
#else
    Q_UNUSED(path);
    Q_UNUSED(layout);
#endif
    return pages;
}

} // namespace exporttest
