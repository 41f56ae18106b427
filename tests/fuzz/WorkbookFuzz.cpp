// fuzz_workbook: the .xlsx and .ods reader of prezzario-build on any bytes, and a whole list read from what it
// gives. It may refuse a file only with a BuildError, within the memory libFuzzer allows (-rss_limit_mb) and
// without a crash; the seeds are small workbooks of both formats.
#include "tools/build/Builder.h"
#include "tools/build/ListSource.h"
#include "tests/fuzz/MemoryFile.h"
#include "tools/build/readers/Workbook.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static MemoryFile input("fuzz-workbook");
    const QString& path = input.write(std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        const builder::Workbook workbook = builder::Workbook::open(path);
        for (const QString& name : workbook.sheetNames()) {
            const std::unique_ptr<builder::SheetRows> rows = workbook.rows(name);
            while (rows && rows->next()) {
            }
        }
        builder::buildFrom(builder::ListSource::workbook(path), QString());
    } catch (const builder::BuildError&) {
    }
    return 0;
}
