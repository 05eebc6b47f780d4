#pragma once

#include <functional>

namespace Quarn
{

// Runs body; an exception that leaves it is reported through the output handler. Returns 0, or 1
// after a report.
int RunReportingExceptions(const std::function<void()>& body);

} // namespace Quarn
