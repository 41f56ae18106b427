#include "tools/build/readers/Zip.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include "tools/build/readers/BuildError.h"
#include "tools/build/readers/InputLimits.h"

#include <algorithm>

namespace builder::workbook {

Archive::Archive(const QString& path) : m_path(path)
{
    const QFileInfo info(path);
    if (!info.exists())
        fail(QStringLiteral("il file non esiste"));
    if (info.isDir())
        fail(QStringLiteral("è una cartella, non un file"));
    if (!info.isFile())
        fail(QStringLiteral("non è un file normale (è un dispositivo, una pipe o un socket)"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("il file non si può aprire in lettura"));
    const bool zipped = file.read(2) == "PK";
    file.close();
    int code = 0;
    m_zip.reset(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    if (!m_zip && code == ZIP_ER_MEMORY)
        fail(QStringLiteral("memoria insufficiente"));
    if (!m_zip && zipped)
        fail(QStringLiteral("il file è danneggiato o incompleto"));
    if (!m_zip)
        notWorkbook();
    if (zip_get_num_entries(m_zip.get(), 0) > limits::kMaxZipMembers)
        fail(QStringLiteral("contiene più di %1 parti: non è un foglio di calcolo salvato da un programma")
                 .arg(limits::kMaxZipMembers));
    m_ods = has(QStringLiteral("mimetype")) || has(QStringLiteral("content.xml"));
    if (m_ods)
        checkOds();
    else
        listXlsx();
}

void Archive::fail(const QString& cause) const
{
    throw BuildError(QStringLiteral("Impossibile leggere «%1»: %2").arg(m_path, cause));
}

std::unique_ptr<ZipMember> Archive::open(const QString& member, qint64* size)
{
    const QByteArray name = member.toUtf8();
    zip_stat_t stat;
    zip_stat_init(&stat);
    qint64 declared = 0;
    if (zip_stat(m_zip.get(), name.constData(), ZIP_FL_NOCASE, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
        declared = qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(limits::kMaxPartBytes) + 1));
        const qint64 packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? qint64(stat.comp_size) : declared;
        if (declared > limits::kRatioCheckedFrom &&
            declared / std::max<qint64>(packed, 1) > limits::kMaxCompressionRatio)
            fail(QStringLiteral("la parte «%1» decompressa è più di %2 volte più grande che compressa (%3 byte "
                                "da %4): non è un foglio di calcolo salvato da un programma")
                     .arg(member)
                     .arg(limits::kMaxCompressionRatio)
                     .arg(declared)
                     .arg(packed));
        if (declared > limits::kMaxPartBytes)
            fail(QStringLiteral("la parte «%1» supera il limite di %2 una volta decompressa")
                     .arg(member, limits::bytesText(limits::kMaxPartBytes)));
    }
    if (size)
        *size = declared;
    if (zip_file_t* file = zip_fopen(m_zip.get(), name.constData(), ZIP_FL_NOCASE))
        return std::make_unique<ZipMember>(file, limits::kMaxPartBytes);
    switch (zip_error_code_zip(zip_get_error(m_zip.get()))) {
    case ZIP_ER_NOENT:
        fail(QStringLiteral("manca la parte «%1»: il file è incompleto").arg(member));
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_ENCRNOTSUPP:
        fail(QStringLiteral("il file è protetto da password: salvarlo di nuovo senza password"));
    case ZIP_ER_MEMORY:
        fail(QStringLiteral("memoria insufficiente"));
    default:
        fail(QStringLiteral("contenuto danneggiato (%1)").arg(member));
    }
}

void Archive::check(const QString& sheet, const QString& member, const ZipMember& part,
                    const QXmlStreamReader& xml) const
{
    if (!part.device().problem().isEmpty())
        refuse(sheet, member, part.device().line(), part.device().problem());
    if (!part.device().sourceFailed() && !xml.hasError())
        return;
    QString place = member;
    if (xml.hasError())
        place += QStringLiteral(", riga %1, colonna %2").arg(xml.lineNumber()).arg(xml.columnNumber());
    if (sheet.isEmpty())
        fail(QStringLiteral("contenuto danneggiato (%1)").arg(place));
    fail(QStringLiteral("contenuto danneggiato nel foglio «%1» (%2)").arg(sheet, place));
}

void Archive::refuse(const QString& sheet, const QString& member, qint64 line, const QString& what) const
{
    const QString place = QStringLiteral("%1, riga %2").arg(member).arg(line);
    fail(QStringLiteral("%1: %2").arg(sheet.isEmpty() ? place : QStringLiteral("foglio «%1», %2").arg(sheet, place),
                                      what));
}

void Archive::parse(const QString& member, const std::function<void(QXmlStreamReader&)>& body)
{
    const std::unique_ptr<ZipMember> part = open(member);
    QXmlStreamReader xml(&part->device());
    try {
        body(xml);
    } catch (const Refusal& refusal) {
        refuse({}, member, xml.lineNumber(), refusal.text);
    }
    check({}, member, *part, xml);
}

void Archive::notWorkbook() const
{
    fail(QStringLiteral("non è un file .xlsx o .ods (un file .xls o protetto da password va salvato di nuovo "
                        "come .xlsx o .ods, senza password)"));
}

bool Archive::has(const QString& member) const
{
    return zip_name_locate(m_zip.get(), member.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
}

} // namespace builder::workbook
