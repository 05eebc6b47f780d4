#include "support/CapturedErrors.h"

#include "platform/core/ErrorPresenter.h"

namespace Quarn::test
{

CapturedErrors::CapturedErrors()
{
    platform::SetErrorCapture([this](const std::string&, const std::string& text)
                              { m_texts.push_back(text); });
}

CapturedErrors::~CapturedErrors()
{
    platform::SetErrorCapture({});
}

bool CapturedErrors::Any(const std::string& fragment) const
{
    for (const auto& text : m_texts)
    {
        if (text.find(fragment) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace Quarn::test
