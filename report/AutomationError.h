#pragma once

#include "core/Error.h"

#include <QString>

namespace report {

// An error raised by the spreadsheet wrapper itself, with the number, source and description that
// the automation run-time gives its errors. text() is the description.
class AutomationError : public core::Error
{
public:
    AutomationError(qint32 number, const QString& source, const QString& description)
        : core::Error(description), m_number(number), m_source(source)
    {
    }

    qint32 number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return text(); }

private:
    qint32 m_number;
    QString m_source;
};

// SetCell before Apri_Modello.
inline constexpr qint32 kFoglioNonApertoNumber = static_cast<qint32>(0x8008234BU);
inline const QString kFoglioNonApertoSource = QStringLiteral("Modulo Exel");
inline const QString kFoglioNonApertoDescription = QStringLiteral("Foglio non ancora aperto");

// LibreOffice, the helper or the template failed; text() tells the user what happened and what to do.
class OfficeError : public core::Error
{
public:
    enum class Kind {
        OfficeMissing,   // no LibreOffice, or LibreOffice without Calc
        HelperMissing,   // prezzario-calc is not in the application folder or cannot start
        TemplateMissing, // stampa.xls is missing or cannot be opened
        NotResponding,   // the office did not answer in time; it was left alone
        Closed,          // the office or the helper went away during the report
        Refused,         // the office refused one request (a bad sheet, range or format)
    };

    OfficeError(Kind kind, const QString& text) : core::Error(text), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// The report stopped on a condition of its own (a code no longer in the price list, no search mode).
class ReportError : public core::Error
{
public:
    using core::Error::Error;
};

} // namespace report
