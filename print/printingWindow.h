#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace marlo {

// The small window shown while a job prints: a caption, one line of text and a
// Cancel button that is both the default and the escape button. It is not
// modal; the main window is disabled instead. Closing it by the window manager
// cancels as the button does.
//
//   +-- Printing ------------------------------+
//   |                                          |
//   |       Printing the sheets, please wait   |
//   |                                          |
//   |              [    Cancel    ]            |
//   +------------------------------------------+
class PrintingWindow : public QDialog {
    Q_OBJECT

public:
    // `texts` are the caption, the label and the button, in that order.
    PrintingWindow(QWidget* owner, const QString& caption, const QString& label,
                   const QString& button, std::function<void()> onCancel);

    // Centres the window on its owner (or the screen), shows it and lets it paint.
    void ShowCentred();

    QLabel* Label() const { return label_; }
    QPushButton* Button() const { return button_; }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Place();

    QLabel* label_;
    QPushButton* button_;
    std::function<void()> onCancel_;
};

} // namespace marlo
