#include "platform/dialogs/FileDialogs.h"

#include "platform/dialogs/ZenityFileDialogs.h"

namespace Quarn::platform
{

namespace
{
FileDialogProvider* g_installed = nullptr;
} // namespace

FileDialogProvider& GetFileDialogs()
{
    static ZenityFileDialogs zenity;
    return g_installed ? *g_installed : zenity;
}

void SetFileDialogs(FileDialogProvider* provider)
{
    g_installed = provider;
}

} // namespace Quarn::platform
