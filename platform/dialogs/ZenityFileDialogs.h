#pragma once

#include "platform/dialogs/FileDialogs.h"

#include <string>
#include <utility>
#include <vector>

namespace Quarn::platform
{

// File dialogs of the zenity tool, run from an argument vector. Nothing is shown in a headless run
// or without a display: the dialog fails.
class ZenityFileDialogs final : public FileDialogProvider
{
public:
    explicit ZenityFileDialogs(std::string program = "zenity") : m_program(std::move(program)) {}

    FileDialogResult ChooseFile(const FileDialogRequest& request) override;
    bool Confirm(Window* owner, const std::string& question) override;

    // The arguments after the program name that show the dialog of request.
    static std::vector<std::string> FileSelectionArguments(const FileDialogRequest& request);

private:
    std::string m_program;
};

} // namespace Quarn::platform
