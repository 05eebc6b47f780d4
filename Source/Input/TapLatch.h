#pragma once

#include <functional>

namespace Quarn
{

// Fires a tap once when its test starts passing, and again only after the test has failed in between.
class TapLatch
{
public:
    void Update(bool passes, const std::function<void()>& fire)
    {
        const bool first = passes && !m_fired;
        m_fired = passes;
        if (first)
            fire();
    }

private:
    bool m_fired = false;
};

} // namespace Quarn
