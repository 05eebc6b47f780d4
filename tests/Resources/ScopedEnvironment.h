#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace Quarn::test
{

// Sets or clears environment variables for its lifetime and restores the previous values after.
class ScopedEnvironment
{
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : m_saved)
            Apply(name, value);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    // A null value removes the variable.
    void Set(const std::string& name, const std::optional<std::string>& value)
    {
        if (!m_saved.count(name))
        {
            const char* previous = std::getenv(name.c_str());
            m_saved[name] = previous ? std::optional<std::string>(previous) : std::nullopt;
        }
        Apply(name, value);
    }

private:
    static void Apply(const std::string& name, const std::optional<std::string>& value)
    {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }

    std::map<std::string, std::optional<std::string>> m_saved;
};

} // namespace Quarn::test
