#pragma once

#include "Core/Matrix4.h"

namespace Quarn
{

class Quaternion;
class Vector3;

// The standard matrix builders of the Direct3D convention (row vectors, v × M). Only x, y and z of
// vector arguments take part.

// diag(sx, sy, sz, 1).
Matrix4 MatrixScaling(float sx, float sy, float sz);
// Counter-clockwise about +z: rows (cos, sin, 0, 0), (−sin, cos, 0, 0), (0, 0, 1, 0), (0, 0, 0, 1).
Matrix4 MatrixRotationZ(float angle);
// The identity with the last row (x, y, z, 1).
Matrix4 MatrixTranslation(float x, float y, float z);
// RotationZ(roll) × RotationX(pitch) × RotationY(yaw): roll applies first.
Matrix4 MatrixRotationYawPitchRoll(float yaw, float pitch, float roll);
// The rotation of q, used as given (not normalised).
Matrix4 MatrixRotationQuaternion(const Quaternion& q);
// Right-handed view: eye to the origin, looking down −z with up towards +y.
Matrix4 MatrixLookAtRH(const Vector3& eye, const Vector3& at, const Vector3& up);
// Scaling about scalingCenter along the axes turned by scalingRotation, then rotation about
// rotationCenter, then translation:
// T(−sc) × Rs⁻¹ × S × Rs × T(sc) × T(−rc) × R × T(rc) × T(t).
Matrix4 MatrixTransformation(const Vector3& scalingCenter, const Quaternion& scalingRotation,
                             const Vector3& scaling, const Vector3& rotationCenter,
                             const Quaternion& rotation, const Vector3& translation);
// Right-handed perspective projection; view depth −zNear maps to 0 and −zFar to 1.
Matrix4 MatrixPerspectiveFovRH(float fovY, float aspect, float zNear, float zFar);

} // namespace Quarn
