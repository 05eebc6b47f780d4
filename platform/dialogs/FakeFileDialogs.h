#pragma once

#include "platform/dialogs/FileDialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace Quarn::platform
{

// Dialogs answered from queues, for tests: each ChooseFile takes the next queued result (a failure
// when none is left), each Confirm the next queued answer (no when none is left). Every request and
// question is kept.
class FakeFileDialogs final : public FileDialogProvider
{
public:
    FileDialogResult ChooseFile(const FileDialogRequest& request) override;
    bool Confirm(Window* owner, const std::string& question) override;

    void QueueChoice(const std::string& path);
    void QueueCancel();
    void QueueFailure(const std::string& error);
    void QueueConfirmation(bool yes) { m_confirmations.push_back(yes); }

    const std::vector<FileDialogRequest>& Requests() const { return m_requests; }
    const std::vector<std::string>& Questions() const { return m_questions; }

private:
    std::deque<FileDialogResult> m_results;
    std::deque<bool> m_confirmations;
    std::vector<FileDialogRequest> m_requests;
    std::vector<std::string> m_questions;
};

} // namespace Quarn::platform
