#include "Resources/ComparisonSerializer.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/XMLSerializer.h"

#include <algorithm>

namespace Quarn
{

void ComparisonSerializer::InjectExistence(std::vector<bool>&)
{
    QUARN_REPORT("Comparison serializer does not allow inject existance!");
}

bool ComparisonSerializer::Exists(const char*)
{
    if (m_comparing)
    {
        m_scopes.push_back({static_cast<std::uint32_t>(m_existence.size()), m_depth, false});
        m_existence.push_back(false);
    }
    return true;
}

void ComparisonSerializer::BeginGroup(const char*&)
{
    ++m_depth;
    if (!m_comparing)
    {
        const auto group = static_cast<std::uint32_t>(m_recorded.size());
        m_recorded.emplace_back();
        m_recorded[m_recordingOpen.back()].children.push_back(group);
        m_recordingOpen.push_back(group);
        return;
    }
    Pairing& parent = m_pairings.back();
    Pairing opened;
    if (parent.partner)
    {
        const std::vector<std::uint32_t>& children = m_recorded[*parent.partner].children;
        if (parent.nextChild < children.size())
            opened.partner = children[parent.nextChild++];
    }
    m_pairings.push_back(opened);
    if (!opened.partner)
        MarkDifferent();
}

void ComparisonSerializer::EndGroup()
{
    QUARN_ASSERT(m_depth > 0, "EndGroup without an open group in the comparison serializer.");
    if (m_depth == 0)
        return;
    --m_depth;
    if (!m_comparing)
    {
        m_recordingOpen.pop_back();
        if (m_depth == 0)
            StartComparing();
        return;
    }
    // Exists calls inside the group that opened no group of their own end with it.
    while (!m_scopes.empty() && m_scopes.back().depth > m_depth)
        m_scopes.pop_back();

    const Pairing closed = m_pairings.back();
    m_pairings.pop_back();
    if (closed.partner)
    {
        const RecordedGroup& partner = m_recorded[*closed.partner];
        if (closed.nextText < partner.texts.size() || closed.nextChild < partner.children.size())
            MarkDifferent();
    }
    if (!m_scopes.empty() && m_scopes.back().depth == m_depth)
        CloseScope();
    if (m_depth == 0)
        StartComparing();
}

void ComparisonSerializer::CloseScope()
{
    const Scope scope = m_scopes.back();
    m_scopes.pop_back();
    if (scope.sequence)
        --m_openSequences;
    // Inside a sequence nothing is dropped yet: the sequence decides for all its parts when it ends.
    if (m_openSequences > 0)
        return;
    if (!m_existence[scope.bit])
    {
        // A writer that skips this part never asks about the parts inside it.
        m_existence.resize(scope.bit + 1);
    }
    else if (scope.sequence)
    {
        std::fill(m_existence.begin() + scope.bit + 1, m_existence.end(), true);
    }
}

void ComparisonSerializer::StartComparing()
{
    m_comparing = true;
    m_pairings.assign(1, Pairing{0});
    m_scopes.clear();
    m_openSequences = 0;
}

void ComparisonSerializer::SequenceSize(std::uint32_t& count, const char*&)
{
    Value(count);
    if (!m_comparing || m_scopes.empty())
        return;
    Scope& scope = m_scopes.back();
    if (scope.depth + 1 == m_depth && !scope.sequence)
    {
        scope.sequence = true;
        ++m_openSequences;
    }
}

template <class T> void ComparisonSerializer::Value(T value)
{
    std::string text;
    XMLSerializer::ValueText(value, text);
    Compare(text);
}

void ComparisonSerializer::Compare(const std::string& text)
{
    if (!m_comparing)
    {
        m_recorded[m_recordingOpen.back()].texts.push_back(text);
        return;
    }
    Pairing& pairing = m_pairings.back();
    if (!pairing.partner)
    {
        MarkDifferent();
        return;
    }
    const std::vector<std::string>& texts = m_recorded[*pairing.partner].texts;
    if (pairing.nextText >= texts.size() || texts[pairing.nextText++] != text)
        MarkDifferent();
}

void ComparisonSerializer::MarkDifferent()
{
    // An open scope is only ever set together with every scope around it, so the walk stops at the
    // first one already set.
    for (auto scope = m_scopes.rbegin(); scope != m_scopes.rend() && !m_existence[scope->bit]; ++scope)
        m_existence[scope->bit] = true;
}

} // namespace Quarn
