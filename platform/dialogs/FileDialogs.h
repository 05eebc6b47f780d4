#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace Quarn::platform
{

class Window;

struct FileFilter
{
    std::string name;    // shown to the user, "XML"
    std::string pattern; // "*.xml"
};

enum class FileDialogKind
{
    Open, // an existing file
    Save  // a file to write, which may exist already
};

struct FileDialogRequest
{
    FileDialogKind kind = FileDialogKind::Open;
    // The window the dialog belongs to; null when there is none yet.
    Window* owner = nullptr;
    // The first filter is selected.
    std::vector<FileFilter> filters;
    std::filesystem::path initialFolder;
    // A file name to start from (the save dialog asking again); empty for none.
    std::filesystem::path initialFile;
    // Save: the dialog itself asks before the user picks an existing file.
    bool confirmOverwrite = false;
};

struct FileDialogResult
{
    enum class Outcome
    {
        Chosen,
        Cancelled,
        Failed
    };
    Outcome outcome = Outcome::Failed;
    std::string path;  // Chosen: the full path
    std::string error; // Failed: why
};

// The desktop's file dialogs. Both calls are modal: they return once the user has answered.
class FileDialogProvider
{
public:
    virtual ~FileDialogProvider() = default;
    virtual FileDialogResult ChooseFile(const FileDialogRequest& request) = 0;
    // Asks a yes/no question about a file; false for no, for closing the question, or on failure.
    virtual bool Confirm(Window* owner, const std::string& question) = 0;
};

// The process's dialogs: zenity unless a provider was installed.
FileDialogProvider& GetFileDialogs();
// Installs provider (null restores zenity). The caller keeps ownership.
void SetFileDialogs(FileDialogProvider* provider);

} // namespace Quarn::platform
