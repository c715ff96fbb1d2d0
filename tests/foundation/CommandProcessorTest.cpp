#include "foundation/CommandProcessor.h"

#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A command whose step is given by the test; it logs its id when run.
class StepCommand : public Command {
public:
    StepCommand(int id, std::vector<int>& log, std::function<bool(StepCommand&)> step)
        : Command(String(), id), m_log(log), m_step(std::move(step))
    {
    }

    bool execute() override
    {
        m_log.push_back(id());
        return m_step(*this);
    }

private:
    std::vector<int>& m_log;
    std::function<bool(StepCommand&)> m_step;
};

std::function<bool(StepCommand&)> goTo(int next)
{
    return [next](StepCommand& c) {
        c.setNext(next);
        return true;
    };
}

TEST(CommandProcessor, RunsTheChainFromTheStartCommand)
{
    std::vector<int> log;
    CommandProcessor processor;
    EXPECT_EQ(wide(processor.error()), L"no error");
    processor.addCommand(new StepCommand(0, log, goTo(2)));
    processor.addCommand(new StepCommand(1, log, goTo(-1)));
    processor.addCommand(new StepCommand(2, log, goTo(1)));
    EXPECT_TRUE(processor.isValid());
    EXPECT_TRUE(processor.runCommands());
    EXPECT_EQ(log, (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(processor.executedCount(), 3);
    EXPECT_FALSE(processor.isRunning());

    log.clear();
    processor.setStartId(2);
    EXPECT_TRUE(processor.runCommands());
    EXPECT_EQ(log, (std::vector<int>{2, 1}));
}

TEST(CommandProcessor, ReportsEachKindOfFailure)
{
    std::vector<int> log;
    CommandProcessor empty;
    EXPECT_FALSE(empty.runCommands());
    EXPECT_EQ(wide(empty.error()), L"unknown error");

    CommandProcessor failing;
    failing.addCommand(new StepCommand(0, log, goTo(7)));
    failing.addCommand(new StepCommand(7, log, [](StepCommand&) { return false; }));
    EXPECT_FALSE(failing.runCommands());
    EXPECT_EQ(wide(failing.error()), L"command error, id: 7");
    EXPECT_FALSE(failing.isRunning());

    CommandProcessor dangling;
    dangling.addCommand(new StepCommand(0, log, goTo(5)));
    EXPECT_FALSE(dangling.runCommands());
    EXPECT_EQ(wide(dangling.error()), L"command not found");

    dangling.setStartId(9);
    EXPECT_FALSE(dangling.runCommands());
    EXPECT_EQ(wide(dangling.error()), L"unknown error");

    CommandProcessor invalid;
    invalid.addCommand(new StepCommand(-3, log, goTo(-1)));
    EXPECT_FALSE(invalid.isValid());
    EXPECT_FALSE(invalid.runCommands());
    EXPECT_EQ(wide(invalid.error()), L"unknown error");
}

TEST(CommandProcessor, RefusesChangesWhileRunning)
{
    std::vector<int> log;
    CommandProcessor processor;
    bool removed = true;
    bool cleared = true;
    bool nested = true;
    processor.addCommand(new StepCommand(0, log, [&](StepCommand& c) {
        removed = processor.removeCommand(1);
        cleared = processor.clearCommands();
        nested = processor.runCommands();
        processor.setStartId(1);
        c.setNext(1);
        return true;
    }));
    processor.addCommand(new StepCommand(1, log, goTo(-1)));
    EXPECT_TRUE(processor.runCommands());
    EXPECT_FALSE(removed);
    EXPECT_FALSE(cleared);
    EXPECT_FALSE(nested);
    EXPECT_EQ(processor.startId(), -1);
    EXPECT_EQ(log, (std::vector<int>{0, 1}));

    EXPECT_TRUE(processor.removeCommand(1));
    EXPECT_FALSE(processor.removeCommand(1));
    EXPECT_EQ(processor.findCommand(1), nullptr);
    EXPECT_TRUE(processor.clearCommands());
    EXPECT_FALSE(processor.hasCommands());
}

TEST(CommandProcessor, FindCommandTakesTheFirstOfEqualIds)
{
    std::vector<int> log;
    CommandProcessor processor;
    auto* first = new StepCommand(4, log, goTo(-1));
    processor.addCommand(first);
    processor.addCommand(new StepCommand(4, log, goTo(-1)));
    EXPECT_EQ(processor.findCommand(4), first);
    EXPECT_EQ(first->owner(), &processor);
    EXPECT_EQ(wide(first->error()), L"<no error>");
}

} // namespace
