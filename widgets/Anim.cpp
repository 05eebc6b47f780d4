#include "widgets/Anim.h"

#include "widgets/Controls/Base.h"
#include "widgets/Platform.h"

#include <algorithm>
#include <cmath>

namespace Gui::Anim
{

namespace
{

std::map<Controls::Base*, std::list<Animation*>>& Registry()
{
    static std::map<Controls::Base*, std::list<Animation*>> registry;
    return registry;
}

} // namespace

// An ease that is not finite or not above 0 would throw the size far past both ends: it runs linearly.
TimedAnimation::TimedAnimation(float length, float delay, float ease)
    : m_ease(std::isfinite(ease) && ease > 0.0f ? ease : 1.0f)
{
    m_start = Platform::GetTimeInSeconds() + delay;
    m_end = m_start + length;
}

void TimedAnimation::Think()
{
    if (m_finished)
        return;
    const float elapsed = Platform::GetTimeInSeconds() - m_start;
    if (elapsed < 0.0f)
        return;
    if (!m_started)
    {
        m_started = true;
        OnStart();
    }
    // An animation without length is at its end at once.
    const float length = m_end - m_start;
    const float t = length > 0.0f ? std::clamp(elapsed / length, 0.0f, 1.0f) : 1.0f;
    Run(std::pow(t, m_ease));
    if (t == 1.0f)
    {
        m_finished = true;
        OnFinish();
    }
}

namespace Size
{

Width::Width(int startSize, int endSize, float length, bool hide, float delay, float ease)
    : TimedAnimation(length, delay, ease), m_startSize(startSize), m_change(endSize - startSize), m_hide(hide)
{
}

void Width::OnStart()
{
    m_control->SetWidth(m_startSize);
}

void Width::Run(float delta)
{
    m_control->SetWidth(static_cast<int>(std::trunc(m_startSize + m_change * delta)));
}

void Width::OnFinish()
{
    m_control->SetWidth(m_startSize + m_change);
    m_control->SetHidden(m_hide);
}

void Height::OnStart()
{
    m_control->SetHeight(m_startSize);
}

void Height::Run(float delta)
{
    m_control->SetHeight(static_cast<int>(std::trunc(m_startSize + m_change * delta)));
}

void Height::OnFinish()
{
    m_control->SetHeight(m_startSize + m_change);
    m_control->SetHidden(m_hide);
}

} // namespace Size

void Add(Controls::Base* control, Animation* animation)
{
    animation->m_control = control;
    Registry()[control].push_back(animation);
}

void Cancel(Controls::Base* control)
{
    auto& registry = Registry();
    const auto found = registry.find(control);
    if (found == registry.end())
        return;
    for (Animation* animation : found->second)
        delete animation;
    registry.erase(found);
}

void Think()
{
    for (auto& [control, animations] : Registry())
    {
        for (auto it = animations.begin(); it != animations.end();)
        {
            (*it)->Think();
            if ((*it)->Finished())
            {
                delete *it;
                it = animations.erase(it);
            }
            else
            {
                ++it;
            }
        }
    }
}

} // namespace Gui::Anim
