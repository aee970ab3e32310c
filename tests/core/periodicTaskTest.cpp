#include "core/periodicTask.h"
#include "support/eventLoop.h"

#include <QElapsedTimer>
#include <QPointer>
#include <gtest/gtest.h>

#include <algorithm>

using namespace marlo;

namespace {

// Drops a task and gives a running one the tick on which it deletes itself, so that
// no test leaves a live task behind.
void dispose(TaskPtr& task) {
    QPointer<PeriodicTask> watch(task.get());
    task.reset();
    runEventLoopUntil([&] { return watch.isNull(); });
}

struct Probe {
    TaskPtr task;
    int calls = 0;
    void* seenContext = nullptr;
    PeriodicTask* seenTask = nullptr;
    int stopAfter = 0; // the callback stops its task after this many calls (0: never)

    ~Probe() { dispose(task); }

    static void tick(void* context, PeriodicTask* task) {
        auto* self = static_cast<Probe*>(context);
        ++self->calls;
        self->seenContext = context;
        self->seenTask = task;
        if (self->calls == self->stopAfter)
            task->SetInterval(-5);
    }

    void start(std::int32_t interval) {
        task = PeriodicTask::Create();
        task->SetCallback(&Probe::tick, this);
        task->SetInterval(interval);
    }
};

} // namespace

TEST(Task, CallsBackWithItsContextAndItself) {
    Probe probe;
    probe.start(0);
    EXPECT_FALSE(probe.task->Stopped());
    EXPECT_EQ(probe.task->Interval(), 0);
    ASSERT_TRUE(runEventLoopUntil([&] { return probe.calls >= 5; }));
    EXPECT_EQ(probe.seenContext, &probe);
    EXPECT_EQ(probe.seenTask, probe.task.get());
}

TEST(Task, PeriodIsTheIntervalInMilliseconds) {
    Probe probe;
    QElapsedTimer clock;
    clock.start();
    probe.start(30);
    ASSERT_TRUE(runEventLoopUntil([&] { return probe.calls >= 4; }));
    // A 30 ms timer cannot fire more often than that, however busy the machine is.
    EXPECT_LE(probe.calls, clock.elapsed() / 30 + 1);
}

TEST(Task, CallbackSchedulesItselfThroughItsInterval) {
    Probe probe;
    probe.stopAfter = 3;
    probe.start(1);
    ASSERT_TRUE(runEventLoopUntil([&] { return probe.task->Stopped(); }));
    EXPECT_EQ(probe.task->Interval(), -5);
    runEventLoopFor(50);
    EXPECT_EQ(probe.calls, 3);
}

namespace {

// A callback that changes its period (a fresh timer) and then runs a nested event
// loop, as one showing a modal box does: ticks keep coming while it is still running.
struct NestedLoop {
    TaskPtr task;
    int calls = 0;
    int depth = 0;
    int maxDepth = 0;

    ~NestedLoop() { dispose(task); }

    static void tick(void* context, PeriodicTask* task) {
        auto* self = static_cast<NestedLoop*>(context);
        ++self->calls;
        self->maxDepth = std::max(self->maxDepth, ++self->depth);
        if (self->calls == 1) {
            task->SetInterval(2);
            runEventLoopFor(100);
        }
        --self->depth;
    }
};

} // namespace

TEST(Task, BusyCallbackIsNotReentered) {
    NestedLoop nested;
    nested.task = PeriodicTask::Create();
    nested.task->SetCallback(&NestedLoop::tick, &nested);
    nested.task->SetInterval(1);
    ASSERT_TRUE(runEventLoopUntil([&] { return nested.calls >= 3; }));
    EXPECT_EQ(nested.maxDepth, 1);
}

TEST(Task, ReleasingAStoppedTaskDeletesItAtOnce) {
    Probe probe;
    probe.start(-1);
    QPointer<PeriodicTask> watch(probe.task.get());
    probe.task.reset();
    EXPECT_TRUE(watch.isNull());
}

TEST(Task, ReleasingARunningTaskEndsItsCallsAndDeletesItOnATick) {
    Probe probe;
    probe.start(1);
    ASSERT_TRUE(runEventLoopUntil([&] { return probe.calls >= 1; }));
    QPointer<PeriodicTask> watch(probe.task.get());
    probe.task.reset();
    const int calls = probe.calls;
    EXPECT_FALSE(watch.isNull()) << "a running task is deleted on its next tick";
    ASSERT_TRUE(runEventLoopUntil([&] { return watch.isNull(); }));
    EXPECT_EQ(probe.calls, calls);
}

namespace {

// An owner that drops its task from inside the task's own callback.
struct SelfRelease {
    bool stopFirst = false;        // the callback stops the task before releasing it
    bool stopAfter = false;        // ... or tries to stop it after releasing it
    bool spinAfterRelease = false; // ... and then runs a nested event loop
    TaskPtr task;
    QPointer<PeriodicTask> watch;
    int calls = 0;
    bool aliveAfterRelease = false;

    static void tick(void* context, PeriodicTask* task) {
        auto* self = static_cast<SelfRelease*>(context);
        ++self->calls;
        if (self->stopFirst)
            task->SetInterval(-1);
        self->task.reset();
        if (self->stopAfter)
            task->SetInterval(-1);
        if (self->spinAfterRelease)
            runEventLoopFor(50);
        self->aliveAfterRelease = !self->watch.isNull();
    }
};

struct SelfReleaseRow {
    const char* name;
    bool stopFirst;
    bool stopAfter;
    bool spin;
};

class TaskSelfRelease : public ::testing::TestWithParam<SelfReleaseRow> {};

} // namespace

TEST_P(TaskSelfRelease, TaskOutlivesItsCallbackAndIsNeverCalledAgain) {
    const SelfReleaseRow& row = GetParam();
    SelfRelease owner;
    owner.stopFirst = row.stopFirst;
    owner.stopAfter = row.stopAfter;
    owner.spinAfterRelease = row.spin;
    owner.task = PeriodicTask::Create();
    owner.watch = owner.task.get();
    owner.task->SetCallback(&SelfRelease::tick, &owner);
    owner.task->SetInterval(5); // releasing switches to 1 ms, a fresh timer
    ASSERT_TRUE(runEventLoopUntil([&] { return owner.calls >= 1; }));
    EXPECT_TRUE(owner.aliveAfterRelease);
    ASSERT_TRUE(runEventLoopUntil([&] { return owner.watch.isNull(); }));
    runEventLoopFor(20);
    EXPECT_EQ(owner.calls, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TaskSelfRelease,
    ::testing::Values(SelfReleaseRow{"WhileRunning", false, false, false},
                      SelfReleaseRow{"AfterStoppingItself", true, false, false},
                      SelfReleaseRow{"ThenStoppingIt", false, true, false},
                      SelfReleaseRow{"ThenRunningANestedLoop", false, false, true},
                      SelfReleaseRow{"StoppedThenNestedLoop", true, false, true}),
    [](const auto& p) { return std::string(p.param.name); });
