#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace core {

// A text of the price list as the engine holds it: UTF-8, with Null distinct from empty. Kept in UTF-8
// because the lists store their cells so; a QString is made only when asked for.
class Text
{
public:
    Text() = default; // Null
    static Text fromUtf8(QByteArrayView utf8) { return Text(QByteArray(utf8.data(), utf8.size())); }
    static Text fromString(const QString& text) { return Text(text.toUtf8()); }

    bool isNull() const { return m_null; }
    bool isEmpty() const { return m_utf8.isEmpty(); }
    // The text, "" for Null.
    QString toString() const { return QString::fromUtf8(m_utf8); }
    QByteArrayView utf8() const { return m_utf8; }

    friend bool operator==(const Text& a, const Text& b) { return a.m_null == b.m_null && a.m_utf8 == b.m_utf8; }

private:
    explicit Text(QByteArray utf8) : m_utf8(std::move(utf8)), m_null(false) {}

    QByteArray m_utf8;
    bool m_null = true;
};

} // namespace core
