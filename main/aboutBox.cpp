#include "main/aboutBox.h"

#include "overlay/overlayTexts.h"
#include "views/imageList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace marlo {

namespace {

constexpr int iconSize = 48;

QString line(const char* key) {
    return QString::fromStdString(OverlayTexts::App().GetLine(key, 0));
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(line("GI_App_About_Caption"));
    text_ = line("GI_Sys_AppTitleRev") + QStringLiteral("\n") + line("GI_Sys_Maker");

    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon().pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(text_, this);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    button_ = new QPushButton(line("GI_App_About_Button"), this);
    button_->setDefault(true);
    connect(button_, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon);
    top->addWidget(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(button_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(16);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutBox::Text() const {
    return text_;
}

} // namespace marlo
