#pragma once

#include "clone/serialDeviceList.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace marlo {

class SettingsStore;

// The port number as the dialog reads its field: blanks around it removed, then
// its leading decimal digits; no digits gives 0. Digits past what any port could
// be stop counting (the result is then above every port number).
int readPortField(const std::string& text);

// The dialog that chooses the clone port by number. Under the number is the
// device path that number opens, which the user may type or paste over (a
// by-id name, a pseudo-terminal); below, the serial devices present and whether
// this user may open them, a pick copying its path into the field. A path other
// than what the number opens becomes the number's device (a settings port
// override), so that an adapter found by its stable name keeps working in any
// socket.
//
// OK with a number outside 1..256 shows the out-of-range box and keeps the
// dialog open; OK otherwise stores the number (and the chosen device) in the
// settings store and closes; Cancel, Escape or the close box change nothing.
// "Check port" names the usual causes why the port cannot be used, with fixes.
class PortDialog : public QDialog {
public:
    // The devices listed are `devices` (tests give their own).
    PortDialog(QWidget* owner, SettingsStore& settings, std::vector<SerialDeviceEntry> devices);

    // Shows the dialog modally; true when the port changed.
    static bool SelectPort(QWidget* owner, SettingsStore& settings);

    QLineEdit* Field() const { return field_; }
    QLineEdit* PathField() const { return path_; }
    QListWidget* Devices() const { return list_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* DoctorButton() const { return doctor_; }
    QLabel* Notice() const { return notice_; }

    static constexpr int kMaxChars = 4;
    static constexpr int kLowestPort = 1;
    static constexpr int kHighestPort = 256;

private:
    void Confirm();
    // The serial doctor on the chosen device, or the port number's: its findings
    // in a message.
    void Examine();

    SettingsStore& settings_;
    std::vector<SerialDeviceEntry> devices_;
    QLabel* notice_ = nullptr;
    QLineEdit* field_ = nullptr;
    QLineEdit* path_ = nullptr;
    bool pathTyped_ = false;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* doctor_ = nullptr;
};

} // namespace marlo
