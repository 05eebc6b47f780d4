#pragma once

#include "Resources/Serializer.h"

namespace Quarn
{

// Reported by binary serializers handed existence bits they cannot take.
void ReportBinaryExistenceRefused();

// What the binary encodings share: group names leave no trace in the stream, so groups do nothing,
// and existence bits come from the stream's own header rather than from the caller.
template <class Family> class BinarySerializer : public Family
{
public:
    using Serializer::BeginGroup;

    void InjectExistence(std::vector<bool>&) override { ReportBinaryExistenceRefused(); }
    void BeginGroup(const char*&) override {}
    void EndGroup() override {}
};

} // namespace Quarn
