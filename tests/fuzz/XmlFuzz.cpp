// fuzz_xml: the SIX and XPWE readers of prezzario-build on any bytes, each building a whole list from them
// (--check). They may refuse a file only with a BuildError, within the memory libFuzzer allows
// (-rss_limit_mb) and without a crash or a stack overflow; the seeds are small files of both formats, in
// UTF-8 and UTF-16, with and without a DTD.
#include "tools/build/Builder.h"
#include "tests/fuzz/MemoryFile.h"
#include "tools/build/SixSource.h"
#include "tools/build/XpweSource.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static MemoryFile input("fuzz-xml");
    const QString& path = input.write(std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        builder::buildFrom(builder::SixSource(path, builder::SixOptions()).source(), QString());
    } catch (const builder::BuildError&) {
    }
    try {
        builder::buildFrom(builder::xpweSource(path), QString());
    } catch (const builder::BuildError&) {
    }
    return 0;
}
