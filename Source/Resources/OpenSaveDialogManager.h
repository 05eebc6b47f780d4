#pragma once

#include "platform/dialogs/FileDialogs.h"

#include <cstddef>
#include <optional>
#include <string>

namespace Quarn
{

class LuaBasicBind;
class LuaFunction;
class MessageManager;

// The open and save dialogs scripts use to pick an XML file: XML and All filters, starting in
// "../Resources/", asking before an existing file is replaced, and giving a typed name without an
// extension the extension "xml". The dialogs are modal: the frame loop waits while one is open.
class OpenSaveDialogManager
{
public:
    // The Lua class: "MakeOpenDialog" and "MakeSaveDialog".
    static LuaBasicBind& GetLuaBind();

    // The longest path a dialog hands back; a longer choice fails.
    static constexpr std::size_t kMaxPath = 511;

    void SetWindow(platform::Window* window) { m_owner = window; }
    platform::Window* GetWindow() const { return m_owner; }
    // Learns the window from the message "WindowCreated".
    void SubscribeFileDialogWindow(MessageManager& messages);

    // Shows the dialog; when the user confirms a file, calls callback with its full path (an error in
    // the callback is handled by the engine's protected call) and gives true. False when the user
    // cancels or the dialog fails; the callback is then not called.
    bool MakeOpenDialog(const LuaFunction& callback);
    bool MakeSaveDialog(const LuaFunction& callback);

    // The full path the user chose, or nothing.
    std::optional<std::string> AskForFile(platform::FileDialogKind kind);

private:
    bool MakeDialog(platform::FileDialogKind kind, const LuaFunction& callback);

    platform::Window* m_owner = nullptr;
};

} // namespace Quarn
