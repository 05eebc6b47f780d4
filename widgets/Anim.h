#pragma once

#include <list>
#include <map>

namespace Gui
{

namespace Controls
{
class Base;
}

// Animations of controls over the library clock, held per control in one registry, advanced by the
// canvas's think and cancelled when their control goes.
namespace Anim
{

class Animation
{
public:
    virtual ~Animation() = default;
    virtual void Think() = 0;
    virtual bool Finished() { return false; }

    Controls::Base* m_control = nullptr;
};

// Runs from its start (now plus a delay) for its length; Run receives the progress raised to the ease
// (1 linear, above 1 starting slowly; one not finite or not above 0 is taken as 1).
class TimedAnimation : public Animation
{
public:
    TimedAnimation(float length, float delay = 0.0f, float ease = 1.0f);

    void Think() override;
    bool Finished() override { return m_finished; }

protected:
    virtual void OnStart() {}
    virtual void Run(float /*delta*/) {}
    virtual void OnFinish() {}

private:
    bool m_started = false;
    bool m_finished = false;
    float m_start;
    float m_end;
    float m_ease;
};

namespace Size
{

// The width from one size to another; at the end the control is hidden or shown as asked.
class Width : public TimedAnimation
{
public:
    Width(int startSize, int endSize, float length, bool hide = false, float delay = 0.0f, float ease = 1.0f);

protected:
    void OnStart() override;
    void Run(float delta) override;
    void OnFinish() override;

    int m_startSize;
    int m_change;
    bool m_hide;
};

class Height : public Width
{
public:
    using Width::Width;

protected:
    void OnStart() override;
    void Run(float delta) override;
    void OnFinish() override;
};

} // namespace Size

// The registry takes the animation; the control's animations run in the order added.
void Add(Controls::Base* control, Animation* animation);
// Deletes every animation of the control.
void Cancel(Controls::Base* control);
void Think();

} // namespace Anim
} // namespace Gui
