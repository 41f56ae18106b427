#include "tools/build/readers/Workbook.h"

#include "tools/build/readers/OdsReader.h"
#include "tools/build/readers/XlsxReader.h"
#include "tools/build/readers/Zip.h"

namespace builder {

using workbook::Archive;

Workbook Workbook::open(const QString& path)
{
    Workbook workbook;
    workbook.m_archive = std::make_shared<Archive>(path);
    return workbook;
}

QStringList Workbook::sheetNames() const
{
    QStringList names;
    if (m_archive->isOds()) {
        names = workbook::odsSheetNames(m_archive);
    } else {
        for (const Archive::Listed& sheet : m_archive->xlsxSheets())
            names << sheet.name;
    }
    return names;
}

std::unique_ptr<SheetRows> Workbook::rows(QStringView name) const
{
    const auto same = [&](const QString& sheet) { return name.compare(sheet, Qt::CaseInsensitive) == 0; };
    if (m_archive->isOds())
        return workbook::odsRows(m_archive, same);
    for (const Archive::Listed& sheet : m_archive->xlsxSheets()) {
        if (same(sheet.name))
            return workbook::xlsxRows(m_archive, sheet.name, sheet.member);
    }
    return nullptr;
}

QString columnLetters(int column)
{
    QString letters;
    for (int rest = column + 1; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar(u'A' + (rest - 1) % 26));
    return letters;
}

} // namespace builder
