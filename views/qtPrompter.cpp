#include "views/qtPrompter.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>

namespace marlo {

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

PromptAnswer QtPrompter::Message(const std::string& caption, const std::string& text,
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

bool QtPrompter::HasWindows() const {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

std::optional<std::string> QtPrompter::OpenFileName(const std::string& caption,
                                                    const std::string& folder,
                                                    const std::string& filter) {
    return chosen(QFileDialog::getOpenFileName(parent_, QString::fromStdString(caption),
                                               QString::fromStdString(folder),
                                               QString::fromStdString(filter)));
}

std::optional<std::string> QtPrompter::SaveFileName(const std::string& caption,
                                                    const std::string& suggestion,
                                                    const std::string& filter,
                                                    const std::string& suffix) {
    const QString title = QString::fromStdString(caption);
    const QString extension = QString::fromStdString(suffix);
    QFileDialog dialog(parent_, title, QString::fromStdString(suggestion),
                       QString::fromStdString(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(extension);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        QString path = dialog.selectedFiles().constFirst();
        // The dialog does not always add its suffix before its own overwrite
        // check (a name that completes to an existing file keeps it bare): a name
        // completed here must be asked about here, or the file is replaced unasked.
        if (extension.isEmpty() || QFileInfo(path).fileName().contains(u'.'))
            return chosen(path);
        path += u'.' + extension;
        if (!QFileInfo::exists(path) ||
            QMessageBox::warning(&dialog, title,
                                 QFileDialog::tr("%1 already exists.\nDo you want to replace it?")
                                     .arg(QFileInfo(path).fileName()),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes)
            return chosen(path);
    }
}

bool QtPrompter::PrinterSetup(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<std::vector<std::string>> QtPrompter::AskValues(const std::string& caption,
                                                              const std::vector<Field>& fields) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(QString::fromStdString(caption));
    auto* form = new QFormLayout(&dialog);
    std::vector<QLineEdit*> edits;
    for (const Field& field : fields) {
        auto* edit = new QLineEdit(QString::fromStdString(field.value), &dialog);
        form->addRow(QString::fromStdString(field.label), edit);
        edits.push_back(edit);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    std::vector<std::string> values;
    for (const QLineEdit* edit : edits)
        values.push_back(edit->text().toStdString());
    return values;
}

} // namespace marlo
