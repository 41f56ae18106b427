#include "tests/export/ExportFixture.h"
#include "report/export/ItemExport.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

TEST(XpweExport, pricesAndMeasuredItemsReadBackAsXml)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("computo.xpwe"));
    report::exportItems(exporttest::sampleDocument(), path, report::ExportFormat::Xpwe);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QMap<QString, QHash<QString, QString>> priceItems; // by ID
    QList<QHash<QString, QString>> measured;
    QString root, subject;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (root.isEmpty())
            root = xml.name().toString();
        const QString name = xml.name().toString();
        if (name == QLatin1String("Oggetto")) {
            subject = xml.readElementText();
        } else if (name == QLatin1String("EPItem") || name == QLatin1String("VCItem")) {
            QHash<QString, QString> fields;
            fields[QStringLiteral("ID")] = xml.attributes().value(QLatin1String("ID")).toString();
            while (xml.readNextStartElement())
                fields[xml.name().toString()] = xml.readElementText();
            if (name == QLatin1String("EPItem"))
                priceItems[fields[QStringLiteral("ID")]] = fields;
            else
                measured << fields;
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(root, QStringLiteral("PweDocumento"));
    EXPECT_EQ(subject, QStringLiteral("Prezzario Regione Vallorsa 2021 - Progetto scuola via Roma"));

    const core::ExportDocument document = exporttest::sampleDocument();
    ASSERT_EQ(priceItems.size(), document.items.size());
    const QHash<QString, QString>& first = priceItems[QStringLiteral("1")];
    EXPECT_EQ(first[QStringLiteral("Tariffa")], QStringLiteral("01.A01.A01.010"));
    EXPECT_EQ(first[QStringLiteral("Prezzo1")], QStringLiteral("1234.56")); // a dot, whatever the locale
    EXPECT_EQ(first[QStringLiteral("IncMDO")], QStringLiteral("27.5"));
    EXPECT_EQ(first[QStringLiteral("UnMisura")], QStringLiteral("m³"));
    EXPECT_TRUE(first[QStringLiteral("DesEstesa")].startsWith(QStringLiteral("OPERE EDILI\nScavi e rinterri\nScavo")));
    EXPECT_TRUE(first[QStringLiteral("DesEstesa")].endsWith(QStringLiteral("città")));
    EXPECT_EQ(first[QStringLiteral("DesBreve")],
              QStringLiteral("Scavo di sbancamento eseguito con mezzi meccanici, anche in presenza d'acqua – in "
                             "terreno di qualsiasi natura, città"));
    EXPECT_EQ(priceItems[QStringLiteral("4")][QStringLiteral("Tariffa")], QStringLiteral("010"));

    // Only the items with a quantity are measured, each pointing at its price item.
    struct
    {
        const char* code;
        const char* quantity;
    } expected[] = {{"01.A01.A01.010", "2"}, {"01.A01.A02.005", "10.125"}, {"010", "3"}};
    ASSERT_EQ(measured.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QString idep = measured[i][QStringLiteral("IDEP")];
        EXPECT_EQ(priceItems.value(idep)[QStringLiteral("Tariffa")], QString::fromUtf8(expected[i].code));
        EXPECT_EQ(measured[i][QStringLiteral("Quantita")], QString::fromUtf8(expected[i].quantity));
    }
}

// Characters XML 1.0 cannot carry (a collection named with U+0001, texts holding U+FFFE or U+FFFF) are left
// out of the files made of XML, which stay readable; the rest of each text is kept.
TEST(XpweExport, charactersXmlCannotCarryAreLeftOut)
{
    core::ExportDocument document = exporttest::sampleDocument();
    document.collectionName = QStringLiteral("Scuola\u0001 nuova");
    document.items[0].subarticolo = core::Text::fromString(QStringLiteral("in terra\uFFFE battuta\uFFFF"));
    document.items[1].simbolo = core::Text::fromString(QStringLiteral("m\u0008³"));
    const QTemporaryDir dir;

    const QString xpwe = dir.filePath(QStringLiteral("computo.xpwe"));
    report::exportItems(document, xpwe, report::ExportFormat::Xpwe);
    QFile file(xpwe);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList texts;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::Characters && !xml.isWhitespace())
            texts << xml.text().toString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Prezzario Regione Vallorsa 2021 - Scuola nuova")));
    EXPECT_TRUE(texts.join(u'|').contains(QStringLiteral("in terra battuta")));
    EXPECT_EQ(texts.count(QStringLiteral("m³")), 2);

    const QString xlsx = dir.filePath(QStringLiteral("elenco.xlsx"));
    report::exportItems(document, xlsx, report::ExportFormat::Xlsx);
    if (!exporttest::haveOffice())
        return;
    const exporttest::Rows rows = exporttest::readWithOffice(dir, xlsx);
    ASSERT_EQ(rows.size(), 6);
    EXPECT_TRUE(rows[1][1].text.endsWith(QStringLiteral("in terra battuta")));
    EXPECT_EQ(rows[2][2].text, QStringLiteral("m³"));
}

} // namespace
