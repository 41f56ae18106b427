#include "ui/ListCopy.h"

#include <QLocale>
#include <QMimeData>

namespace ui {

namespace {

// sdnum is "<language of sdval>;<language of the format>;<format>". The value is written in English; the
// format is named in English and shown in the office's own language (0). Calc reads a pasted table with a
// number formatter of its own and keeps only the number of each format: only its built-in formats, which
// every formatter numbers alike, keep their meaning in the sheet.
constexpr QStringView kLanguages = u"1033;0;";
constexpr QStringView kStandardFormat = u"General";
constexpr QStringView kPercentFormat = u"0.00%";
constexpr QStringView kWholePercentFormat = u"0%";
constexpr QStringView kTextFormat = u"@";

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype digitsAt(QStringView text, qsizetype at)
{
    qsizetype end = at;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    return end - at;
}

// One line of a cell: a tab or a line break inside it would start another cell or row.
QString oneLine(const QString& cell)
{
    QString line = cell;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar& c : line) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return line;
}

// Line breaks stay as they are, whitespace that the office reads as a space: its HTML import starts a new row
// of the sheet at each <br>, which would push the rest of the description under the next rows' codes.
void appendEscaped(QString& html, const QString& cell)
{
    QString escaped = cell.toHtmlEscaped();
    escaped.replace(u'\'', QLatin1String("&#39;"));
    html += escaped;
}

} // namespace

ClipboardTable::ClipboardTable(QList<bool> numeric) : m_numeric(std::move(numeric)) {}

std::optional<ClipboardTable::Number> ClipboardTable::number(QStringView text)
{
    const QLocale locale;
    const QString point = locale.decimalPoint();
    const QString minus = locale.negativeSign();
    QStringView rest = text;
    // The labour share is written "27,5 %".
    const bool percent = rest.endsWith(u'%');
    if (percent) {
        rest.chop(1);
        if (rest.endsWith(u' '))
            rest.chop(1);
    }
    const bool negative = rest.startsWith(minus);
    if (negative)
        rest = rest.sliced(minus.size());
    // Numbers have no leading zeros ("010" is a code); thousands, when grouped, go by three ("1.375,70").
    qsizetype whole = digitsAt(rest, 0);
    if (whole == 0 || (whole > 1 && rest[0] == u'0'))
        return std::nullopt;
    QString integer = rest.first(whole).toString();
    rest = rest.sliced(whole);
    const QString group = locale.groupSeparator();
    if (whole <= 3 && !group.isEmpty() && group != point) {
        while (rest.startsWith(group) && digitsAt(rest, group.size()) == 3) {
            integer += rest.sliced(group.size(), 3);
            rest = rest.sliced(group.size() + 3);
        }
    }
    QStringView fraction;
    if (rest.startsWith(point)) {
        rest = rest.sliced(point.size());
        const qsizetype digits = digitsAt(rest, 0);
        if (digits == 0)
            return std::nullopt;
        fraction = rest.first(digits);
        rest = rest.sliced(digits);
    }
    QString exponent;
    if (rest.startsWith(u'e') || rest.startsWith(u'E')) {
        rest = rest.sliced(1);
        if (rest.startsWith(u'+')) {
            rest = rest.sliced(1);
        } else if (rest.startsWith(minus) || rest.startsWith(u'-')) {
            rest = rest.sliced(rest.startsWith(minus) ? minus.size() : 1);
            exponent += u'-';
        }
        const qsizetype digits = digitsAt(rest, 0);
        if (digits == 0 || percent)
            return std::nullopt;
        exponent += rest.first(digits);
        rest = rest.sliced(digits);
    }
    if (!rest.isEmpty())
        return std::nullopt;

    Number number;
    number.plain = text.toString().remove(group);
    if (negative)
        number.value += u'-';
    if (percent) {
        // The value a spreadsheet holds for "27,5 %" is 0.275: the point moves two places, in the digits
        // themselves, so that no binary rounding creeps in.
        QString digits = integer + fraction.toString();
        qsizetype pointAt = integer.size() - 2;
        if (pointAt < 1) {
            digits.prepend(QString(1 - pointAt, u'0'));
            pointAt = 1;
        }
        number.value += digits.first(pointAt);
        if (pointAt < digits.size())
            number.value += u'.' + digits.sliced(pointAt);
        number.format = (fraction.isEmpty() ? kWholePercentFormat : kPercentFormat).toString();
    } else {
        number.value += integer;
        if (!fraction.isEmpty())
            number.value += u'.' + fraction.toString();
        if (!exponent.isEmpty())
            number.value += u'e' + exponent;
        number.format = kStandardFormat.toString();
    }
    return number;
}

void ClipboardTable::addRow(const QStringList& cells, bool headings)
{
    m_rows += QLatin1String("<tr>");
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString& cell = cells[i];
        const std::optional<Number> value =
            !headings && i < m_numeric.size() && m_numeric[i] ? number(cell) : std::nullopt;
        if (i > 0)
            m_text += u'\t';
        // A number goes as a spreadsheet reads one: no thousands separators.
        m_text += value ? value->plain : oneLine(cell);

        const char* tag = headings ? "th" : "td";
        m_rows += u'<' + QLatin1String(tag);
        if (value) {
            m_rows += QLatin1String(" sdval=\"") + value->value + QLatin1String("\" sdnum=\"") + kLanguages +
                      value->format + QLatin1String("\">");
        } else if (cell.isEmpty()) {
            m_rows += u'>';
        } else {
            m_rows += QLatin1String(" sdnum=\"") + kLanguages + kTextFormat + QLatin1String("\">");
        }
        appendEscaped(m_rows, cell);
        m_rows += QLatin1String("</") + QLatin1String(tag) + u'>';
    }
    m_rows += QLatin1String("</tr>\n");
    m_text += u'\n';
}

QString ClipboardTable::html() const
{
    return QLatin1String("<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\"></head>"
                         "<body><table>\n") +
           m_rows + QLatin1String("</table></body></html>\n");
}

QMimeData* ClipboardTable::mimeData() const
{
    auto* data = new QMimeData;
    data->setText(m_text);
    data->setHtml(html());
    return data;
}

} // namespace ui
