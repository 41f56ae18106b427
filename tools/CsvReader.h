#pragma once

#include <QFile>
#include <QString>

#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct csv_parser;

namespace builder {

// Reads one RFC 4180 CSV file (UTF-8, optional BOM, comma separator) record by record through
// libcsv, streaming, and maps its header onto the columns a table needs. An unquoted empty field is
// Null, a quoted one ("") is empty text. Problems throw BuildError naming file, line and column;
// lines are those of the file as a text editor counts them, a record being named by its first line.
class CsvReader
{
public:
    explicit CsvReader(const QString& path);
    ~CsvReader();
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // Reads the header. Each name of `columns` must appear exactly once (letter case aside) and no
    // other name may: afterwards column i of the accessors is columns[i], wherever it stands in the file.
    void readHeader(std::span<const std::string_view> columns);

    // Moves to the next data record; false at the end of the file.
    bool next();
    qint64 line() const { return m_current.line; }

    bool isNull(int column) const;
    // The field as text (Null gives a null QString); refuses bytes that are not UTF-8.
    QString text(int column) const;
    // Not Null, else an error naming the column.
    QString requiredText(int column) const;
    std::optional<QString> optionalText(int column) const;
    // Whole number (digits, optional sign); Null refused.
    qint64 integer(int column) const;
    // Decimal number with "." as the decimal point; Null gives nullopt.
    std::optional<double> optionalNumber(int column) const;

    [[noreturn]] void fail(int column, const QString& what) const;
    [[noreturn]] void failLine(qint64 line, const QString& what) const;

    QString fileName() const;
    qint64 bytesRead() const { return m_bytesRead; }
    qint64 size() const { return m_size; }

private:
    struct Record
    {
        std::vector<std::optional<std::string>> fields;
        qint64 line = 0;
    };

    bool fill();
    void feed(const char* data, size_t size);
    static void onField(void* data, size_t size, void* self);
    static void onRecord(int terminator, void* self);
    const std::optional<std::string>& field(int column) const;

    QString m_path;
    QFile m_file;
    csv_parser* m_parser = nullptr;
    std::vector<char> m_buffer;
    size_t m_pos = 0;
    size_t m_end = 0;
    bool m_eof = false;
    bool m_finished = false;
    bool m_firstBlock = true;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
    bool m_atRecordStart = true;
    qint64 m_bytesRead = 0;
    qint64 m_size = 0;

    Record m_building;
    std::deque<Record> m_ready;
    Record m_current;
    std::vector<std::string_view> m_names;
    std::vector<int> m_position; // column index -> field index in the file
    size_t m_fieldCount = 0;
};

} // namespace builder
