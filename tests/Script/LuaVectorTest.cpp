#include "Script/LuaVector.h"

#include "Core/MessageManager.h"
#include "Core/ParamArena.h"
#include "Core/SizedPool.h"
#include "LuaChunkTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace Quarn
{
namespace
{

class LuaVectorTest : public test::LuaChunkTest
{
protected:
    Vector4 VectorResult(const std::string& code)
    {
        Return(code);
        void* vector = GetVectorLuaBind().ToValue(State(), -1);
        EXPECT_NE(vector, nullptr) << code << " gave no vector";
        const Vector4 value = vector ? *static_cast<Vector4*>(vector) : Vector4();
        lua_pop(State(), 1);
        return value;
    }

    static std::size_t VectorsInUse() { return SizedPool<sizeof(Vector4)>::InUse(); }
};

void ExpectComponents(const Vector4& actual, const Vector4& expected, const std::string& code)
{
    SCOPED_TRACE(code);
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, expected.y, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
    EXPECT_NEAR(actual.w, expected.w, 1e-6f);
}

TEST_F(LuaVectorTest, ConstructorsMethodsAndOperatorsMakeTheExpectedVectors)
{
    struct Case
    {
        const char* code;
        Vector4 expected;
    };
    const Case cases[] = {
        {"return Vector4()", {0, 0, 0, 0}},
        {"return Vector4(1, 2, 3, 4)", {1, 2, 3, 4}},
        {"return Vector3(1, 2, 3)", {1, 2, 3, 0}},
        {"return Vector2(1, 2)", {1, 2, 0, 0}},
        // Missing and non-numeric arguments read as 0.
        {"return Vector3('x', nil, 2)", {0, 0, 2, 0}},
        {"return Vector2('7', {})", {7, 0, 0, 0}},
        // w takes part in normalisation.
        {"return Vector4(1, 1, 1, 1):Normalized()", {0.5f, 0.5f, 0.5f, 0.5f}},
        {"local v = Vector4(3, 4, 0, 0) v:Normalize() return v", {0.6f, 0.8f, 0, 0}},
        {"return Vector3(1, 0, 0):Cross(Vector3(0, 1, 0))", {0, 0, 1, 0}},
        {"return Vector4(1, 2, 3, 4):Cross(Vector4(5, 6, 7, 8))", {-4, 8, -4, 0}},
        {"return Vector4(1, 2, 3, 4):ScaleElementWise(Vector4(2, 3, 4, 5))", {2, 6, 12, 20}},
        {"local v = Vector2(1, 0) v:Rotate(math.pi / 2) return v", {0, 1, 0, 0}},
        {"local v = Vector4(1, 2, 3, 4) v:Rotate(math.pi) return v", {-1, -2, 3, 4}},
        {"local v = Vector4() v:SetX(1) v:SetY(2) v:SetZ(3) v:SetW(4) return v", {1, 2, 3, 4}},
        {"return Vector4(1, 2, 3, 4):Copy()", {1, 2, 3, 4}},
        {"return Vector4(1, 2, 3, 4) + Vector4(10, 20, 30, 40)", {11, 22, 33, 44}},
        {"return Vector4(1, 2, 3, 4) - Vector4(4, 3, 2, 1)", {-3, -1, 1, 3}},
        {"return Vector4(1, 2, 3, 4) * 2", {2, 4, 6, 8}},
        {"return Vector4(1, 2, 3, 4) / 2", {0.5f, 1, 1.5f, 2}},
        {"return -Vector4(1, -2, 3, 0)", {-1, 2, -3, 0}},
        // The right operand of * is a number; a vector there reads as 0.
        {"return Vector4(1, 2, 3, 4) * Vector2(5, 5)", {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
    {
        ExpectComponents(VectorResult(c.code), c.expected, c.code);
    }
}

TEST_F(LuaVectorTest, NumberResultsIncludeEveryComponent)
{
    struct Case
    {
        const char* code;
        lua_Number expected;
    };
    const Case cases[] = {
        {"return Vector2(1, 2):Length()", std::sqrt(5.0)},
        {"return Vector4(1, 2, 3, 4):LengthSqrd()", 30},
        {"return Vector4(1, 1, 1, 1):Length()", 2},
        {"return Vector4(1, 2, 3, 4):Dot(Vector4(1, 1, 1, 1))", 10},
        {"return Vector3(1, 2, 3):W()", 0},
        {"return Vector4(5, 6, 7, 8):X() + 10 * Vector4(5, 6, 7, 8):Z()", 75},
        // The integer keys are the getters.
        {"local v = Vector4(5, 6, 7, 8) return v[1](v)", 5},
        {"local v = Vector4(5, 6, 7, 8) return v[2](v) + v[3](v)", 13},
        {"local v = Vector4(5, 6, 7, 8) return v[4](v)", 8},
        {"local v = Vector4(0.1, 0, 0, 0) return v:X()", 0.1f},
    };
    for (const Case& c : cases)
    {
        EXPECT_NEAR(NumberResult(c.code), c.expected, 1e-6) << c.code;
    }
}

TEST_F(LuaVectorTest, EqualityAliasingAndKeys)
{
    const char* const truths[] = {
        "return Vector2(1, 2) == Vector2(1, 2)",
        "return not (Vector2(1, 2) == Vector2(1, 2.5))",
        "return not (Vector4(1, 2, 3, 0) ~= Vector3(1, 2, 3))",
        "return not rawequal(Vector2(1, 2), Vector2(1, 2))",
        "local a = Vector2(1, 2) local b = a b:SetX(5) return a:X() == 5",
        "local a = Vector2(1, 2) local b = a:Copy() b:SetX(5) return a:X() == 1 and b:X() == 5",
        "local a = Vector2(1, 2) local b = a + Vector2() b:SetX(5) return a:X() == 1",
        "local v = Vector2() return v[1] == v.X and v[2] == v.Y and v[3] == v.Z and v[4] == v.W",
        "return Vector2()[5] == nil and Vector2()[0] == nil",
    };
    for (const char* code : truths)
    {
        EXPECT_TRUE(TruthResult(code)) << code;
    }
}

TEST_F(LuaVectorTest, DivisionByZeroGivesInfinitiesAndNaN)
{
    const Vector4 v = VectorResult("return Vector4(1, -1, 0, 2) / 0");
    EXPECT_EQ(v.x, std::numeric_limits<float>::infinity());
    EXPECT_EQ(v.y, -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(v.z));
    EXPECT_EQ(v.w, std::numeric_limits<float>::infinity());

    const Vector4 zero = VectorResult("return Vector4():Normalized()");
    EXPECT_TRUE(std::isnan(zero.x));
}

TEST_F(LuaVectorTest, NonVectorOperandsAreScriptErrors)
{
    struct Case
    {
        const char* code;
        const char* error;
    };
    const Case cases[] = {
        {"return 2 * Vector2(1, 2)", "bad argument #1 (Vector expected)"},
        {"return 1 - Vector2(1, 2)", "bad argument #1 (Vector expected)"},
        {"return Vector2(1, 2) + 1", "bad argument #2 (Vector expected)"},
        {"return Vector2(1, 2) - 'a'", "bad argument #2 (Vector expected)"},
        {"return Vector2(1, 2):Dot(3)", "bad argument #2 (Vector expected)"},
        {"return Vector2(1, 2):Cross({})", "bad argument #2 (Vector expected)"},
        {"return Vector2(1, 2):ScaleElementWise()", "bad argument #2 (Vector expected)"},
        {"return Vector2(1, 2).Length()", "bad argument #1 (Vector expected)"},
        {"return Vector2(1, 2).X(5)", "bad argument #1 (Vector expected)"},
        {"local v = Vector2(1, 2) return v.SetX(vecs, 1)", "bad argument #1 (Vector expected)"},
        // A vector given back to the pool by an explicit call of its collector is no longer usable.
        {"local v = Vector2(1, 2) getmetatable(v).__gc(v) return v:X()", "bad argument #1 (Vector expected)"},
        {"local v = Vector2(1, 2) getmetatable(v).__gc(v) return Vector2() + v",
         "bad argument #2 (Vector expected)"},
    };
    for (const Case& c : cases)
    {
        const std::string error = m_lua->Run(c.code);
        EXPECT_NE(error.find(c.error), std::string::npos) << c.code << " gave \"" << error << "\"";
    }
}

TEST_F(LuaVectorTest, PushesAndReadsOfTheEngineTypes)
{
    Vector3 position(1, 2, 3);
    position.w = 1;
    LuaPushVector3(State(), position);
    ExpectComponents(LuaCheckVector(State(), -1), {1, 2, 3, 0}, "Vector3 push");
    LuaPushVector4(State(), Vector4(position));
    ExpectComponents(LuaCheckVector(State(), -1), {1, 2, 3, 1}, "Vector4 push");
    LuaPushVector2(State(), Vector2(5, 6));
    ExpectComponents(LuaCheckVector(State(), -1), {5, 6, 0, 0}, "Vector2 push");
    EXPECT_FALSE(lua_rawequal(State(), -1, -2));

    LuaPushVector4(State(), Vector4(7, 8, 9, 10));
    const Vector3 asVector3 = LuaConverter<Vector3>::Read(State(), -1);
    EXPECT_EQ(asVector3, Vector3(7, 8, 9));
    EXPECT_EQ(asVector3.w, 0.0f);
    EXPECT_EQ(LuaConverter<Vector2>::Read(State(), -1), Vector2(7, 8));
    EXPECT_EQ(LuaConverter<Vector4>::Read(State(), -1), Vector4(7, 8, 9, 10));
    lua_pop(State(), 4);
}

TEST_F(LuaVectorTest, VectorParametersOfMessagesReachLuaListeners)
{
    ParamArena arena{4096};
    MessageManager messages{arena};
    LuaConverter<MessageManager*>::Push(State(), &messages);
    lua_setglobal(State(), "messages");
    ASSERT_EQ(m_lua->Run("messages:RegisterListener('Moved', function(a, b, c) "
                         "got = table.concat({a:X(), a:W(), b:Z(), b:W(), c:Y(), c:Z()}, ',') end)"),
              "");
    Vector3 position(1, 2, 3);
    position.w = 1;
    messages.SendMessage("Moved", position, Vector4(4, 5, 6, 1), Vector2(7, 8));
    lua_getglobal(State(), "got");
    EXPECT_STREQ(lua_tostring(State(), -1), "1,0,6,1,8,0");
    lua_pop(State(), 1);
}

TEST_F(LuaVectorTest, CollectedVectorsGoBackToThePool)
{
    const std::size_t before = VectorsInUse();
    ASSERT_EQ(m_lua->Run("kept = Vector2(1, 2) "
                         "for i = 1, 20000 do local v = (Vector3(i, i, i) + Vector3(1, 1, 1)) * 2 "
                         "v = v:Normalized():Copy() end "
                         "collectgarbage('collect')"),
              "");
    EXPECT_EQ(VectorsInUse(), before + 1);

    // An explicit collector call and the real collection give the block back once.
    ASSERT_EQ(m_lua->Run("getmetatable(kept).__gc(kept) kept = nil collectgarbage('collect')"), "");
    EXPECT_EQ(VectorsInUse(), before);

    ASSERT_EQ(m_lua->Run("kept = { Vector2(), Vector3(), Vector4() }"), "");
    m_lua.reset();
    EXPECT_EQ(VectorsInUse(), before);
}

TEST_F(LuaVectorTest, ANewStateRegistersTheClassesAgain)
{
    ASSERT_EQ(m_lua->Run("v = Vector2(1, 2) + Vector2(3, 4)"), "");
    Reopen();
    ExpectComponents(VectorResult("return Vector2(1, 2) + Vector2(3, 4)"), {4, 6, 0, 0}, "after reopening");
    EXPECT_NEAR(NumberResult("local v = Vector4(5, 6, 7, 8) return v[3](v)"), 7, 0);
}

} // namespace
} // namespace Quarn
