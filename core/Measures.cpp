#include "core/Measures.h"

#include <QVarLengthArray>

#include <charconv>
#include <cmath>

namespace core {

namespace {

// Longer than any factor anybody types; a longer one is refused before it is read.
constexpr qsizetype kMaxFactorLength = 200;

// Operator precedence parsing with explicit stacks: no recursion, however deep the parentheses go.
class Evaluator
{
public:
    bool run(QStringView text, double& result)
    {
        bool expectOperand = true;
        qsizetype i = 0;
        while (i < text.size()) {
            const QChar c = text[i];
            if (c.isSpace()) {
                ++i;
            } else if (c.isDigit() || c == u',' || c == u'.') {
                if (!expectOperand)
                    return failed(QStringLiteral("manca un operatore prima di «%1»").arg(c));
                const qsizetype start = i;
                while (i < text.size() && (text[i].isDigit() || text[i] == u',' || text[i] == u'.'))
                    ++i;
                if (!number(text.sliced(start, i - start)))
                    return false;
                expectOperand = false;
            } else if (c == u'(') {
                if (!expectOperand)
                    return failed(QStringLiteral("manca un operatore prima di «(»"));
                m_operators.append(u'(');
                ++i;
            } else if (c == u')') {
                if (expectOperand)
                    return failed(QStringLiteral("manca un numero prima di «)»"));
                while (!m_operators.isEmpty() && m_operators.back() != u'(') {
                    if (!apply())
                        return false;
                }
                if (m_operators.isEmpty())
                    return failed(QStringLiteral("una parentesi «)» non è stata aperta"));
                m_operators.pop_back();
                ++i;
            } else if (c == u'+' || c == u'-' || c == u'*' || c == u'/' || c == u'×' || c == u'−') {
                const QChar op = c == u'×' ? u'*' : c == u'−' ? u'-' : c;
                if (expectOperand) {
                    if (op != u'+' && op != u'-')
                        return failed(QStringLiteral("manca un numero prima di «%1»").arg(c));
                    // A sign: applied to what follows before any other operator.
                    m_operators.append(op == u'-' ? QChar(u'n') : QChar(u'p'));
                } else {
                    while (!m_operators.isEmpty() && m_operators.back() != u'(' &&
                           precedence(m_operators.back()) >= precedence(op)) {
                        if (!apply())
                            return false;
                    }
                    m_operators.append(op);
                    expectOperand = true;
                }
                ++i;
            } else {
                return failed(QStringLiteral("il carattere «%1» non è ammesso").arg(c));
            }
        }
        if (expectOperand)
            return failed(QStringLiteral("l'espressione finisce senza un numero"));
        while (!m_operators.isEmpty()) {
            if (m_operators.back() == u'(')
                return failed(QStringLiteral("una parentesi «(» non è stata chiusa"));
            if (!apply())
                return false;
        }
        result = m_values.back();
        if (!std::isfinite(result))
            return failed(QStringLiteral("il risultato è troppo grande"));
        return true;
    }

    QString fault;

private:
    static int precedence(QChar op)
    {
        if (op == u'n' || op == u'p')
            return 3;
        return op == u'*' || op == u'/' ? 2 : 1;
    }

    bool number(QStringView digits)
    {
        QByteArray plain = digits.toLatin1();
        plain.replace(',', '.');
        if (plain.count('.') > 1)
            return failed(QStringLiteral("«%1» non è un numero: una sola virgola per i decimali").arg(digits));
        if (plain == ".")
            return failed(QStringLiteral("«%1» non è un numero").arg(digits));
        if (plain.startsWith('.'))
            plain.prepend('0');
        if (plain.endsWith('.'))
            plain.append('0');
        double value = 0;
        const auto [end, error] = std::from_chars(plain.constData(), plain.constData() + plain.size(), value);
        if (error != std::errc() || end != plain.constData() + plain.size())
            return failed(QStringLiteral("«%1» non è un numero").arg(digits));
        m_values.append(value);
        return true;
    }

    bool apply()
    {
        const QChar op = m_operators.back();
        m_operators.pop_back();
        if (op == u'n' || op == u'p') {
            if (op == u'n')
                m_values.back() = -m_values.back();
            return true;
        }
        const double right = m_values.back();
        m_values.pop_back();
        double& left = m_values.back();
        if (op == u'+')
            left += right;
        else if (op == u'-')
            left -= right;
        else if (op == u'*')
            left *= right;
        else if (right == 0)
            return failed(QStringLiteral("divisione per zero"));
        else
            left /= right;
        return true;
    }

    bool failed(const QString& why)
    {
        fault = why;
        return false;
    }

    QVarLengthArray<double, 16> m_values;
    QVarLengthArray<QChar, 16> m_operators;
};

} // namespace

bool evaluateFactor(QStringView text, std::optional<double>& value, QString& fault)
{
    value.reset();
    fault.clear();
    const QStringView typed = text.trimmed();
    if (typed.isEmpty())
        return true;
    if (typed.size() > kMaxFactorLength) {
        fault = QStringLiteral("l'espressione supera i %1 caratteri").arg(kMaxFactorLength);
        return false;
    }
    Evaluator evaluator;
    double result = 0;
    if (!evaluator.run(typed, result)) {
        fault = evaluator.fault;
        return false;
    }
    // -0 would show as "-0".
    value = result == 0 ? 0.0 : result;
    return true;
}

bool isNote(const MeasureLine& line)
{
    for (const QString& factor : line.factors) {
        if (!factor.trimmed().isEmpty())
            return false;
    }
    return true;
}

std::optional<double> lineQuantity(const MeasureLine& line)
{
    if (isNote(line))
        return 0.0;
    double product = 1;
    for (const QString& factor : line.factors) {
        std::optional<double> value;
        QString fault;
        if (!evaluateFactor(factor, value, fault))
            return std::nullopt;
        if (value)
            product *= *value;
    }
    return product == 0 ? 0.0 : product;
}

std::optional<double> linesQuantity(const QList<MeasureLine>& lines)
{
    if (lines.isEmpty())
        return std::nullopt;
    double sum = 0;
    for (const MeasureLine& line : lines)
        sum += lineQuantity(line).value_or(0);
    return sum;
}

QString factorHeading(Factor which)
{
    static const QString headings[kFactors] = {QStringLiteral("Parti uguali"), QStringLiteral("Lunghezza"),
                                               QStringLiteral("Larghezza"), QStringLiteral("H/Peso")};
    return headings[int(which)];
}

QString measureFault(const QList<MeasureLine>& lines)
{
    for (qsizetype row = 0; row < lines.size(); ++row) {
        for (int f = 0; f < kFactors; ++f) {
            std::optional<double> value;
            QString fault;
            if (!evaluateFactor(lines[row].factors[std::size_t(f)], value, fault))
                return QStringLiteral("riga %1, «%2»: %3").arg(row + 1).arg(factorHeading(Factor(f)), fault);
        }
    }
    return {};
}

} // namespace core
