#pragma once

#include <QBasicTimer>
#include <QObject>

#include <cstdint>
#include <memory>

namespace marlo {

class PeriodicTask;

// A task's periodic work: called as callback(context, task).
using TaskCallback = void (*)(void* context, PeriodicTask* task);

// Disposes of a task through Release (a task is never deleted directly).
struct TaskRelease {
    void operator()(PeriodicTask* task) const;
};
// The owning handle of a task: dropping it releases the task.
using TaskPtr = std::unique_ptr<PeriodicTask, TaskRelease>;

// A periodic task on a GUI-thread timer: one callback with a context, and an
// interval that also switches it off. The callback usually ends by setting the
// interval of its own task, which is how periodic work schedules itself.
//
// Two guards make it safe to use from inside its own callback:
//  - a tick never re-enters a callback that is still running (for instance one
//    that shows a modal box, which keeps timer events flowing);
//  - releasing a task only marks it when its timer runs or its callback is on the
//    stack, and the task deletes itself on a later tick. An owner may therefore
//    drop its handle from inside the task's own callback.
class PeriodicTask final : public QObject {
    Q_OBJECT

public:
    static TaskPtr Create();

    PeriodicTask(const PeriodicTask&) = delete;
    PeriodicTask& operator=(const PeriodicTask&) = delete;

    void SetCallback(TaskCallback callback, void* context);
    // n < 0 stops the task; n >= 0 runs it every max(n, 1) ms. Ignored once released.
    void SetInterval(std::int32_t n);

    // The last interval given.
    std::int32_t Interval() const { return interval_; }
    bool Stopped() const { return stopped_; }
    bool Busy() const { return busy_; }

    // Tasks alive in the process, released ones included until they are gone; lets
    // tests check that nothing is left ticking.
    static int LiveCount();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    friend struct TaskRelease;

    PeriodicTask();
    ~PeriodicTask() override;
    void Release();

    QBasicTimer timer_;
    TaskCallback callback_ = nullptr;
    void* context_ = nullptr;
    std::int32_t interval_ = -1;
    int period_ = 0; // of the running timer, in ms
    bool busy_ = false;
    bool deletePending_ = false;
    bool stopped_ = true;
};

} // namespace marlo
