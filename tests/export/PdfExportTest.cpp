#include "tests/export/ExportFixture.h"
#include "report/export/ItemExport.h"

#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(PdfExport, listsEveryItemWithItsPriceInFiguresAndWords)
{
#ifndef PREZZARIO_PDFTOTEXT
    GTEST_SKIP() << "no pdftotext (poppler-utils)";
#endif
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("elenco.pdf"));
    report::exportItems(exporttest::sampleDocument(), path, report::ExportFormat::Pdf);
    const QStringList pages = exporttest::pdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    const QString& text = pages[0];
    const char* expected[] = {
        "Elenco prezzi unitari",
        "Prezzario Regione Vallorsa 2021",
        "Progetto scuola via Roma",
        "OPERE EDILI",
        "Scavi e rinterri",
        "Demolizioni",
        "1. 01.A01.A01.010",
        "2. 01.A01.A02.005",
        "3. 01.A02.B01.030",
        "4. 010",
        "a regola d'arte, più il trasporto a rifiuto",
        "in terreno di qualsiasi natura, città",
        "Unità di misura: m³",
        "Prezzo: € 1.234,56",
        "(euro milleduecentotrentaquattro/56)",
        "Incidenza manodopera: 27,50 %",
        "prezzo precedente: € 11,80",
        "già 01.A01.A02.001",
        "non presente in questa edizione",
        "pagina 1 di 1",
    };
    for (const char* piece : expected)
        EXPECT_TRUE(text.contains(QString::fromUtf8(piece))) << piece << "\nin: " << text.toStdString();
}

TEST(PdfExport, entriesMoveWholeToTheNextPageAndEveryPageIsNumbered)
{
#ifndef PREZZARIO_PDFTOTEXT
    GTEST_SKIP() << "no pdftotext (poppler-utils)";
#endif
    core::ExportDocument document = exporttest::sampleDocument();
    document.collectionName.clear();
    const core::ExportItem model = document.items[0];
    document.items.clear();
    for (int i = 1; i <= 60; ++i) {
        core::ExportItem item = model;
        item.code = QStringLiteral("09.Z%1").arg(i, 3, 10, QLatin1Char('0'));
        item.prezzoLordo = 100 + i;
        document.items << item;
    }
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lungo.pdf"));
    report::exportItems(document, path, report::ExportFormat::Pdf);
    const QStringList pages = exporttest::pdfPages(path);
    ASSERT_GE(pages.size(), 3);

    EXPECT_FALSE(pages[0].contains(QStringLiteral("Progetto"))) << "no line for a collection without a name";
    for (int p = 0; p < pages.size(); ++p)
        EXPECT_TRUE(pages[p].contains(QStringLiteral("pagina %1 di %2").arg(p + 1).arg(pages.size()))) << p;
    // An entry's first line (its code) and its last (the price in words) are on one page.
    for (const core::ExportItem& item : document.items) {
        const QString words = QStringLiteral("(euro cento");
        int codePage = -1;
        for (int p = 0; p < pages.size(); ++p) {
            if (pages[p].contains(QStringLiteral(" ") + item.code + QStringLiteral(" ")))
                codePage = p;
        }
        ASSERT_GE(codePage, 0) << item.code.toStdString();
        const QString entry = pages[codePage].mid(pages[codePage].indexOf(item.code));
        const qsizetype next = entry.indexOf(QStringLiteral("09.Z"), item.code.size());
        const QString own = next < 0 ? entry : entry.left(next);
        EXPECT_TRUE(own.contains(words)) << item.code.toStdString() << " is cut at the end of its page";
    }
}

// A description longer than a page flows on to the next pages: every word is there, in order, and none is
// drawn over the page number.
TEST(PdfExport, aDescriptionLongerThanAPageFlowsAcrossPagesClearOfTheFooter)
{
#ifndef PREZZARIO_PDFTOTEXT
    GTEST_SKIP() << "no pdftotext (poppler-utils)";
#else
    core::ExportDocument document = exporttest::sampleDocument();
    QStringList words;
    for (int i = 1; i <= 600; ++i)
        words << QStringLiteral("parola%1").arg(i, 3, 10, QLatin1Char('0'));
    document.items[0].subarticolo = core::Text::fromString(words.join(u' '));
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lungo.pdf"));
    report::exportItems(document, path, report::ExportFormat::Pdf);

    // pdftotext's word boxes: each word with its page and its top and bottom.
    QProcess boxes;
    boxes.start(QStringLiteral(PREZZARIO_PDFTOTEXT), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    ASSERT_TRUE(boxes.waitForFinished(60000));
    QXmlStreamReader xml(boxes.readAllStandardOutput());
    struct Word
    {
        QString text;
        int page;
        double top, bottom;
    };
    QList<Word> found;
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page"))
            ++page;
        if (xml.name() == QLatin1String("word")) {
            const double top = xml.attributes().value(QLatin1String("yMin")).toDouble();
            const double bottom = xml.attributes().value(QLatin1String("yMax")).toDouble();
            found << Word{xml.readElementText(), page, top, bottom};
        }
    }
    QStringList flowed;
    QHash<int, double> footerTop;
    for (qsizetype i = 0; i < found.size(); ++i) {
        if (found[i].text.startsWith(QStringLiteral("parola")))
            flowed << found[i].text;
        if (found[i].text == QStringLiteral("pagina"))
            footerTop[found[i].page] = found[i].top;
    }
    EXPECT_EQ(flowed, words);
    EXPECT_GE(page, 2);
    EXPECT_EQ(footerTop.size(), page) << "a page without its number";
    for (const Word& word : found) {
        const bool footer = std::abs(word.top - footerTop.value(word.page)) < 1; // "pagina 2 di 3" itself
        if (!footer) {
            EXPECT_LT(word.bottom, footerTop.value(word.page)) << word.text.toStdString() << " on page " << word.page;
        }
    }
#endif
}

} // namespace
