#include "ExportRows.h"

#include <QXmlStreamWriter>

namespace report::exporting {

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
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("PweMisurazioni"));
    xml.writeStartElement(QStringLiteral("PweElencoPrezzi"));
    for (qsizetype i = 0; i < document.items.size(); ++i) {
        const core::ExportItem& item = document.items[i];
        xml.writeStartElement(QStringLiteral("EPItem"));
        xml.writeAttribute(QStringLiteral("ID"), QString::number(i + 1));
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
