#include "platform/dialogs/FakeFileDialogs.h"

namespace Quarn::platform
{

FileDialogResult FakeFileDialogs::ChooseFile(const FileDialogRequest& request)
{
    m_requests.push_back(request);
    if (m_results.empty())
        return {FileDialogResult::Outcome::Failed, {}, "no answer queued"};
    FileDialogResult result = m_results.front();
    m_results.pop_front();
    return result;
}

bool FakeFileDialogs::Confirm(Window*, const std::string& question)
{
    m_questions.push_back(question);
    if (m_confirmations.empty())
        return false;
    const bool yes = m_confirmations.front();
    m_confirmations.pop_front();
    return yes;
}

void FakeFileDialogs::QueueChoice(const std::string& path)
{
    m_results.push_back({FileDialogResult::Outcome::Chosen, path, {}});
}

void FakeFileDialogs::QueueCancel()
{
    m_results.push_back({FileDialogResult::Outcome::Cancelled, {}, {}});
}

void FakeFileDialogs::QueueFailure(const std::string& error)
{
    m_results.push_back({FileDialogResult::Outcome::Failed, {}, error});
}

} // namespace Quarn::platform
