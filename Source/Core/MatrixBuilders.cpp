#include "Core/MatrixBuilders.h"

#include "Core/Quaternion.h"
#include "Core/Vector3.h"

#include <cmath>

namespace Quarn
{
namespace
{

Matrix4 MatrixRotationX(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
}

Matrix4 MatrixRotationY(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
}

// x, y and z of v, w dropped.
Vector3 Xyz(const Vector3& v)
{
    return {v.x, v.y, v.z};
}

Matrix4 Translation(const Vector3& v)
{
    return MatrixTranslation(v.x, v.y, v.z);
}

} // namespace

Matrix4 MatrixScaling(float sx, float sy, float sz)
{
    return {sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1};
}

Matrix4 MatrixRotationZ(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix4 MatrixTranslation(float x, float y, float z)
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

Matrix4 MatrixRotationYawPitchRoll(float yaw, float pitch, float roll)
{
    return MatrixRotationZ(roll) * MatrixRotationX(pitch) * MatrixRotationY(yaw);
}

Matrix4 MatrixRotationQuaternion(const Quaternion& q)
{
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    // clang-format off
    return {1 - 2 * (yy + zz), 2 * (xy + wz),     2 * (xz - wy),     0,
            2 * (xy - wz),     1 - 2 * (xx + zz), 2 * (yz + wx),     0,
            2 * (xz + wy),     2 * (yz - wx),     1 - 2 * (xx + yy), 0,
            0,                 0,                 0,                 1};
    // clang-format on
}

Matrix4 MatrixLookAtRH(const Vector3& eye, const Vector3& at, const Vector3& up)
{
    const Vector3 e = Xyz(eye);
    const Vector3 zAxis = Vector3::GetNormalized(e - Xyz(at));
    const Vector3 xAxis = Vector3::GetNormalized(Vector3::Cross(up, zAxis));
    const Vector3 yAxis = Vector3::Cross(zAxis, xAxis);
    // clang-format off
    return {xAxis.x,                 yAxis.x,                 zAxis.x,                 0,
            xAxis.y,                 yAxis.y,                 zAxis.y,                 0,
            xAxis.z,                 yAxis.z,                 zAxis.z,                 0,
            -Vector3::Dot(xAxis, e), -Vector3::Dot(yAxis, e), -Vector3::Dot(zAxis, e), 1};
    // clang-format on
}

Matrix4 MatrixTransformation(const Vector3& scalingCenter, const Quaternion& scalingRotation,
                             const Vector3& scaling, const Vector3& rotationCenter,
                             const Quaternion& rotation, const Vector3& translation)
{
    const Matrix4 scalingFrame = MatrixRotationQuaternion(scalingRotation);
    return Translation(-scalingCenter) * scalingFrame.GetInverse() *
           MatrixScaling(scaling.x, scaling.y, scaling.z) * scalingFrame * Translation(scalingCenter) *
           Translation(-rotationCenter) * MatrixRotationQuaternion(rotation) * Translation(rotationCenter) *
           Translation(translation);
}

Matrix4 MatrixPerspectiveFovRH(float fovY, float aspect, float zNear, float zFar)
{
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    const float depth = zNear - zFar;
    return {xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, zFar / depth, -1, 0, 0, zNear * zFar / depth, 0};
}

} // namespace Quarn
