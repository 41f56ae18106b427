#pragma once

#include <QString>

#include <stdexcept>

namespace core {

// Failures of the platform layer (engine, list control). A user action catches Error once, at its
// event boundary, and shows text().
class Error : public std::runtime_error
{
public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// The database engine refused an operation: bad file, bad key, bad SQL, damaged page.
class DbError : public Error
{
public:
    using Error::Error;
};

} // namespace core
