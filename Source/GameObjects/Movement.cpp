#include "GameObjects/Movement.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

bool Movement::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, CohesionWeight, "CohesionWeight");
    SerializeNamed(serializer, SeparationWeight, "SeparationWeight");
    SerializeNamed(serializer, AlignmentWeight, "AlignmentWeight");
    SerializeNamed(serializer, SeekWeight, "SeekWeight");
    SerializeNamed(serializer, FleeWeight, "FleeWeight");
    SerializeNamed(serializer, PursueWeight, "PursueWeight");
    SerializeNamed(serializer, EvadeWeight, "EvadeWeight");
    SerializeNamed(serializer, ArriveWeight, "ArriveWeight");
    SerializeNamed(serializer, InterceptWeight, "InterceptWeight");
    SerializeNamed(serializer, ObstacleAvoidWeight, "ObstacleAvoidWeight");
    SerializeNamed(serializer, WanderWeight, "WanderWeight");
    SerializeNamed(serializer, HideWeight, "HideWeight");
    SerializeNamed(serializer, FaceTarget, "FaceTarget");
    SerializeNamed(serializer, MaxForce, "MaxForce");
    SerializeNamed(serializer, MaxSpeed, "MaxSpeed");
    return true;
}

void Movement::Update(float) {}

} // namespace Quarn
