#pragma once

#include <string>
#include <vector>

namespace Quarn::test
{

// Collects the errors the program would show in a box, for the lifetime of the object.
class CapturedErrors
{
public:
    CapturedErrors();
    ~CapturedErrors();
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;

    const std::vector<std::string>& Texts() const { return m_texts; }
    std::size_t Count() const { return m_texts.size(); }
    bool Any(const std::string& fragment) const;
    void Clear() { m_texts.clear(); }

private:
    std::vector<std::string> m_texts;
};

} // namespace Quarn::test
