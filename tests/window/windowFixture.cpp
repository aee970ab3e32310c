#include "windowFixture.h"

#include "core/cloneFile.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "radio/listRecord.h"
#include "support/eventLoop.h"
#include "views/sheet.h"
#include "views/tree.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include <iterator>
#include <utility>

using namespace marlo;

std::unique_ptr<MemoryImage> loadCloneFile(const std::string& path) {
    auto image = std::make_unique<MemoryImage>();
    image->Resize(marloModel::imageSize);
    CloneFile file;
    file.BindImage(*image);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetMapRevisionCheck([](int) { return true; });
    EXPECT_EQ(int(file.Load(path)), int(CloneFile::Ok)) << path;
    return image;
}

WindowTest::~WindowTest() {
    // A test that failed halfway may leave a popup open; it must not outlive the window.
    for (int i = 0; i < 5 && QApplication::activePopupWidget() != nullptr; ++i)
        QApplication::activePopupWidget()->close();
    form_.reset();
    controller_.reset();
}

MainWindow& WindowTest::open(Document document) {
    return openFile(document == Document::Full ? writeFullDocument("full.vcf") : std::string());
}

MainWindow& WindowTest::openFile(const std::string& path) {
    std::vector<std::string> args{"marlo"};
    if (!path.empty())
        args.push_back(path);
    form_ = std::make_unique<MainWindow>(makeController(args));
    EXPECT_TRUE(waitFor([&] { return form_->isVisible(); }));
    form_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    return *form_;
}

std::string WindowTest::writeFullDocument(const std::string& name) {
    MemoryImage image;
    makeInitialImage(image, 0);
    ListRecord e(&image);
    for (std::int32_t i = 0; i <= ListRecord::LastIndex(listUserChannel); ++i) {
        e.MakeBlank(listUserChannel, i);
        e.state = ListRecord::stateUsed;
        e.channelNumber = static_cast<std::uint32_t>(i + 1);
        e.rxFrequency = 2'000'000 + i * 10'000;
        e.txFrequency = e.rxFrequency;
        e.StoreAndReload();
    }
    for (std::int32_t i = 0; i <= ListRecord::LastIndex(listSelCallId); ++i) {
        e.MakeBlank(listSelCallId, i);
        e.callId = {static_cast<std::uint8_t>(i / 100 % 10), static_cast<std::uint8_t>(i / 10 % 10),
                    static_cast<std::uint8_t>(i % 10)};
        e.name.fill('S');
        e.StoreAndReload();
    }
    for (std::int32_t i = 0; i <= ListRecord::LastIndex(listAleId); ++i) {
        e.MakeBlank(listAleId, i);
        const std::string address = "ADDR" + std::to_string(i);
        e.aleAddress.fill(0);
        std::copy(address.begin(), address.end(), e.aleAddress.begin());
        e.StoreAndReload();
    }
    for (std::int32_t i = 0; i <= ListRecord::LastIndex(listTelNumber); ++i) {
        e.MakeBlank(listTelNumber, i);
        e.telNumber.fill(0xFF);
        e.telNumber[0] = static_cast<std::uint8_t>(0x10 + i % 10);
        e.telNumber[1] = 0x23;
        e.name.fill('T');
        e.StoreAndReload();
    }
    const std::string path = files_->filePath(QString::fromStdString(name)).toStdString();
    writeCloneFile(path, image);
    return path;
}

Sheet* WindowTest::sheet() const {
    return controller_ ? controller_->ShownSheet() : nullptr;
}

Sheet& WindowTest::showSheet(const QString& nodeCaption) {
    QTreeWidget* tree = controller_->Tree()->View();
    const auto found = tree->findItems(nodeCaption, Qt::MatchExactly | Qt::MatchRecursive);
    EXPECT_EQ(found.size(), 1) << nodeCaption.toStdString();
    QTreeWidgetItem* node = found.value(0);
    const CellModel* model = controller_->Tree()->ModelOf(node);
    if (node == nullptr || model == nullptr || !model->parameter) {
        ADD_FAILURE() << "no sheet node " << nodeCaption.toStdString();
        return *sheet();
    }
    tree->scrollToItem(node);
    click(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    const std::string descriptor = *model->parameter;
    EXPECT_TRUE(waitFor([&] {
        return controller_->ShownDescriptor() == descriptor && sheet() != nullptr &&
               sheet()->Grid() != nullptr && sheet()->Grid()->isVisible();
    })) << nodeCaption.toStdString();
    return *sheet();
}

QPoint WindowTest::cellCentre(int col, int row) const {
    const GridRect r = sheet()->Grid()->CellRect(col, row);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void WindowTest::clickCell(int col, int row, Qt::MouseButton button,
                           Qt::KeyboardModifiers modifiers) {
    click(sheet()->Grid()->viewport(), button, modifiers, cellCentre(col, row));
}

namespace {

QWindow* keyboardWindow() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup->window()->windowHandle();
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal->window()->windowHandle();
    if (QWindow* focus = QGuiApplication::focusWindow())
        return focus;
    if (QWidget* active = QApplication::activeWindow())
        return active->windowHandle();
    // Nothing active (a window that had the keyboard closed): a person clicks the
    // main window first.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->inherits("QMainWindow")) {
            top->activateWindow();
            return top->windowHandle();
        }
    return nullptr;
}

// One key event to where the keyboard goes at this moment; false when no
// window takes it.
bool sendKey(bool press, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QWindow* window = keyboardWindow();
    if (window == nullptr)
        return false;
    QTest::simulateEvent(window, press, key, modifiers, text, false);
    return true;
}

constexpr std::pair<Qt::KeyboardModifier, Qt::Key> kModifierKeys[] = {
    {Qt::ShiftModifier, Qt::Key_Shift},
    {Qt::ControlModifier, Qt::Key_Control},
    {Qt::AltModifier, Qt::Key_Alt},
    {Qt::MetaModifier, Qt::Key_Meta}};

} // namespace

// Every press and release, a modifier's too, goes on its own to where the
// keyboard goes at that moment, as the window system sends them: each may close
// the window that took the one before (a picker, a popup, a finished clone).
// QTest's own key functions hold one window across all of them.
void WindowTest::key(int key, Qt::KeyboardModifiers modifiers) {
    const char ascii = QTest::keyToAscii(static_cast<Qt::Key>(key));
    const QString text = ascii != 0 ? QString(QChar::fromLatin1(ascii)) : QString();
    Qt::KeyboardModifiers held;
    for (const auto& [modifier, modifierKey] : kModifierKeys)
        if (modifiers & modifier) {
            sendKey(true, modifierKey, held, {});
            held |= modifier;
        }
    if (!sendKey(true, key, modifiers, text))
        ADD_FAILURE() << "no window takes the keyboard";
    sendKey(false, key, modifiers, text);
    for (auto it = std::rbegin(kModifierKeys); it != std::rend(kModifierKeys); ++it)
        if (modifiers & it->first) {
            sendKey(false, it->second, held, {});
            held &= ~it->first;
        }
    QCoreApplication::processEvents();
}

void WindowTest::type(const QString& text) {
    for (const QChar c : text) {
        const char ascii = c.toLatin1();
        const QString typed(QChar::fromLatin1(ascii));
        const int code = QTest::asciiToKey(ascii);
        if (!sendKey(true, code, Qt::NoModifier, typed))
            return;
        sendKey(false, code, Qt::NoModifier, typed);
    }
    QCoreApplication::processEvents();
}

void WindowTest::click(QWidget* widget, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                       QPoint at) {
    QPointer<QWidget> target(widget);
    QTest::mousePress(target, button, modifiers, at);
    QCoreApplication::processEvents();
    if (target != nullptr)
        QTest::mouseRelease(target, button, modifiers, at);
    QCoreApplication::processEvents();
}

QMenu* WindowTest::waitForPopup() {
    QMenu* menu = nullptr;
    waitFor([&] {
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu != nullptr && menu->isVisible() && menu->windowHandle() != nullptr &&
               menu->windowHandle()->isExposed();
    });
    return menu;
}

bool WindowTest::waitForNoPopup() {
    return waitFor([] { return QApplication::activePopupWidget() == nullptr; });
}

QString WindowTest::plain(const QString& caption) {
    QString text = caption.section('\t', 0, 0);
    text.remove(QRegularExpression("&(?!&)"));
    return text;
}

bool WindowTest::clickPopupItem(const QString& itemCaption) {
    QMenu* menu = waitForPopup();
    if (menu == nullptr)
        return false;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible() || plain(action->text()) != itemCaption)
            continue;
        if (!action->isEnabled())
            return false;
        click(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        return action->menu() != nullptr || waitForNoPopup();
    }
    return false;
}

bool WindowTest::pickPopupItemByKeys(const QString& itemCaption) {
    QMenu* menu = waitForPopup();
    if (menu == nullptr)
        return false;
    int downs = 0;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible() || !action->isEnabled())
            continue;
        ++downs;
        if (plain(action->text()) != itemCaption)
            continue;
        for (int i = 0; i < downs; ++i)
            key(Qt::Key_Down);
        if (menu->activeAction() != action)
            return false;
        key(Qt::Key_Return);
        return action->menu() != nullptr || waitForNoPopup();
    }
    return false;
}

void WindowTest::menuPath(const QStringList& captions) {
    for (int i = 0; i < captions.size(); ++i) {
        const int marker = captions[i].indexOf('&');
        ASSERT_GE(marker, 0) << captions[i].toStdString() << " has no mnemonic";
        const int letter = captions[i].at(marker + 1).toUpper().unicode();
        key(letter, i == 0 ? Qt::AltModifier : Qt::NoModifier);
        if (i + 1 < captions.size()) {
            ASSERT_NE(waitForPopup(), nullptr) << captions[i].toStdString();
        }
    }
}

bool WindowTest::waitFor(const std::function<bool()>& condition, int limitMs) {
    return runEventLoopUntil(condition, limitMs);
}

std::string WindowTest::caption() const {
    // As the window manager shows it: the unsaved-changes mark filled in.
    return form_->windowHandle()->title().toStdString();
}

std::string WindowTest::cellText(int col, int row) const {
    return sheet()->ShownText(col, row);
}
