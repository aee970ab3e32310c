#include "support/scriptedPrompter.h"

#include <QPrinter>
#include <filesystem>
#include <gtest/gtest.h>

using namespace marlo;

ScriptedPrompter::ScriptedPrompter() : previous_(Prompter::Install(this)) {}

ScriptedPrompter::~ScriptedPrompter() {
    Prompter::Install(previous_);
}

PromptAnswer ScriptedPrompter::Message(const std::string& caption, const std::string& text,
                                       PromptIcon icon, PromptButtons buttons) {
    shown_.push_back({caption, text, icon, buttons});
    if (onShown)
        onShown(shown_.back());
    if (buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return PromptAnswer::Cancel;
    }
    const PromptAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPrompter::nextFile(const std::string& caption) {
    if (files_.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << caption;
        return std::nullopt;
    }
    auto path = files_.front();
    files_.pop_front();
    return path;
}

std::optional<std::string> ScriptedPrompter::OpenFileName(const std::string& caption,
                                                          const std::string&, const std::string&) {
    dialogs_.push_back({caption, {}});
    return nextFile(caption);
}

std::optional<std::string> ScriptedPrompter::SaveFileName(const std::string& caption,
                                                          const std::string&, const std::string&,
                                                          const std::string& suffix) {
    dialogs_.push_back({caption, suffix});
    std::optional<std::string> path = nextFile(caption);
    if (!path)
        return path;
    const auto slash = path->find_last_of('/');
    const std::string name = slash == std::string::npos ? *path : path->substr(slash + 1);
    if (!suffix.empty() && name.find('.') == std::string::npos)
        *path += "." + suffix;
    if (std::filesystem::exists(*path) &&
        Message(caption, *path + " already exists.\nDo you want to replace it?",
                PromptIcon::Warning, PromptButtons::YesNo) != PromptAnswer::Yes)
        return std::nullopt;
    return path;
}

void ScriptedPrompter::printNextToFile(const std::string& path) {
    answerNextPrinterSetup([path](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path));
    });
}

bool ScriptedPrompter::PrinterSetup(QPrinter& printer) {
    ++printerSetups_;
    if (printers_.empty()) {
        ADD_FAILURE() << "unexpected printer setup dialog";
        return false;
    }
    const PrinterChoice choose = std::move(printers_.front());
    printers_.pop_front();
    if (!choose)
        return false;
    choose(printer);
    return true;
}

std::optional<std::vector<std::string>>
ScriptedPrompter::AskValues(const std::string& caption, const std::vector<Field>& fields) {
    std::string labels;
    for (const Field& field : fields)
        labels += (labels.empty() ? "" : "\n") + field.label;
    shown_.push_back({caption, labels, PromptIcon::None, PromptButtons::OkCancel});
    if (onShown)
        onShown(shown_.back());
    if (values_.empty()) {
        ADD_FAILURE() << "unexpected form: " << caption;
        return std::nullopt;
    }
    auto values = values_.front();
    values_.pop_front();
    return values;
}
