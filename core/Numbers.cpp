#include "core/Numbers.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <locale.h>

namespace core {

namespace {

// A thousand billion euros, in cents: far above any price list, and well inside a double's exact integers.
constexpr double kLargest = 1e14;

// value × 10^decimals as a whole number, rounded half away from zero as the value reads in decimal: through
// its 15 significant digits the binary noise goes (1.005 × 100 is 100.49999999999999, read as 100.5).
std::optional<std::int64_t> scaled(double value, int decimals)
{
    const double factor = decimals == 3 ? 1000.0 : decimals == 2 ? 100.0 : 1.0;
    if (!std::isfinite(value) || std::abs(value) * factor >= kLargest)
        return std::nullopt;
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value * factor, std::chars_format::general, 15);
    double decimal = 0;
    if (error != std::errc() || std::from_chars(text, end, decimal).ec != std::errc())
        return std::nullopt;
    return static_cast<std::int64_t>(std::round(decimal));
}

// "1.234.567" in the locale's form: grouped unless the locale omits grouping.
QString whole(std::int64_t magnitude, const QLocale& locale)
{
    return locale.toString(qulonglong(magnitude));
}

// A scaled whole number as text: sign, grouped units, then 'decimals' digits after the locale's point, the
// trailing zeros dropped when 'trim' (a quantity of 2 shows "2", not "2,000").
QString scaledText(std::int64_t number, int decimals, bool trim, const QLocale& locale)
{
    const std::int64_t factor = decimals == 3 ? 1000 : 100;
    const std::int64_t magnitude = number < 0 ? -number : number;
    QString text = number < 0 ? locale.negativeSign() : QString();
    text += whole(magnitude / factor, locale);
    QString fraction = QStringLiteral("%1").arg(magnitude % factor, decimals, 10, QLatin1Char('0'));
    if (trim) {
        while (fraction.endsWith(u'0'))
            fraction.chop(1);
    }
    if (!fraction.isEmpty())
        text += locale.decimalPoint() + fraction;
    return text;
}

bool allDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// "1.234.567": groups of three after a first of one to three that does not start with 0.
bool groupedThousands(QStringView text, QString& digits)
{
    const QList<QStringView> groups = text.split(u'.');
    if (groups.size() < 2 || groups[0].isEmpty() || groups[0].size() > 3 || groups[0][0] == u'0')
        return false;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        if (!allDigits(groups[i]) || (i > 0 && groups[i].size() != 3))
            return false;
    }
    for (const QStringView group : groups)
        digits += group;
    return true;
}

} // namespace

void useNeutralNumericLocale()
{
    std::setlocale(LC_NUMERIC, "C");
}

NeutralNumbersInThread::NeutralNumbersInThread() : m_neutral(nullptr), m_previous(nullptr)
{
    // The process's locale with "C" numbers: newlocale takes the copy over, or leaves it to be freed.
    const locale_t base = duplocale(LC_GLOBAL_LOCALE);
    const locale_t neutral = base ? newlocale(LC_NUMERIC_MASK, "C", base) : nullptr;
    if (!neutral) {
        if (base)
            freelocale(base);
        return;
    }
    m_neutral = neutral;
    m_previous = uselocale(neutral);
}

NeutralNumbersInThread::~NeutralNumbersInThread()
{
    if (!m_neutral)
        return;
    uselocale(static_cast<locale_t>(m_previous));
    freelocale(static_cast<locale_t>(m_neutral));
}

std::optional<Cents> toCents(double value)
{
    return scaled(value, 2);
}

double fromCents(Cents cents)
{
    return double(cents) / 100;
}

double roundedToCents(double value)
{
    const std::optional<Cents> cents = toCents(value);
    return cents ? fromCents(*cents) + 0.0 : value;
}

std::optional<Cents> amountCents(double price, double quantity)
{
    return toCents(price * quantity);
}

QString moneyText(Cents cents, const QLocale& locale)
{
    return scaledText(cents, 2, false, locale);
}

QString moneyText(double value, const QLocale& locale)
{
    if (const std::optional<Cents> cents = toCents(value))
        return moneyText(*cents, locale);
    return locale.toString(value, 'f', 2);
}

QString quantityText(double value, const QLocale& locale)
{
    if (const std::optional<std::int64_t> thousandths = scaled(value, 3))
        return scaledText(*thousandths, 3, true, locale);
    return locale.toString(value, 'g', 15);
}

QString percentText(double value, const QLocale& locale)
{
    return moneyText(value, locale);
}

QString signedPercentText(double value, const QLocale& locale)
{
    const std::optional<Cents> hundredths = toCents(value);
    if (!hundredths)
        return locale.toString(value, 'f', 2);
    // Never "-0,00": a fall too small to show is no fall.
    if (*hundredths > 0)
        return u'+' + moneyText(*hundredths, locale);
    return moneyText(*hundredths, locale);
}

QString plainNumber(double value, QChar decimalPoint)
{
    if (!std::isfinite(value))
        return {};
    // The 15-digit form first, so that a value computed or typed reads as its decimal ("0.3", not
    // "0.30000000000000004"); then its shortest fixed-point text.
    char text[400];
    const std::to_chars_result digits = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    double decimal = 0;
    if (digits.ec != std::errc() || std::from_chars(text, digits.ptr, decimal).ec != std::errc())
        return {};
    const std::to_chars_result fixed = std::to_chars(text, text + sizeof text, decimal + 0.0, std::chars_format::fixed);
    if (fixed.ec != std::errc())
        return {};
    QString plain = QString::fromLatin1(text, fixed.ptr - text);
    if (decimalPoint != u'.')
        plain.replace(u'.', decimalPoint);
    return plain;
}

bool parseTypedNumber(QStringView typed, std::optional<double>& value)
{
    const QStringView text = typed.trimmed();
    value.reset();
    if (text.isEmpty())
        return true;
    QString plain;
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0) {
        const QStringView integer = text.first(comma);
        const QStringView fraction = text.sliced(comma + 1);
        if (!allDigits(fraction))
            return false;
        if (integer.contains(u'.')) {
            if (!groupedThousands(integer, plain))
                return false;
        } else if (allDigits(integer)) {
            plain = integer.toString();
        } else {
            return false;
        }
        plain += u'.' + fraction.toString();
    } else if (text.count(u'.') > 1) {
        if (!groupedThousands(text, plain))
            return false;
    } else if (text.count(u'.') == 1 && groupedThousands(text, plain)) {
        // "1.500": one thousand five hundred
    } else {
        plain = text.toString();
        if (!allDigits(QString(plain).remove(u'.')))
            return false;
    }
    if (plain == u"." || plain.isEmpty())
        return false;
    // "5," and ",5" are 5 and 0,5; from_chars wants a digit on each side of the point.
    if (plain.startsWith(u'.'))
        plain.prepend(u'0');
    if (plain.endsWith(u'.'))
        plain.append(u'0');
    const QByteArray latin = plain.toLatin1();
    double read = 0;
    const auto [end, error] = std::from_chars(latin.constData(), latin.constData() + latin.size(), read);
    if (error != std::errc() || end != latin.constData() + latin.size() || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

// The database's own numbers, as the windows of the price list show them.

namespace {

QString qtNumberText(const QLocale& locale, double value)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 15);
}

// The current locale's signs in UTF-8, looked up again only when the default locale changes.
struct LocaleSigns
{
    QLocale locale;
    QByteArray decimalPoint;
    QByteArray minus;

    static const LocaleSigns& current()
    {
        thread_local LocaleSigns signs = make(QLocale());
        const QLocale now;
        if (now != signs.locale)
            signs = make(now);
        return signs;
    }

    static LocaleSigns make(const QLocale& locale)
    {
        return LocaleSigns{locale, locale.decimalPoint().toUtf8(), locale.negativeSign().toUtf8()};
    }
};

// Appends the number's text when the quick way gives it: the shortest form that reads back as the same
// number is the 15-digit text whenever it needs at most 15 digits and no exponent (prices always do),
// and it is far cheaper than the locale's formatting.
bool appendQuickly(double value, const LocaleSigns& signs, QByteArray& out)
{
    if (value == 0) {
        out += '0'; // also -0
        return true;
    }
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general);
    if (error != std::errc())
        return false;
    int digits = 0;
    bool leading = true;
    for (const char* c = buffer; c != end; ++c) {
        if (*c == 'e')
            return false;
        if (*c >= '0' && *c <= '9') {
            leading = leading && *c == '0';
            digits += leading ? 0 : 1;
        }
    }
    if (digits > 15)
        return false;
    for (const char* c = buffer; c != end; ++c) {
        if (*c == '.')
            out += signs.decimalPoint;
        else if (*c == '-')
            out += signs.minus;
        else
            out += *c;
    }
    return true;
}

} // namespace

QString numberText(double value)
{
    const LocaleSigns& signs = LocaleSigns::current();
    QByteArray quick;
    if (appendQuickly(value, signs, quick))
        return QString::fromUtf8(quick);
    return qtNumberText(signs.locale, value);
}

void appendNumberUtf8(double value, QByteArray& out)
{
    const LocaleSigns& signs = LocaleSigns::current();
    if (!appendQuickly(value, signs, out))
        out += qtNumberText(signs.locale, value).toUtf8();
}

} // namespace core
