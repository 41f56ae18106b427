#include "report/export/ExportRows.h"

#include "core/Measures.h"
#include "core/Numbers.h"

#include <QHash>
#include <QXmlStreamWriter>

namespace report::exporting {

namespace {

// The chapter structure of the file: the sections as super-chapters, the chapters as chapters and the articles
// as sub-chapters, each numbered in the order its first item comes, so that estimating programs group the items
// as the list does and prezzario-build reads the list back from the file.
struct Structure
{
    static constexpr int kDepths = 3;
    QList<QString> codes[kDepths];
    QList<QString> texts[kDepths];
    QHash<QString, int> ids[kDepths];

    explicit Structure(const QList<core::ExportItem>& items)
    {
        for (const core::ExportItem& item : items) {
            const QStringList segments = item.code.split(u'.');
            if (segments.size() != 4)
                continue;
            const core::Text* levels[kDepths] = {&item.sezione, &item.capitolo, &item.articolo};
            for (int depth = 0; depth < kDepths; ++depth) {
                const QString code = segments.mid(0, depth + 1).join(u'.');
                if (ids[depth].contains(code))
                    continue;
                codes[depth] << code;
                texts[depth] << levels[depth]->toString();
                ids[depth].insert(code, int(codes[depth].size()));
            }
        }
    }

    // The item's super-chapter, chapter and sub-chapter, 0 where it has none.
    int id(const core::ExportItem& item, int depth) const
    {
        const QStringList segments = item.code.split(u'.');
        return segments.size() == 4 ? ids[depth].value(segments.mid(0, depth + 1).join(u'.')) : 0;
    }

    // The computo's chapters, when it has any, are the file's super-categories, numbered in their order.
    void write(QXmlStreamWriter& xml, const QStringList& chapters, qsizetype& dropped) const
    {
        static const char* const lists[kDepths] = {"PweDGSuperCapitoli", "PweDGCapitoli", "PweDGSubCapitoli"};
        static const char* const names[kDepths] = {"DGSuperCapitoliItem", "DGCapitoliItem", "DGSubCapitoliItem"};
        xml.writeStartElement(QStringLiteral("PweDGCapitoliCategorie"));
        for (int depth = 0; depth < kDepths; ++depth) {
            xml.writeStartElement(QString::fromLatin1(lists[depth]));
            for (qsizetype i = 0; i < codes[depth].size(); ++i) {
                xml.writeStartElement(QString::fromLatin1(names[depth]));
                xml.writeAttribute(QStringLiteral("ID"), QString::number(i + 1));
                xml.writeTextElement(QStringLiteral("Codice"), xmlText(codes[depth][i], dropped));
                xml.writeTextElement(QStringLiteral("DesSintetica"), xmlText(texts[depth][i], dropped));
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
        if (!chapters.isEmpty()) {
            xml.writeStartElement(QStringLiteral("PweDGSuperCategorie"));
            for (qsizetype i = 0; i < chapters.size(); ++i) {
                xml.writeStartElement(QStringLiteral("DGSuperCategorieItem"));
                xml.writeAttribute(QStringLiteral("ID"), QString::number(i + 1));
                xml.writeTextElement(QStringLiteral("DesSintetica"), xmlText(chapters[i], dropped));
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
};

// A factor as estimating programs write one: as typed, with a decimal point and the operators in ASCII.
QString factorText(const QString& typed)
{
    QString text = typed.trimmed();
    text.replace(u',', u'.').replace(u'×', u'*').replace(u'−', u'-');
    return text;
}

void writeLines(QXmlStreamWriter& xml, const core::ExportItem& item, int measured, int& lineId, qsizetype& dropped)
{
    static const char* const factors[core::kFactors] = {"PartiUguali", "Lunghezza", "Larghezza", "HPeso"};
    xml.writeStartElement(QStringLiteral("PweVCMisure"));
    for (const core::MeasureLine& line : item.misure) {
        xml.writeStartElement(QStringLiteral("RGItem"));
        xml.writeAttribute(QStringLiteral("ID"), QString::number(++lineId));
        xml.writeTextElement(QStringLiteral("IDVV"), QString::number(measured));
        xml.writeTextElement(QStringLiteral("Descrizione"), xmlText(line.descrizione, dropped));
        for (int f = 0; f < core::kFactors; ++f)
            xml.writeTextElement(QString::fromLatin1(factors[f]),
                                 xmlText(factorText(line.factors[std::size_t(f)]), dropped));
        xml.writeTextElement(QStringLiteral("Quantita"), core::plainNumber(core::lineQuantity(line).value_or(0)));
        xml.writeTextElement(QStringLiteral("Flags"), QStringLiteral("0"));
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

} // namespace

void writeXpwe(const core::ExportDocument& document, QIODevice& out)
{
    QXmlStreamWriter xml(&out);
    // Characters XML cannot carry would make the writer fail: they are left out, and counted.
    qsizetype dropped = 0;
    const auto text = [&dropped](const QString& value) { return xmlText(value, dropped); };
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("PweDocumento"));

    const QString title = documentTitle(document);
    xml.writeStartElement(QStringLiteral("PweDatiGenerali"));
    xml.writeStartElement(QStringLiteral("PweDGDatiGenerali"));
    xml.writeTextElement(QStringLiteral("Oggetto"), text(title));
    xml.writeEndElement();
    const Structure structure(document.items);
    structure.write(xml, document.chapters, dropped);
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("PweMisurazioni"));
    xml.writeStartElement(QStringLiteral("PweElencoPrezzi"));
    for (qsizetype i = 0; i < document.items.size(); ++i) {
        const core::ExportItem& item = document.items[i];
        xml.writeStartElement(QStringLiteral("EPItem"));
        xml.writeAttribute(QStringLiteral("ID"), QString::number(i + 1));
        static const char* const levels[Structure::kDepths] = {"IDSpCap", "IDCap", "IDSbCap"};
        for (int depth = 0; depth < Structure::kDepths; ++depth)
            xml.writeTextElement(QString::fromLatin1(levels[depth]), QString::number(structure.id(item, depth)));
        xml.writeTextElement(QStringLiteral("Tariffa"), text(item.code));
        xml.writeTextElement(QStringLiteral("DesBreve"), text(shortDescription(item)));
        xml.writeTextElement(QStringLiteral("DesEstesa"), text(wholeDescription(item)));
        xml.writeTextElement(QStringLiteral("UnMisura"), text(item.simbolo.toString()));
        // Numbers with a dot whatever the user's locale: the format's own, read the same everywhere.
        if (item.prezzoLordo)
            xml.writeTextElement(QStringLiteral("Prezzo1"), core::plainNumber(*item.prezzoLordo));
        if (item.incidenzaManodopera)
            xml.writeTextElement(QStringLiteral("IncMDO"), core::plainNumber(*item.incidenzaManodopera));
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("PweVociComputo"));
    int measured = 0;
    int lineId = 0;
    for (qsizetype i = 0; i < document.items.size(); ++i) {
        const core::ExportItem& item = document.items[i];
        if (!item.quantita)
            continue;
        xml.writeStartElement(QStringLiteral("VCItem"));
        xml.writeAttribute(QStringLiteral("ID"), QString::number(++measured));
        xml.writeTextElement(QStringLiteral("IDEP"), QString::number(i + 1));
        xml.writeTextElement(QStringLiteral("Quantita"), core::plainNumber(*item.quantita));
        // The item's chapter by its super-category's ID, 0 for none.
        xml.writeTextElement(QStringLiteral("IDSpCat"), QString::number(document.chapters.indexOf(item.chapter) + 1));
        if (!item.misure.isEmpty())
            writeLines(xml, item, measured, lineId, dropped);
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeEndElement(); // PweMisurazioni
    xml.writeEndElement(); // PweDocumento
    xml.writeEndDocument();
    if (xml.hasError())
        throw WriteFailure(QStringLiteral("scrittura non riuscita (%1)").arg(out.errorString()));
    reportDropped(dropped, QStringLiteral("XPWE"));
}

} // namespace report::exporting
