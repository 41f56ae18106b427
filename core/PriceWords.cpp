#include "core/PriceWords.h"

#include "core/Numbers.h"

#include <QStringList>

namespace core {

namespace {

constexpr std::int64_t maxEuros = 999'999'999'999;

const char* const units[] = {"zero",        "uno",      "due",    "tre",         "quattro",  "cinque",    "sei",
                             "sette",       "otto",     "nove",   "dieci",       "undici",   "dodici",    "tredici",
                             "quattordici", "quindici", "sedici", "diciassette", "diciotto", "diciannove"};
const char* const tens[] = {"",          "",         "venti",    "trenta",  "quaranta",
                            "cinquanta", "sessanta", "settanta", "ottanta", "novanta"};

QString below100(int n)
{
    if (n < 20)
        return QString::fromLatin1(units[n]);
    QString word = QString::fromLatin1(tens[n / 10]);
    const int unit = n % 10;
    if (unit == 1 || unit == 8)
        word.chop(1); // ventuno, trentotto: the tens lose their vowel before a vowel
    if (unit != 0)
        word += QString::fromLatin1(units[unit]);
    return word;
}

// 1..999; empty for 0. "cento" keeps its vowel throughout (centouno, centootto), as cheques write it.
QString below1000(int n)
{
    const int hundreds = n / 100;
    const int rest = n % 100;
    QString word;
    if (hundreds == 1)
        word = QStringLiteral("cento");
    else if (hundreds > 1)
        word = QString::fromLatin1(units[hundreds]) + QStringLiteral("cento");
    if (rest != 0)
        word += below100(rest);
    return word;
}

// 1..999,999 as one word, with the final "tre" of a compound accented (ventitré, milletré); empty for 0.
QString belowMillion(int n)
{
    const int thousands = n / 1000;
    const int rest = n % 1000;
    QString word;
    if (thousands == 1)
        word = QStringLiteral("mille");
    else if (thousands > 1)
        word = below1000(thousands) + QStringLiteral("mila");
    word += below1000(rest);
    if (word.size() > 3 && word.endsWith(QLatin1String("tre")))
        word.replace(word.size() - 1, 1, QChar(0x00E9));
    return word;
}

// "un milione", "due milioni", "ventuno milioni"; empty for 0.
QString scaled(int count, const char* one, const char* many)
{
    if (count == 0)
        return {};
    if (count == 1)
        return QStringLiteral("un ") + QString::fromLatin1(one);
    return belowMillion(count) + u' ' + QString::fromLatin1(many);
}

} // namespace

std::optional<std::int64_t> centsOf(double euros)
{
    if (!(euros >= 0))
        return std::nullopt;
    const std::optional<Cents> cents = toCents(euros);
    if (!cents || *cents > maxEuros * 100 + 99)
        return std::nullopt;
    return *cents;
}

QString priceInWords(double euros)
{
    const std::optional<std::int64_t> cents = centsOf(euros);
    if (!cents)
        return {};
    const std::int64_t whole = *cents / 100;
    QStringList words;
    for (const QString& part :
         {scaled(int(whole / 1'000'000'000), "miliardo", "miliardi"),
          scaled(int(whole / 1'000'000 % 1000), "milione", "milioni"), belowMillion(int(whole % 1'000'000))}) {
        if (!part.isEmpty())
            words << part;
    }
    if (words.isEmpty())
        words << QStringLiteral("zero");
    return QStringLiteral("euro ") + words.join(u' ') + u'/' +
           QStringLiteral("%1").arg(int(*cents % 100), 2, 10, QLatin1Char('0'));
}

} // namespace core
