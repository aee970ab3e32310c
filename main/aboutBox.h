#pragma once

#include <QDialog>

class QPushButton;

namespace marlo {

// The About box: the program's icon, name, version and maker, and one button
// that closes it. Captioned and labelled from the overlay.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent);

    QPushButton* Button() const { return button_; }
    QString Text() const;

private:
    QPushButton* button_ = nullptr;
    QString text_;
};

} // namespace marlo
