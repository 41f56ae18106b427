#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// Every figure the program makes or reads outside the database's own text forms: money in cents, the display
// of prices, amounts, quantities and percentages, what users type in number boxes, and numbers in files for
// other programs. Nothing here follows the C library's locale (LC_NUMERIC), which Qt sets from the
// environment: an Italian desktop would otherwise turn 112.93 into "112" or 112,93 into 112.
namespace core {

using Cents = std::int64_t;

// Sets LC_NUMERIC to "C" for the whole process, as every program of ours does right after making its
// application object: libraries that print or read numbers through the C library then write "12.5".
void useNeutralNumericLocale();

// While it lives, this thread's C library conversions use "C" numbers whatever LC_NUMERIC says: for a library
// that prints doubles itself (libxlsxwriter), even in a process that never called useNeutralNumericLocale.
class NeutralNumbersInThread
{
public:
    NeutralNumbersInThread();
    ~NeutralNumbersInThread();
    NeutralNumbersInThread(const NeutralNumbersInThread&) = delete;
    NeutralNumbersInThread& operator=(const NeutralNumbersInThread&) = delete;

private:
    void* m_neutral;
    void* m_previous;
};

// The value in whole cents, rounded half away from zero as the number reads in decimal: 1.005 gives 101 and
// 1375.695 gives 137570, although the doubles nearest them lie just below. Empty for infinity, NaN, or a
// magnitude of a thousand billion euros or more.
std::optional<Cents> toCents(double value);
double fromCents(Cents cents);
// The value rounded to the cent; a value toCents refuses is returned as it is.
double roundedToCents(double value);
// price × quantity rounded half-up to the cent: the amount of a row. Every total is the sum of such amounts.
std::optional<Cents> amountCents(double price, double quantity);

// A number of the database as the price list's own windows show it: at most 15 significant digits, no
// trailing zeros, the current locale's decimal separator and no grouping (12.34 * 27.5 / 100 gives "3,3935"
// in Italian, 2021 gives "2021").
QString numberText(double value);
void appendNumberUtf8(double value, QByteArray& out);

// Display, in 'locale' (by default the user's): prices and amounts with two decimals and thousands separators
// ("1.234,56"); quantities with up to three decimals, as computed, and thousands separators ("1.250,75",
// "141,248"); percentages with two decimals ("27,50"), signed when asked ("+3,25", "−" never shown for 0,00).
QString moneyText(double value, const QLocale& locale = QLocale());
QString moneyText(Cents cents, const QLocale& locale = QLocale());
QString quantityText(double value, const QLocale& locale = QLocale());
QString percentText(double value, const QLocale& locale = QLocale());
QString signedPercentText(double value, const QLocale& locale = QLocale());

// The number with 'decimalPoint', at most 15 significant digits, no exponent and no grouping, whatever the
// user's locale: for files other programs read ("1234.56", "12.5", "0.3"). Empty for infinity or NaN.
QString plainNumber(double value, QChar decimalPoint = u'.');

// What a user types for a quantity, a price or a percentage, read as Italians write numbers: "1.250,75",
// "1250,75", "2,5", and also "1250.75". A dot followed by groups of exactly three digits separates thousands
// ("1.500" is one thousand five hundred, never 1,5); a comma is the decimal separator, or a single dot that
// is not such a group. Blanks around the number are ignored. Empty text gives true and no value; text that
// is not a number gives false.
bool parseTypedNumber(QStringView typed, std::optional<double>& value);
// How to write a number, for the message that refuses one.
inline const QString kTypedNumberHint =
    QStringLiteral("scrivere cifre con la virgola per i decimali e, se si vuole, il punto per le migliaia "
                   "(1250,75 oppure 1.250,75)");

} // namespace core
