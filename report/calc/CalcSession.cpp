#include "report/calc/CalcSession.h"

#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/IndexOutOfBoundsException.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/linguistic2/XSupportedLocales.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/MalformedNumberFormatException.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <variant>

extern char** environ;

namespace calc {

namespace uno = css::uno;
using rtl::OUString;

namespace {

OUString ou(const std::string& text)
{
    return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

OUString ou(const char* ascii)
{
    return OUString::createFromAscii(ascii);
}

std::string utf8(const OUString& text)
{
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

// A thin continuous edge in the automatic colour. LibreOffice's own Excel compatibility layer draws
// "automatic" as black and "thin" as 26 hundredths of a millimetre; we do the same.
css::table::BorderLine2 thinEdge()
{
    css::table::BorderLine2 line;
    line.Color = 0;
    line.InnerLineWidth = 0;
    line.OuterLineWidth = 26;
    line.LineDistance = 0;
    line.LineStyle = css::table::BorderLineStyle::SOLID;
    line.LineWidth = 26;
    return line;
}

css::table::BorderLine2 noEdge()
{
    css::table::BorderLine2 line;
    line.LineStyle = css::table::BorderLineStyle::NONE;
    return line;
}

std::string edgeText(const uno::Any& value)
{
    css::table::BorderLine2 line;
    value >>= line;
    if (line.LineWidth == 0 && line.OuterLineWidth == 0 && line.InnerLineWidth == 0)
        return "none";
    char text[64];
    std::snprintf(text, sizeof text, "%d/%d/%06X", static_cast<int>(line.LineStyle), static_cast<int>(line.LineWidth),
                  static_cast<unsigned>(line.Color) & 0xFFFFFFu);
    return text;
}

const char* justifyText(css::table::CellHoriJustify justify)
{
    switch (justify) {
    case css::table::CellHoriJustify_STANDARD:
        return "STANDARD";
    case css::table::CellHoriJustify_LEFT:
        return "LEFT";
    case css::table::CellHoriJustify_CENTER:
        return "CENTER";
    case css::table::CellHoriJustify_RIGHT:
        return "RIGHT";
    case css::table::CellHoriJustify_BLOCK:
        return "BLOCK";
    case css::table::CellHoriJustify_REPEAT:
        return "REPEAT";
    default:
        return "OTHER";
    }
}

const char* contentTypeText(css::table::CellContentType type)
{
    switch (type) {
    case css::table::CellContentType_EMPTY:
        return "empty";
    case css::table::CellContentType_VALUE:
        return "value";
    case css::table::CellContentType_TEXT:
        return "text";
    case css::table::CellContentType_FORMULA:
        return "formula";
    default:
        return "other";
    }
}

// Launches soffice in a process group of its own, so that a Ctrl+C in the terminal of the program does
// not take the user's documents down, and so that tests can end the whole office at once.
pid_t launch(const std::string& program, const std::vector<std::string>& arguments)
{
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    // The office must never write into the answers of this helper.
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.c_str(), &files, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        throw Failure{protocol::kOffice, "cannot run " + program + ": " + std::strerror(error)};
    return pid;
}

} // namespace

std::vector<std::string> CalcSession::run(const protocol::Request& request)
{
    using namespace protocol;
    using Words = std::vector<std::string>;
    return std::visit(Overloaded{
                          [&](const StartOffice& r) {
                              return Words{std::to_string(start(r.program, r.pipe, r.timeoutMs, r.arguments))};
                          },
                          [&](const OpenTemplate& r) {
                              open(r.url);
                              return Words{};
                          },
                          [&](const ActivateSheet& r) {
                              activateSheet(r.number);
                              return Words{};
                          },
                          [&](const ShowWindow&) {
                              show();
                              return Words{};
                          },
                          [&](const CellBlock& r) {
                              writeCells(r);
                              return Words{};
                          },
                          [&](const GetTexts& r) { return texts(r.x, r.y, r.columns, r.rows); },
                          [&](const InspectCell& r) { return inspect(r.x, r.y); },
                          [&](const CloseDocument&) {
                              closeDocument();
                              return Words{};
                          },
                      },
                      request);
}

pid_t CalcSession::start(const std::string& program, const std::string& pipe, int timeoutMs,
                         const std::vector<std::string>& arguments)
{
    if (m_desktop.is())
        throw Failure{protocol::kState, "already connected"};
    std::vector<std::string> options{"--nologo", "--nodefault",
                                     "--accept=pipe,name=" + pipe + ";urp;StarOffice.ComponentContext"};
    options.insert(options.end(), arguments.begin(), arguments.end());
    const pid_t launcher = launch(program, options);

    // Without it the bootstrap finds no types and Desktop::create fails inside the bridge.
    setenv("URE_BOOTSTRAP", PREZZARIO_URE_BOOTSTRAP, 1);
    // One bootstrap for the helper's life, also when an earlier start found no office.
    if (!m_local.is()) {
        try {
            m_local = cppu::defaultBootstrap_InitialComponentContext();
        } catch (const uno::Exception& error) {
            throw Failure{protocol::kOffice, "UNO bootstrap: " + utf8(error.Message)};
        }
    }
    const uno::Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(m_local);
    const OUString url = ou("uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext");

    // The launcher exits at once with 0 when an office already running takes the request over; only a
    // non-zero exit means that no office will ever answer on the pipe.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool launcherRunning = true;
    for (;;) {
        try {
            m_context.set(resolver->resolve(url), uno::UNO_QUERY_THROW);
            break;
        } catch (const css::connection::NoConnectException&) {
        }
        if (launcherRunning) {
            int status = 0;
            if (waitpid(launcher, &status, WNOHANG) == launcher) {
                launcherRunning = false;
                if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
                    throw Failure{protocol::kOffice,
                                  program + " ended with status " +
                                      std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status))};
            }
        }
        if (std::chrono::steady_clock::now() > deadline)
            throw Failure{protocol::kOffice, "no answer on the pipe " + pipe};
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // From here on the launcher's end is of no interest: let the system reap it, so that no zombie of
    // it stays behind while the helper lives.
    std::signal(SIGCHLD, SIG_IGN);
    m_desktop = css::frame::Desktop::create(m_context);
    return launcher;
}

CalcSession::~CalcSession()
{
    m_sheet.clear();
    m_forbidden.clear();
    m_formats.clear();
    m_document.clear();
    m_model.clear();
    m_desktop.clear();
    m_context.clear();
    const uno::Reference<css::lang::XComponent> local(m_local, uno::UNO_QUERY);
    m_local.clear();
    if (!local.is())
        return;
    try {
        local->dispose();
    } catch (const uno::Exception&) {
        // The office went away first: the bridge is gone already, nothing is left to free.
    }
}

void CalcSession::requireOffice() const
{
    if (!m_desktop.is())
        throw Failure{protocol::kState, "not connected"};
}

void CalcSession::requireSheet() const
{
    if (!m_sheet.is())
        throw Failure{protocol::kState, "no document"};
}

bool CalcSession::calcInstalled() const
{
    const uno::Sequence<OUString> services = m_context->getServiceManager()->getAvailableServiceNames();
    const OUString wanted = ou("com.sun.star.sheet.SpreadsheetDocument");
    return std::find(services.begin(), services.end(), wanted) != services.end();
}

void CalcSession::open(const std::string& url)
{
    requireOffice();
    uno::Sequence<css::beans::PropertyValue> arguments(2);
    css::beans::PropertyValue* argument = arguments.getArray();
    // As a template: a new untitled document, and the template file is never written.
    argument[0].Name = ou("AsTemplate");
    argument[0].Value <<= true;
    // Hidden until the program asks to show it.
    argument[1].Name = ou("Hidden");
    argument[1].Value <<= true;
    uno::Reference<css::lang::XComponent> component;
    std::string problem;
    try {
        component = m_desktop->loadComponentFromURL(ou(url), ou("_blank"), 0, arguments);
    } catch (const css::lang::IllegalArgumentException& error) {
        problem = utf8(error.Message);
    } catch (const css::io::IOException& error) {
        problem = utf8(error.Message);
    }
    uno::Reference<css::sheet::XSpreadsheetDocument> document(component, uno::UNO_QUERY);
    if (!document.is()) {
        if (component.is())
            uno::Reference<css::util::XCloseable>(component, uno::UNO_QUERY_THROW)->close(true);
        if (!calcInstalled())
            throw Failure{protocol::kCalc, "no spreadsheet module"};
        throw Failure{protocol::kTemplate, problem.empty() ? "not a spreadsheet: " + url : problem};
    }
    m_document = document;
    m_model.set(component, uno::UNO_QUERY_THROW);
    // The price list is Italian: so is the document, whatever the language of the user's desktop, so
    // that the spelling check does not underline every word.
    uno::Reference<css::beans::XPropertySet>(component, uno::UNO_QUERY_THROW)
        ->setPropertyValue(ou("CharLocale"), uno::Any(css::lang::Locale(ou("it"), ou("IT"), OUString())));
    m_formats = uno::Reference<css::util::XNumberFormatsSupplier>(component, uno::UNO_QUERY_THROW)->getNumberFormats();
    // Reading the document's table of characters that may not start or end a line gives the document
    // one, empty. Without it the office measures every wrapped cell with a table made for that cell
    // alone, filled from the locale data: about half the time of a report.
    m_forbidden.clear();
    uno::Reference<css::beans::XPropertySet>(component, uno::UNO_QUERY_THROW)
        ->getPropertyValue(ou("ForbiddenCharacters")) >>= m_forbidden;
    m_formatKeys.clear();
    m_sheet.clear();
}

void CalcSession::activateSheet(int number)
{
    if (!m_document.is())
        throw Failure{protocol::kState, "no document"};
    const uno::Reference<css::container::XIndexAccess> sheets(m_document->getSheets(), uno::UNO_QUERY_THROW);
    if (number < 1 || number > sheets->getCount())
        throw Failure{protocol::kSheet, std::to_string(number)};
    m_sheet.set(sheets->getByIndex(number - 1), uno::UNO_QUERY_THROW);
    m_sheetIndex = static_cast<sal_Int16>(number - 1);
    const uno::Reference<css::sheet::XSpreadsheetView> view(m_model->getCurrentController(), uno::UNO_QUERY);
    if (view.is())
        view->setActiveSheet(m_sheet);
}

void CalcSession::show()
{
    if (!m_model.is())
        throw Failure{protocol::kState, "no document"};
    const uno::Reference<css::awt::XWindow> window = m_model->getCurrentController()->getFrame()->getContainerWindow();
    window->setVisible(true);
    const uno::Reference<css::awt::XTopWindow> top(window, uno::UNO_QUERY);
    if (top.is())
        top->toFront();
}

sal_Int32 CalcSession::numberFormatKey(const std::string& format)
{
    const auto known = m_formatKeys.find(format);
    if (known != m_formatKeys.end())
        return known->second;
    const css::lang::Locale locale;
    sal_Int32 key = m_formats->queryKey(ou(format), locale, false);
    if (key < 0) {
        try {
            key = m_formats->addNew(ou(format), locale);
        } catch (const css::util::MalformedNumberFormatException& error) {
            throw Failure{protocol::kFormat, format};
        }
    }
    m_formatKeys.emplace(format, key);
    return key;
}

namespace {

// The properties one style sets, each under a key naming the property and its value: cells that share
// a key get that property in one call, whatever their other properties.
std::vector<std::string> propertyKeys(const protocol::Style& style)
{
    std::vector<std::string> keys;
    if (!style.numberFormat.empty())
        keys.push_back("format " + style.numberFormat);
    if (style.edges)
        keys.emplace_back("edges");
    if (style.bold)
        keys.emplace_back("bold");
    return keys;
}

} // namespace

void CalcSession::addProperties(const std::string& key, std::vector<std::pair<OUString, uno::Any>>& properties)
{
    if (key == "wrap") {
        properties.emplace_back(ou("IsTextWrapped"), uno::Any(true));
    } else if (key.starts_with("format ")) {
        properties.emplace_back(ou("NumberFormat"), uno::Any(numberFormatKey(key.substr(7))));
    } else if (key == "edges") {
        for (const char* edge : {"LeftBorder2", "TopBorder2", "BottomBorder2", "RightBorder2"})
            properties.emplace_back(ou(edge), uno::Any(thinEdge()));
        for (const char* diagonal : {"DiagonalTLBR2", "DiagonalBLTR2"})
            properties.emplace_back(ou(diagonal), uno::Any(noEdge()));
    } else if (key == "bold") {
        properties.emplace_back(ou("CharWeight"), uno::Any(static_cast<float>(css::awt::FontWeight::BOLD)));
    }
}

// Sets what the styles ask for with one call per set of cells that share properties, on as few rectangles
// as the cells allow: a property that many styles share, such as the edges of every cell of a report,
// goes out once on the whole block. Before the values go everything but wrapping, and the wrapping of the
// rows that may need more than one line, so that writing the values measures them once; after them the
// rest of the wrapping, which changes no height.
void CalcSession::applyStyles(const CellBlock& block, bool beforeValues, const std::vector<bool>& mayWrap)
{
    const std::size_t styleCount = block.styles.size();
    // Key -> the styles that set it; keys set by the same styles share their call.
    std::map<std::string, std::vector<bool>> stylesOfKey;
    std::vector<bool> wrapped(styleCount);
    for (std::size_t style = 0; style < styleCount; ++style) {
        wrapped[style] = block.styles[style].wrap;
        if (!beforeValues)
            continue;
        for (const std::string& key : propertyKeys(block.styles[style])) {
            std::vector<bool>& styles = stylesOfKey[key];
            styles.resize(styleCount);
            styles[style] = true;
        }
    }
    struct Call
    {
        std::vector<bool> styles;
        // Rows of the block the call is for: those whose mayWrap is this, or all of them.
        std::optional<bool> rows;
        std::vector<std::string> keys;
    };
    std::vector<Call> calls;
    {
        std::map<std::vector<bool>, std::vector<std::string>> keysOfStyles;
        for (const auto& [key, styles] : stylesOfKey)
            keysOfStyles[styles].push_back(key);
        for (auto& [styles, keys] : keysOfStyles)
            calls.push_back({styles, std::nullopt, std::move(keys)});
    }
    if (std::find(wrapped.begin(), wrapped.end(), true) != wrapped.end())
        calls.push_back({wrapped, beforeValues, {"wrap"}});

    for (const Call& call : calls) {
        std::vector<std::pair<OUString, uno::Any>> properties;
        for (const std::string& key : call.keys)
            addProperties(key, properties);
        std::sort(properties.begin(), properties.end(),
                  [](const auto& a, const auto& b) { return a.first.compareTo(b.first) < 0; });
        uno::Sequence<OUString> names(static_cast<sal_Int32>(properties.size()));
        uno::Sequence<uno::Any> values(static_cast<sal_Int32>(properties.size()));
        for (std::size_t i = 0; i < properties.size(); ++i) {
            names.getArray()[i] = properties[i].first;
            values.getArray()[i] = properties[i].second;
        }
        const auto wanted = [&](int row, int column) {
            return (!call.rows || mayWrap[static_cast<std::size_t>(row)] == *call.rows) &&
                   call.styles[static_cast<std::size_t>(
                       block.styleOf[static_cast<std::size_t>(row * block.columns + column)])];
        };

        // Vertical runs per column, then neighbouring columns with the same run joined.
        struct Run
        {
            int top;
            int bottom;
            int left;
            int right;
        };
        std::vector<Run> runs;
        for (int column = 0; column < block.columns; ++column) {
            int row = 0;
            while (row < block.rows) {
                if (!wanted(row, column)) {
                    ++row;
                    continue;
                }
                const int top = row;
                while (row < block.rows && wanted(row, column))
                    ++row;
                runs.push_back({top, row - 1, column, column});
            }
        }
        std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
            return std::tie(a.top, a.bottom, a.left) < std::tie(b.top, b.bottom, b.left);
        });
        std::vector<Run> joined;
        for (const Run& run : runs) {
            if (!joined.empty() && joined.back().top == run.top && joined.back().bottom == run.bottom &&
                joined.back().right + 1 == run.left)
                joined.back().right = run.right;
            else
                joined.push_back(run);
        }
        if (joined.empty())
            continue;
        uno::Sequence<css::table::CellRangeAddress> addresses(static_cast<sal_Int32>(joined.size()));
        css::table::CellRangeAddress* address = addresses.getArray();
        for (const Run& run : joined) {
            address->Sheet = m_sheetIndex;
            address->StartColumn = block.x - 1 + run.left;
            address->EndColumn = block.x - 1 + run.right;
            address->StartRow = block.y - 1 + run.top;
            address->EndRow = block.y - 1 + run.bottom;
            ++address;
        }

        const uno::Reference<css::lang::XMultiServiceFactory> factory(m_document, uno::UNO_QUERY_THROW);
        const uno::Reference<css::sheet::XSheetCellRangeContainer> ranges(
            factory->createInstance(ou("com.sun.star.sheet.SheetCellRanges")), uno::UNO_QUERY_THROW);
        ranges->addRangeAddresses(addresses, false);
        uno::Reference<css::beans::XMultiPropertySet>(ranges, uno::UNO_QUERY_THROW)->setPropertyValues(names, values);
    }
}

namespace {

// A generous guess, in ems, of how wide a text is in a proportional font, bold or not: never less than
// the real width in the usual sans-serif fonts.
double widthInEms(const std::string& utf8Text)
{
    double ems = 0;
    for (const unsigned char c : utf8Text) {
        if ((c & 0xC0) == 0x80)
            continue;
        if (c >= 0x80 || std::strchr("mwMW@%&", c) != nullptr)
            ems += 1.0;
        else if (std::strchr(".,:;'|!ijlrtf ()[]", c) != nullptr)
            ems += 0.4;
        else if (c >= '0' && c <= '9')
            ems += 0.65;
        else if (c >= 'A' && c <= 'Z')
            ems += 0.85;
        else
            ems += 0.7;
    }
    return ems;
}

} // namespace

// The rows where a wrapped value may need more than one line. The check is a generous guess, so a row
// that needs it is never missed; codes, units and amounts fit their columns.
std::vector<bool> CalcSession::mayWrapRows(const CellBlock& block)
{
    const uno::Reference<css::table::XColumnRowRange> columnsAndRows(m_sheet, uno::UNO_QUERY_THROW);
    const uno::Reference<css::table::XTableColumns> columns = columnsAndRows->getColumns();
    std::vector<double> widths;
    for (int c = 0; c < block.columns; ++c) {
        sal_Int32 width = 0;
        uno::Reference<css::beans::XPropertySet>(columns->getByIndex(block.x - 1 + c), uno::UNO_QUERY_THROW)
            ->getPropertyValue(ou("Width")) >>= width;
        // Less the cell's inner margins.
        widths.push_back(width - 100.0);
    }
    std::vector<bool> rows(static_cast<std::size_t>(block.rows));
    for (int r = 0; r < block.rows; ++r) {
        bool mayWrap = false;
        for (int c = 0; c < block.columns && !mayWrap; ++c) {
            const std::size_t cell = static_cast<std::size_t>(r * block.columns + c);
            const protocol::Style& style = block.styles[static_cast<std::size_t>(block.styleOf[cell])];
            const std::string& value = block.values[cell];
            if (!style.wrap || value.empty())
                continue;
            // An em of 11 points in hundredths of a millimetre: larger than the template's font.
            const double em = 11 * 35.28;
            mayWrap =
                value.find('\n') != std::string::npos || widthInEms(value) * em > widths[static_cast<std::size_t>(c)];
        }
        rows[static_cast<std::size_t>(r)] = mayWrap;
    }
    return rows;
}

namespace {

// Runs a change with the office's row-height pass held back, and lets it measure again afterwards.
template <typename Change>
void withoutHeightPass(const uno::Reference<css::beans::XPropertySet>& document, Change change)
{
    document->setPropertyValue(ou("IsAdjustHeightEnabled"), uno::Any(false));
    try {
        change();
    } catch (...) {
        document->setPropertyValue(ou("IsAdjustHeightEnabled"), uno::Any(true));
        throw;
    }
    document->setPropertyValue(ou("IsAdjustHeightEnabled"), uno::Any(true));
}

} // namespace

void CalcSession::writeCells(const CellBlock& block)
{
    requireSheet();
    const uno::Reference<css::beans::XPropertySet> document(m_document, uno::UNO_QUERY_THROW);
    // The report's writes are not the user's to undo, and recording them slows the office down.
    document->setPropertyValue(ou("IsUndoEnabled"), uno::Any(false));
    try {
        const std::vector<bool> mayWrap = mayWrapRows(block);
        // Formats before values, so that no value is ever read as anything but text. Writing the values
        // measures the rows with all they hold, so formatting need not measure them first.
        withoutHeightPass(document, [&] { applyStyles(block, true, mayWrap); });

        uno::Sequence<uno::Sequence<uno::Any>> rows(block.rows);
        uno::Sequence<uno::Any>* row = rows.getArray();
        std::size_t cell = 0;
        for (int r = 0; r < block.rows; ++r, ++row) {
            row->realloc(block.columns);
            uno::Any* value = row->getArray();
            for (int c = 0; c < block.columns; ++c)
                *value++ <<= ou(block.values[cell++]);
        }
        const uno::Reference<css::sheet::XCellRangeData> data(
            m_sheet->getCellRangeByPosition(block.x - 1, block.y - 1, block.x + block.columns - 2,
                                            block.y + block.rows - 2),
            uno::UNO_QUERY_THROW);
        // Writing the values measures the rows once.
        data->setDataArray(rows);

        // Set with the rest, this wrapping would measure every row again, to no effect.
        withoutHeightPass(document, [&] { applyStyles(block, false, mayWrap); });
        forgetLineBreakRules();
    } catch (...) {
        document->setPropertyValue(ou("IsUndoEnabled"), uno::Any(true));
        throw;
    }
    document->setPropertyValue(ou("IsUndoEnabled"), uno::Any(true));
}

// The table keeps the rules of each language it has been asked for. They are the locale's own and change
// nothing, but a document saved with them would carry them in its settings: the table goes back to
// empty, as a document written cell by cell has it.
void CalcSession::forgetLineBreakRules()
{
    const uno::Reference<css::linguistic2::XSupportedLocales> locales(m_forbidden, uno::UNO_QUERY);
    if (!locales.is())
        return;
    for (const css::lang::Locale& locale : locales->getLocales())
        m_forbidden->removeForbiddenCharacters(locale);
}

std::string CalcSession::text(int x, int y)
{
    requireSheet();
    const uno::Reference<css::text::XText> cell(m_sheet->getCellByPosition(x - 1, y - 1), uno::UNO_QUERY_THROW);
    return utf8(cell->getString());
}

std::vector<std::string> CalcSession::texts(int x, int y, int columns, int rows)
{
    requireSheet();
    const uno::Reference<css::sheet::XCellRangeData> data(
        m_sheet->getCellRangeByPosition(x - 1, y - 1, x + columns - 2, y + rows - 2), uno::UNO_QUERY_THROW);
    const uno::Sequence<uno::Sequence<uno::Any>> values = data->getDataArray();
    std::vector<std::string> words;
    words.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (sal_Int32 r = 0; r < values.getLength(); ++r) {
        for (sal_Int32 c = 0; c < values[r].getLength(); ++c) {
            OUString value;
            if (values[r][c] >>= value)
                words.push_back(utf8(value));
            else if (!values[r][c].hasValue())
                words.emplace_back();
            else // a number, as the cell shows it
                words.push_back(text(x + c, y + r));
        }
    }
    return words;
}

std::vector<std::string> CalcSession::inspect(int x, int y)
{
    requireSheet();
    const uno::Reference<css::table::XCell> cell = m_sheet->getCellByPosition(x - 1, y - 1);
    const uno::Reference<css::beans::XPropertySet> properties(cell, uno::UNO_QUERY_THROW);
    std::vector<std::string> facts;
    facts.push_back("value=" + utf8(uno::Reference<css::text::XText>(cell, uno::UNO_QUERY_THROW)->getString()));
    facts.push_back(std::string("type=") + contentTypeText(cell->getType()));
    sal_Int32 key = 0;
    properties->getPropertyValue(ou("NumberFormat")) >>= key;
    OUString format;
    uno::Reference<css::beans::XPropertySet>(m_formats->getByKey(key), uno::UNO_SET_THROW)
        ->getPropertyValue(ou("FormatString")) >>= format;
    facts.push_back("format=" + utf8(format));
    float weight = 0;
    properties->getPropertyValue(ou("CharWeight")) >>= weight;
    facts.push_back(std::string("bold=") + (weight >= css::awt::FontWeight::BOLD ? "1" : "0"));
    float height = 0;
    properties->getPropertyValue(ou("CharHeight")) >>= height;
    // Written the same whatever the locale: the program reads it back as "10.5".
    char size[32];
    const std::to_chars_result written =
        std::to_chars(size, size + sizeof size, static_cast<double>(height), std::chars_format::general, 6);
    facts.push_back(std::string("size=") + std::string(size, written.ptr));
    bool wrapped = false;
    properties->getPropertyValue(ou("IsTextWrapped")) >>= wrapped;
    facts.push_back(std::string("wrap=") + (wrapped ? "1" : "0"));
    css::table::CellHoriJustify justify = css::table::CellHoriJustify_STANDARD;
    properties->getPropertyValue(ou("HoriJustify")) >>= justify;
    facts.push_back(std::string("justify=") + justifyText(justify));
    for (const auto& [name, property] :
         {std::pair{"left", "LeftBorder2"}, std::pair{"top", "TopBorder2"}, std::pair{"bottom", "BottomBorder2"},
          std::pair{"right", "RightBorder2"}, std::pair{"tlbr", "DiagonalTLBR2"}, std::pair{"bltr", "DiagonalBLTR2"}})
        facts.push_back(std::string(name) + "=" + edgeText(properties->getPropertyValue(ou(property))));
    const uno::Reference<css::table::XColumnRowRange> columnsAndRows(m_sheet, uno::UNO_QUERY_THROW);
    const uno::Reference<css::beans::XPropertySet> row(columnsAndRows->getRows()->getByIndex(y - 1),
                                                       uno::UNO_QUERY_THROW);
    sal_Int32 rowHeight = 0;
    row->getPropertyValue(ou("Height")) >>= rowHeight;
    facts.push_back("height=" + std::to_string(rowHeight));
    return facts;
}

void CalcSession::closeDocument()
{
    if (m_model.is())
        uno::Reference<css::util::XCloseable>(m_model, uno::UNO_QUERY_THROW)->close(true);
    m_model.clear();
    m_document.clear();
    m_formats.clear();
    m_forbidden.clear();
    m_sheet.clear();
}

} // namespace calc
