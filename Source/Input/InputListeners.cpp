#include "Input/InputListeners.h"

namespace Quarn
{

namespace
{
template <typename Record> void DropFromRecords(std::vector<std::shared_ptr<Record>>& list)
{
    std::erase_if(list, [](const std::shared_ptr<Record>& record) { return record->FromScript(); });
}

template <typename Record, std::size_t N>
void DropFromRecords(std::array<std::vector<std::shared_ptr<Record>>, N>& lists)
{
    for (auto& list : lists)
        DropFromRecords(list);
}

template <typename Signature> void DropFromFunctions(std::vector<std::function<Signature>>& list)
{
    std::erase_if(list, [](const std::function<Signature>& function) { return IsScriptCallback(function); });
}
} // namespace

void InputListeners::DropScriptListeners()
{
    DropFromRecords(keys);
    DropFromRecords(mouseButtons);
    DropFromFunctions(mouseMove);
    DropFromFunctions(mouseMovePixels);
    DropFromFunctions(mouseWheel);
    DropFromFunctions(anyKey);
    DropFromFunctions(mouseLeave);
    DropFromFunctions(mouseReleasedInterceptors);
    DropFromFunctions(mousePressedInterceptors);
    DropFromFunctions(keyPressedInterceptors);
    DropFromFunctions(keyReleasedInterceptors);
    DropFromFunctions(characterInterceptors);
    for (auto& byPad : rumble)
    {
        for (auto& list : byPad)
            DropFromFunctions(list);
    }
    DropFromRecords(controllerButtons);
    DropFromRecords(thumbChanges);
    DropFromRecords(triggerChanges);
    DropFromRecords(thumbFrames);
    DropFromRecords(triggerFrames);
}

} // namespace Quarn
