#include "Core/MessageName.h"

#include <deque>
#include <functional>
#include <unordered_map>

namespace Quarn
{

namespace
{

struct TextHash
{
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept
    {
        return std::hash<std::string_view>()(text);
    }
};

// Every name ever interned; texts stay where they are as more are entered.
struct NameTable
{
    std::deque<std::string> texts;
    std::unordered_map<std::string_view, std::uint32_t, TextHash, std::equal_to<>> ids;
};

NameTable& Names()
{
    static NameTable table;
    return table;
}

} // namespace

MessageName::MessageName(std::string_view text)
{
    NameTable& names = Names();
    if (const auto found = names.ids.find(text); found != names.ids.end())
    {
        m_id = found->second;
        return;
    }
    m_id = static_cast<std::uint32_t>(names.texts.size());
    names.ids.emplace(names.texts.emplace_back(text), m_id);
}

const std::string& MessageName::Text() const
{
    return Names().texts[m_id];
}

} // namespace Quarn
