#pragma once

#include "Core/System.h"

namespace Quarn
{

// The base every system class X derives through; per-class machinery that needs X lives here.
template <typename X> class SystemT : public System
{
};

} // namespace Quarn
