#pragma once

#include "platform/gfx/Effect.h"

#include <memory>
#include <string>
#include <vector>

namespace Quarn
{

class Effect;

// The commands an effect's script strings are made into: one list for the technique and one per pass,
// run with the effect as their context. A command may move its list's program counter, which is how
// passes, loops and skips work: the list adds one after every command, so a jump to command k sets k - 1.
namespace CGFX
{

using platform::gfx::EffectHandle;

class Command
{
public:
    virtual ~Command() = default;
    virtual void Execute(Effect& context, int& index) = 0;
};

class CommandList
{
public:
    CommandList() = default;
    CommandList(CommandList&&) = default;
    CommandList& operator=(CommandList&&) = default;
    virtual ~CommandList() = default;
    virtual void Run(Effect& context);

    std::vector<std::unique_ptr<Command>> commands;
    // Lower-case draw-group names: the pass owning the list is skipped while any of them is empty.
    std::vector<std::string> skipIfEmpty;
};

// Begins the pass, runs its list and ends it, unless a group the pass draws is empty.
class DoPass final : public Command
{
public:
    explicit DoPass(unsigned pass) : m_pass(pass) {}
    void Execute(Effect& context, int& index) override;

private:
    unsigned m_pass;
};

// Renders into the target of a texture parameter from now on (slot 0 to 2); a null parameter returns the
// slot to its default and lets later passes sample the finished target through its parameter.
class RenderColorTarget final : public Command
{
public:
    RenderColorTarget(unsigned slot, EffectHandle parameter) : m_slot(slot), m_parameter(parameter) {}
    void Execute(Effect& context, int& index) override;

private:
    unsigned m_slot;
    EffectHandle m_parameter;
};

// The same for the depth-stencil surface.
class RenderDepthStencilTarget final : public Command
{
public:
    explicit RenderDepthStencilTarget(EffectHandle parameter) : m_parameter(parameter) {}
    void Execute(Effect& context, int& index) override;

private:
    EffectHandle m_parameter;
};

class ClearSetColor final : public Command
{
public:
    explicit ClearSetColor(EffectHandle parameter) : m_parameter(parameter) {}
    void Execute(Effect& context, int& index) override;

private:
    EffectHandle m_parameter;
};

class ClearSetDepth final : public Command
{
public:
    explicit ClearSetDepth(EffectHandle parameter) : m_parameter(parameter) {}
    void Execute(Effect& context, int& index) override;

private:
    EffectHandle m_parameter;
};

class ClearColor final : public Command
{
public:
    void Execute(Effect& context, int& index) override;
};

class ClearDepth final : public Command
{
public:
    void Execute(Effect& context, int& index) override;
};

// Draws a draw group by its lower-case name.
class Draw final : public Command
{
public:
    explicit Draw(std::string group) : m_group(std::move(group)) {}
    void Execute(Effect& context, int& index) override;

private:
    std::string m_group;
};

// A loop's head: while its counter is below the count parameter the body runs, else execution goes on
// after the loop's closing Goto and the counter returns to 0. While the body runs the head is on the
// effect's list of running loops. A head that no "LoopEnd" closed does nothing.
class GotoIf final : public Command
{
public:
    explicit GotoIf(EffectHandle count) : m_count(count) {}
    void Execute(Effect& context, int& index) override;

    // The index of the loop's closing Goto; -1 until a "LoopEnd" closes the loop.
    int m_exit = -1;
    // The iterations begun so far; 0 while the loop is not running.
    int m_counter = 0;

private:
    EffectHandle m_count;
};

// A loop's end: back to its head.
class Goto final : public Command
{
public:
    explicit Goto(int head) : m_head(head) {}
    void Execute(Effect& context, int& index) override;

private:
    int m_head;
};

// Sets its parameter (int or float) to the iteration, from 0, of the innermost loop running, whichever
// list opened it (a pass's script reads the loop of the technique's script that runs the pass).
class LoopGetIndex final : public Command
{
public:
    explicit LoopGetIndex(EffectHandle parameter) : m_parameter(parameter) {}
    void Execute(Effect& context, int& index) override;

private:
    EffectHandle m_parameter;
};

// Appends what one script pair (key lower-cased, value as written) makes to the list; openLoops holds
// the indices of the loop heads not yet closed. A key no command takes is passed over.
void ParseCommand(Effect& effect, const std::string& key, const std::string& value, CommandList& list,
                  std::vector<int>& openLoops);

} // namespace CGFX
} // namespace Quarn
