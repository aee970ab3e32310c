#pragma once

#include "platform/cmcPrompter.h"

class QWidget;

// The desktop program's prompter: real Qt message boxes and file dialogs.
class cuiQtPrompter : public cmcPrompter {
public:
    // Boxes are parented to this window once the main window stands.
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    PromptAnswer message(const std::string& caption, const std::string& text, PromptIcon icon,
                         PromptButtons buttons) override;
    std::optional<std::string> openFileName(const std::string& caption, const std::string& folder,
                                            const std::string& filter) override;
    std::optional<std::string> saveFileName(const std::string& caption,
                                            const std::string& suggestion,
                                            const std::string& filter) override;
    bool hasWindows() const override { return true; }

private:
    QWidget* parent_ = nullptr;
};
