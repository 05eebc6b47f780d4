#include "widgets/Events.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Gui::Event
{
namespace
{

// A handler that writes its name to a shared log when called, and can be told to act from inside a call.
class Listener : public Handler
{
public:
    Listener(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}
    ~Listener() override { m_log.push_back("~" + m_name); }

    void Heard(Controls::Base*)
    {
        m_log.push_back(m_name);
        if (m_during)
            m_during();
    }

    std::function<void()> m_during;

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

TEST(EventsTest, PairsAreCalledInOrderAsOftenAsAdded)
{
    std::vector<std::string> log;
    Caller caller;
    caller.Call(nullptr);
    EXPECT_TRUE(log.empty());
    Listener a("a", log);
    Listener b("b", log);
    caller.Add(&a, &Listener::Heard);
    caller.Add(&b, &Listener::Heard);
    caller.Add(&a, &Listener::Heard);
    caller.Call(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "a"}));
    // One unregistration removes both of a's entries from a's side.
    a.UnRegisterCaller(&caller);
    EXPECT_TRUE(a.Callers().empty());
    caller.ErasePairsOf(&a);
    EXPECT_EQ(caller.PairCount(), 1u);
}

TEST(EventsTest, WhicheverSideDiesFirstUnlinksItself)
{
    std::vector<std::string> log;
    Caller first;
    auto second = std::make_unique<Caller>();
    {
        Listener gone("gone", log);
        first.Add(&gone, &Listener::Heard);
        second->Add(&gone, &Listener::Heard);
    }
    EXPECT_EQ(first.PairCount(), 0u);
    EXPECT_EQ(second->PairCount(), 0u);

    Listener stays("stays", log);
    second->Add(&stays, &Listener::Heard);
    second.reset();
    EXPECT_TRUE(stays.Callers().empty());

    // RemoveHandler deletes the handler, linked or not.
    auto* dropped = new Listener("dropped", log);
    first.Add(dropped, &Listener::Heard);
    first.RemoveHandler(dropped);
    first.RemoveHandler(new Listener("loose", log));
    EXPECT_EQ(first.PairCount(), 0u);
    EXPECT_EQ(log, (std::vector<std::string>{"~gone", "~dropped", "~loose"}));
}

// A call walks the pairs it began with: pairs removed meanwhile are skipped, pairs added meanwhile wait
// for the next call, and a caller destroyed by one of its handlers stops at once.
TEST(EventsTest, HandlersMayChangeTheCallerFromInsideACall)
{
    std::vector<std::string> log;
    Caller caller;
    Listener a("a", log);
    auto b = std::make_unique<Listener>("b", log);
    Listener c("c", log);
    caller.Add(&a, &Listener::Heard);
    caller.Add(b.get(), &Listener::Heard);
    a.m_during = [&]
    {
        b.reset();
        caller.Add(&c, &Listener::Heard);
    };
    caller.Call(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "~b"}));
    a.m_during = nullptr;
    log.clear();
    caller.Call(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "c"}));

    auto owned = std::make_unique<Caller>();
    Listener killer("killer", log);
    Listener after("after", log);
    owned->Add(&killer, &Listener::Heard);
    owned->Add(&after, &Listener::Heard);
    killer.m_during = [&] { owned.reset(); };
    log.clear();
    owned->Call(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"killer"}));
}

} // namespace
} // namespace Gui::Event
