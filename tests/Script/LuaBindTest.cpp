#include "Core/OutputHandler.h"
#include "LuaTestState.h"
#include "Script/LuaBindable.h"
#include "Script/LuaFunctor.h"
#include "Script/LuaMethods.h"
#include "Script/LuaPrimitiveBind.h"
#include "Script/LuaTypePushers.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

// A bound class whose methods keep what they were given and hand it back.
class Probe : public LuaBasicBindable<Probe>
{
public:
    static void RegisterLuaMethods(lua_State* state)
    {
        LuaMethods<Probe>(
            state, LuaMethod<&Probe::SetInt>("SetInt"), LuaMethod<&Probe::SetUnsigned>("SetUnsigned"),
            LuaMethod<&Probe::SetFloat>("SetFloat"), LuaMethod<&Probe::SetBool>("SetBool"),
            LuaMethod<&Probe::SetKey>("SetKey"), LuaMethod<&Probe::SetChar16>("SetChar16"),
            LuaMethod<&Probe::SetString>("SetString"), LuaMethod<&Probe::SetWide>("SetWide"),
            LuaMethod<&Probe::SetPair>("SetPair"), LuaMethod<&Probe::Take>("Take"),
            LuaMethod<&Probe::TakeRef>("TakeRef"), LuaMethod<&Probe::GetInt>("GetInt"),
            LuaMethod<&Probe::GetUnsigned>("GetUnsigned"), LuaMethod<&Probe::GetDouble>("GetDouble"),
            LuaMethod<&Probe::GetBool>("GetBool"), LuaMethod<&Probe::GetString>("GetString"),
            LuaMethod<&Probe::GetWide>("GetWide"), LuaMethod<&Probe::GetSelf>("GetSelf"),
            LuaMethod<&Probe::GetNothing>("GetNothing"), LuaMethod<&Probe::ReadDepth>("ReadDepth"),
            LuaMethod<&Probe::Throw>("Throw"), LuaMethod<&Describe>("Describe"));
    }

    void SetInt(int value) { m_int = value; }
    void SetUnsigned(unsigned value) { m_unsigned = value; }
    void SetFloat(float value) { m_float = value; }
    void SetBool(bool value) { m_bool = value; }
    void SetKey(unsigned char value) { m_key = value; }
    void SetChar16(char16_t value) { m_char16 = value; }
    void SetString(const std::string& value) { m_string = value; }
    void SetWide(std::wstring value) { m_wide = std::move(value); }
    void SetPair(int first, const std::string& second)
    {
        m_int = first;
        m_string = second;
    }
    void Take(Probe* other) { m_taken = other; }
    void TakeRef(Probe& other) { m_taken = &other; }

    int GetInt() const { return m_int; }
    unsigned GetUnsigned() const { return m_unsigned; }
    double GetDouble() const { return 0.25; }
    bool GetBool() const { return m_bool; }
    const std::string& GetString() const { return m_string; }
    std::wstring GetWide() const { return m_wide; }
    Probe* GetSelf() { return this; }
    Probe* GetNothing() { return nullptr; }
    void ReadDepth() { m_depth = OutputHandler::Get().LuaCallDepth(); }
    void Throw() { throw std::runtime_error("probe failed"); }

    // A free function bound as a method: self comes first.
    static std::string Describe(Probe& probe, int times)
    {
        std::string text;
        for (int i = 0; i < times; ++i)
            text += probe.m_string;
        return text;
    }

    int m_int = -7;
    unsigned m_unsigned = 7;
    float m_float = -1.0f;
    bool m_bool = false;
    unsigned char m_key = 0;
    char16_t m_char16 = 0;
    std::string m_string = "unset";
    std::wstring m_wide;
    Probe* m_taken = nullptr;
    int m_depth = -1;
};

// Another bound class, for objects of the wrong class and reused addresses.
class Gadget : public LuaBasicBindable<Gadget>
{
public:
    static constexpr bool kLuaRaisesCallDepth = false;

    static void RegisterLuaMethods(lua_State* state)
    {
        LuaMethods<Gadget>(state, LuaMethod<&Gadget::Name>("Name"),
                           LuaMethod<&Gadget::ReadDepth>("ReadDepth"));
    }

    std::string Name() const { return "gadget"; }
    void ReadDepth() { m_depth = OutputHandler::Get().LuaCallDepth(); }

    int m_depth = -1;
};

// Scripts add fields to these.
class Thing : public LuaBindableBase<LuaExtensibleBind, Thing>
{
public:
    static constexpr const char* kLuaGlobalName = "thingDefs";

    static void RegisterLuaMethods(lua_State* state)
    {
        LuaMethods<Thing>(state, LuaMethod<&Thing::Size>("Size"));
    }

    int Size() const { return 3; }
};

class LuaBindTest : public testing::Test
{
protected:
    LuaBindTest() { OutputHandler::Get().ResetLuaCallDepth(); }

    lua_State* State() const { return m_lua.State(); }

    template <typename T> void SetGlobal(const char* name, T* object)
    {
        LuaConverter<T*>::Push(State(), object);
        lua_setglobal(State(), name);
    }

    // Runs code and expects it to succeed.
    void Run(const std::string& code) { ASSERT_EQ(m_lua.Run(code), "") << code; }

    bool GlobalIsTrue(const char* name)
    {
        lua_getglobal(State(), name);
        const bool value = lua_toboolean(State(), -1);
        lua_pop(State(), 1);
        return value;
    }

    test::LuaTestState m_lua;
    test::CapturedErrors m_errors;
};

TEST_F(LuaBindTest, AnObjectKeepsOneIdentityUntilItIsReleased)
{
    Probe probe;
    SetGlobal("first", &probe);
    SetGlobal("second", &probe);
    Run("same = rawequal(first, second)");
    EXPECT_TRUE(GlobalIsTrue("same"));

    Probe::GetLuaBind().Release(State(), &probe);
    SetGlobal("third", &probe);
    Run("fresh = not rawequal(first, third)");
    EXPECT_TRUE(GlobalIsTrue("fresh"));
    Run("third:SetInt(5)");
    EXPECT_EQ(probe.m_int, 5);
    // The released userdata no longer reaches the object.
    EXPECT_EQ(m_lua.Run("first:SetInt(9)"), "test:1: bad argument #1 (Probe expected)");
    EXPECT_EQ(probe.m_int, 5);
    EXPECT_EQ(lua_gettop(State()), 0);
}

TEST_F(LuaBindTest, AnAddressReusedByAnotherClassGetsANewUserdataOfThatClass)
{
    alignas(std::max_align_t) unsigned char storage[sizeof(Probe) + sizeof(Gadget)];
    auto* probe = new (storage) Probe;
    SetGlobal("old", probe);
    probe->~Probe();
    auto* gadget = new (storage) Gadget;
    ASSERT_EQ(static_cast<void*>(gadget), static_cast<void*>(probe));
    SetGlobal("new", gadget);
    Run("distinct = not rawequal(old, new) and getmetatable(old) ~= getmetatable(new)\n"
        "name = new:Name()");
    EXPECT_TRUE(GlobalIsTrue("distinct"));
    lua_getglobal(State(), "name");
    EXPECT_STREQ(lua_tostring(State(), -1), "gadget");
    lua_pop(State(), 1);
    SetGlobal("again", gadget);
    Run("stable = rawequal(new, again)");
    EXPECT_TRUE(GlobalIsTrue("stable"));
    gadget->~Gadget();
}

TEST_F(LuaBindTest, ExtensibleObjectsKeepScriptFieldsAndStillReachMethods)
{
    Thing thing;
    Thing other;
    SetGlobal("thing", &thing);
    SetGlobal("other", &other);
    Run("thing.health = 10\n"
        "thing.health = thing.health + 1\n"
        "size = thing:Size()\n"
        "missing = thing.nothing\n"
        "function thingDefs.Twice(self) return self:Size() * 2 end\n"
        "twice = other:Twice()\n"
        "other.Size = function() return 99 end\n"
        "shadowed = other:Size()\n"
        "unshadowed = thing:Size()\n"
        "separate = other.health");
    lua_getglobal(State(), "thing");
    lua_getfield(State(), -1, "health");
    EXPECT_EQ(lua_tointeger(State(), -1), 11);
    lua_settop(State(), 0);
    for (const auto& [name, expected] : std::vector<std::pair<const char*, int>>{
             {"size", 3}, {"twice", 6}, {"shadowed", 99}, {"unshadowed", 3}})
    {
        lua_getglobal(State(), name);
        EXPECT_EQ(lua_tointeger(State(), -1), expected) << name;
        lua_pop(State(), 1);
    }
    for (const char* name : {"missing", "separate"})
    {
        lua_getglobal(State(), name);
        EXPECT_TRUE(lua_isnil(State(), -1)) << name;
        lua_pop(State(), 1);
    }
}

TEST_F(LuaBindTest, ArgumentsConvertByTheirParameterTypes)
{
    struct Case
    {
        const char* call;
        std::function<void(const Probe&)> check;
    };
    const std::vector<Case> cases = {
        {"p:SetInt()", [](const Probe& p) { EXPECT_EQ(p.m_int, 0); }},
        {"p:SetInt('word')", [](const Probe& p) { EXPECT_EQ(p.m_int, 0); }},
        {"p:SetInt('12')", [](const Probe& p) { EXPECT_EQ(p.m_int, 12); }},
        {"p:SetInt(-3.9)", [](const Probe& p) { EXPECT_EQ(p.m_int, -3); }},
        {"p:SetInt(0/0)", [](const Probe& p) { EXPECT_EQ(p.m_int, 0); }},
        {"p:SetUnsigned(-1)", [](const Probe& p) { EXPECT_EQ(p.m_unsigned, 0xFFFFFFFFu); }},
        {"p:SetUnsigned(1e300)", [](const Probe& p) { EXPECT_EQ(p.m_unsigned, 0xFFFFFFFFu); }},
        {"p:SetFloat(0.5)", [](const Probe& p) { EXPECT_EQ(p.m_float, 0.5f); }},
        {"p:SetFloat()", [](const Probe& p) { EXPECT_EQ(p.m_float, 0.0f); }},
        {"p:SetBool(0)", [](const Probe& p) { EXPECT_TRUE(p.m_bool); }},
        {"p:SetBool(nil)", [](const Probe& p) { EXPECT_FALSE(p.m_bool); }},
        {"p:SetKey('A')", [](const Probe& p) { EXPECT_EQ(p.m_key, 65); }},
        {"p:SetKey(65)", [](const Probe& p) { EXPECT_EQ(p.m_key, 65); }},
        {"p:SetKey('Apple')", [](const Probe& p) { EXPECT_EQ(p.m_key, 65); }},
        {"p:SetKey(321)", [](const Probe& p) { EXPECT_EQ(p.m_key, 65); }},
        {"p:SetKey('')", [](const Probe& p) { EXPECT_EQ(p.m_key, 0); }},
        {"p:SetChar16('\\226\\130\\172')", [](const Probe& p) { EXPECT_EQ(p.m_char16, u'\u20AC'); }},
        {"p:SetChar16(66)", [](const Probe& p) { EXPECT_EQ(p.m_char16, u'B'); }},
        {"p:SetString(nil)", [](const Probe& p) { EXPECT_EQ(p.m_string, ""); }},
        {"p:SetString({})", [](const Probe& p) { EXPECT_EQ(p.m_string, ""); }},
        {"p:SetString(12)", [](const Probe& p) { EXPECT_EQ(p.m_string, "12"); }},
        {"p:SetString('a\\0b')", [](const Probe& p) { EXPECT_EQ(p.m_string, std::string("a\0b", 3)); }},
        {"p:SetWide('\\195\\169t\\195\\169')", [](const Probe& p) { EXPECT_EQ(p.m_wide, L"\u00E9t\u00E9"); }},
        {"p:SetPair(4, 'four')",
         [](const Probe& p)
         {
             EXPECT_EQ(p.m_int, 4);
             EXPECT_EQ(p.m_string, "four");
         }},
        {"p:Take(p)", [](const Probe& p) { EXPECT_EQ(p.m_taken, &p); }},
        {"p:Take(nil)", [](const Probe& p) { EXPECT_EQ(p.m_taken, nullptr); }},
        {"p:TakeRef(p)", [](const Probe& p) { EXPECT_EQ(p.m_taken, &p); }},
    };
    for (const Case& c : cases)
    {
        Probe probe;
        SetGlobal("p", &probe);
        Run(c.call);
        SCOPED_TRACE(c.call);
        c.check(probe);
    }
}

TEST_F(LuaBindTest, ResultsConvertByTheirTypes)
{
    Probe probe;
    probe.m_unsigned = 0xFFFFFFFFu;
    probe.m_bool = true;
    probe.m_string = "ab";
    probe.m_wide = L"\u00E9\u20AC";
    SetGlobal("p", &probe);
    Run("ok = p:GetUnsigned() == -1 and p:GetDouble() == 0.25 and p:GetBool() == true\n"
        "  and p:GetString() == 'ab' and p:GetWide() == '\\195\\169\\226\\130\\172'\n"
        "  and rawequal(p:GetSelf(), p) and p:GetNothing() == nil and p:Describe(3) == 'ababab'\n"
        "  and select('#', p:SetInt(1)) == 0");
    EXPECT_TRUE(GlobalIsTrue("ok"));
}

TEST_F(LuaBindTest, AWrongOrMissingSelfOrObjectIsALuaErrorNamingTheClass)
{
    Probe probe;
    Gadget gadget;
    SetGlobal("p", &probe);
    SetGlobal("g", &gadget);
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"p.GetInt()", "bad argument #1 (Probe expected)"},
        {"p.GetInt(g)", "bad argument #1 (Probe expected)"},
        {"p.GetInt(5)", "bad argument #1 (Probe expected)"},
        {"p.GetInt({})", "bad argument #1 (Probe expected)"},
        {"p:Take(g)", "bad argument #2 (Probe expected)"},
        {"p:Take(42)", "bad argument #2 (Probe expected)"},
        {"p:TakeRef(nil)", "bad argument #2 (Probe expected)"},
        {"p.SetInt(newproxy(true), 1)", "bad argument #1 (Probe expected)"},
    };
    // The error names the script line that made the call.
    for (const auto& [code, error] : cases)
        EXPECT_EQ(m_lua.Run(code), std::string("test:1: ") + error) << code;
    EXPECT_EQ(probe.m_taken, nullptr);
    EXPECT_EQ(lua_gettop(State()), 0);
}

// A method remembers the last self it checked; once Lua collects that userdata it is forgotten, so a
// userdata made later at the same address is checked in full.
TEST_F(LuaBindTest, ACollectedSelfIsNoLongerTheLastCheckedOne)
{
    Probe probe;
    SetGlobal("p", &probe);
    Run("p:SetInt(1)");
    lua_getglobal(State(), "p");
    const void* block = lua_touserdata(State(), -1);
    lua_pop(State(), 1);
    EXPECT_EQ(g_checkedLuaBlock, block);
    Probe::GetLuaBind().Release(State(), &probe);
    Run("p = nil collectgarbage() collectgarbage()");
    EXPECT_EQ(g_checkedLuaBlock, nullptr);
}

TEST_F(LuaBindTest, AnEngineExceptionInAMethodBecomesALuaError)
{
    Probe probe;
    SetGlobal("p", &probe);
    EXPECT_EQ(m_lua.Run("p:Throw()"), "probe failed");
    Run("ok, message = pcall(p.Throw, p)\nafter = not ok and message == 'probe failed'");
    EXPECT_TRUE(GlobalIsTrue("after"));
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
}

TEST_F(LuaBindTest, MethodsRaiseTheLuaCallDepthByClass)
{
    Probe probe;
    Gadget gadget;
    SetGlobal("p", &probe);
    SetGlobal("g", &gadget);
    Run("p:ReadDepth()\ng:ReadDepth()");
    EXPECT_EQ(probe.m_depth, 1);
    EXPECT_EQ(gadget.m_depth, 0);
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
}

TEST_F(LuaBindTest, ClassesRegisterAgainInANewState)
{
    Probe probe;
    SetGlobal("p", &probe);
    Run("p:SetInt(1)");
    ASSERT_TRUE(Probe::GetLuaBind().IsRegistered(State()));
    m_lua.Close();

    test::LuaTestState next;
    EXPECT_FALSE(Probe::GetLuaBind().IsRegistered(next.State()));
    LuaConverter<Probe*>::Push(next.State(), &probe);
    lua_setglobal(next.State(), "p");
    EXPECT_EQ(next.Run("p:SetInt(2)"), "");
    EXPECT_EQ(probe.m_int, 2);
    // Releasing without a state touches nothing.
    next.Close();
    ReleaseLuaIdentity(&probe);
}

TEST_F(LuaBindTest, TypedValuesPushByTheirTypes)
{
    Probe probe;
    const int i = -5;
    const unsigned u = 0xFFFFFFFFu;
    const short s = -2;
    const unsigned short us = 0xFFFF;
    const char c = 'A';
    const unsigned char uc = 200;
    const float f = 1.5f;
    const double d = 2.25;
    const char* text = "text";
    const std::string string = "string";
    const std::int64_t big = std::int64_t{1} << 40;
    Probe* pointer = &probe;
    const auto push = [this](std::type_index type, const void* data)
    { ASSERT_TRUE(LuaTypePushers::Push(State(), type, data)) << type.name(); };
    push(typeid(int), &i);
    push(typeid(unsigned), &u);
    push(typeid(short), &s);
    push(typeid(unsigned short), &us);
    push(typeid(char), &c);
    push(typeid(unsigned char), &uc);
    push(typeid(float), &f);
    push(typeid(double), &d);
    push(typeid(const char*), &text);
    push(typeid(std::string), &string);
    push(typeid(std::int64_t), &big);
    push(typeid(Probe*), &pointer);
    EXPECT_FALSE(LuaTypePushers::Push(State(), typeid(std::vector<int>), nullptr));
    lua_createtable(State(), 12, 0);
    lua_insert(State(), 1);
    for (int slot = 12; slot >= 1; --slot)
        lua_rawseti(State(), 1, slot);
    lua_setglobal(State(), "v");
    SetGlobal("probe", &probe);
    Run("ok = v[1] == -5 and v[2] == -1 and v[3] == -2 and v[4] == 65535 and v[5] == 65 and v[6] == 200\n"
        "  and v[7] == 1.5 and v[8] == 2.25 and v[9] == 'text' and v[10] == 'string'\n"
        "  and v[11] == 2^40 and rawequal(v[12], probe)");
    EXPECT_TRUE(GlobalIsTrue("ok"));
}

TEST_F(LuaBindTest, AFunctorCallsTheLuaFunctionWithConvertedArguments)
{
    Run("function Resized(w, h) width, height = w, h end");
    lua_getglobal(State(), "Resized");
    LuaFunctor<void(unsigned, unsigned)> resized{LuaFunction(-1)};
    lua_pop(State(), 1);
    resized(640u, 480u);
    Run("ok = width == 640 and height == 480");
    EXPECT_TRUE(GlobalIsTrue("ok"));
    EXPECT_EQ(lua_gettop(State()), 0);

    m_lua.Close();
    resized(1u, 2u);
}

// A value type owned by Lua, freed by its "__gc".
struct Amount
{
    static int s_live;
    static int s_made;

    static LuaPrimitiveBind& GetLuaBind()
    {
        static LuaPrimitiveBind bind(typeid(Amount),
                                     [](lua_State* state)
                                     {
                                         LuaMethods<Amount>(state, LuaMethod<&Amount::Get>("Get"));
                                         GetLuaBind().SetCollector(&Collect);
                                     });
        return bind;
    }

    static void Push(lua_State* state, double value)
    {
        void** block = GetLuaBind().PushValueBlock(state);
        *block = new Amount{value};
        ++s_live;
        ++s_made;
    }

    // "MakeAmount"(value) for scripts.
    static int MakeFromLua(lua_State* state)
    {
        Push(state, lua_tonumber(state, 1));
        return 1;
    }

    static void Collect(void* amount)
    {
        delete static_cast<Amount*>(amount);
        --s_live;
    }

    double Get() const { return m_value; }

    double m_value;
};

int Amount::s_live = 0;
int Amount::s_made = 0;

TEST_F(LuaBindTest, PrimitiveValuesBelongToLua)
{
    Amount::Push(State(), 2.5);
    lua_setglobal(State(), "a");
    Amount::Push(State(), 1.0);
    lua_pop(State(), 1);
    Probe probe;
    SetGlobal("p", &probe);
    Run("ok = a:Get() == 2.5");
    EXPECT_TRUE(GlobalIsTrue("ok"));
    EXPECT_EQ(m_lua.Run("a.Get(p)"), "test:1: bad argument #1 (Amount expected)");
    EXPECT_EQ(Amount::GetLuaBind().ToValue(State(), 1), nullptr);
    Run("collectgarbage()");
    EXPECT_EQ(Amount::s_live, 1);
    m_lua.Close();
    EXPECT_EQ(Amount::s_live, 0);
}

// A script can call a class's "__gc" itself, with anything and as often as it likes: only a value of the
// class gives up what it holds, once; Lua's own collection later frees nothing twice.
TEST_F(LuaBindTest, GcCalledByHandFreesAValueOfItsClassOnce)
{
    Probe probe;
    SetGlobal("p", &probe);
    Amount::Push(State(), 2.0);
    lua_setglobal(State(), "a");
    Amount::Push(State(), 3.0);
    lua_setglobal(State(), "b");
    ASSERT_EQ(Amount::s_live, 2);
    Run(R"(
        local collect = getmetatable(a).__gc
        collect(a)
        collect(a)
        collect()
        for _, stranger in ipairs({5, "text", {}, print, newproxy(true), p}) do collect(stranger) end
        -- The probe's class frees nothing of its own and leaves an amount alone.
        getmetatable(p).__gc(b)
        getmetatable(p).__gc(p)
    )");
    EXPECT_EQ(Amount::s_live, 1);
    EXPECT_EQ(m_lua.Run("a:Get()"), "test:1: bad argument #1 (Amount expected)");
    Run("assert(b:Get() == 3) p:SetInt(4)");
    EXPECT_EQ(probe.m_int, 4);
    m_lua.Close();
    EXPECT_EQ(Amount::s_live, 0);
}

// Lua runs no "__gc" for userdata that finalizers make while the state closes; what they hold is freed
// all the same when Lua frees their memory.
TEST_F(LuaBindTest, ValuesThatFinalizersMakeWhileTheStateClosesAreFreed)
{
    lua_register(State(), "MakeAmount", &Amount::MakeFromLua);
    const int madeBefore = Amount::s_made;
    Run(R"(
        keep = {}
        for i = 1, 3 do
            local proxy = newproxy(true)
            getmetatable(proxy).__gc = function() made = {MakeAmount(i), MakeAmount(i + 1)} end
            keep[i] = proxy
        end
    )");
    ASSERT_EQ(Amount::s_live, 0);
    m_lua.Close();
    EXPECT_EQ(Amount::s_live, 0);
    EXPECT_EQ(Amount::s_made - madeBefore, 6);
}

TEST_F(LuaBindTest, ValuesStoredByPointerAreFoundAndAReleaseDoesNotKillThem)
{
    int owner = 0;
    Amount::Push(State(), 4.0);
    lua_pushvalue(State(), -1);
    lua_setglobal(State(), "kept");
    LuaStoreByPointer(State(), &owner, -1);
    lua_pop(State(), 1);
    lua_pushlightuserdata(State(), &owner);
    lua_rawget(State(), LUA_REGISTRYINDEX);
    lua_getglobal(State(), "kept");
    EXPECT_TRUE(lua_rawequal(State(), -1, -2));
    lua_pop(State(), 2);

    // Only identities go dead on release; the stored value is just no longer kept by the address.
    ReleaseLuaIdentity(&owner);
    Run("ok = kept:Get() == 4");
    EXPECT_TRUE(GlobalIsTrue("ok"));
}

// A bound base class and a derived class that scripts see as itself.
class Shape : public LuaBasicBindable<Shape>
{
public:
    virtual ~Shape() = default;
    static void RegisterLuaMethods(lua_State* state)
    {
        LuaMethods<Shape>(state, LuaMethod<&Shape::Sides>("Sides"));
    }
    virtual int Sides() const { return 0; }
};

class Square : public LuaPolymorphicDerived<Square, Shape>
{
public:
    static void RegisterLuaMethods(lua_State* state)
    {
        LuaMethods<Square>(state, LuaMethod<&Shape::Sides>("Sides"), LuaMethod<&Square::Side>("Side"));
    }
    int Sides() const override { return 4; }
    double Side() const { return 2.5; }
};

TEST_F(LuaBindTest, ABasePointerPushesTheObjectAsItsMostDerivedClass)
{
    Square square;
    Shape shape;
    Shape* asBase = &square;
    SetGlobal("viaBase", asBase);
    SetGlobal("square", &square);
    SetGlobal("shape", &shape);
    Run("ok = rawequal(viaBase, square) and viaBase:Sides() == 4 and viaBase:Side() == 2.5\n"
        "  and shape:Sides() == 0 and shape.Side == nil");
    EXPECT_TRUE(GlobalIsTrue("ok"));
    // One function bound in both classes is a method of each: each checks self against its own class.
    for (const auto& [code, error] : std::vector<std::pair<const char*, const char*>>{
             {"square.Side(shape)", "bad argument #1 (Square expected)"},
             {"square.Sides(shape)", "bad argument #1 (Square expected)"},
             {"shape.Sides(square)", "bad argument #1 (Shape expected)"},
         })
        EXPECT_EQ(m_lua.Run(code), std::string("test:1: ") + error) << code;
}

} // namespace
} // namespace Quarn
