// The controller's document commands: the save question, New, Open, Save and
// Save As.
#include "main/appController.h"

#include "clone/cloneFileSave.h"
#include "core/cloneFile.h"
#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "core/undoHistory.h"
#include "overlay/overlayTexts.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

namespace marlo {

namespace {

constexpr char kDialogTexts[] = "GI_Sys_Dialog_FOpen"; // line 0 extension, line 1 filter
constexpr char kOpenCaption[] = "Open";
constexpr char kSaveAsCaption[] = "Save As";

// The hourglass while a file is read or written.
class WaitCursor {
public:
    WaitCursor() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            shown_ = true;
        }
    }
    ~WaitCursor() {
        if (shown_)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool shown_ = false;
};

std::string fileNamePart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string directoryPart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string formatted(const std::string& format, const std::string& name) {
    const auto at = format.find("%s");
    return at == std::string::npos ? format : format.substr(0, at) + name + format.substr(at + 2);
}

// At once, not queued: the save question must see a typed cell as a change,
// and a queued commit would land in whatever document is loaded by then.
void commitEditors() {
    NotificationHub::App().Send(evCommitEditors);
}

} // namespace

int AppController::AskSave(bool another) {
    commitEditors();
    OverlayTexts& texts = OverlayTexts::App();
    const std::string text = another ? texts.GetLine("GI_Mess_Confirm_WriteAnother")
                                     : formatted(texts.GetLine("GI_Mess_Confirm_WriteFile"),
                                                 fileNamePart(DocumentPath()));
    if (!UpdateModified())
        return kAskSaved;
    const PromptAnswer answer = Prompter::Current().Message(AppTitle(), text, PromptIcon::Warning,
                                                            PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::No)
        return kAskDiscard;
    if (answer != PromptAnswer::Yes)
        return kAskCancel;
    const int failed =
        DocumentName().empty() || another ? SaveAsDialog() : SaveFile(DocumentName());
    return failed != 0 ? kAskCancel : kAskSaved;
}

int AppController::NewDocument() {
    if (AskSave(false) == kAskCancel)
        return 1;
    CurrentImage().Assign(ReferenceImage());
    StartFreshHistory(true);
    SetDocumentName({});
    // The sheet was built for the old document; the tick opens it afresh.
    CloseSheet();
    NotificationHub::App().Post(evDocumentReloaded);
    return 0;
}

int AppController::OpenDialog() {
    commitEditors();
    const std::optional<std::string> path = Prompter::Current().OpenFileName(
        kOpenCaption, CurrentDirectory, OverlayTexts::App().GetLine(kDialogTexts, 1));
    return path ? OpenFile(*path) : 1;
}

int AppController::OpenRecent(int index) {
    const std::string path = SettingsStore::App().Recent.Item(index);
    return path.empty() ? 1 : OpenFile(path);
}

int AppController::OpenFile(const std::string& path) {
    commitEditors();
    // The same file as the file system sees it: letter case counts.
    if (AskSave(!DocumentName().empty() && path == DocumentName()) == kAskCancel)
        return 1;
    const WaitCursor wait;
    auto work = std::make_unique<MemoryImage>();
    work->Resize(ImageSize());
    const CloneFile::Code code = OpenImage(path, *work);
    if (code != CloneFile::Ok)
        return code; // its box has been shown

    CurrentDirectory = directoryPart(path);
    SettingsStore& settings = SettingsStore::App();
    settings.CurrentDirectory = CurrentDirectory;
    SetDocumentName(path);
    settings.Recent.AddFirst(path);
    NotificationHub::App().Post(evRefreshMenus); // the recent files' items name it
    CurrentImage().Assign(*work);
    AfterLoad(CurrentImage());
    StartFreshHistory(true);
    CloseSheet();
    NotificationHub::App().Post(evDocumentReloaded);
    return 0;
}

int AppController::SaveAsDialog() {
    OverlayTexts& texts = OverlayTexts::App();
    const std::optional<std::string> path = Prompter::Current().SaveFileName(
        kSaveAsCaption, DocumentPath(), texts.GetLine(kDialogTexts, 1),
        texts.GetLine(kDialogTexts, 0));
    return path ? SaveFile(*path) : 1;
}

std::unique_ptr<MemoryImage> AppController::SavePreparedCopy(const std::string& path) {
    auto prepared = std::make_unique<MemoryImage>();
    const WaitCursor wait;
    if (Document::SavePreparedCopy(CurrentImage(), path, *prepared) != CloneFile::Ok)
        return nullptr;
    return prepared;
}

int AppController::SaveFile(const std::string& path) {
    commitEditors();
    const std::unique_ptr<MemoryImage> prepared = SavePreparedCopy(path);
    if (!prepared)
        return 1;
    History().Amend(CurrentImage(), *prepared);
    CurrentImage().Assign(*prepared);
    CurrentDirectory = directoryPart(path);
    SettingsStore& settings = SettingsStore::App();
    settings.CurrentDirectory = CurrentDirectory;
    SetDocumentName(path);
    settings.Recent.AddFirst(path);
    NotificationHub::App().Post(evRefreshMenus); // the recent files' items name it
    TakeSaved();
    return 0;
}

} // namespace marlo
