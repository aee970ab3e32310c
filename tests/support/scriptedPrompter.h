#pragma once

#include "platform/prompter.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace marlo;

// A prompter for tests: records every box it is shown, answers questions and
// file dialogs from a script, and fails the running test on a question that
// was not scripted. Installs itself for its lifetime.
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        std::string caption;
        std::string text;
        PromptIcon icon;
        PromptButtons buttons;
    };

    ScriptedPrompter();
    ~ScriptedPrompter() override;

    // The answer to the next question (a box with more than an OK button).
    void answerNext(PromptAnswer answer) { answers_.push_back(answer); }
    // The path chosen in the next open or save dialog; nullopt cancels it. The
    // save dialog behaves as the desktop's: it adds its suffix to a name without
    // one, and asks (a scripted question) before it returns an existing file.
    void chooseNextFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }

    // How the next printer setup dialog is answered: `choose` sees the printer as
    // the dialog would show it and sets what the user picks; no function cancels.
    using PrinterChoice = std::function<void(QPrinter&)>;
    void answerNextPrinterSetup(PrinterChoice choose) { printers_.push_back(std::move(choose)); }
    // Accepts the next printer setup with output to the PDF file `path`.
    void printNextToFile(const std::string& path);
    int printerSetups() const { return printerSetups_; }

    // The values entered in the next form (Go to Channel, Fill Series); nullopt
    // cancels it. The form is recorded as a box whose text is its labels.
    void enterNextValues(std::optional<std::vector<std::string>> values) {
        values_.push_back(std::move(values));
    }

    // Called with every box as it is shown, before it is answered.
    std::function<void(const Shown&)> onShown;

    // The file dialogs shown, in order: caption and the save dialog's suffix.
    struct Dialog {
        std::string caption;
        std::string suffix;
    };
    const std::vector<Dialog>& dialogs() const { return dialogs_; }

    const std::vector<Shown>& shown() const { return shown_; }
    // Text of the last box shown, or empty.
    std::string lastText() const { return shown_.empty() ? std::string() : shown_.back().text; }
    void clear() { shown_.clear(); }
    // True when every scripted answer has been used.
    bool scriptUsed() const {
        return answers_.empty() && files_.empty() && printers_.empty() && values_.empty();
    }

    PromptAnswer Message(const std::string& caption, const std::string& text, PromptIcon icon,
                         PromptButtons buttons) override;
    std::optional<std::string> OpenFileName(const std::string& caption, const std::string& folder,
                                            const std::string& filter) override;
    std::optional<std::string> SaveFileName(const std::string& caption,
                                            const std::string& suggestion,
                                            const std::string& filter,
                                            const std::string& suffix) override;
    bool PrinterSetup(QPrinter& printer) override;
    std::optional<std::vector<std::string>> AskValues(const std::string& caption,
                                                      const std::vector<Field>& fields) override;

private:
    std::optional<std::string> nextFile(const std::string& caption);

    Prompter* previous_;
    std::vector<Shown> shown_;
    std::vector<Dialog> dialogs_;
    std::deque<PromptAnswer> answers_;
    std::deque<std::optional<std::string>> files_;
    std::deque<PrinterChoice> printers_;
    std::deque<std::optional<std::vector<std::string>>> values_;
    int printerSetups_ = 0;
};
