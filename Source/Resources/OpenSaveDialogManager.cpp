#include "Resources/OpenSaveDialogManager.h"

#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Script/LuaFunction.h"
#include "Script/LuaState.h"

#include <filesystem>

namespace Quarn
{

namespace
{

constexpr const char* kDefaultExtension = ".xml";

platform::FileDialogRequest MakeRequest(platform::FileDialogKind kind, platform::Window* owner)
{
    platform::FileDialogRequest request;
    request.kind = kind;
    request.owner = owner;
    request.filters = {{"XML", "*.xml"}, {"All", "*.*"}};
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute("../Resources/", error);
    request.initialFolder = error ? std::filesystem::path("../Resources/") : folder.lexically_normal();
    request.confirmOverwrite = true;
    return request;
}

} // namespace

void OpenSaveDialogManager::SubscribeFileDialogWindow(MessageManager& messages)
{
    messages.RegisterListener<void(platform::Window*)>("WindowCreated", [this](platform::Window* window)
                                                       { SetWindow(window); });
}

std::optional<std::string> OpenSaveDialogManager::AskForFile(platform::FileDialogKind kind)
{
    platform::FileDialogProvider& dialogs = platform::GetFileDialogs();
    platform::FileDialogRequest request = MakeRequest(kind, m_owner);
    for (;;)
    {
        const platform::FileDialogResult result = dialogs.ChooseFile(request);
        if (result.outcome == platform::FileDialogResult::Outcome::Failed)
            OutputHandler::Get().Log("File dialog failed: %s", result.error.c_str());
        if (result.outcome != platform::FileDialogResult::Outcome::Chosen)
            return std::nullopt;

        std::filesystem::path path = result.path;
        if (kind == platform::FileDialogKind::Save && !path.has_extension())
        {
            path += kDefaultExtension;
            // The dialog only asked about the name as typed; the name the file gets may exist too.
            std::error_code error;
            if (std::filesystem::exists(path, error) &&
                !dialogs.Confirm(m_owner,
                                 path.filename().string() + " already exists.\nDo you want to replace it?"))
            {
                request.initialFile = path;
                continue;
            }
        }
        if (path.string().size() > kMaxPath)
        {
            OutputHandler::Get().Log("File dialog failed: the chosen path is longer than %zu characters",
                                     kMaxPath);
            return std::nullopt;
        }
        return path.string();
    }
}

bool OpenSaveDialogManager::MakeOpenDialog(const LuaFunction& callback)
{
    return MakeDialog(platform::FileDialogKind::Open, callback);
}

bool OpenSaveDialogManager::MakeSaveDialog(const LuaFunction& callback)
{
    return MakeDialog(platform::FileDialogKind::Save, callback);
}

bool OpenSaveDialogManager::MakeDialog(platform::FileDialogKind kind, const LuaFunction& callback)
{
    const std::optional<std::string> path = AskForFile(kind);
    if (!path)
        return false;
    const int handler = callback.PushCall();
    if (handler != 0)
    {
        lua_pushlstring(CurrentLuaState(), path->data(), path->size());
        callback.PCall(1, handler);
    }
    return true;
}

} // namespace Quarn
