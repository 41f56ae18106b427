#pragma once

#include <QString>

#include <stdexcept>

namespace builder {

// Every failure of a build: the text names the file and the cause (for CSV also line and column).
class BuildError : public std::runtime_error
{
public:
    explicit BuildError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

} // namespace builder
