#include "core/periodicTask.h"

#include <QCoreApplication>
#include <QTimerEvent>

#include <algorithm>

namespace marlo {

void TaskRelease::operator()(PeriodicTask* task) const {
    if (task != nullptr)
        task->Release();
}

TaskPtr PeriodicTask::Create() {
    return TaskPtr(new PeriodicTask());
}

namespace {
int liveTasks = 0;
}

PeriodicTask::PeriodicTask() : QObject(nullptr) {
    ++liveTasks;
}

PeriodicTask::~PeriodicTask() {
    --liveTasks;
}

int PeriodicTask::LiveCount() {
    return liveTasks;
}

void PeriodicTask::SetCallback(TaskCallback callback, void* context) {
    callback_ = callback;
    context_ = context;
}

void PeriodicTask::SetInterval(std::int32_t n) {
    // A released task keeps its 1 ms period until it has deleted itself; stopping it
    // now would leave it alive for good.
    if (deletePending_)
        return;
    interval_ = n;
    if (n < 0) {
        timer_.stop();
    } else {
        const int period = std::max<int>(n, 1);
        // Restarting an unchanged period would push every tick back by the time the
        // callback took; the clone engine's 10 ms pace must not drift that way.
        if (!timer_.isActive() || period != period_)
            timer_.start(period, Qt::PreciseTimer, this);
        period_ = period;
    }
    stopped_ = !timer_.isActive();
}

void PeriodicTask::Release() {
    if (deletePending_)
        return;
    // Deleting a task whose callback is on the stack would pull the object out from
    // under that callback; such a task waits for a tick like a running one.
    if (stopped_ && !busy_) {
        delete this;
        return;
    }
    callback_ = nullptr;
    context_ = nullptr;
    SetInterval(1);
    deletePending_ = true;
    // Should the event loop end before that tick (a program returning from main
    // right after), the task goes with the application object instead of leaking.
    setParent(QCoreApplication::instance());
}

void PeriodicTask::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    if (busy_)
        return;
    if (deletePending_) {
        delete this;
        return;
    }
    if (callback_ == nullptr)
        return;
    busy_ = true;
    callback_(context_, this);
    busy_ = false;
}

} // namespace marlo
