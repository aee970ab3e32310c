#include "views/sheetFinder.h"

#include "overlay/overlayTexts.h"
#include "radio/codecFrequency.h"
#include "views/sheet.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>

namespace marlo {

namespace {

// Lines: the bar's label, "%d of %d", the text for no match.
constexpr char kTextsKey[] = "GI_Find_Texts";

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// Digits with at most one decimal point or comma: a number as a cell takes one.
bool isNumber(std::string_view text) {
    int points = 0;
    bool digit = false;
    for (const char c : text) {
        if (c == '.' || c == ',')
            ++points;
        else if (std::isdigit(static_cast<unsigned char>(c)))
            digit = true;
        else
            return false;
    }
    return digit && points <= 1;
}

} // namespace

bool findMatches(std::string_view query, std::string_view shown) {
    const std::string q = lowered(trimmed(query));
    if (q.empty())
        return false;
    const std::string s = lowered(shown);
    if (s.find(q) != std::string::npos)
        return true;
    const std::string number = trimmed(shown);
    return isNumber(q) && isNumber(number) &&
           codec::typedFrequency(q) == codec::typedFrequency(number);
}

SheetFinder::SheetFinder(Sheet& sheet) : sheet_(sheet) {}

SheetFinder::~SheetFinder() {
    if (edit_ != nullptr)
        edit_->removeEventFilter(this);
    delete bar_.data();
}

void SheetFinder::Show() {
    if (bar_ != nullptr)
        return;
    QWidget* host = sheet_.Host();
    OverlayTexts& texts = OverlayTexts::App();
    bar_ = new QFrame(host);
    bar_->setObjectName("findBar");
    auto* layout = new QHBoxLayout(bar_);
    layout->setContentsMargins(4, 2, 4, 2);
    auto* label = new QLabel(QString::fromStdString(texts.GetLine(kTextsKey, 0)), bar_);
    edit_ = new QLineEdit(bar_);
    label->setBuddy(edit_);
    count_ = new QLabel(bar_);
    layout->addWidget(label);
    layout->addWidget(edit_, 1);
    layout->addWidget(count_);
    if (auto* column = qobject_cast<QVBoxLayout*>(host->layout()))
        column->addWidget(bar_);
    edit_->installEventFilter(this);
    QObject::connect(edit_, &QLineEdit::textEdited, this,
                     [this](const QString& text) { Search(text.toStdString()); });
}

void SheetFinder::Open() {
    Show();
    bar_->show();
    edit_->selectAll();
    edit_->setFocus(Qt::ShortcutFocusReason);
}

void SheetFinder::Close() {
    if (bar_ == nullptr)
        return;
    bar_->hide();
    if (sheet_.Grid() != nullptr)
        sheet_.Grid()->setFocus(Qt::OtherFocusReason);
}

bool SheetFinder::IsOpen() const {
    return bar_ != nullptr && bar_->isVisible();
}

void SheetFinder::ReadTexts() {
    if (!texts_.empty())
        return;
    const SheetDef& def = sheet_.Def();
    for (int row = 0; row < def.RowCount(); ++row)
        for (int col = 0; col < def.ColCount(); ++col)
            if (def.Cell(col, row).model.IsSelectable())
                texts_.emplace_back(GridCell{col, row}, sheet_.ShownText(col, row));
}

void SheetFinder::Search(const std::string& query) {
    ReadTexts();
    matches_.clear();
    for (const auto& [cell, text] : texts_)
        if (findMatches(query, text))
            matches_.push_back(cell);
    searched_ = !trimmed(query).empty();
    current_ = -1;
    if (!matches_.empty()) {
        current_ = 0;
        sheet_.SetCursor(matches_.front().col, matches_.front().row);
    }
    if (count_ != nullptr)
        count_->setText(QString::fromStdString(CountText()));
}

void SheetFinder::Step(int direction) {
    if (matches_.empty())
        return;
    const int n = MatchCount();
    current_ = ((current_ + direction) % n + n) % n;
    const GridCell cell = matches_[static_cast<std::size_t>(current_)];
    sheet_.SetCursor(cell.col, cell.row);
    if (count_ != nullptr)
        count_->setText(QString::fromStdString(CountText()));
}

std::string SheetFinder::CountText() const {
    if (!searched_)
        return {};
    OverlayTexts& texts = OverlayTexts::App();
    if (matches_.empty())
        return texts.GetLine(kTextsKey, 2);
    std::string text = texts.GetLine(kTextsKey, 1);
    for (const int number : {current_ + 1, MatchCount()})
        if (const auto at = text.find("%d"); at != std::string::npos)
            text.replace(at, 2, std::to_string(number));
    return text;
}

bool SheetFinder::eventFilter(QObject* watched, QEvent* event) {
    // The type first: while the bar is being destroyed, its edit still sends
    // events here, and looking at edit_ then would touch a half-destroyed object.
    if (event->type() != QEvent::KeyPress || watched != edit_)
        return QObject::eventFilter(watched, event);
    const auto& key = static_cast<QKeyEvent&>(*event);
    const bool shift = (key.modifiers() & Qt::ShiftModifier) != 0;
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Step(shift ? -1 : 1);
        return true;
    case Qt::Key_F3:
        Step(shift ? -1 : 1);
        return true;
    case Qt::Key_Escape:
        Close();
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace marlo
