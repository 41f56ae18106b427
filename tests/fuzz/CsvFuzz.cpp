// fuzz_csv: the CSV reader of prezzario-build on any bytes. It may refuse a file only with a BuildError;
// a file it reads whole must read back the same once written out again as plain RFC 4180 CSV, every
// field quoted.
#include "tools/build/Builder.h"
#include "tools/build/readers/CsvReader.h"
#include "tools/build/FieldRules.h"
#include "tests/fuzz/MemoryFile.h"

#include <QString>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::array<std::string_view, 4> kColumns = {"codice", "descrizione", "quantita", "prezzo"};

// What each accessor gave for one field; nullopt where it refused the field.
struct Field
{
    bool null = false;
    std::optional<QString> text;
    std::optional<qint64> integer;
    std::optional<std::optional<double>> number;

    // Null is told apart by 'null': a null QString equals an empty one.
    bool operator==(const Field&) const = default;
};

using Record = std::vector<Field>;

template <typename T, typename Read> std::optional<T> attempt(Read read)
{
    try {
        return read();
    } catch (const builder::BuildError&) {
        return std::nullopt;
    }
}

struct Table
{
    char separator = ',';
    std::vector<Record> records;
};

// Reads a whole file; nullopt when the reader refused it or any field's text.
std::optional<Table> readAll(const QString& path)
{
    try {
        builder::CsvReader reader(path);
        reader.readHeader(kColumns);
        Table table;
        bool textRefused = false;
        while (reader.next()) {
            Record& record = table.records.emplace_back();
            for (int column = 0; column < int(kColumns.size()); ++column) {
                Field field;
                field.null = attempt<bool>([&] { return reader.field(column).kind == builder::Field::Kind::Null; })
                                 .value_or(false);
                field.text = attempt<QString>([&] { return reader.field(column).text; });
                textRefused = textRefused || !field.text;
                attempt<QString>([&] { return builder::rules::requiredText(reader, column); });
                attempt<std::optional<QString>>([&] { return builder::rules::optionalText(reader, column); });
                field.integer = attempt<qint64>([&] { return builder::rules::integer(reader, column); });
                field.number =
                    attempt<std::optional<double>>([&] { return builder::rules::optionalNumber(reader, column); });
                record.push_back(std::move(field));
            }
        }
        table.separator = reader.separator();
        if (textRefused)
            return std::nullopt;
        return table;
    } catch (const builder::BuildError&) {
        return std::nullopt;
    }
}

// The records again, every field quoted, with the separator they were read with (it decides the decimal
// separator too).
std::string quotedCsv(const std::vector<Record>& records, char separator)
{
    std::string out;
    for (size_t c = 0; c < kColumns.size(); ++c)
        out += (c ? std::string(1, separator) + "\"" : "\"") + std::string(kColumns[c]) + "\"";
    out += "\r\n";
    for (const Record& record : records) {
        for (size_t c = 0; c < record.size(); ++c) {
            if (c)
                out += separator;
            if (record[c].null)
                continue;
            out += '"';
            for (const char ch : record[c].text->toStdString())
                out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

void print(const char* title, std::string_view bytes)
{
    std::fprintf(stderr, "%s (%zu bytes):\n", title, bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 0x20 && byte < 0x7F && c != '\\') || c == '\n')
            std::fputc(c, stderr);
        else
            std::fprintf(stderr, "\\x%02X", byte);
    }
    std::fputc('\n', stderr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static MemoryFile input("fuzz-csv");
    static MemoryFile rewritten("fuzz-csv-rewritten");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::optional<Table> table = readAll(input.write(bytes));
    if (!table)
        return 0;
    const std::string again = quotedCsv(table->records, table->separator);
    const std::optional<Table> reread = readAll(rewritten.write(again));
    if (!reread || reread->records != table->records) {
        std::fprintf(stderr, "\nThe file read back differently once written out again, every field quoted.\n");
        print("Input", bytes);
        print("Written out again", again);
        std::fprintf(stderr, "%s\n", reread ? "Different records." : "Refused when read back.");
        std::abort();
    }
    return 0;
}
