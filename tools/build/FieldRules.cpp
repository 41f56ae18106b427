#include "tools/build/FieldRules.h"

#include "tools/build/readers/InputLimits.h"
#include "tools/build/readers/TableReader.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>

namespace builder::rules {

namespace {

constexpr QStringView kMissing = u"valore mancante, ma la colonna è obbligatoria";

// How a character is named in a message: itself where it can be seen, and always its code point.
QString describeCharacter(char32_t c)
{
    const QString number = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    if (!QChar::isPrint(c) || QChar::isSpace(c))
        return number;
    return QStringLiteral("«%1» (%2)").arg(QString::fromUcs4(&c, 1), number);
}

// Texts are shown and printed: a control character (not a tab or a line break) is a fault of the file.
QString checkedText(const TableReader& reader, int column, QString text)
{
    const qsizetype at = reader.controlCharactersAllowed() ? -1 : controlCharacterAt(text);
    if (at >= 0)
        reader.fail(column, QStringLiteral("il testo contiene il carattere di controllo %1 al carattere %2: %3")
                                .arg(describeCharacter(text[at].unicode()), QString::number(at + 1), shownValue(text)));
    return text;
}

// "1.826,34" or "1,826.34": digits in groups of three, as a spreadsheet shows thousands.
bool hasThousands(const QString& text, QChar point)
{
    const QChar group = point == u',' ? u'.' : u',';
    static const QRegularExpression commaForm(QStringLiteral("^[-+]?\\d{1,3}(\\.\\d{3})+(,\\d+)?$"));
    static const QRegularExpression pointForm(QStringLiteral("^[-+]?\\d{1,3}(,\\d{3})+(\\.\\d+)?$"));
    return text.contains(group) && (point == u',' ? commaForm : pointForm).match(text).hasMatch();
}

} // namespace

std::optional<double> parseDecimal(QStringView text, QChar point)
{
    // Sign, digits, at most one separator, an optional exponent: from_chars alone would also take
    // "inf", "nan" and hex.
    std::string plain;
    plain.reserve(size_t(text.size()));
    bool digits = false;
    bool seenPoint = false;
    bool seenExponent = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
            plain += char(c.unicode());
        } else if (c == point && !seenPoint && !seenExponent) {
            seenPoint = true;
            plain += '.';
        } else if ((c == u'e' || c == u'E') && digits && !seenExponent) {
            seenExponent = true;
            digits = false;
            plain += 'e';
        } else if ((c == u'-' || c == u'+') && (i == 0 || text[i - 1] == u'e' || text[i - 1] == u'E')) {
            if (c == u'-')
                plain += '-';
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    double value = 0;
    const auto [stop, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || stop != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString requiredText(const TableReader& reader, int column)
{
    return checkedText(reader, column, reader.field(column).text);
}

std::optional<QString> optionalText(const TableReader& reader, int column)
{
    const Field field = reader.field(column);
    if (field.kind == Field::Kind::Null)
        return std::nullopt;
    return checkedText(reader, column, field.text);
}

qint64 integer(const TableReader& reader, int column)
{
    const Field field = reader.field(column);
    if (field.kind == Field::Kind::Null)
        reader.fail(column, kMissing.toString());
    const QString text = field.text.startsWith(u'+') ? field.text.mid(1) : field.text;
    const std::string raw = text.toStdString();
    qint64 value = 0;
    const auto [stop, error] = std::from_chars(raw.data(), raw.data() + raw.size(), value);
    if (raw.empty() || error != std::errc() || stop != raw.data() + raw.size())
        reader.fail(column, QStringLiteral("numero intero non valido %1").arg(shownValue(field.text)));
    return value;
}

std::optional<double> optionalNumber(const TableReader& reader, int column)
{
    const Field field = reader.field(column);
    if (field.kind == Field::Kind::Null)
        return std::nullopt;
    // A number cell holds its value with '.', whatever the spreadsheet shows.
    using Separator = TableReader::DecimalSeparator;
    const Separator separator = field.kind == Field::Kind::Number ? Separator::Point : reader.decimalSeparator();
    QChar point = separator == Separator::Comma ? u',' : u'.';
    if (const std::optional<double> value = parseDecimal(field.text, point))
        return value;
    if (separator == Separator::Either) {
        point = field.text.contains(u',') && !field.text.contains(u'.') ? u',' : u'.';
        if (const std::optional<double> value = parseDecimal(field.text, u','))
            return value;
        if (field.text.contains(u',') && field.text.contains(u'.'))
            point = field.text.lastIndexOf(u',') > field.text.lastIndexOf(u'.') ? u',' : u'.';
    }
    const QString example = point == u',' ? QStringLiteral("1826,34") : QStringLiteral("1826.34");
    if (hasThousands(field.text, point)) {
        QString plain = field.text;
        plain.remove(point == u',' ? u'.' : u',');
        reader.fail(column, QStringLiteral("il numero %1 ha il separatore delle migliaia: scriverlo senza, come %2")
                                .arg(shownValue(field.text), cutForMessage(plain)));
    }
    reader.fail(column,
                QStringLiteral("numero non valido %1 (atteso un numero come %2)").arg(shownValue(field.text), example));
}

std::optional<double> price(const TableReader& reader, int column)
{
    const std::optional<double> value = optionalNumber(reader, column);
    if (value && *value < 0)
        reader.fail(column, QStringLiteral("il valore %1 è negativo").arg(shownValue(reader.field(column).text)));
    if (value && *value > kMaxPrice)
        reader.fail(column,
                    QStringLiteral("il valore %1 supera 1.000.000.000").arg(shownValue(reader.field(column).text)));
    return value;
}

std::optional<double> share(const TableReader& reader, int column)
{
    const std::optional<double> value = optionalNumber(reader, column);
    if (value && (*value < 0 || *value > 100))
        reader.fail(column, QStringLiteral("l'incidenza %1 è fuori dall'intervallo da 0 a 100 (per cento)")
                                .arg(shownValue(reader.field(column).text)));
    return value;
}

std::optional<double> labourAmount(std::optional<double> price, std::optional<double> share)
{
    if (!price || !share || *price < 0 || *price > kMaxPrice || *share < 0 || *share > 100)
        return std::nullopt;
    return std::round(*price * *share) / 100.0;
}

std::optional<QString> codeProblem(QStringView value, int length)
{
    if (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()))
        return QStringLiteral("il codice %1 ha spazi all'inizio o alla fine").arg(shownValue(value));
    for (const char32_t c : value.toUcs4()) {
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            continue;
        const QString hint = (c >= 'a' && c <= 'z') ? QStringLiteral(" (scriverlo in maiuscolo)") : QString();
        return QStringLiteral("il codice %1 contiene il carattere %2%3: un codice è fatto solo di lettere maiuscole "
                              "senza accento e di cifre (A-Z, 0-9)")
            .arg(shownValue(value), describeCharacter(c), hint);
    }
    if (value.size() != length)
        return QStringLiteral("il codice deve avere %1 caratteri, trovato %2")
            .arg(QString::number(length), shownValue(value));
    return std::nullopt;
}

QString code(const TableReader& reader, int column, int length)
{
    const Field field = reader.field(column);
    if (field.kind == Field::Kind::Null)
        reader.fail(column, kMissing.toString());
    if (field.kind == Field::Kind::Number)
        reader.fail(column, QStringLiteral("il codice è un numero nel foglio (%1): formattare la colonna come testo, "
                                           "perché un codice come \"010\" resti scritto così")
                                .arg(cutForMessage(field.text)));
    if (const std::optional<QString> problem = codeProblem(field.text, length))
        reader.fail(column, *problem);
    return field.text;
}

} // namespace builder::rules
