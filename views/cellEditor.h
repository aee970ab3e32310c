#pragma once

#include <QPlainTextEdit>

namespace marlo {

// The sheet's in-place editor: one line of at most `limit` characters.
//
// It takes pasted and dropped text itself, as plain text filtered like typing.
// Qt's own text control reads the first format of whatever the clipboard holds,
// and an X clipboard without an owner holds none: Ctrl+V would crash there.
class CellEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    CellEditor(int limit, QWidget* parent);

    // What a paste of `text` inserts when `room` characters are left: each run
    // of line breaks and tabs between words becomes one space (at the ends it
    // goes), other control characters go, and the rest is cut to the room.
    static QString Pastable(const QString& text, int room);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void KeepLimit();

    int limit_;
};

} // namespace marlo
