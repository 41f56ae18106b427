// prezzario-calc: carries out the program's requests on LibreOffice Calc, one line each, read from
// standard input; answers each on standard output (Protocol.h). Ends when its input closes.
#include "report/calc/CalcSession.h"
#include "report/calc/Protocol.h"
#include "report/calc/Request.h"

#include <com/sun/star/lang/DisposedException.hpp>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

std::string utf8(const rtl::OUString& text)
{
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

std::string answer(calc::CalcSession& session, const std::vector<std::string>& words)
{
    using namespace calc::protocol;
    try {
        // Read and checked in full first: nothing of a bad request reaches the office.
        const Request request = parseRequest(words);
        std::vector<std::string> answerWords{std::string(kOk)};
        for (std::string& word : session.run(request))
            answerWords.push_back(std::move(word));
        return encodeLine(answerWords);
    } catch (const calc::Failure& failure) {
        return encodeLine({std::string(kError), std::string(failure.kind), failure.detail});
    } catch (const css::lang::DisposedException& error) {
        return encodeLine({std::string(kError), std::string(kClosed), utf8(error.Message)});
    } catch (const css::uno::Exception& error) {
        return encodeLine({std::string(kError), std::string(kUno), utf8(error.Message)});
    } catch (const std::exception& error) {
        return encodeLine({std::string(kError), std::string(kRequest), error.what()});
    }
}

} // namespace

int main()
{
    // A dead office pipe must give an error answer, not end the helper.
    std::signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(false);
    calc::CalcSession session;
    std::string line;
    while (std::getline(std::cin, line)) {
        const std::vector<std::string> request = calc::protocol::decodeLine(line);
        const std::string reply = answer(session, request);
        std::fwrite(reply.data(), 1, reply.size(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
