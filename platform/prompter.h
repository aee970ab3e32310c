#pragma once

#include <optional>
#include <string>
#include <vector>

class QPrinter;

namespace marlo {

enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Every message box and file dialog of the program goes through the installed
// prompter: the desktop program shows Qt boxes, the command-line tool prints to
// stderr, and tests answer from a script. Logic code therefore never needs a display.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A box with a caption, a text, an icon and buttons; returns the button chosen.
    virtual PromptAnswer Message(const std::string& caption, const std::string& text,
                                 PromptIcon icon, PromptButtons buttons) = 0;

    // Open and save dialogs; nothing when the user cancels, or when there is no
    // dialog to show. `filter` is a Qt name filter list such as
    // "Clone files (*.vcf);;All files (*)".
    virtual std::optional<std::string> OpenFileName(const std::string& /*caption*/,
                                                    const std::string& /*folder*/,
                                                    const std::string& /*filter*/) {
        return std::nullopt;
    }
    // The save dialog adds `suffix` (no dot) to a name typed without one before
    // it checks the name, so that replacing an existing file is always asked
    // about; the path returned is final.
    virtual std::optional<std::string> SaveFileName(const std::string& /*caption*/,
                                                    const std::string& /*suggestion*/,
                                                    const std::string& /*filter*/,
                                                    const std::string& /*suffix*/) {
        return std::nullopt;
    }

    // The printer setup dialog on `printer`, which it changes as the user
    // chooses (a printer, or a PDF file); false when the user cancels it. Without
    // a dialog to show, nothing is chosen.
    virtual bool PrinterSetup(QPrinter& /*printer*/) { return false; }

    // A small form of labelled text fields, each with its first value: the
    // values entered, or nothing when the user cancels. Without a form to show,
    // nothing is entered.
    struct Field {
        std::string label;
        std::string value;
    };
    virtual std::optional<std::vector<std::string>>
    AskValues(const std::string& /*caption*/, const std::vector<Field>& /*fields*/) {
        return std::nullopt;
    }

    // True when boxes appear on a screen (the fatal error shows its box only then).
    virtual bool HasWindows() const { return false; }

    // The prompter in use; a stderr prompter until another is installed.
    static Prompter& Current();
    // Installs `prompter` (borrowed; nullptr restores the stderr prompter) and returns
    // the previous one.
    static Prompter* Install(Prompter* prompter);
};

// Prints every box to stderr; questions take their safe answer (No, Cancel) and
// dialogs are cancelled. Used by marlo-clone and whenever nothing else is installed.
class StderrPrompter : public Prompter {
public:
    PromptAnswer Message(const std::string& caption, const std::string& text, PromptIcon icon,
                         PromptButtons buttons) override;
};

} // namespace marlo
