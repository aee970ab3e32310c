#pragma once

#include "platform/prompter.h"

class QWidget;

namespace marlo {

// The desktop program's prompter: real Qt message boxes and file dialogs.
class QtPrompter : public Prompter {
public:
    // Boxes are parented to this window once the main window stands.
    void SetParentWindow(QWidget* parent) { parent_ = parent; }

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
    // True on a platform that puts windows on a screen. On the offscreen and
    // minimal platforms nobody could see a box, let alone dismiss it: a fatal error
    // there must end the program rather than wait for a click.
    bool HasWindows() const override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace marlo
