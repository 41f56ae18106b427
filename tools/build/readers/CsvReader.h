#pragma once

#include "tools/build/readers/TableReader.h"

#include <QString>

#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct csv_parser;

namespace builder {

// How the CSV files of a price list are written. Spreadsheet programs on Italian settings save "CSV" with
// ';' between fields, decimal commas and, on Windows, Windows-1252 text.
struct CsvOptions
{
    enum class Encoding {
        Utf8,
        Windows1252,
    };
    Encoding encoding = Encoding::Utf8;
    // Decimal commas even with ',' between fields (where the field is then quoted); with ';' they are
    // the rule anyway.
    bool decimalComma = false;
};

// Reads one RFC 4180 CSV file record by record through libcsv, streaming. The separator, ',' or ';', is
// the one the header line uses. An unquoted empty field is Null, a quoted one ("") is empty text. Lines
// are those of the file as a text editor counts them, a record being named by its first line.
class CsvReader : public TableReader
{
public:
    explicit CsvReader(const QString& path, const CsvOptions& options = {});
    ~CsvReader() override;
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // Each name of `columns` must appear exactly once (letter case aside) and no other name may.
    void readHeader(std::span<const std::string_view> columns) override;
    bool next() override;
    // Text that is not UTF-8 ends the file's reading (BuildError), with the option that reads it.
    Field field(int column) const override;
    QString row() const override;
    qint64 line() const override { return m_current.line; }
    QString table() const override { return fileName(); }
    qint64 done() const override { return m_bytesRead; }
    qint64 size() const override { return m_size; }
    DecimalSeparator decimalSeparator() const override
    {
        return m_decimalComma ? DecimalSeparator::Comma : DecimalSeparator::Point;
    }

    char separator() const { return m_separator; }
    QString fileName() const;

private:
    struct Record
    {
        std::vector<std::optional<std::string>> fields;
        qint64 line = 0;
    };

    bool fill();
    void feed(const char* data, size_t size);
    void detectSeparator();
    [[noreturn]] void failLine(qint64 line, const QString& what) const;
    static void onField(void* data, size_t size, void* self);
    static void onRecord(int terminator, void* self);
    QString decode(const std::string& raw, bool* ok) const;

    QString m_path;
    CsvOptions m_options;
    int m_fd = -1;
    csv_parser* m_parser = nullptr;
    char m_separator = ',';
    bool m_decimalComma = false;
    std::vector<char> m_buffer;
    size_t m_pos = 0;
    size_t m_end = 0;
    bool m_eof = false;
    bool m_finished = false;
    bool m_firstBlock = true;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
    bool m_atRecordStart = true;
    bool m_afterCarriageReturn = false; // the last line ended with CR: an LF right after it ends no other line
    qint64 m_recordBytes = 0;
    qint64 m_bytesRead = 0;
    qint64 m_size = 0;

    Record m_building;
    std::deque<Record> m_ready;
    Record m_current;
    std::vector<int> m_position; // column index -> field index in the file
    size_t m_fieldCount = 0;
};

} // namespace builder
