#pragma once

#include <functional>
#include <string>

namespace Quarn::platform
{

// Shows an error to the person at the machine: a modal box when a display is there and the run is
// not headless. Tests install a capture hook instead, so nothing ever blocks.
using ErrorCapture = std::function<void(const std::string& caption, const std::string& text)>;

void PresentError(const std::string& caption, const std::string& text);

// While a capture is installed, errors go to it and no box is shown. An empty function removes it.
void SetErrorCapture(ErrorCapture capture);

} // namespace Quarn::platform
