#include "main/portDialog.h"

#include "clone/serialDoctor.h"
#include "core/portMap.h"
#include "core/settingsStore.h"
#include "overlay/overlayTexts.h"
#include "platform/prompter.h"

#include <QFontMetrics>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace marlo {

namespace {

QString line(const char* key, int n = 0) {
    return QString::fromStdString(OverlayTexts::App().GetLine(key, n));
}

// Rows of the device list shown at once; more scroll.
constexpr int kListRows = 5;

// "port 5: " when the device is what a port number opens now, else nothing.
std::string PortPrefix(const std::string& path) {
    for (int n = PortDialog::kLowestPort; n <= PortDialog::kHighestPort; ++n)
        if (PortMap::DevicePath(n) == path)
            return "port " + std::to_string(n) + ": ";
    return {};
}

} // namespace

int readPortField(const std::string& text) {
    constexpr int beyondEveryPort = 100000;
    std::size_t at = text.find_first_not_of(" \t");
    int value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = std::min(value * 10 + (text[at] - '0'), beyondEveryPort);
    return value;
}

PortDialog::PortDialog(QWidget* owner, SettingsStore& settings,
                       std::vector<SerialDeviceEntry> devices)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      settings_(settings), devices_(std::move(devices)) {
    setWindowTitle(line("GI_AppInd_Opt_ComSel_Caption"));
    const QFontMetrics metrics(font());
    const auto textWidth = [&](const QString& t) { return metrics.horizontalAdvance(t); };
    const auto textHeight = [&](const QString& t) {
        return metrics.boundingRect(QRect(0, 0, 10000, 10000), 0, t).height();
    };
    const int w = textHeight("W");

    notice_ = new QLabel(
        QString::fromStdString(OverlayTexts::App().GetText("GI_AppInd_Opt_ComSel_Notice")), this);
    notice_->setTextFormat(Qt::PlainText);
    notice_->adjustSize();
    notice_->move(w, w);

    field_ = new QLineEdit(QString::number(settings_.ComPort), this);
    field_->setMaxLength(kMaxChars);
    field_->setAttribute(Qt::WA_InputMethodEnabled, false);
    // Never lower than the field needs to show its digits inside its frame.
    field_->setGeometry(
        notice_->x() + textWidth("WW"), notice_->y() + notice_->height() + w / 2,
        textWidth("255WWWW"),
        std::max(textHeight(QString::fromUtf8("255WW設定")), field_->minimumSizeHint().height()));

    // What the number opens, to be typed over with any path.
    auto* pathCaption = new QLabel(QStringLiteral("Device this port opens:"), this);
    pathCaption->setTextFormat(Qt::PlainText);
    pathCaption->adjustSize();
    pathCaption->move(field_->x(), field_->y() + field_->height() + w / 2);
    path_ = new QLineEdit(QString::fromStdString(PortMap::DevicePath(settings_.ComPort)), this);
    path_->setGeometry(field_->x(), pathCaption->y() + pathCaption->height() + 2,
                       std::max(notice_->x() + notice_->width() - field_->x(), textWidth("W") * 30),
                       field_->height());
    connect(path_, &QLineEdit::textEdited, this, [this] { pathTyped_ = true; });
    connect(field_, &QLineEdit::textChanged, this, [this](const QString& text) {
        const int number = readPortField(text.toStdString());
        if (!pathTyped_ && number >= kLowestPort && number <= kHighestPort)
            path_->setText(QString::fromStdString(PortMap::DevicePath(number)));
    });

    // The devices present (each with the port number it now is, and whether it
    // may be opened).
    auto* listCaption = new QLabel(
        QStringLiteral("Serial devices present (choose one to use it for this port):"), this);
    listCaption->setTextFormat(Qt::PlainText);
    listCaption->adjustSize();
    listCaption->move(field_->x(), path_->y() + path_->height() + w / 2);
    list_ = new QListWidget(this);
    for (const SerialDeviceEntry& device : devices_)
        list_->addItem(
            QString::fromStdString(PortPrefix(device.path) + describeSerialDevice(device)));
    if (devices_.empty())
        list_->addItem(QStringLiteral("(no serial devices found)"));
    const int listTop = listCaption->y() + listCaption->height() + 2;
    const int rowHeight = metrics.height() + 4;
    list_->setGeometry(field_->x(), listTop, path_->width(),
                       kListRows * rowHeight + 2 * list_->frameWidth());
    list_->setEnabled(!devices_.empty());
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(devices_.size())) {
            path_->setText(QString::fromStdString(devices_[static_cast<std::size_t>(row)].path));
            pathTyped_ = true;
        }
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { Confirm(); });

    const int buttonWidth = textWidth(line("GI_AppInd_Opt_ComSel_SizeOfButtons"));
    const QString okText = line("GI_AppInd_Opt_ComSel_Buttons", 0);
    const int buttonHeight = 2 * textHeight(okText);
    ok_ = new QPushButton(okText, this);
    cancel_ = new QPushButton(line("GI_AppInd_Opt_ComSel_Buttons", 1), this);
    // The buttons keep their distance below the field, moved down past the list.
    const int top = list_->y() + list_->height() + 2 * field_->height();
    const int right = path_->x() + path_->width();
    cancel_->setGeometry(right - buttonWidth, top, buttonWidth, buttonHeight);
    ok_->setGeometry(cancel_->x() - buttonWidth - buttonHeight / 2, top, buttonWidth, buttonHeight);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &PortDialog::Confirm);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    doctor_ = new QPushButton(QStringLiteral("Check port..."), this);
    doctor_->setAutoDefault(false);
    doctor_->setGeometry(field_->x(), top, std::max(buttonWidth, doctor_->sizeHint().width()),
                         buttonHeight);
    connect(doctor_, &QPushButton::clicked, this, &PortDialog::Examine);

    setFixedSize(right + notice_->x(), cancel_->y() + static_cast<int>(1.5 * cancel_->height()));
    if (owner != nullptr) {
        QRect frame(QPoint(), size());
        frame.moveCenter(owner->frameGeometry().center());
        move(frame.topLeft());
    }
    field_->setFocus();
    field_->selectAll();
}

void PortDialog::Confirm() {
    const int number = readPortField(field_->text().toStdString());
    if (number < kLowestPort || number > kHighestPort) {
        Prompter::Current().Message(OverlayTexts::App().GetLine("GI_Sys_AppTitle", 0),
                                    OverlayTexts::App().GetText("GI_AppInd_Opt_ComSel_OutofRange"),
                                    PromptIcon::Error, PromptButtons::Ok);
        field_->setFocus();
        return;
    }
    settings_.ComPort = number;
    // A path the number does not open already becomes its device; the number's
    // own default path typed back drops the override.
    const std::string path = path_->text().trimmed().toStdString();
    if (!path.empty() && path != PortMap::DevicePath(number)) {
        if (path == PortMap::DefaultDevicePath(number))
            settings_.PortDevices.erase(number);
        else
            settings_.PortDevices[number] = path;
        PortMap::SetOverrides(settings_.PortDevices);
    }
    accept();
}

void PortDialog::Examine() {
    const int chosen = list_->currentRow();
    std::string device;
    if (list_->isEnabled() && chosen >= 0 && chosen < static_cast<int>(devices_.size()) &&
        list_->currentItem()->isSelected())
        device = devices_[static_cast<std::size_t>(chosen)].path;
    else
        device = PortMap::DevicePath(readPortField(field_->text().toStdString()));
    if (device.empty()) {
        Confirm(); // the out-of-range box
        return;
    }
    Prompter::Current().Message(
        OverlayTexts::App().GetLine("GI_Sys_AppTitle", 0),
        doctorReport(device, examineSerialPort(device, DoctorUser::Current())),
        PromptIcon::Information, PromptButtons::Ok);
}

bool PortDialog::SelectPort(QWidget* owner, SettingsStore& settings) {
    PortDialog dialog(owner, settings, listSerialDevices());
    return dialog.exec() == QDialog::Accepted;
}

} // namespace marlo
