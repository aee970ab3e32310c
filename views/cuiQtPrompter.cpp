#include "views/cuiQtPrompter.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintDialog>

namespace {

QMessageBox::Icon qtIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::None:
        return QMessageBox::NoIcon;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

std::optional<std::string> chosen(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

} // namespace

PromptAnswer cuiQtPrompter::message(const std::string& caption, const std::string& text,
                                    PromptIcon icon, PromptButtons buttons) {
    QMessageBox box(qtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    qtButtons(buttons), parent_);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    default:
        return PromptAnswer::Cancel;
    }
}

bool cuiQtPrompter::hasWindows() const {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

std::optional<std::string> cuiQtPrompter::openFileName(const std::string& caption,
                                                       const std::string& folder,
                                                       const std::string& filter) {
    return chosen(QFileDialog::getOpenFileName(parent_, QString::fromStdString(caption),
                                               QString::fromStdString(folder),
                                               QString::fromStdString(filter)));
}

std::optional<std::string> cuiQtPrompter::saveFileName(const std::string& caption,
                                                       const std::string& suggestion,
                                                       const std::string& filter) {
    return chosen(QFileDialog::getSaveFileName(parent_, QString::fromStdString(caption),
                                               QString::fromStdString(suggestion),
                                               QString::fromStdString(filter)));
}

bool cuiQtPrompter::printerSetup(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}
