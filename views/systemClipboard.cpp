#include "views/systemClipboard.h"

#include "core/notificationHub.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>

namespace marlo {

namespace {

// The entry clipboard's mark on the system clipboard: the process and the
// copy it made, so that only its own latest copy takes the entry paste.
constexpr char kEntriesMime[] = "application/x-marlo-entries";

QByteArray& lastEntriesMark() {
    static QByteArray mark;
    return mark;
}

} // namespace

SystemClipboard::SystemClipboard() {
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &SystemClipboard::Update);
    hasTextToPaste_ = TextToPaste().has_value();
}

void SystemClipboard::Update() {
    const bool has = TextToPaste().has_value();
    if (has == hasTextToPaste_)
        return;
    hasTextToPaste_ = has;
    // At once: a menu opened right after the change must already show it.
    NotificationHub::App().Send(evRefreshMenus);
}

void SystemClipboard::PutCopiedRows(const std::string& text) {
    static int copies = 0;
    QByteArray& mark = lastEntriesMark();
    mark =
        QByteArray::number(QCoreApplication::applicationPid()) + ":" + QByteArray::number(++copies);
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    data->setData(kEntriesMime, mark);
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<std::string> SystemClipboard::TextToPaste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasText() || data->text().isEmpty())
        return std::nullopt;
    if (data->hasFormat(kEntriesMime) && data->data(kEntriesMime) == lastEntriesMark())
        return std::nullopt;
    return data->text().toStdString();
}

} // namespace marlo
