#pragma once

#include "report/calc/Request.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/i18n/XForbiddenCharacters.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace calc {

using protocol::CellBlock;
using protocol::Failure;

// One connection to LibreOffice and the one document made from the template.
class CalcSession
{
public:
    CalcSession() = default;
    // Disposes the bridge's own component context: the context and the bridge to the office hold each
    // other, so dropping the references alone would keep both alive to the end of the process.
    ~CalcSession();
    CalcSession(const CalcSession&) = delete;
    CalcSession& operator=(const CalcSession&) = delete;

    // Carries out one request, already read and checked by parseRequest; the words of an ok answer
    // follow "ok". Throws Failure or a UNO exception.
    std::vector<std::string> run(const protocol::Request& request);

private:
    pid_t start(const std::string& program, const std::string& pipe, int timeoutMs,
                const std::vector<std::string>& arguments);
    void open(const std::string& url);
    void activateSheet(int number);
    void show();
    void writeCells(const CellBlock& block);
    std::string text(int x, int y);
    std::vector<std::string> texts(int x, int y, int columns, int rows);
    std::vector<std::string> inspect(int x, int y);
    void closeDocument();
    void forgetLineBreakRules();

    void requireOffice() const;
    void requireSheet() const;
    bool calcInstalled() const;
    sal_Int32 numberFormatKey(const std::string& format);
    void addProperties(const std::string& key, std::vector<std::pair<rtl::OUString, css::uno::Any>>& properties);
    void applyStyles(const CellBlock& block, bool beforeValues, const std::vector<bool>& mayWrap);
    std::vector<bool> mayWrapRows(const CellBlock& block);

    css::uno::Reference<css::uno::XComponentContext> m_local;   // this process's end of the bridge
    css::uno::Reference<css::uno::XComponentContext> m_context; // the office's
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
    css::uno::Reference<css::frame::XModel> m_model;
    css::uno::Reference<css::sheet::XSpreadsheetDocument> m_document;
    css::uno::Reference<css::util::XNumberFormats> m_formats;
    css::uno::Reference<css::i18n::XForbiddenCharacters> m_forbidden;
    css::uno::Reference<css::sheet::XSpreadsheet> m_sheet;
    sal_Int16 m_sheetIndex = 0;
    std::map<std::string, sal_Int32> m_formatKeys;
};

} // namespace calc
