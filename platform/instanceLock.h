#pragma once

#include <memory>
#include <string>

class QLockFile;

namespace marlo {

// The single-instance guard: a lock file named after `name` in the user's runtime
// folder (or in `folder` when one is given). Whoever takes it first holds it until
// its destruction; a lock left behind by a process that died is taken over.
class InstanceLock {
public:
    enum class State {
        Held,          // this process holds the lock
        HeldElsewhere, // another running process holds it
        Unavailable,   // the lock file cannot be made here (no runtime folder, no rights)
    };

    explicit InstanceLock(const std::string& name, const std::string& folder = {});
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State state() const { return state_; }
    bool held() const { return state_ == State::Held; }
    const std::string& filePath() const { return path_; }

private:
    std::string path_;
    std::unique_ptr<QLockFile> file_;
    State state_ = State::Unavailable;
};

} // namespace marlo
