#include "ui/ReportListRows.h"

namespace ui {

void ReportRow::clear()
{
    m_text.resize(0); // keeps the memory, unlike clear()
    m_ends.clear();
}

ReportRow& ReportRow::cell(const QString& text)
{
    return cellUtf8(text.toUtf8());
}

ReportRow& ReportRow::cellUtf8(QByteArrayView utf8)
{
    if (m_ends.size() >= kMaxCells)
        throw ListError(QStringLiteral("Una riga dell'elenco non può avere più di %1 colonne.").arg(kMaxCells));
    m_text.append(utf8);
    m_ends.append(static_cast<quint32>(m_text.size()));
    return *this;
}

ReportRow& ReportRow::emptyCell()
{
    return cellUtf8({});
}

} // namespace ui
