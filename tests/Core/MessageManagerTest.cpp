#include "Core/MessageManager.h"
#include "Core/Matrix4.h"
#include "Core/RGBA.h"
#include "Core/RestartGameException.h"
#include "Core/Vector3.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <typeindex>
#include <vector>

namespace Quarn
{
namespace
{

using Journal = std::vector<std::string>;

class MessageManagerTest : public testing::Test
{
protected:
    // Records the arena use and the parameters of every message of that name.
    struct Probe
    {
        std::size_t used = 0;
        std::vector<std::type_index> types;
        std::vector<unsigned> sizes;
    };

    void AddProbe(const std::string& name, Probe& probe)
    {
        m_messages.RegisterListener(name,
                                    [this, &probe](const Message& message)
                                    {
                                        probe = {m_arena.Used(), {}, {}};
                                        for (int i = 0; i < message.Count(); ++i)
                                        {
                                            probe.types.push_back(message.GetParam(i).m_type);
                                            probe.sizes.push_back(message.GetParam(i).m_size);
                                        }
                                    });
    }

    test::CapturedErrors m_errors;
    ParamArena m_arena;
    MessageManager m_messages{m_arena};
    Journal m_journal;
};

TEST_F(MessageManagerTest, ListenersRunInRegistrationOrderBeforeTheSendReturns)
{
    m_messages.RegisterListener<void()>("Ping", [&] { m_journal.push_back("first"); });
    m_messages.RegisterListener<void()>("Other", [&] { m_journal.push_back("other"); });
    m_messages.RegisterListener<void(unsigned)>("Ping", [&](unsigned) { m_journal.push_back("typed"); });
    m_messages.RegisterListener<void()>("Ping", [&] { m_journal.push_back("third"); });

    m_messages.SendMessage("Ping", 3u);
    EXPECT_EQ(m_journal, (Journal{"first", "typed", "third"}));

    // Names are exact and a name nobody listens to is ignored.
    m_journal.clear();
    m_messages.SendMessage("ping");
    m_messages.SendMessage("Nobody");
    EXPECT_TRUE(m_journal.empty());
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(MessageManagerTest, ObjectListenersHearOnlyTheirObjectUntilUnregistered)
{
    const GameObjectHandle a{1, 0};
    const GameObjectHandle b{2, 1};
    m_messages.RegisterGOListener(a, "Hit", [&](const Message&) { m_journal.push_back("a Hit"); });
    // A name registered twice is recorded twice; unregistering must cope with that.
    m_messages.RegisterGOListener(a, "Hit", [&](const Message&) { m_journal.push_back("a Hit again"); });
    m_messages.RegisterGOListener(a, "Die", [&](const Message&) { m_journal.push_back("a Die"); });
    m_messages.RegisterGOListener(b, "Hit", [&](const Message&) { m_journal.push_back("b Hit"); });
    m_messages.RegisterListener<void()>("Hit", [&] { m_journal.push_back("global Hit"); });

    m_messages.SendGOMessage(a, "Hit");
    m_messages.SendGOMessage(b, "Die");
    m_messages.SendGOMessage(GameObjectHandle{3, 2}, "Hit");
    EXPECT_EQ(m_journal, (Journal{"a Hit", "a Hit again"}));

    m_journal.clear();
    m_messages.UnregisterGOListeners(a);
    m_messages.UnregisterGOListeners(a);
    m_messages.SendGOMessage(a, "Hit");
    m_messages.SendGOMessage(a, "Die");
    m_messages.SendGOMessage(b, "Hit");
    m_messages.SendMessage("Hit");
    EXPECT_EQ(m_journal, (Journal{"b Hit", "global Hit"}));
}

TEST_F(MessageManagerTest, AnObjectUnregisteredByItsOwnListenerHearsNoMore)
{
    const GameObjectHandle object{5, 5};
    m_messages.RegisterGOListener(object, "OnDestroy",
                                  [&](const Message&)
                                  {
                                      m_journal.push_back("first");
                                      m_messages.UnregisterGOListeners(object);
                                  });
    m_messages.RegisterGOListener(object, "OnDestroy",
                                  [&](const Message&) { m_journal.push_back("second"); });

    m_messages.SendGOMessage(object, "OnDestroy");
    m_messages.SendGOMessage(object, "OnDestroy");
    EXPECT_EQ(m_journal, Journal{"first"});
}

TEST_F(MessageManagerTest, ListenersAddedDuringADispatchOfTheirNameRunFromTheNextSend)
{
    // Enough additions to move any storage that grows by reallocation.
    constexpr int kAdded = 100;
    int calls = 0;
    m_messages.RegisterListener<void()>("Grow",
                                        [&]
                                        {
                                            m_journal.push_back("grower");
                                            for (int i = 0; i < kAdded; ++i)
                                                m_messages.RegisterListener<void()>("Grow", [&] { ++calls; });
                                        });
    m_messages.RegisterListener<void()>("Grow", [&] { m_journal.push_back("second"); });
    const GameObjectHandle object{9, 9};
    m_messages.RegisterGOListener(object, "Grow",
                                  [&](const Message&)
                                  {
                                      for (int i = 0; i < kAdded; ++i)
                                          m_messages.RegisterGOListener(object, "Grow",
                                                                        [&](const Message&) { ++calls; });
                                  });

    m_messages.SendMessage("Grow");
    m_messages.SendGOMessage(object, "Grow");
    EXPECT_EQ(m_journal, (Journal{"grower", "second"}));
    EXPECT_EQ(calls, 0);

    m_messages.SendMessage("Grow");
    EXPECT_EQ(calls, kAdded);
    m_messages.SendGOMessage(object, "Grow");
    EXPECT_EQ(calls, 2 * kAdded);
}

// A listener added during a dispatch already hears a send nested in that dispatch, and keeps its
// place after the listeners that were there before it. Names sent by text and interned are one.
TEST_F(MessageManagerTest, AListenerAddedDuringADispatchHearsNestedSendsAndKeepsItsPlace)
{
    const MessageName tick("Tick");
    int depth = 0;
    m_messages.RegisterListener<void()>("Tick",
                                        [&]
                                        {
                                            m_journal.push_back("A");
                                            if (depth++ > 0)
                                                return;
                                            m_messages.RegisterListener<void()>(
                                                tick, [&] { m_journal.push_back("C"); });
                                            m_messages.SendMessage(tick);
                                        });
    m_messages.RegisterListener<void()>(tick, [&] { m_journal.push_back("B"); });

    m_messages.SendMessage("Tick");
    EXPECT_EQ(m_journal, (Journal{"A", "A", "B", "C", "B"}));
    m_journal.clear();
    m_messages.SendMessage(std::string("Tick"));
    EXPECT_EQ(m_journal, (Journal{"A", "B", "C"}));
    EXPECT_EQ(tick, MessageName(std::string("Ti") + "ck"));
    EXPECT_EQ(tick.Text(), "Tick");
}

struct Bytes17
{
    char bytes[17];
};
struct Empty
{
};

TEST_F(MessageManagerTest, EachParameterTakesASlotPaddedToSixteenBytes)
{
    Probe probe;
    AddProbe("Probe", probe);
    const std::string name = "Cube";
    struct Case
    {
        const char* what;
        std::function<void()> send;
        std::vector<std::type_index> types;
        std::vector<unsigned> sizes;
        std::size_t arenaBytes;
    };
    const Case cases[] = {
        {"nothing", [&] { m_messages.SendMessage("Probe"); }, {}, {}, 0},
        {"unsigned", [&] { m_messages.SendMessage("Probe", 7u); }, {typeid(unsigned)}, {4}, 16},
        {"width and height",
         [&] { m_messages.SendMessage("Probe", 640u, 480u); },
         {typeid(unsigned), typeid(unsigned)},
         {4, 4},
         32},
        {"string literal", [&] { m_messages.SendMessage("Probe", "a.txt"); }, {typeid(const char*)}, {8}, 16},
        {"double", [&] { m_messages.SendMessage("Probe", 2.5); }, {typeid(double)}, {8}, 16},
        {"Vector3", [&] { m_messages.SendMessage("Probe", Vector3(1, 2, 3)); }, {typeid(Vector3)}, {16}, 16},
        {"model, matrix and colour",
         [&] { m_messages.SendMessage("Probe", name, Matrix4(), RGBA(0xFF00FF76u)); },
         {typeid(std::string), typeid(Matrix4), typeid(RGBA)},
         {sizeof(std::string), 64, 4},
         32 + 64 + 16},
        {"17 bytes", [&] { m_messages.SendMessage("Probe", Bytes17{}); }, {typeid(Bytes17)}, {17}, 32},
        {"empty", [&] { m_messages.SendMessage("Probe", Empty{}); }, {typeid(Empty)}, {1}, 16},
    };
    for (const Case& c : cases)
    {
        probe = {};
        c.send();
        EXPECT_EQ(probe.types, c.types) << c.what;
        EXPECT_EQ(probe.sizes, c.sizes) << c.what;
        EXPECT_EQ(probe.used, c.arenaBytes) << c.what;
        EXPECT_EQ(m_arena.Used(), 0u) << c.what;
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(MessageManagerTest, TypedListenersReceiveTheParametersByPosition)
{
    std::string received;
    m_messages.RegisterListener<void(const char*)>("FileDrop", [&](const char* path) { received = path; });
    m_messages.RegisterListener<void(unsigned, unsigned)>(
        "WindowResized",
        [&](unsigned w, unsigned h) { received = std::to_string(w) + "x" + std::to_string(h); });
    m_messages.RegisterListener<void(const std::string&, const Matrix4&, const RGBA&)>(
        "DrawDebugModel", [&](const std::string& model, const Matrix4& m, const RGBA& colour)
        { received = model + " " + std::to_string(m(3, 0)) + " " + std::to_string(colour.R()); });

    const char* path = "/tmp/dropped file.xml";
    m_messages.SendMessage("FileDrop", path);
    EXPECT_EQ(received, path);
    m_messages.SendMessage("FileDrop", "literal");
    EXPECT_EQ(received, "literal");
    m_messages.SendMessage("WindowResized", 800u, 600u);
    EXPECT_EQ(received, "800x600");
    Matrix4 moved;
    moved(3, 0) = 4.0f;
    m_messages.SendMessage("DrawDebugModel", std::string("Arrow"), moved, RGBA::FromARGB(255, 9, 0, 0));
    EXPECT_EQ(received, "Arrow 4.000000 9");
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(MessageManagerTest, NestedSendsStackAboveTheCurrentParametersAndGiveTheirSlotsBack)
{
    std::vector<std::size_t> used;
    std::string outerSeenAfterInner;
    m_messages.RegisterListener<void(const std::string&, unsigned)>(
        "Outer",
        [&](const std::string& text, unsigned depth)
        {
            used.push_back(m_arena.Used());
            if (depth < 3)
                m_messages.SendMessage("Outer", std::string("inner"), depth + 1);
            // The nested message must not have touched this one's slots.
            if (depth == 1)
                outerSeenAfterInner = text;
            used.push_back(m_arena.Used());
        });

    m_messages.SendMessage("Outer", std::string("outer message text, longer than any short string"), 1u);
    EXPECT_EQ(used, (std::vector<std::size_t>{48, 96, 144, 144, 96, 48}));
    EXPECT_EQ(outerSeenAfterInner, "outer message text, longer than any short string");
    EXPECT_EQ(m_arena.Used(), 0u);

    // A restart thrown from deep inside unwinds every message.
    m_messages.RegisterListener<void(const std::string&, unsigned)>("Outer",
                                                                    [&](const std::string&, unsigned depth)
                                                                    {
                                                                        if (depth == 3)
                                                                            throw RestartGameException();
                                                                    });
    EXPECT_THROW(m_messages.SendMessage("Outer", std::string("again"), 1u), RestartGameException);
    EXPECT_EQ(m_arena.Used(), 0u);
}

// Counts live copies, so a parameter that is never destroyed shows.
struct Tracked
{
    static inline int live = 0;
    Tracked() { ++live; }
    Tracked(const Tracked&) { ++live; }
    ~Tracked() { --live; }
};

TEST_F(MessageManagerTest, ParametersWithDestructorsAreDestroyedWithTheirMessage)
{
    int seenLive = 0;
    m_messages.RegisterListener<void(const Tracked&, const std::string&)>(
        "Carry", [&](const Tracked&, const std::string&) { seenLive = Tracked::live; });
    {
        const Tracked original;
        // Long enough to live on the heap, so the leak checker sees a string that is never destroyed.
        m_messages.SendMessage("Carry", original, std::string(200, 's'));
        EXPECT_EQ(seenLive, 2);
        EXPECT_EQ(Tracked::live, 1);

        // Also when the message is refused part-way or a listener throws.
        m_messages.SendMessage("Carry", original, std::string(200, 's'), 1, 2, 3, 4, 5);
        EXPECT_EQ(Tracked::live, 1);
        m_messages.RegisterListener<void()>("Carry", [] { throw RestartGameException(); });
        EXPECT_THROW(m_messages.SendMessage("Carry", original, std::string(300, 't')), RestartGameException);
        EXPECT_EQ(Tracked::live, 1);
    }
    EXPECT_EQ(Tracked::live, 0);
    EXPECT_EQ(m_arena.Used(), 0u);
}

TEST_F(MessageManagerTest, AListenerGivenTooFewOrMistypedParametersIsReportedAndSkipped)
{
    std::vector<unsigned> sizes;
    m_messages.RegisterListener<void(unsigned, unsigned)>("WindowResized",
                                                          [&](unsigned w, unsigned h)
                                                          {
                                                              sizes.push_back(w);
                                                              sizes.push_back(h);
                                                          });
    m_messages.RegisterListener<void()>("WindowResized", [&] { sizes.push_back(0); });

    struct Case
    {
        const char* what;
        std::function<void()> send;
        std::vector<unsigned> delivered;
        const char* report;
    };
    const Case cases[] = {
        {"no parameters",
         [&] { m_messages.SendMessage("WindowResized"); },
         {0},
         "Message \"WindowResized\" carries () but a listener takes (unsigned int, unsigned int)"},
        {"one too few",
         [&] { m_messages.SendMessage("WindowResized", 5u); },
         {0},
         "carries (unsigned int) but"},
        {"signed numbers",
         [&] { m_messages.SendMessage("WindowResized", 5, 6); },
         {0},
         "carries (int, int) but"},
        {"second mistyped",
         [&] { m_messages.SendMessage("WindowResized", 5u, 6.0f); },
         {0},
         "carries (unsigned int, float) but"},
        {"one more than taken",
         [&] { m_messages.SendMessage("WindowResized", 5u, 6u, 7u); },
         {5, 6, 0},
         nullptr},
    };
    for (const Case& c : cases)
    {
        sizes.clear();
        m_errors.Clear();
        c.send();
        EXPECT_EQ(sizes, c.delivered) << c.what;
        if (c.report)
        {
            ASSERT_EQ(m_errors.Count(), 1u) << c.what;
            EXPECT_TRUE(m_errors.Any(c.report)) << m_errors.Texts()[0];
        }
        else
        {
            EXPECT_EQ(m_errors.Count(), 0u) << c.what;
        }
    }
}

TEST_F(MessageManagerTest, ASeventhParameterOrAFullArenaIsReportedAndNothingIsSent)
{
    ParamArena small(64);
    MessageManager messages(small);
    int delivered = 0;
    messages.RegisterListener("Big", [&](const Message&) { ++delivered; });

    // Four 16-byte slots fill the arena exactly.
    messages.SendMessage("Big", 1, 2, 3, 4);
    EXPECT_EQ(delivered, 1);
    EXPECT_EQ(m_errors.Count(), 0u);

    messages.SendMessage("Big", 1, 2, 3, 4, 5);
    EXPECT_EQ(delivered, 1);
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("Message \"Big\": the parameter arena is full")) << m_errors.Texts()[0];
    EXPECT_EQ(small.Used(), 0u);

    // A nested send that does not fit is refused while the outer message stays intact.
    m_errors.Clear();
    int inner = 0;
    messages.RegisterListener<void(const Bytes17&, int)>("Outer",
                                                         [&](const Bytes17& outer, int)
                                                         {
                                                             messages.SendMessage("Inner", Bytes17{}, 1);
                                                             EXPECT_EQ(outer.bytes[16], 'z');
                                                         });
    messages.RegisterListener<void(const Bytes17&, int)>("Inner", [&](const Bytes17&, int) { ++inner; });
    Bytes17 outer{};
    outer.bytes[16] = 'z';
    messages.SendMessage("Outer", outer, 1);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(m_errors.Count(), 1u);
    EXPECT_EQ(small.Used(), 0u);

    m_errors.Clear();
    m_messages.RegisterListener("Seven", [&](const Message&) { ++delivered; });
    m_messages.SendMessage("Seven", 1, 2, 3, 4, 5, 6, 7);
    EXPECT_EQ(delivered, 1);
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("Message \"Seven\" carries at most 6 parameters")) << m_errors.Texts()[0];
    EXPECT_EQ(m_arena.Used(), 0u);
    m_messages.SendMessage("Seven", 1, 2, 3, 4, 5, 6);
    EXPECT_EQ(delivered, 2);
}

} // namespace
} // namespace Quarn
