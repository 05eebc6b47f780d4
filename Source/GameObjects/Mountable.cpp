#include "GameObjects/Mountable.h"

#include "Core/MatrixBuilders.h"
#include "Core/OutputHandler.h"
#include "Core/Quaternion.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Transform.h"
#include "Resources/SerializerTypes.h"

namespace Quarn
{

namespace
{

GameObject* ResolveObject(const GameObjectHandle& handle)
{
    GameObjectManager* manager = GameObjectManager::Current();
    return manager && handle.IsValid() ? manager->Resolve(handle) : nullptr;
}

} // namespace

Mountable::Mountable(const Mountable& source)
    : ComponentT(source), m_parent(source.m_parent), Position(source.Position),
      InheritAngle(source.InheritAngle), InheritScale(source.InheritScale), Angle(source.Angle),
      Scale(source.Scale)
{
}

Mountable::~Mountable()
{
    Unregister();
}

void Mountable::Follow()
{
    GameObject* parent = ResolveObject(m_parent);
    GameObject* owner = GetOwner();
    if (!parent || !parent->IsLive() || !owner)
        return;
    Transform* parentTransform = parent->Get<Transform>();
    Transform* transform = owner->Get<Transform>();
    if (!parentTransform || !transform)
        return;

    const float parentAngle = Transform::ToRadians(parentTransform->Angle);
    const float angle = InheritAngle ? parentAngle + Angle : Angle;
    const Vector4 parentPosition(parentTransform->Position.x, parentTransform->Position.y,
                                 parentTransform->Position.z, 0.0f);
    Vector4 position;
    if (InheritScale)
        position = Position * parentTransform->GetWorldMatrix();
    else if (InheritAngle)
        position =
            Position * MatrixRotationQuaternion(QuaternionFromAxisAngle(Vector3(0, 0, 1), parentAngle)) +
            parentPosition;
    else
        position = Position + parentPosition;
    transform->SetPositionAngleScale(transform->Scale, Vector4(position.x, position.y, position.z, 0.0f),
                                     angle);
}

bool Mountable::WouldFormLoop(const GameObject& parent) const
{
    const GameObject* owner = GetOwner();
    if (!owner)
        return false;
    // Each step goes one mount up; a chain longer than the object table must already loop.
    const GameObject* current = &parent;
    for (std::size_t steps = 0; current && steps <= GameObjectManager::kMaxSlots; ++steps)
    {
        if (current == owner)
            return true;
        const Mountable* mount = current->Get<Mountable>();
        current = mount ? ResolveObject(mount->m_parent) : nullptr;
    }
    return current != nullptr;
}

void Mountable::Mount(GameObject& parent)
{
    if (WouldFormLoop(parent))
    {
        QUARN_REPORT("Mount refused: the object would ride on itself");
        return;
    }
    Unregister();
    m_parent = parent.GetHandle();
    m_listenerId = kNoListener;
    if (Transform* parentTransform = parent.Get<Transform>())
        m_listenerId = parentTransform->AddListener([this] { Follow(); });
    Follow();
}

void Mountable::Unregister()
{
    // A parent out of play still keeps its listeners, and may come back: the listener goes all the same.
    if (m_listenerId == kNoListener)
        return;
    if (GameObject* parent = ResolveObject(m_parent))
        if (Transform* parentTransform = parent->Get<Transform>())
            parentTransform->RemoveListener(m_listenerId);
}

bool Mountable::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, Position, "Position");
    Vector3 scale(Scale);
    if (SerializeNamed(serializer, scale, "Scale"))
        Scale = Vector4(scale.x, scale.y, scale.z, Scale.w);
    SerializeNamed(serializer, Angle, "Angle");
    SerializeNamed(serializer, InheritScale, "InheritScale");
    SerializeNamed(serializer, InheritAngle, "InheritAngle");
    return true;
}

} // namespace Quarn
