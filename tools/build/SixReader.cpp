#include "tools/build/SixReader.h"

#include <QFileInfo>

#include "tools/build/readers/InputLimits.h"

namespace builder {

namespace {

[[noreturn]] void refuse(const QString& path, qint64 line, const QString& what)
{
    throw BuildError(QStringLiteral("«%1», riga %2: %3").arg(path, QString::number(line), what));
}

} // namespace

namespace six {

SixReader::SixReader(SixSource::State& state, bool collect)
    : m_state(state), m_collect(collect), m_file(state.path),
      m_guard([this](char* data, qint64 size) { return m_file.read(data, size); }, limits::kMaxPartBytes)
{
    const QFileInfo info(state.path);
    if (!info.exists())
        throw BuildError(QStringLiteral("File inesistente: «%1»").arg(state.path));
    if (!info.isFile())
        throw BuildError(QStringLiteral("«%1» non è un file normale: --from-six vuole un file XML").arg(state.path));
    if (!m_file.open(QIODevice::ReadOnly))
        throw BuildError(QStringLiteral("Impossibile leggere «%1»: %2").arg(state.path, m_file.errorString()));
    m_xml.setDevice(&m_guard);
    m_xml.setNamespaceProcessing(true);
}

bool SixReader::next(Product& product)
{
    while (!m_xml.atEnd()) {
        // The reader tells where a token ends; the product is named where its tag starts, where the last ended.
        const qint64 line = m_xml.lineNumber();
        const qint64 column = m_xml.columnNumber();
        if (m_xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!m_rootSeen) {
            checkRoot();
            continue;
        }
        const QStringView name = m_xml.name();
        if (name == u"prodotto") {
            readProduct(product);
            product.line = line;
            product.column = column;
            return true;
        }
        if (m_collect)
            collect(name);
    }
    if (m_xml.hasError() || !m_guard.problem().isEmpty() || m_guard.sourceFailed())
        failXml();
    if (!m_rootSeen)
        refuse(m_state.path, 1, QStringLiteral("il file è vuoto: non contiene un documento SIX"));
    return false;
}

void SixReader::checkRoot()
{
    m_rootSeen = true;
    const QStringView ns = m_xml.namespaceUri();
    if (m_xml.name() == u"Documento" && (ns.isEmpty() || ns.endsWith(u"six.xsd")))
        return;
    const QString hint = m_xml.name() == u"PweDocumento" ? QStringLiteral(" (è un file XPWE: --from-xpwe)") : QString();
    refuse(m_state.path, m_xml.lineNumber(),
           QStringLiteral("l'elemento principale è %1, non Documento dello spazio dei nomi six.xsd: non è un file "
                          "SIX%2")
               .arg(shownValue(m_xml.qualifiedName()), hint));
}

void SixReader::failXml()
{
    if (!m_guard.problem().isEmpty())
        refuse(m_state.path, m_guard.line(), m_guard.problem());
    if (m_guard.sourceFailed())
        refuse(m_state.path, m_guard.line(), QStringLiteral("errore di lettura del file"));
    const QString detail = m_xml.errorString();
    if (!m_rootSeen)
        refuse(m_state.path, m_xml.lineNumber(),
               QStringLiteral("non è un file XML (%1): --from-six vuole un file SIX").arg(detail));
    if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
        refuse(m_state.path, m_xml.lineNumber(),
               QStringLiteral("il file finisce prima di chiudere i suoi elementi: è troncato (%1)").arg(detail));
    throw BuildError(
        QStringLiteral("«%1», riga %2, colonna %3: XML non valido (%4)")
            .arg(m_state.path, QString::number(m_xml.lineNumber()), QString::number(m_xml.columnNumber()), detail));
}

QString SixReader::value(const QXmlStreamAttributes& attributes, QLatin1StringView name) const
{
    const QStringView text = attributes.value(name);
    if (text.size() > limits::kMaxFieldText)
        refuse(m_state.path, m_xml.lineNumber(),
               QStringLiteral("l'attributo %1 ha %2 caratteri, oltre il limite di %3")
                   .arg(name, QString::number(text.size()), limits::charactersText(limits::kMaxFieldText)));
    return text.toString();
}

void SixReader::collect(QStringView name)
{
    const qint64 line = m_xml.lineNumber();
    if (name == u"unitaDiMisura") {
        const QString id = attribute(QLatin1StringView("unitaDiMisuraId"));
        const QString symbol = attribute(QLatin1StringView("simbolo"));
        m_state.keep(id.size() + symbol.size(), line);
        m_state.units.insert(id, symbol);
    } else if (name == u"listaQuotazione") {
        SixPriceList list{attribute(QLatin1StringView("listaQuotazioneId")), attribute(QLatin1StringView("lqtId")),
                          attribute(QLatin1StringView("descrizione")), attribute(QLatin1StringView("anno")), line};
        m_state.keep(list.id.size(), line);
        m_state.listIds.insert(list.id);
        ++m_state.listCount;
        if (m_state.listYear.isEmpty() && !list.year.isEmpty() && m_state.chosenList(list.id)) {
            m_state.listYear = list.year;
            m_state.listYearLine = line;
        }
        if (qsizetype(m_state.shownLists.size()) < kShownLists) {
            m_state.keep(list.code.size() + list.description.size() + list.year.size(), line);
            m_state.shownLists.push_back(std::move(list));
        }
    } else if (name == u"prezzario" && m_state.fileYear.isEmpty() &&
               m_xml.attributes().hasAttribute(QLatin1StringView("anno"))) {
        m_state.fileYear = attribute(QLatin1StringView("anno"));
        m_state.fileYearLine = m_xml.lineNumber();
        m_state.fileYearWhere = QStringLiteral("attributo anno di prezzario");
    }
}

void SixReader::readProduct(Product& product)
{
    product = Product();
    const QXmlStreamAttributes attributes = m_xml.attributes();
    product.code = value(attributes, QLatin1StringView("prdId"));
    if (attributes.hasAttribute(QLatin1StringView("unitaDiMisuraId")))
        product.unit = value(attributes, QLatin1StringView("unitaDiMisuraId"));
    if (attributes.hasAttribute(QLatin1StringView("incidenzaManodopera")))
        product.labour = value(attributes, QLatin1StringView("incidenzaManodopera")).trimmed();
    int depth = 1;
    while (depth > 0) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (depth == 1 && m_xml.name() == u"incidenzaManodopera") {
                const qint64 line = m_xml.lineNumber();
                const std::optional<QString> text = elementText(m_xml);
                if (!text && m_xml.hasError())
                    failXml();
                if (!text)
                    refuse(m_state.path, line,
                           QStringLiteral("il testo di incidenzaManodopera supera il limite di %1")
                               .arg(limits::charactersText(limits::kMaxFieldText)));
                product.labour = text->trimmed();
                continue;
            }
            if (depth == 1)
                readPart(product);
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Invalid:
            failXml();
        default:
            break;
        }
    }
}

void SixReader::readPart(Product& product)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    if (m_xml.name() == u"prdDescrizione") {
        const QString language = value(attributes, QLatin1StringView("lingua"));
        if (!language.isEmpty())
            product.languages << language;
        const bool exact = language.compare(m_state.options.language, Qt::CaseInsensitive) == 0;
        if (product.exactLanguage || (!exact && (product.described || !language.isEmpty())))
            return;
        product.described = true;
        product.exactLanguage = exact;
        product.brief = value(attributes, QLatin1StringView("breve"));
        product.extended = value(attributes, QLatin1StringView("estesa"));
    } else if (m_xml.name() == u"prdQuotazione") {
        const QString list = value(attributes, QLatin1StringView("listaQuotazioneId"));
        product.priceLists << list;
        if (!product.priced && m_state.chosenList(list)) {
            product.priced = true;
            product.price = value(attributes, QLatin1StringView("valore")).trimmed();
        }
    }
}

} // namespace six

// The first pass keeps headings, units and lists for the rows to come: together no more than limits::kMaxKeptText.
void SixSource::State::keep(qsizetype characters, qint64 line)
{
    keptText += characters;
    if (keptText > limits::kMaxKeptText)
        refuse(path, line,
               QStringLiteral("i titoli dei livelli (prodotti senza prezzo), le unità di misura e i listini superano "
                              "insieme il limite di %1")
                   .arg(limits::charactersText(limits::kMaxKeptText)));
}

} // namespace builder
