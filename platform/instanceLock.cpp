#include "platform/instanceLock.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace marlo {

namespace {

// The name may come from a registry-style text; keep it one file name.
QString lockFileName(const std::string& name) {
    QString file = QString::fromStdString(name);
    file.replace(u'/', u'_');
    file.replace(u'\\', u'_');
    return file + QStringLiteral(".lock");
}

} // namespace

InstanceLock::InstanceLock(const std::string& name, const std::string& folder) {
    const QString dir = folder.empty()
                            ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                            : QString::fromStdString(folder);
    if (dir.isEmpty())
        return;
    path_ = QDir(dir).filePath(lockFileName(name)).toStdString();
    file_ = std::make_unique<QLockFile>(QString::fromStdString(path_));
    // Age says nothing about a live holder: the first copy may run for days. Only a
    // lock whose process is gone counts as stale.
    file_->setStaleLockTime(0);
    if (file_->tryLock(0)) {
        state_ = State::Held;
        return;
    }
    state_ =
        file_->error() == QLockFile::LockFailedError ? State::HeldElsewhere : State::Unavailable;
    file_.reset();
}

InstanceLock::~InstanceLock() = default;

} // namespace marlo
