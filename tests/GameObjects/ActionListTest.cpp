#include "GameObjects/ActionList.h"
#include "GameObjects/ActionListManager.h"

#include "Core/TimeManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

// Every action writes its tag to the trace when called.
struct Trace
{
    std::string m_calls;
    std::vector<float> m_times;

    ActionList::Action Tag(char tag)
    {
        return [this, tag](ActionList&, float time, float)
        {
            m_calls += tag;
            m_times.push_back(time);
        };
    }
};

// The actions of list in sequence order, read by calling each one; the cursor and time are put back.
std::string Order(ActionList& list, Trace& trace)
{
    const int index = list.GetIndex();
    const float time = list.GetTime();
    trace.m_calls.clear();
    for (int position = 0; position < list.GetSize(); ++position)
    {
        list.GotoAbsolute(position);
        list.Step(0.0f);
    }
    list.GotoAbsolute(index);
    list.SetTotalTime(time);
    std::string order = trace.m_calls;
    trace.m_calls.clear();
    return order;
}

struct CursorCase
{
    const char* name;
    bool backward;
    int index;
    std::function<void(ActionList&, Trace&)> operation;
    std::string order;
    int expectedIndex;
    bool timeRestarted;
};

TEST(ActionListTest, CursorArithmeticOfEveryEditForwardAndBackward)
{
    // Each case starts from the actions A B C with the cursor on B (unless stated) and 5 s on it.
    const auto insertRelative = [](int offset)
    { return [offset](ActionList& list, Trace& trace) { list.InsertRelative(offset, trace.Tag('X')); }; };
    const auto insertAbsolute = [](int position)
    { return [position](ActionList& list, Trace& trace) { list.InsertAbsolute(position, trace.Tag('X')); }; };
    const auto removeRelative = [](int offset)
    { return [offset](ActionList& list, Trace&) { list.RemoveRelative(offset); }; };
    const auto removeAbsolute = [](int position)
    { return [position](ActionList& list, Trace&) { list.RemoveAbsolute(position); }; };
    const auto call = [](void (ActionList::*edit)())
    { return [edit](ActionList& list, Trace&) { (list.*edit)(); }; };
    const auto push = [](void (ActionList::*edit)(ActionList::Action))
    { return [edit](ActionList& list, Trace& trace) { (list.*edit)(trace.Tag('X')); }; };

    const std::vector<CursorCase> cases = {
        {"InsertRelative(1) forward", false, 1, insertRelative(1), "ABXC", 1, false},
        {"InsertRelative(0) forward", false, 1, insertRelative(0), "AXBC", 2, false},
        {"InsertRelative(-1) forward", false, 1, insertRelative(-1), "AXBC", 2, false},
        {"InsertRelative(-2) forward", false, 1, insertRelative(-2), "XABC", 2, false},
        {"InsertRelative(2) forward", false, 1, insertRelative(2), "ABCX", 1, false},
        {"InsertRelative(3) forward is outside", false, 1, insertRelative(3), "ABC", 1, false},
        {"InsertRelative(-3) forward is outside", false, 1, insertRelative(-3), "ABC", 1, false},
        {"InsertRelative(1) backward", true, 1, insertRelative(1), "AXBC", 2, false},
        {"InsertRelative(0) backward", true, 1, insertRelative(0), "AXBC", 2, false},
        {"InsertRelative(-1) backward", true, 1, insertRelative(-1), "ABXC", 1, false},
        {"InsertAbsolute(0)", false, 1, insertAbsolute(0), "XABC", 2, false},
        {"InsertAbsolute(1) at the cursor", false, 1, insertAbsolute(1), "AXBC", 1, false},
        {"InsertAbsolute(3) at the end", false, 1, insertAbsolute(3), "ABCX", 1, false},
        {"InsertAbsolute(4) is outside", false, 1, insertAbsolute(4), "ABC", 1, false},
        {"InsertAbsolute(-1) is outside", false, 1, insertAbsolute(-1), "ABC", 1, false},
        {"RemoveRelative(1) forward", false, 1, removeRelative(1), "AB", 1, false},
        {"RemoveRelative(0) forward", false, 1, removeRelative(0), "AC", 1, true},
        {"RemoveRelative(-1) forward", false, 1, removeRelative(-1), "BC", 0, false},
        {"RemoveRelative(2) forward is outside", false, 1, removeRelative(2), "ABC", 1, false},
        {"RemoveRelative(1) backward", true, 1, removeRelative(1), "BC", 0, false},
        {"RemoveRelative(0) backward", true, 1, removeRelative(0), "AC", 0, true},
        {"RemoveRelative(-1) backward", true, 1, removeRelative(-1), "AB", 1, false},
        {"RemoveAbsolute(0)", false, 1, removeAbsolute(0), "BC", 0, false},
        {"RemoveAbsolute(1) forward at the cursor", false, 1, removeAbsolute(1), "AC", 1, true},
        {"RemoveAbsolute(1) backward at the cursor", true, 1, removeAbsolute(1), "AC", 0, true},
        {"RemoveAbsolute(2)", false, 1, removeAbsolute(2), "AB", 1, false},
        {"RemoveAbsolute(3) is outside", false, 1, removeAbsolute(3), "ABC", 1, false},
        {"PushFront forward", false, 1, push(&ActionList::PushFront), "XABC", 2, false},
        {"PushFront backward", true, 1, push(&ActionList::PushFront), "ABCX", 1, false},
        {"PushBack forward", false, 1, push(&ActionList::PushBack), "ABCX", 1, false},
        {"PushBack backward", true, 1, push(&ActionList::PushBack), "XABC", 2, false},
        {"PushNext forward", false, 1, push(&ActionList::PushNext), "ABXC", 1, false},
        {"PushNext backward", true, 1, push(&ActionList::PushNext), "AXBC", 2, false},
        {"PopFront forward", false, 1, call(&ActionList::PopFront), "BC", 0, false},
        {"PopFront forward on the first action", false, 0, call(&ActionList::PopFront), "BC", 0, false},
        {"PopFront backward", true, 1, call(&ActionList::PopFront), "AB", 1, false},
        {"PopBack forward", false, 1, call(&ActionList::PopBack), "AB", 1, false},
        {"PopBack backward", true, 1, call(&ActionList::PopBack), "BC", 0, false},
        {"PopNext forward", false, 1, call(&ActionList::PopNext), "AB", 1, false},
        {"PopNext backward", true, 1, call(&ActionList::PopNext), "BC", 0, false},
        {"GotoRelative(-1) backward counts in sequence order", true, 1,
         [](ActionList& list, Trace&) { list.GotoRelative(-1); }, "ABC", 0, true},
        {"GotoAbsolute(2)", false, 1, [](ActionList& list, Trace&) { list.GotoAbsolute(2); }, "ABC", 2, true},
        {"GotoAbsolute(7) leaves the sequence", false, 1,
         [](ActionList& list, Trace&) { list.GotoAbsolute(7); }, "ABC", 7, true},
        {"StepForward forward", false, 1, call(&ActionList::StepForward), "ABC", 2, true},
        {"StepForward backward", true, 1, call(&ActionList::StepForward), "ABC", 0, true},
        {"StepBackward forward", false, 1, call(&ActionList::StepBackward), "ABC", 0, true},
        {"StepBackward backward", true, 1, call(&ActionList::StepBackward), "ABC", 2, true},
        {"Reverse at the last action, then StepForward", false, 2,
         [](ActionList& list, Trace&)
         {
             list.Reverse();
             list.StepForward();
         },
         "ABC", 1, true},
        {"Reset keeps the actions", true, 2, call(&ActionList::Reset), "ABC", 0, true},
    };

    for (const CursorCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        Trace trace;
        ActionList list;
        for (char tag : std::string("ABC"))
            list.PushBack(trace.Tag(tag));
        list.GotoAbsolute(c.index);
        list.SetIsForward(c.backward);
        list.SetTotalTime(5.0f);

        c.operation(list, trace);

        EXPECT_EQ(list.GetIndex(), c.expectedIndex);
        EXPECT_EQ(list.GetSize(), static_cast<int>(c.order.size()));
        EXPECT_EQ(list.GetTime(), c.timeRestarted ? 0.0f : 5.0f);
        EXPECT_EQ(Order(list, trace), c.order);
    }
}

TEST(ActionListTest, EditsOfAnEmptyListAndExtremeOffsetsChangeNothing)
{
    ActionList list;
    list.PopFront();
    list.PopBack();
    list.PopNext();
    list.RemoveRelative(0);
    list.RemoveAbsolute(0);
    EXPECT_EQ(list.GetSize(), 0);
    EXPECT_EQ(list.GetIndex(), 0);

    Trace trace;
    list.PushBack(trace.Tag('A'));
    list.InsertRelative(-2147483647 - 1, trace.Tag('X'));
    list.SetIsForward(true);
    list.InsertRelative(-2147483647 - 1, trace.Tag('X'));
    list.RemoveRelative(-2147483647 - 1);
    EXPECT_EQ(list.GetSize(), 1);
    list.GotoAbsolute(2147483647);
    list.StepBackward();
    list.GotoRelative(2147483647);
    EXPECT_EQ(list.GetIndex(), 2147483647);
    EXPECT_TRUE(list.HasRunOff());
}

TEST(ActionListTest, HandleResolvesUntilTheListIsDestroyed)
{
    auto* list = new ActionList();
    const ActionHandle handle = list->GetHandle();
    EXPECT_EQ(ActionHandle::Resolve(handle), list);
    delete list;
    EXPECT_EQ(ActionHandle::Resolve(handle), nullptr);

    // The freed slot is taken again under a new id; the old handle still names nothing.
    ActionList other;
    EXPECT_EQ(ActionHandle::Resolve(handle), nullptr);
    EXPECT_EQ(ActionHandle::Resolve(other.GetHandle()), &other);
    EXPECT_EQ(ActionHandle::Resolve(ActionHandle{}), nullptr);
}

class ActionListManagerTest : public ::testing::Test
{
protected:
    bool Alive(ActionHandle handle) const { return ActionHandle::Resolve(handle) != nullptr; }

    Trace m_trace;
    ActionListManager m_manager;
};

TEST_F(ActionListManagerTest, ActionIsCalledEveryStepWithItsGrowingTime)
{
    ActionList* list = m_manager.CreateActionList();
    list->PushBack(m_trace.Tag('A'));
    for (int frame = 0; frame < 3; ++frame)
        m_manager.Update(0.5f);
    EXPECT_EQ(m_trace.m_calls, "AAA");
    EXPECT_EQ(m_trace.m_times, (std::vector<float>{0.0f, 0.5f, 1.0f}));
}

TEST_F(ActionListManagerTest, ListMadeDuringAStepFirstRunsInTheNextStep)
{
    ActionList* made = nullptr;
    ActionList* list = m_manager.CreateActionList();
    list->PushBack(
        [&](ActionList& self, float, float)
        {
            made = m_manager.CreateActionList();
            made->PushBack(m_trace.Tag('N'));
            self.StepForward();
        });
    m_manager.Update(0.1f);
    EXPECT_EQ(m_trace.m_calls, "");
    EXPECT_EQ(m_manager.NewCount(), 1u);
    m_manager.Update(0.1f);
    EXPECT_EQ(m_trace.m_calls, "N");
}

TEST_F(ActionListManagerTest, SteppingDuringTheCallStartsTheNextActionWithThisStep)
{
    ActionList* list = m_manager.CreateActionList();
    list->PushBack([](ActionList& self, float, float) { self.StepForward(); });
    list->PushBack(m_trace.Tag('B'));
    m_manager.Update(0.25f);
    EXPECT_EQ(list->GetIndex(), 1);
    EXPECT_EQ(list->GetTime(), 0.25f);
    m_manager.Update(0.5f);
    EXPECT_EQ(m_trace.m_times, (std::vector<float>{0.25f}));
}

TEST_F(ActionListManagerTest, ListsEndByRunningOffEitherEndOrByKillButNotWhilePaused)
{
    ActionList* empty = m_manager.CreateActionList();
    ActionList* pausedEmpty = m_manager.CreateActionList();
    pausedEmpty->Pause();
    ActionList* backward = m_manager.CreateActionList();
    backward->PushBack([](ActionList& self, float, float) { self.StepBackward(); });
    ActionList* pausedKilled = m_manager.CreateActionList();
    pausedKilled->Pause();
    pausedKilled->Kill();
    const ActionHandle handles[] = {empty->GetHandle(), pausedEmpty->GetHandle(), backward->GetHandle(),
                                    pausedKilled->GetHandle()};

    m_manager.Update(0.1f);
    EXPECT_FALSE(Alive(handles[0]));
    EXPECT_TRUE(Alive(handles[1]));
    EXPECT_TRUE(Alive(handles[2])) << "the cursor left the sequence during the step";
    EXPECT_FALSE(Alive(handles[3]));

    m_manager.Update(0.1f);
    EXPECT_FALSE(Alive(handles[2]));
    EXPECT_TRUE(Alive(handles[1]));
    pausedEmpty->Start();
    m_manager.Update(0.1f);
    EXPECT_FALSE(Alive(handles[1]));
    EXPECT_EQ(m_manager.ActiveCount(), 0u);
}

TEST_F(ActionListManagerTest, TimerIndependentListStepsByTheCurrentTimer)
{
    TimeManager time;
    ActionListManager manager(&time);
    time.GetCurrentTimer()->SetDT(0.05f);
    ActionList* independent = manager.CreateActionList();
    independent->SetTimerIndependent(true);
    independent->PushBack(m_trace.Tag('I'));
    ActionList* dependent = manager.CreateActionList();
    dependent->PushBack(m_trace.Tag('D'));

    manager.Update(0.0f);
    manager.Update(0.0f);
    EXPECT_EQ(independent->GetTime(), 0.1f);
    EXPECT_EQ(dependent->GetTime(), 0.0f);
}

TEST_F(ActionListManagerTest, BlockDestroyAllDestroysNewListsAtOnceAndKillsSteppedOnes)
{
    m_manager.OpenBlock("level");
    ActionList* old = m_manager.CreateActionList();
    old->PushBack(m_trace.Tag('O'));
    m_manager.Update(0.1f);
    ActionList* fresh = m_manager.CreateActionList();
    fresh->PushBack(m_trace.Tag('F'));
    m_manager.CloseBlock("level");
    ActionList* outside = m_manager.CreateActionList();
    outside->PushBack(m_trace.Tag('U'));
    const ActionHandle oldHandle = old->GetHandle();
    const ActionHandle freshHandle = fresh->GetHandle();

    m_manager.BlockDestroyAll("level");
    EXPECT_FALSE(Alive(freshHandle));
    EXPECT_TRUE(Alive(oldHandle));
    EXPECT_FALSE(m_manager.HasBlock("level"));

    m_trace.m_calls.clear();
    m_manager.Update(0.1f);
    EXPECT_FALSE(Alive(oldHandle));
    EXPECT_EQ(m_trace.m_calls, "U");
}

TEST_F(ActionListManagerTest, DestroyedListLeavesEveryBlock)
{
    // Each list sits in two blocks; ending it through one block or by its step must leave no trace in
    // the other, which is then ended too (AddressSanitizer checks no freed list is touched).
    m_manager.OpenBlock("a");
    m_manager.OpenBlock("b");
    ActionList* destroyedAtOnce = m_manager.CreateActionList();
    destroyedAtOnce->PushBack(m_trace.Tag('X'));
    m_manager.BlockDestroyAll("a");

    m_manager.OpenBlock("a");
    ActionList* runsOff = m_manager.CreateActionList();
    static_cast<void>(runsOff);
    m_manager.Update(0.1f);
    m_manager.BlockDestroyAll("a");
    m_manager.BlockDestroyAll("b");
    m_manager.Update(0.1f);
    EXPECT_EQ(m_trace.m_calls, "");
    EXPECT_EQ(m_manager.ActiveCount(), 0u);

    m_manager.CloseBlock("never opened");
    m_manager.RemoveBlock("never opened");
    m_manager.BlockDestroyAll("never opened");
    EXPECT_FALSE(m_manager.HasBlock("never opened"));
}

TEST_F(ActionListManagerTest, ActionsMayEditAndEndTheirOwnList)
{
    ActionList* removesItself = m_manager.CreateActionList();
    removesItself->PushBack(
        [this](ActionList& self, float, float)
        {
            self.RemoveRelative(0);
            self.PopFront();
            self.PushBack(m_trace.Tag('R'));
            m_trace.m_calls += 'S';
        });
    ActionList* killsItself = m_manager.CreateActionList();
    killsItself->PushBack(
        [this](ActionList& self, float, float)
        {
            self.Kill();
            m_manager.BlockDestroyAll("none");
            m_manager.Update(1.0f);
            m_trace.m_calls += 'K';
        });
    const ActionHandle killed = killsItself->GetHandle();

    m_manager.Update(0.1f);
    EXPECT_EQ(m_trace.m_calls.size(), 2u);
    m_manager.Update(0.1f);
    EXPECT_FALSE(Alive(killed));
    EXPECT_NE(m_trace.m_calls.find('R'), std::string::npos);
}

TEST(ActionListManagerLifeTest, DestroyingTheManagerEndsItsLists)
{
    ActionHandle newHandle;
    ActionHandle activeHandle;
    {
        ActionListManager manager;
        ActionList* active = manager.CreateActionList();
        active->PushBack([](ActionList&, float, float) {});
        manager.Update(0.1f);
        activeHandle = active->GetHandle();
        newHandle = manager.CreateActionList()->GetHandle();
    }
    EXPECT_EQ(ActionHandle::Resolve(newHandle), nullptr);
    EXPECT_EQ(ActionHandle::Resolve(activeHandle), nullptr);
}

} // namespace
} // namespace Quarn
