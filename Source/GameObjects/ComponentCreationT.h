#pragma once

#include "GameObjects/Component.h"

namespace Quarn
{

// Makes new default components of one registered type.
class ComponentCreationBase
{
public:
    virtual ~ComponentCreationBase() = default;
    virtual Component* Create() const = 0;
};

// The creator of type X: a block from X's sized pool, default-constructed.
template <class X> class ComponentCreationT : public ComponentCreationBase
{
public:
    Component* Create() const override { return new X(); }
};

} // namespace Quarn
