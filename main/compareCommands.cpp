#include "main/compareCommands.h"

#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "main/cloneWindowCommands.h"
#include "main/compareWindow.h"
#include "main/radioAppController.h"
#include "overlay/overlayTexts.h"
#include "platform/prompter.h"
#include "radio/cellLabels.h"
#include "views/menu.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>

namespace marlo {

namespace {

// Lines: the File item, the Clone item, ..., the radio's name (3).
constexpr char kTexts[] = "GI_Compare";
constexpr int kRadioName = 3;
constexpr char kDialogTexts[] = "GI_Sys_Dialog_FOpen"; // line 1: the filter
constexpr char kDialogCaption[] = "Compare With File";

QMenu* menuOf(QAction* item) {
    if (item == nullptr)
        return nullptr;
    for (QObject* o : item->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(o))
            return menu;
    return nullptr;
}

} // namespace

CompareCommands::CompareCommands(QMainWindow& form, RadioAppController& controller,
                                 std::function<CloneWindowCommands&()> cloning)
    : controller_(controller), cloning_(std::move(cloning)), form_(&form) {
    OverlayTexts& texts = OverlayTexts::App();
    file_ = new QAction(QString::fromStdString(texts.GetLine(kTexts, 0)), &form);
    radio_ = new QAction(QString::fromStdString(texts.GetLine(kTexts, 1)), &form);
    connect(file_, &QAction::triggered, this, [this] { CompareWithFile(); });
    connect(radio_, &QAction::triggered, this, [this] { CompareWithRadio(); });
    Menu* menu = controller_.MainMenu();
    if (menu == nullptr)
        return;
    const auto place = [this, menu](QAction* ours, std::int32_t after) {
        QMenu* target = menuOf(menu->FindByLabel(after));
        if (target == nullptr)
            return;
        Place(target, ours, after);
        // The overlay's menus may be filled again: ours come back with them.
        connect(target, &QMenu::aboutToShow, this,
                [this, target, ours, after] { Place(target, ours, after); });
    };
    place(file_, CellLabel::CL_Menu_File_SaveAs);
    place(radio_, CellLabel::CL_Menu_Clone_Write);
}

CompareCommands::~CompareCommands() {
    // A read still running writes into reading_; the clone window outlives us
    // only while the controller does, and it ends the read with the window.
    delete window_;
}

CompareWindow* CompareCommands::Window() const {
    return window_;
}

void CompareCommands::Place(QMenu* menu, QAction* ours, std::int32_t afterLabel) {
    if (menu == nullptr || ours == nullptr)
        return;
    Menu* builder = controller_.MainMenu();
    QAction* after = builder != nullptr ? builder->FindByLabel(afterLabel) : nullptr;
    const QList<QAction*> items = menu->actions();
    const auto at = items.indexOf(after);
    if (at < 0 || items.value(at + 1) == ours)
        return;
    menu->removeAction(ours);
    const QList<QAction*> rest = menu->actions();
    QAction* next = rest.value(rest.indexOf(after) + 1, nullptr);
    menu->insertAction(next, ours);
}

bool CompareCommands::CompareWithFile() {
    NotificationHub::App().Send(evCommitEditors);
    const std::optional<std::string> path = Prompter::Current().OpenFileName(
        kDialogCaption, controller_.CurrentDirectory, OverlayTexts::App().GetLine(kDialogTexts, 1));
    if (!path)
        return false;
    auto other = std::make_unique<MemoryImage>();
    other->Resize(controller_.ImageSize());
    // Read as Open reads a document, with its boxes; the document stays.
    if (controller_.OpenImage(*path, *other) != CloneFile::Ok)
        return false;
    Open(std::move(other), QFileInfo(QString::fromStdString(*path)).fileName().toStdString());
    return true;
}

bool CompareCommands::CompareWithRadio(CloneCommands::Done done) {
    if (reading_)
        return false;
    NotificationHub::App().Send(evCommitEditors);
    reading_ = std::make_unique<MemoryImage>();
    MemoryImage& into = *reading_;
    const bool started = cloning_().CompareRead(into, [this, done = std::move(done)](int code) {
        std::unique_ptr<MemoryImage> read = std::move(reading_);
        if (code == 0 && read)
            Open(std::move(read), OverlayTexts::App().GetLine(kTexts, kRadioName));
        if (done)
            done(code);
    });
    if (!started)
        reading_.reset();
    return started;
}

void CompareCommands::Open(std::unique_ptr<MemoryImage> other, const std::string& name) {
    if (!form_)
        return;
    // One comparison at a time: the new one replaces the last.
    delete window_;
    window_ = new CompareWindow(form_, controller_, std::move(other), name);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

} // namespace marlo
