// The office process, the connection to it, and the one document made from the template.
#include "report/calc/CalcSession.h"

#include "report/calc/UnoText.h"

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
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
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <variant>

extern char** environ;

namespace calc {

namespace uno = css::uno;
using rtl::OUString;

namespace {

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
