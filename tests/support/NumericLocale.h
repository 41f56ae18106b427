#pragma once

#include <QByteArray>

namespace testing_support {

// While it lives, the C library's LC_NUMERIC is the Italian one, whatever locale the test run was started in:
// code that reads or prints numbers through the C library then writes "112,93" and reads "112.93" as 112.
// available() is false when the machine lacks it_IT.UTF-8 (build.sh generates it).
class ItalianNumericLocale
{
public:
    ItalianNumericLocale();
    ~ItalianNumericLocale();
    ItalianNumericLocale(const ItalianNumericLocale&) = delete;
    ItalianNumericLocale& operator=(const ItalianNumericLocale&) = delete;

    bool available() const { return m_available; }

private:
    QByteArray m_previous;
    bool m_available = false;
};

} // namespace testing_support
