#include "main/radioInfoDialog.h"

#include "overlay/overlayTexts.h"
#include "views/grid.h"
#include "views/sheet.h"

#include <QFrame>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

namespace marlo {

RadioInfoDialog* RadioInfoDialog::Open(QWidget* owner, const std::string& caption,
                                       OverlayTexts& store, const std::string& key,
                                       CellEngineCall engine) {
    auto* window = new RadioInfoDialog(owner, caption, store, key, std::move(engine));
    if (owner != nullptr) {
        owner->setEnabled(false);
        // Kept above the owner it disables, never lost behind it.
        window->winId(); // the native window, to be given its parent
        if (QWindow* above = owner->window()->windowHandle(); above != nullptr)
            window->windowHandle()->setTransientParent(above);
    }
    window->show();
    window->ok_->setFocus();
    return window;
}

RadioInfoDialog::RadioInfoDialog(QWidget* owner, const std::string& caption, OverlayTexts& store,
                                 const std::string& key, CellEngineCall engine)
    // Not a Qt child of the owner: disabling the owner would disable it too.
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      owner_(owner) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QString::fromStdString(caption));

    // Raised outer and lowered inner bevel around the sheet, 8 pixels of border.
    auto* outer = new QFrame(this);
    outer->setFrameStyle(QFrame::Panel | QFrame::Raised);
    outer->setLineWidth(kBevel);
    auto* inner = new QFrame(outer);
    inner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    inner->setLineWidth(kBevel);
    auto* host = new QWidget(inner);

    sheet_ = std::make_unique<marlo::Sheet>(host, nullptr, marlo::Sheet::StartCell{}, store, key,
                                            nullptr);
    if (engine)
        sheet_->SetEngine(std::move(engine));
    sheet_->Build();
    if (Grid* grid = sheet_->Grid(); grid != nullptr) {
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    // The sheet's full size: its cells and whatever the sheet puts around its
    // grid (frame, margins, a title panel when it shows one).
    const int w = sheet_->TotalWidth();
    const int h = sheet_->TotalHeight();
    host->setGeometry(kBevel, kBevel, w, h);
    const int innerExtra = 2 * kBevel;
    inner->setGeometry(kBevel + kPanelBorder, kBevel + kPanelBorder, w + innerExtra,
                       h + innerExtra);
    const int panelW = inner->width() + 2 * (kBevel + kPanelBorder);
    const int panelH = inner->height() + 2 * (kBevel + kPanelBorder);
    outer->setGeometry(0, 0, panelW, panelH);

    ok_ = new QPushButton(QString::fromStdString(store.GetLine("GI_AppInd_Button_OkCancel", 0)),
                          this);
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    ok_->adjustSize();
    const int height = panelH + ok_->height() + 10;
    setFixedSize(panelW, height);
    ok_->move(panelW - kButtonMargin - ok_->width(), height - kButtonMargin - ok_->height());
    connect(ok_, &QPushButton::clicked, this, &QDialog::close);
    // Escape rejects a dialog; here it presses the one button.
    connect(this, &QDialog::rejected, this, &QDialog::close);

    if (owner != nullptr) {
        QRect frame(QPoint(), size());
        frame.moveCenter(owner->frameGeometry().center());
        move(frame.topLeft());
    }
}

RadioInfoDialog::~RadioInfoDialog() {
    sheet_.reset();
    if (owner_ != nullptr) {
        owner_->setEnabled(true);
        owner_->activateWindow();
        owner_->setFocus();
    }
}

} // namespace marlo
