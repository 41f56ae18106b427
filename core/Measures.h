#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// Measurement lines (righe di misura): how an item's quantity was measured, line by line, as estimating
// programs keep it. Each line has a description and up to four factors, each written as the user typed it.
namespace core {

enum class Factor { PartiUguali, Lunghezza, Larghezza, HPeso };
constexpr int kFactors = 4;

struct MeasureLine
{
    QString descrizione;
    std::array<QString, kFactors> factors; // as typed: "2", "4,50", "(4,50+1,20)/2", or empty

    QString& factor(Factor which) { return factors[std::size_t(which)]; }
    const QString& factor(Factor which) const { return factors[std::size_t(which)]; }
    bool operator==(const MeasureLine&) const = default;
};

// The value of a factor as estimating programs write one: numbers of digits with a decimal comma or point,
// + - * /, a sign before a number or a parenthesis, and parentheses. Blank text gives true and no value;
// anything else that cannot be read (a letter, a thousands separator, an unclosed parenthesis, a division by
// zero) gives false and, in 'fault', what is wrong in Italian.
bool evaluateFactor(QStringView text, std::optional<double>& value, QString& fault);

// A line without any factor is a note: it measures nothing.
bool isNote(const MeasureLine& line);
// The product of the line's filled factors (an empty one counts as 1 when another is filled), 0 for a note; a
// negative factor makes the line a deduction. None when a factor cannot be read.
std::optional<double> lineQuantity(const MeasureLine& line);
// The sum of the lines' quantities, lines that cannot be read counting 0; none for no lines at all.
std::optional<double> linesQuantity(const QList<MeasureLine>& lines);

// The first factor of the lines that cannot be read, as "riga 3, «Lunghezza»: …"; empty when all can.
QString measureFault(const QList<MeasureLine>& lines);
// "Parti uguali", "Lunghezza", "Larghezza", "H/Peso".
QString factorHeading(Factor which);

} // namespace core
