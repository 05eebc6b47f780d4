#pragma once

#include "Audio/Audio.h"
#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "GameObjects/PhysicsObject.h"
#include "GameObjects/Transform.h"
#include "Graphics/Graphics.h"
#include "Physics/Collider.h"
#include "Physics/CollisionPair.h"
#include "Physics/DistanceJoint.h"
#include "Physics/Physics.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Quarn::test
{

// A game with the physics system, its settings given, and objects made in code. Collision messages to
// any object made here are written to a journal as "OnCollision a b" / "StopCollision a b" (receiver,
// then the other, by the names given at creation).
class PhysicsTest : public ::testing::Test
{
protected:
    void Start(const std::string& settings = "<FixedTimestep>0</FixedTimestep>")
    {
        m_folder.WriteSource("Settings/Physics.xml",
                             "<?xml version=\"1.0\" ?>\n<root><Physics>" + settings + "</Physics></root>\n");
        Physics::RegisterComponentTypes();
        Gameplay::RegisterComponentTypes();
        Audio::RegisterComponentTypes();
        Graphics::RegisterComponentTypes();
        m_engine.emplace();
        m_engine->AddSystem("Physics", &m_physics.emplace());
        m_physics->InitResources(m_engine->GetResourceManager());
    }

    MessageManager& Messages() { return m_engine->GetMessageManager(); }
    GameObjectManager& Objects() { return m_engine->GetGameObjectManager(); }

    GameObject& Object(const std::string& name, float x, float y)
    {
        GameObject* object = Objects().CreateIntern(new GameObject());
        auto* transform = new Transform();
        transform->Position = Vector4(x, y, 0.0f, 0.0f);
        object->SetComponent(Transform::TypeId(), transform, Transform::kTypeName);
        m_names[object->GetHandle().m_id] = name;
        for (const char* message : {"OnCollision", "StopCollision"})
            Messages().RegisterGOListener(object->GetHandle(), message,
                                          [this, message](const Message& received)
                                          {
                                              GameObject* self = received.ParamValue<GameObject*>(0);
                                              GameObject* other = received.ParamValue<GameObject*>(1);
                                              m_journal.push_back(std::string(message) + " " + NameOf(self) +
                                                                  " " + NameOf(other));
                                          });
        return *object;
    }

    PhysicsObject& AddBody(GameObject& object, float invMass, float friction = 0.0f)
    {
        auto* body = new PhysicsObject();
        body->InvMass = invMass;
        body->InvInertia = invMass / 6.0f;
        body->Friction = friction;
        object.SetComponent(PhysicsObject::TypeId(), body, PhysicsObject::kTypeName);
        return *body;
    }

    // A square of half-size h, points counter-clockwise.
    Collider& AddBox(GameObject& object, float h)
    {
        auto* collider = new Collider();
        collider->m_localCoords = {Vector4(-h, -h, 0, 0), Vector4(h, -h, 0, 0), Vector4(h, h, 0, 0),
                                   Vector4(-h, h, 0, 0)};
        object.SetComponent(Collider::TypeId(), collider, Collider::kTypeName);
        return *collider;
    }

    Collider& AddCircle(GameObject& object, float radius)
    {
        auto* collider = new Collider();
        collider->Type = Collider::kCircle;
        collider->m_radius = radius;
        object.SetComponent(Collider::TypeId(), collider, Collider::kTypeName);
        return *collider;
    }

    std::string NameOf(const GameObject* object) const
    {
        const auto found = object ? m_names.find(object->GetHandle().m_id) : m_names.end();
        return found == m_names.end() ? "?" : found->second;
    }

    RunFolder m_folder;
    CapturedErrors m_errors;
    OutputHandler m_output{false};
    std::optional<SystemManager> m_engine;
    std::optional<Physics> m_physics;
    std::map<std::uint32_t, std::string> m_names;
    std::vector<std::string> m_journal;
};

} // namespace Quarn::test
