#include "Core/ReportExceptions.h"

#include "Core/OutputHandler.h"

#include <exception>

namespace Quarn
{

int RunReportingExceptions(const std::function<void()>& body)
{
    OutputHandler& output = OutputHandler::Get();
    try
    {
        body();
        return 0;
    }
    catch (const std::exception& e)
    {
        output.ReportError(__FILE__, __LINE__, output.InLua(), "Caught std::exception.  Description: '%s'",
                           e.what());
    }
    catch (...)
    {
        output.ReportError(__FILE__, __LINE__, output.InLua(), "Caught unknown exception");
    }
    return 1;
}

} // namespace Quarn
