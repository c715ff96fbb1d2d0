#include "ui/TimerService.h"

#include "tests/support/Pump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Records every tick; the hook lets a test act inside the tick.
class TickRecorder : public TimerClient {
public:
    void timerEvent(int id) override
    {
        ticks.push_back(id);
        if (onTick)
            onTick(id);
    }

    int ticksOf(int id) const { return int(std::count(ticks.begin(), ticks.end(), id)); }

    std::vector<int> ticks;
    std::function<void(int)> onTick;
};

class TimerServiceTest : public ::testing::Test {
protected:
    void SetUp() override { baseCount = TimerService::count(); }
    void TearDown() override { EXPECT_EQ(TimerService::count(), baseCount); }

    int baseCount = 0;
};

TEST_F(TimerServiceTest, SecondStartOfARunningIdKeepsTheFirstTimer)
{
    TickRecorder owner;
    owner.startTimer(TextCursorBlinkTimerId, 5000);
    owner.startTimer(TextCursorBlinkTimerId, 1);
    EXPECT_EQ(TimerService::count(), baseCount + 1);
    // The 1 ms start was ignored, so the 5 s timer does not tick soon.
    pumpUntil([] { return false; }, 100);
    EXPECT_TRUE(owner.ticks.empty());
    owner.killTimer(TextCursorBlinkTimerId);
    EXPECT_FALSE(owner.isTimerActive(TextCursorBlinkTimerId));
}

TEST_F(TimerServiceTest, RestartTakesTheNewInterval)
{
    TickRecorder owner;
    owner.startTimer(ToolTipHideTimerId, 5000);
    owner.restartTimer(ToolTipHideTimerId, 1);
    EXPECT_EQ(TimerService::count(), baseCount + 1);
    EXPECT_TRUE(pumpUntil([&] { return !owner.ticks.empty(); }, 2000));
    owner.killTimer(ToolTipHideTimerId);
}

TEST_F(TimerServiceTest, OwnersWithTheSameIdGetOnlyTheirOwnTicks)
{
    TickRecorder first;
    TickRecorder second;
    first.startTimer(ScrollBarRepeatTimerId, 5);
    second.startTimer(ScrollBarRepeatTimerId, 5);
    second.startTimer(SliderRepeatTimerId, 5);
    ASSERT_TRUE(pumpUntil([&] {
        return first.ticksOf(ScrollBarRepeatTimerId) >= 2 && second.ticksOf(ScrollBarRepeatTimerId) >= 2 &&
               second.ticksOf(SliderRepeatTimerId) >= 2;
    }));
    EXPECT_EQ(first.ticksOf(SliderRepeatTimerId), 0);
    EXPECT_TRUE(first.isTimerActive(ScrollBarRepeatTimerId));
    EXPECT_FALSE(first.isTimerActive(SliderRepeatTimerId));
    EXPECT_EQ(TimerService::killAll(&second), 2);
    first.killAllTimers();
}

TEST_F(TimerServiceTest, DestroyedOwnerLeavesNoRecord)
{
    auto owner = std::make_unique<TickRecorder>();
    owner->startTimer(ToolTipShowTimerId, 5);
    owner->startTimer(ToolTipHideTimerId, 5);
    owner->startTimer(ToolTipTrackTimerId, 5);
    EXPECT_EQ(TimerClient::count(), baseCount + 3);
    owner.reset();
    EXPECT_EQ(TimerService::count(), baseCount);
    // Ticks already queued for the dead owner find no record and are dropped.
    pumpUntil([] { return false; }, 50);
}

TEST_F(TimerServiceTest, TimerKilledInItsOwnTickGetsNoFurtherTicks)
{
    TickRecorder oneShot;
    TickRecorder witness;
    oneShot.onTick = [&](int id) { oneShot.killTimer(id); };
    oneShot.startTimer(MessageBoxSoundTimerId, 1);
    witness.startTimer(MessageBoxSoundTimerId, 5);
    ASSERT_TRUE(pumpUntil([&] { return witness.ticks.size() >= 5; }));
    EXPECT_EQ(oneShot.ticks, std::vector<int>{MessageBoxSoundTimerId});
    witness.killAllTimers();
}

TEST_F(TimerServiceTest, KillingAnIdThatDoesNotRunChangesNothing)
{
    TickRecorder owner;
    owner.startTimer(SpinBoxRepeatTimerId, 1000);
    owner.killTimer(SpinBoxDragTimerId);
    TimerService::kill(nullptr, SpinBoxRepeatTimerId);
    EXPECT_EQ(TimerService::killAll(nullptr), 0);
    EXPECT_TRUE(owner.isTimerActive(SpinBoxRepeatTimerId));
    EXPECT_EQ(TimerService::count(), baseCount + 1);
}

} // namespace
