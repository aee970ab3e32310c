// A seeded monkey on the real window: random clicks, keys, shortcuts, menu picks,
// wheel turns and dialog answers on a full document, for a while. Only quitting
// and the help browser are left out; printing ends at its setup dialog.
//
// Every few events it checks what a person could see going wrong: the window
// still usable, no popup or dialog stuck open, the caption naming the document
// (and its modified mark agreeing with it), an unmodified document holding the
// saved bytes, and the User Channels cells showing the image's channels.
//
//   MARLO_MONKEY_SECONDS  how long (default 120)
//   MARLO_MONKEY_SEED     the seed (default: from the clock)
//   MARLO_MONKEY_EVENTS   stop after this many events: with the seed, a replay
//
// The seed is printed first; each event goes to a log file before it is sent,
// and a crash or a failed check prints the seed, the event count and the last
// events.
#include "windowFixture.h"

#include "radio/listRecord.h"
#include "support/eventLoop.h"
#include "views/sheet.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <fstream>
#include <random>
#include <unistd.h>

using namespace marlo;

namespace {

// What the crash handler prints: formatted before any crash can come.
char crashNote[512];
std::size_t crashNoteLength = 0;
std::FILE* eventLog = nullptr;
struct sigaction previousActions[NSIG];

void onCrash(int signal) {
    if (eventLog != nullptr)
        std::fflush(eventLog);
    [[maybe_unused]] const auto written = write(2, crashNote, crashNoteLength);
    // The previous handler (the sanitizer's or the default) reports and ends.
    sigaction(signal, &previousActions[signal], nullptr);
    raise(signal);
}

std::uint64_t envNumber(const char* name, std::uint64_t fallback) {
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const auto n = value.toULongLong(&ok);
    return ok ? n : fallback;
}

// Answers every box and file dialog at random, as a hurried person would.
class MonkeyPrompter : public ScriptedPrompter {
public:
    MonkeyPrompter(std::mt19937_64& random, std::function<void(const std::string&)> log,
                   std::vector<std::string> files)
        : random_(random), log_(std::move(log)), files_(std::move(files)) {}

    PromptAnswer Message(const std::string&, const std::string& text, PromptIcon,
                         PromptButtons buttons) override {
        static const std::vector<PromptAnswer> choices[] = {
            {PromptAnswer::Ok},
            {PromptAnswer::Ok, PromptAnswer::Cancel},
            {PromptAnswer::Yes, PromptAnswer::No},
            {PromptAnswer::Yes, PromptAnswer::No, PromptAnswer::Cancel}};
        const auto& options = choices[static_cast<int>(buttons)];
        const PromptAnswer answer = options[random_() % options.size()];
        log_("  box \"" + text.substr(0, 60) + "\" answered " +
             std::to_string(static_cast<int>(answer)));
        return answer;
    }
    std::optional<std::string> OpenFileName(const std::string&, const std::string&,
                                            const std::string&) override {
        return pick("open");
    }
    std::optional<std::string> SaveFileName(const std::string&, const std::string&,
                                            const std::string&, const std::string&) override {
        return pick("save");
    }
    bool PrinterSetup(QPrinter&) override {
        log_("  printer setup cancelled");
        return false;
    }
    // Go to Channel and Fill Series: a number into each field, or Cancel.
    std::optional<std::vector<std::string>> AskValues(const std::string& caption,
                                                      const std::vector<Field>& fields) override {
        if (random_() % 3 == 0) {
            log_("  form \"" + caption + "\" cancelled");
            return std::nullopt;
        }
        std::vector<std::string> values;
        for (std::size_t i = 0; i < fields.size(); ++i)
            values.push_back(std::to_string(random_() % 1000));
        log_("  form \"" + caption + "\" filled");
        return values;
    }

private:
    std::optional<std::string> pick(const std::string& what) {
        const std::size_t n = random_() % (files_.size() + 1);
        if (n == files_.size()) {
            log_("  " + what + " dialog cancelled");
            return std::nullopt;
        }
        log_("  " + what + " dialog: " + files_[n]);
        return files_[n];
    }

    std::mt19937_64& random_;
    std::function<void(const std::string&)> log_;
    std::vector<std::string> files_;
};

class Monkey : public WindowTest {
protected:
    void SetUp() override {
        seed_ = envNumber("MARLO_MONKEY_SEED",
                          static_cast<std::uint64_t>(
                              std::chrono::steady_clock::now().time_since_epoch().count()) %
                              1000000007u);
        limit_ = envNumber("MARLO_MONKEY_EVENTS", 0);
        seconds_ = static_cast<int>(envNumber("MARLO_MONKEY_SECONDS", 120));
        random_.seed(seed_);
        logPath_ = files_->filePath("events.log").toStdString();
        const QByteArray keep = qgetenv("MARLO_MONKEY_LOG");
        if (!keep.isEmpty())
            logPath_ = keep.toStdString();
        eventLog = std::fopen(logPath_.c_str(), "w");
        std::fprintf(stderr, "monkey: seed %llu\n", static_cast<unsigned long long>(seed_));
        updateCrashNote();
        for (int s : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL}) {
            struct sigaction action {};
            action.sa_handler = onCrash;
            sigemptyset(&action.sa_mask);
            sigaction(s, &action, &previousActions[s]);
        }
        // No port leads to a device of this machine.
        for (int port = 1; port <= SettingsStore::kHighestPort; ++port)
            settings_->PortDevices[port] = "/nonexistent/monkey-port" + std::to_string(port);
    }

    void TearDown() override {
        for (int s : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL})
            sigaction(s, &previousActions[s], nullptr);
        if (eventLog != nullptr)
            std::fclose(eventLog);
        eventLog = nullptr;
    }

    void updateCrashNote() {
        crashNoteLength = static_cast<std::size_t>(std::snprintf(
            crashNote, sizeof crashNote,
            "monkey: crashed at event %zu of seed %llu; replay with MARLO_MONKEY_SEED=%llu "
            "MARLO_MONKEY_EVENTS=%zu; events in %s\n",
            count_, static_cast<unsigned long long>(seed_), static_cast<unsigned long long>(seed_),
            count_, logPath_.c_str()));
        crashNoteLength = std::min(crashNoteLength, sizeof crashNote - 1);
    }

    void log(const std::string& line) {
        recent_.push_back(line);
        if (recent_.size() > 40)
            recent_.pop_front();
        if (eventLog != nullptr) {
            std::fprintf(eventLog, "%s\n", line.c_str());
            std::fflush(eventLog);
        }
    }

    void event(const std::string& what) {
        ++count_;
        updateCrashNote();
        log(std::to_string(count_) + " " + what);
    }

    std::string replayNote() const {
        std::string note = "monkey: seed " + std::to_string(seed_) + ", " + std::to_string(count_) +
                           " events; replay with MARLO_MONKEY_SEED=" + std::to_string(seed_) +
                           " MARLO_MONKEY_EVENTS=" + std::to_string(count_) + "; events in " +
                           logPath_ + "; the last:\n";
        for (const std::string& line : recent_)
            note += "  " + line + "\n";
        return note;
    }

    int below(int n) { return n <= 0 ? 0 : static_cast<int>(random_() % static_cast<unsigned>(n)); }

    // Items a monkey must not choose: quitting and the help browser.
    static bool forbidden(const QAction* action) {
        if (action == nullptr)
            return false;
        const QString text = plain(action->text());
        return text == "Exit" || text == "Contents" ||
               action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_Q) ||
               action->shortcut() == QKeySequence(Qt::Key_F1);
    }

    void collectShortcuts(QWidget* under) {
        for (QAction* action : under->actions()) {
            if (!action->shortcut().isEmpty() && !forbidden(action))
                shortcuts_.push_back(action->shortcut()[0]);
            if (QMenu* sub = action->menu())
                collectShortcuts(sub);
        }
    }

    void step() {
        if (QMenu* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            popupStep(popup);
            return;
        }
        if (QWidget* modal = QApplication::activeModalWidget()) {
            const bool accept = below(2) == 0;
            event(std::string(accept ? "Return" : "Escape") + " on dialog " +
                  modal->metaObject()->className());
            key(accept ? Qt::Key_Return : Qt::Key_Escape);
            return;
        }
        switch (below(10)) {
        case 0:
        case 1:
        case 2:
            clickSomewhere();
            break;
        case 3:
        case 4:
        case 5:
            pressSomeKey();
            break;
        case 6:
            if (!shortcuts_.empty()) {
                const QKeyCombination combination = shortcuts_[static_cast<std::size_t>(
                    below(static_cast<int>(shortcuts_.size())))];
                event("shortcut " + QKeySequence(combination).toString().toStdString());
                key(combination.key(), combination.keyboardModifiers());
            }
            break;
        case 7: {
            const auto tops = form_->menuBar()->actions();
            const QString title = tops[below(static_cast<int>(tops.size()))]->text();
            event("menu bar " + title.toStdString());
            menuPath({title});
            break;
        }
        case 8:
            turnWheel();
            break;
        default:
            typeText();
            break;
        }
    }

    void popupStep(QMenu* popup) {
        const auto actions = popup->actions();
        QAction* action =
            actions.isEmpty() ? nullptr : actions[below(static_cast<int>(actions.size()))];
        switch (below(5)) {
        case 0:
            if (action != nullptr && !forbidden(action) && action->isVisible() &&
                !action->isSeparator()) {
                event("click popup item \"" + plain(action->text()).toStdString() + "\"");
                click(popup, Qt::LeftButton, {}, popup->actionGeometry(action).center());
            } else {
                event("Escape on popup");
                key(Qt::Key_Escape);
            }
            break;
        case 1:
            event("Escape on popup");
            key(Qt::Key_Escape);
            break;
        case 2:
            if (!forbidden(popup->activeAction())) {
                event("Return on popup item \"" +
                      (popup->activeAction() ? plain(popup->activeAction()->text()).toStdString()
                                             : std::string()) +
                      "\"");
                key(Qt::Key_Return);
                break;
            }
            [[fallthrough]];
        default: {
            static const int moves[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Left, Qt::Key_Right};
            const int k = moves[below(4)];
            event("key " + QKeySequence(k).toString().toStdString() + " on popup");
            key(k);
            break;
        }
        }
    }

    void clickSomewhere() {
        const QPoint at(below(form_->width()), below(form_->height()));
        QWidget* target = form_->childAt(at);
        if (target == nullptr)
            target = form_.get();
        const QPoint local = target->mapFrom(form_.get(), at);
        static const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton};
        const Qt::MouseButton button = buttons[below(3)];
        const bool twice = button == Qt::LeftButton && below(4) == 0;
        event(std::string(twice                       ? "double-click"
                          : button == Qt::RightButton ? "right-click"
                                                      : "click") +
              " at " + std::to_string(at.x()) + "," + std::to_string(at.y()) + " on " +
              target->metaObject()->className());
        if (twice)
            QTest::mouseDClick(target, button, {}, local);
        else
            click(target, button, {}, local);
    }

    void pressSomeKey() {
        static const std::pair<int, Qt::KeyboardModifiers> keys[] = {
            {Qt::Key_Up, {}},
            {Qt::Key_Down, {}},
            {Qt::Key_Left, {}},
            {Qt::Key_Right, {}},
            {Qt::Key_Down, Qt::ShiftModifier},
            {Qt::Key_Up, Qt::ShiftModifier},
            {Qt::Key_PageDown, {}},
            {Qt::Key_PageUp, {}},
            {Qt::Key_Home, {}},
            {Qt::Key_End, {}},
            {Qt::Key_Return, {}},
            {Qt::Key_Escape, {}},
            {Qt::Key_Tab, {}},
            {Qt::Key_Backtab, Qt::ShiftModifier},
            {Qt::Key_Delete, {}},
            {Qt::Key_Backspace, {}},
            {Qt::Key_F2, {}},
            {Qt::Key_Space, {}},
            {Qt::Key_Menu, {}},
            {Qt::Key_F10, Qt::ShiftModifier},
            {Qt::Key_Down, Qt::AltModifier},
            {Qt::Key_Up, Qt::AltModifier},
        };
        const auto& [k, modifiers] = keys[below(static_cast<int>(std::size(keys)))];
        event("key " + QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(k)))
                           .toString()
                           .toStdString());
        key(k, modifiers);
    }

    void typeText() {
        static const char* texts[] = {"7",   "12", "7055",  "7,055",  "7053,4", "A",
                                      "xyz", "-1", "99999", "ABC123", " ",      "0"};
        const std::string text = texts[below(static_cast<int>(std::size(texts)))];
        event("type \"" + text + "\"");
        type(QString::fromStdString(text));
    }

    void turnWheel() {
        const QPoint at(below(form_->width()), below(form_->height()));
        QWidget* target = form_->childAt(at);
        if (target == nullptr)
            return;
        const int delta = (below(2) == 0 ? 1 : -1) * 120 * (1 + below(3));
        event("wheel " + std::to_string(delta) + " at " + std::to_string(at.x()) + "," +
              std::to_string(at.y()));
        const QPointF local = target->mapFrom(form_.get(), at);
        QWheelEvent wheel(local, target->mapToGlobal(local), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }

    // What a person would see go wrong; empty when all is well.
    std::string check() {
        for (int i = 0; i < 4 && QApplication::activePopupWidget() != nullptr; ++i) {
            event("Escape (check)");
            key(Qt::Key_Escape);
        }
        if (QApplication::activePopupWidget() != nullptr)
            return "a popup stays open after four Escapes";
        if (QApplication::activeModalWidget() != nullptr) {
            event("Escape on dialog (check)");
            key(Qt::Key_Escape);
            if (!waitFor([] { return QApplication::activeModalWidget() == nullptr; }, 3000))
                return "a dialog stays open after Escape";
        }
        if (!waitFor([&] { return form_->isEnabled(); }, 5000))
            return "the main window stays disabled";
        const std::string title = caption();
        const std::string path = controller_->DocumentPath();
        const std::string name = path.substr(path.find_last_of('/') + 1);
        if (title.find(name.empty() ? std::string("Untitled") : name) == std::string::npos)
            return "the caption \"" + title + "\" does not name the document " + path;
        if (form_->windowTitle().contains("[*]") &&
            form_->isWindowModified() != controller_->IsModified())
            return "the caption's modified mark disagrees with the document";
        if (!controller_->IsModified() &&
            !controller_->CurrentImage().Equals(controller_->SavedImage()))
            return "the document says unmodified but differs from its saved bytes";
        return checkChannels();
    }

    std::string checkChannels() {
        Sheet* shown = sheet();
        if (shown == nullptr || shown->Key() != "GI_Sheet_UserCh" || shown->Grid() == nullptr)
            return {};
        Grid* grid = shown->Grid();
        ListRecord entry(&controller_->CurrentImage());
        for (int row = std::max(1, grid->TopRow());
             row < std::min(grid->RowCount(), grid->TopRow() + 12); ++row) {
            entry.Load(listUserChannel, row - 1);
            const std::string shownText = cellText(1, row);
            const std::string expected =
                entry.isUsed() ? std::to_string(entry.channelNumber & 0xFFFF) : std::string(" ");
            if (entry.isUsed() && shownText != expected)
                return "row " + std::to_string(row) + " shows channel \"" + shownText +
                       "\" where the image holds " + expected;
        }
        return {};
    }

    std::uint64_t seed_ = 0;
    std::size_t limit_ = 0;
    int seconds_ = 120;
    std::mt19937_64 random_;
    std::size_t count_ = 0;
    std::string logPath_;
    std::deque<std::string> recent_;
    std::vector<QKeyCombination> shortcuts_;
};

// QTest warns of every click a widget ignores; a monkey's clicks often land so.
QtMessageHandler loudHandler = nullptr;

void quietClicks(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains("not accepted by receiving widget"))
        return;
    if (loudHandler != nullptr)
        loudHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

TEST_F(Monkey, RandomInputLeavesTheWindowSound) {
    // Files for the dialogs: a saved copy, an existing name to overwrite, a
    // file that is no clone file, one that does not exist.
    const std::string full = writeFullDocument("monkey-full.vcf");
    const std::string garbage = files_->filePath("garbage.vcf").toStdString();
    std::ofstream(garbage) << "not a clone file\r\n";
    MonkeyPrompter prompter(random_, [this](const std::string& line) { log(line); },
                            {full, files_->filePath("saved.vcf").toStdString(), garbage,
                             files_->filePath("missing/none.vcf").toStdString()});
    loudHandler = qInstallMessageHandler(quietClicks);
    open(Document::Full);
    showSheet("User Channels");
    collectShortcuts(form_.get());
    collectShortcuts(form_->menuBar());

    // A dialog that runs its own event loop holds the monkey inside its step:
    // it is answered from there.
    bool inStep = false;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!inStep || modal == nullptr || QApplication::activePopupWidget() != nullptr)
            return;
        const bool accept = below(2) == 0;
        event(std::string(accept ? "Return" : "Escape") + " on waiting dialog " +
              modal->metaObject()->className());
        key(accept ? Qt::Key_Return : Qt::Key_Escape);
    });
    answerer.start(100);

    QElapsedTimer clock;
    clock.start();
    std::size_t steps = 0;
    while (limit_ != 0 ? count_ < limit_ : clock.elapsed() < seconds_ * 1000LL) {
        inStep = true;
        step();
        inStep = false;
        runEventLoopFor(below(3) == 0 ? 20 : 2);
        if (++steps % 25 == 0 || (limit_ != 0 && count_ >= limit_)) {
            const std::string fault = check();
            ASSERT_TRUE(fault.empty()) << fault << "\n" << replayNote();
        }
    }
    const std::string fault = check();
    ASSERT_TRUE(fault.empty()) << fault << "\n" << replayNote();
    qInstallMessageHandler(loudHandler);
    std::printf("[ figure ] monkey: %zu events in %lld s, seed %llu\n", count_,
                static_cast<long long>(clock.elapsed() / 1000),
                static_cast<unsigned long long>(seed_));
}

} // namespace
