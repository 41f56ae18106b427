#pragma once

#include <rtl/string.hxx>
#include <rtl/ustring.hxx>

#include <string>

namespace calc {

// The helper's words are UTF-8; the office's strings are UTF-16.
inline rtl::OUString ou(const std::string& text)
{
    return rtl::OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

inline rtl::OUString ou(const char* ascii)
{
    return rtl::OUString::createFromAscii(ascii);
}

inline std::string utf8(const rtl::OUString& text)
{
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

} // namespace calc
