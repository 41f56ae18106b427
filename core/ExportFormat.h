#pragma once

#include <QStringView>

#include <optional>

namespace core {

// The files chosen items are exported to.
enum class ExportFormat { Pdf, Xlsx, Csv, Xpwe };

// What a collection's export holds: the unit prices of its items, or the computo metrico estimativo with its
// measurement lines, chapters, amounts and labour costs. An XPWE file always holds both.
enum class ExportDocumentKind { Elenco, Computo };

// The format a file's extension or a format's name gives ("pdf", "xlsx", "csv", "xpwe", in any case).
inline std::optional<ExportFormat> exportFormatNamed(QStringView name)
{
    const struct
    {
        QStringView name;
        ExportFormat format;
    } formats[] = {{u"pdf", ExportFormat::Pdf}, {u"xlsx", ExportFormat::Xlsx}, {u"csv", ExportFormat::Csv},
                   {u"xpwe", ExportFormat::Xpwe}};
    for (const auto& format : formats) {
        if (name.compare(format.name, Qt::CaseInsensitive) == 0)
            return format.format;
    }
    return std::nullopt;
}

} // namespace core
