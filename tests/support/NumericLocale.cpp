#include "tests/support/NumericLocale.h"

#include <clocale>

namespace testing_support {

ItalianNumericLocale::ItalianNumericLocale() : m_previous(std::setlocale(LC_NUMERIC, nullptr))
{
    m_available = std::setlocale(LC_NUMERIC, "it_IT.UTF-8") != nullptr;
}

ItalianNumericLocale::~ItalianNumericLocale()
{
    std::setlocale(LC_NUMERIC, m_previous.constData());
}

} // namespace testing_support
