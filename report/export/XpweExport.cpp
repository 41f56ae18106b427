#include "ExportRows.h"

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

    void write(QXmlStreamWriter& xml) const
    {
        static const char* const lists[kDepths] = {"PweDGSuperCapitoli", "PweDGCapitoli", "PweDGSubCapitoli"};
        static const char* const names[kDepths] = {"DGSuperCapitoliItem", "DGCapitoliItem", "DGSubCapitoliItem"};
        xml.writeStartElement(QStringLiteral("PweDGCapitoliCategorie"));
        for (int depth = 0; depth < kDepths; ++depth) {
            xml.writeStartElement(QString::fromLatin1(lists[depth]));
            for (qsizetype i = 0; i < codes[depth].size(); ++i) {
                xml.writeStartElement(QString::fromLatin1(names[depth]));
                xml.writeAttribute(QStringLiteral("ID"), QString::number(i + 1));
                xml.writeTextElement(QStringLiteral("Codice"), codes[depth][i]);
                xml.writeTextElement(QStringLiteral("DesSintetica"), texts[depth][i]);
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
};

} // namespace

void writeXpwe(const core::ExportDocument& document, QIODevice& out)
{
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("PweDocumento"));

    const QString title = documentTitle(document);
    xml.writeStartElement(QStringLiteral("PweDatiGenerali"));
    xml.writeStartElement(QStringLiteral("PweDGDatiGenerali"));
    xml.writeTextElement(QStringLiteral("Oggetto"), title);
    xml.writeEndElement();
    const Structure structure(document.items);
    structure.write(xml);
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
        xml.writeTextElement(QStringLiteral("Tariffa"), item.code);
        xml.writeTextElement(QStringLiteral("DesBreve"), shortDescription(item));
        xml.writeTextElement(QStringLiteral("DesEstesa"), wholeDescription(item));
        xml.writeTextElement(QStringLiteral("UnMisura"), item.simbolo.toString());
        // Numbers with a dot whatever the user's locale: the format's own, read the same everywhere.
        if (item.prezzoLordo)
            xml.writeTextElement(QStringLiteral("Prezzo1"), plainNumber(*item.prezzoLordo, u'.'));
        if (item.incidenzaManodopera)
            xml.writeTextElement(QStringLiteral("IncMDO"), plainNumber(*item.incidenzaManodopera, u'.'));
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("PweVociComputo"));
    int measured = 0;
    for (qsizetype i = 0; i < document.items.size(); ++i) {
        const core::ExportItem& item = document.items[i];
        if (!item.quantita)
            continue;
        xml.writeStartElement(QStringLiteral("VCItem"));
        xml.writeAttribute(QStringLiteral("ID"), QString::number(++measured));
        xml.writeTextElement(QStringLiteral("IDEP"), QString::number(i + 1));
        xml.writeTextElement(QStringLiteral("Quantita"), plainNumber(*item.quantita, u'.'));
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeEndElement(); // PweMisurazioni
    xml.writeEndElement(); // PweDocumento
    xml.writeEndDocument();
    if (xml.hasError())
        throw WriteFailure(QStringLiteral("scrittura non riuscita (%1)").arg(out.errorString()));
}

} // namespace report::exporting
