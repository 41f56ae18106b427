#pragma once

#include "tools/build/readers/XmlGuard.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <zip.h>

#include <functional>
#include <memory>
#include <vector>

// The zip a workbook is, shared by the readers of its two formats (XlsxReader.cpp, OdsReader.cpp).
namespace builder::workbook {

// A limit hit or a rule broken inside a part: the reader names the part and the line.
struct Refusal
{
    QString text;
};

// One member of the zip, inflated as the XML reader asks for it: a large sheet is never held whole, and the
// guard stops it at its allowance.
class ZipMember
{
public:
    ZipMember(zip_file_t* file, qint64 allowance)
        : m_file(file), m_guard([this](char* data, qint64 size) { return read(data, size); }, allowance)
    {
    }
    ~ZipMember() { zip_fclose(m_file); }
    ZipMember(const ZipMember&) = delete;
    ZipMember& operator=(const ZipMember&) = delete;

    XmlGuard& device() { return m_guard; }
    const XmlGuard& device() const { return m_guard; }

private:
    qint64 read(char* data, qint64 size)
    {
        const zip_int64_t read = zip_fread(m_file, data, zip_uint64_t(size));
        return read < 0 ? -1 : read;
    }

    zip_file_t* m_file;
    XmlGuard m_guard;
};

struct Relationship;

// The zip of a workbook: its kind, its sheets, the shared strings of an .xlsx file, and the parts opened
// within the limits. Zip.cpp reads the zip; the members that read one format are defined beside its rows, in
// OdsReader.cpp and XlsxReader.cpp.
class Archive
{
public:
    struct Listed
    {
        QString name;
        QString member; // .xlsx: the worksheet's part; empty for a chart sheet
    };

    explicit Archive(const QString& path);
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool isOds() const { return m_ods; }
    const std::vector<Listed>& xlsxSheets() const { return m_sheets; }

    [[noreturn]] void fail(const QString& cause) const;

    // Opens a part for reading, once its sizes are seen to fit the limits; `size` is its uncompressed size.
    std::unique_ptr<ZipMember> open(const QString& member, qint64* size = nullptr);

    // After reading from a part: a limit the guard hit, or damaged XML, ends the reading with a message naming
    // the sheet (if any), the part and the line.
    void check(const QString& sheet, const QString& member, const ZipMember& part, const QXmlStreamReader& xml) const;

    [[noreturn]] void refuse(const QString& sheet, const QString& member, qint64 line, const QString& what) const;

    // Runs `body` over the XML of a whole part.
    void parse(const QString& member, const std::function<void(QXmlStreamReader&)>& body);

    // The shared strings of an .xlsx file, read on first use.
    const QStringList& sharedStrings();

private:
    [[noreturn]] void notWorkbook() const;
    bool has(const QString& member) const;

    // --- OpenDocument: its tables are found when they are read, all being in one part.
    void checkOds();

    // --- Office Open XML
    static QString relationshipsOf(const QString& member);
    static QString cleanPath(const QString& path);
    // The relationships of `member` by id, their targets resolved to member names.
    QHash<QString, Relationship> readRelationships(const QString& member);
    void listXlsx();

    QString m_path;
    // Freed even when the constructor gives up on the file after opening it.
    std::unique_ptr<zip_t, decltype(&zip_discard)> m_zip{nullptr, zip_discard};
    bool m_ods = false;
    std::vector<Listed> m_sheets;
    QString m_stringsMember;
    QStringList m_strings;
    bool m_stringsRead = false;
};

} // namespace builder::workbook
