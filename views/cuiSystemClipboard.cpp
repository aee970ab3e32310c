#include "views/cuiSystemClipboard.h"

#include "sheets/cmcEvMan.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>

namespace {

// The entry clipboard's mark on the system clipboard: the process and the
// copy it made, so that only its own latest copy takes the entry paste.
constexpr char kEntriesMime[] = "application/x-marlo-entries";

QByteArray& lastEntriesMark() {
    static QByteArray mark;
    return mark;
}

} // namespace

cuiSystemClipboard::cuiSystemClipboard() {
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &cuiSystemClipboard::Update);
    hasTextToPaste_ = TextToPaste().has_value();
}

void cuiSystemClipboard::Update() {
    const bool has = TextToPaste().has_value();
    if (has == hasTextToPaste_)
        return;
    hasTextToPaste_ = has;
    // At once: a menu opened right after the change must already show it.
    cmcEvMan::App().Send(evRefreshMenus);
}

void cuiSystemClipboard::PutCopiedRows(const std::string& text) {
    static int copies = 0;
    QByteArray& mark = lastEntriesMark();
    mark =
        QByteArray::number(QCoreApplication::applicationPid()) + ":" + QByteArray::number(++copies);
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    data->setData(kEntriesMime, mark);
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<std::string> cuiSystemClipboard::TextToPaste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasText() || data->text().isEmpty())
        return std::nullopt;
    if (data->hasFormat(kEntriesMime) && data->data(kEntriesMime) == lastEntriesMark())
        return std::nullopt;
    return data->text().toStdString();
}
