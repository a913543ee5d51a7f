#include "core/flexgrid.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
constexpr QRgb DefaultCellBack = qRgb(255, 255, 255);
constexpr QRgb DefaultFixedBack = qRgb(236, 236, 236);
constexpr QRgb DefaultFore = qRgb(0, 0, 0);
constexpr QRgb CellLine = qRgb(192, 192, 192);
constexpr QRgb FixedLine = qRgb(128, 128, 128);
constexpr int DefaultRowHeight = 240;
constexpr int DefaultColWidth = 960;

int pointsToPixels(int points) {
    return (points * 96 + 36) / 72;
}

Qt::Alignment qtAlignment(int code, const QString &text) {
    if (code == FlexGrid::AlignGeneral) {
        bool number = false;
        text.trimmed().toDouble(&number);
        return Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft);
    }
    code = std::clamp(code, 0, 8);
    const Qt::Alignment h[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    const Qt::Alignment v[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return h[code / 3] | v[code % 3];
}
} // namespace

FlexGrid::FlexGrid(QWidget *parent) : QWidget(parent), fontFamily_(QStringLiteral("DejaVu Sans")) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_OpaquePaintEvent);
    reshape(2, 2);
}

void FlexGrid::reshape(int rows, int cols) {
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    std::vector<Cell> cells(size_t(rows) * size_t(cols));
    for (int r = 0; r < std::min(rows, rows_); ++r)
        for (int c = 0; c < std::min(cols, cols_); ++c)
            cells[size_t(r) * size_t(cols) + size_t(c)] = std::move(cells_[index(r, c)]);
    cells_ = std::move(cells);
    rows_ = rows;
    cols_ = cols;
    rowHeights_.resize(size_t(rows), DefaultRowHeight);
    colWidths_.resize(size_t(cols), DefaultColWidth);
    colAlign_.resize(size_t(cols), AlignGeneral);
    fixedRows_ = std::min(fixedRows_, rows);
    fixedCols_ = std::min(fixedCols_, cols);
    row_ = std::clamp(row_, 0, std::max(rows - 1, 0));
    col_ = std::clamp(col_, 0, std::max(cols - 1, 0));
    update();
}

void FlexGrid::setRows(int rows) {
    reshape(rows, cols_);
}
void FlexGrid::setCols(int cols) {
    reshape(rows_, cols);
}
void FlexGrid::setFixedRows(int n) {
    fixedRows_ = std::clamp(n, 0, rows_);
    update();
}
void FlexGrid::setFixedCols(int n) {
    fixedCols_ = std::clamp(n, 0, cols_);
    update();
}

int FlexGrid::RowHeight(int row) const {
    return row >= 0 && row < rows_ ? rowHeights_[size_t(row)] : 0;
}
int FlexGrid::ColWidth(int col) const {
    return col >= 0 && col < cols_ ? colWidths_[size_t(col)] : 0;
}
void FlexGrid::setRowHeight(int row, int twips) {
    if (row < 0 || row >= rows_) return;
    rowHeights_[size_t(row)] = std::max(twips, 0);
    update();
}
void FlexGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= cols_) return;
    colWidths_[size_t(col)] = std::max(twips, 0);
    update();
}
void FlexGrid::setColAlignment(int col, int alignment) {
    if (col < 0 || col >= cols_) return;
    colAlign_[size_t(col)] = alignment;
    update();
}
int FlexGrid::ColAlignment(int col) const {
    return col >= 0 && col < cols_ ? colAlign_[size_t(col)] : AlignGeneral;
}

void FlexGrid::setFontSize(int points) {
    fontSize_ = points;
    update();
}
void FlexGrid::setFontBold(bool bold) {
    fontBold_ = bold;
    update();
}
void FlexGrid::setFontName(const QString &family) {
    fontFamily_ = family;
    update();
}
void FlexGrid::setBackColorBkg(const QColor &c) {
    backColorBkg_ = c;
    update();
}

// Out-of-range indexes are a caller's mistake; they leave the current cell where it is rather
// than address memory outside the grid.
void FlexGrid::setRow(int row) {
    if (row >= 0 && row < rows_)
        row_ = row;
    else
        qWarning("FlexGrid %s: row %d out of range", qPrintable(objectName()), row);
}
void FlexGrid::setCol(int col) {
    if (col >= 0 && col < cols_)
        col_ = col;
    else
        qWarning("FlexGrid %s: column %d out of range", qPrintable(objectName()), col);
}

void FlexGrid::setText(const QString &text) {
    cell().text = text;
    update();
}
QColor FlexGrid::CellBackColor() const {
    const Cell &c = cell();
    return QColor(c.back.value_or(isFixed(row_, col_) ? DefaultFixedBack : DefaultCellBack));
}
void FlexGrid::setCellBackColor(const QColor &c) {
    cell().back = c.rgb();
    update();
}
QColor FlexGrid::CellForeColor() const {
    return QColor(cell().fore.value_or(DefaultFore));
}
void FlexGrid::setCellForeColor(const QColor &c) {
    cell().fore = c.rgb();
    update();
}
bool FlexGrid::CellFontBold() const {
    return cell().bold.value_or(fontBold_);
}
void FlexGrid::setCellFontBold(bool bold) {
    cell().bold = bold;
    update();
}
int FlexGrid::CellFontSize() const {
    return cell().size.value_or(fontSize_);
}
void FlexGrid::setCellFontSize(int points) {
    cell().size = points;
    update();
}
int FlexGrid::CellAlignment() const {
    return cell().alignment.value_or(colAlign_[size_t(col_)]);
}
void FlexGrid::setCellAlignment(int alignment) {
    cell().alignment = alignment;
    update();
}

QString FlexGrid::TextMatrix(int row, int col) const {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return {};
    return cells_[index(row, col)].text;
}

int FlexGrid::rowTop(int row) const {
    int twips = 0;
    for (int r = 0; r < row; ++r) twips += rowHeights_[size_t(r)];
    return twipsToPixels(twips);
}
int FlexGrid::colLeft(int col) const {
    int twips = 0;
    for (int c = 0; c < col; ++c) twips += colWidths_[size_t(c)];
    return twipsToPixels(twips);
}
int FlexGrid::rowAt(int y) const {
    for (int r = 0; r < rows_; ++r)
        if (y >= rowTop(r) && y < rowTop(r + 1)) return r;
    return -1;
}
int FlexGrid::colAt(int x) const {
    for (int c = 0; c < cols_; ++c)
        if (x >= colLeft(c) && x < colLeft(c + 1)) return c;
    return -1;
}
QSize FlexGrid::cellAreaSize() const {
    return QSize(colLeft(cols_), rowTop(rows_));
}

// The one painting routine: the screen and Picture() both come from here, so the picture is
// what the user sees. Only the focus mark is left out of pictures.
void FlexGrid::paintCells(QPainter &p, bool showFocus) const {
    QFont font(fontFamily_);
    for (int r = 0; r < rows_; ++r) {
        const int top = rowTop(r), height = rowTop(r + 1) - top;
        if (height <= 0) continue;
        for (int c = 0; c < cols_; ++c) {
            const int left = colLeft(c), width = colLeft(c + 1) - left;
            if (width <= 0) continue;
            const Cell &cell = cells_[index(r, c)];
            const bool fixed = isFixed(r, c);
            const QRect rect(left, top, width, height);
            p.fillRect(rect,
                       QColor(cell.back.value_or(fixed ? DefaultFixedBack : DefaultCellBack)));
            p.setPen(QColor(fixed ? FixedLine : CellLine));
            p.drawLine(rect.topRight(), rect.bottomRight());
            p.drawLine(rect.bottomLeft(), rect.bottomRight());
            if (!cell.text.isEmpty()) {
                font.setPixelSize(pointsToPixels(cell.size.value_or(fontSize_)));
                font.setBold(cell.bold.value_or(fontBold_));
                p.setFont(font);
                p.setPen(QColor(cell.fore.value_or(DefaultFore)));
                const int align =
                    cell.alignment.value_or(fixed ? AlignCenterCenter : colAlign_[size_t(c)]);
                p.drawText(rect.adjusted(2, 1, -3, -2), int(qtAlignment(align, cell.text)),
                           cell.text);
            }
        }
    }
    if (showFocus && rows_ > 0 && cols_ > 0) {
        const QRect rect(colLeft(col_), rowTop(row_), colLeft(col_ + 1) - colLeft(col_),
                         rowTop(row_ + 1) - rowTop(row_));
        QPen pen(QColor(0, 0, 0));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect.adjusted(1, 1, -3, -3));
    }
}

QImage FlexGrid::Picture() const {
    QImage image(cellAreaSize().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(backColorBkg_);
    QPainter p(&image);
    paintCells(p, false);
    return image;
}

void FlexGrid::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), backColorBkg_);
    paintCells(p, hasFocus());
}

int FlexGrid::shiftState(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? ShiftMask : 0) | (m & Qt::ControlModifier ? CtrlMask : 0) |
           (m & Qt::AltModifier ? AltMask : 0);
}

int FlexGrid::keyCodeOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        break;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 112 + (qtKey - Qt::Key_F1);
    return 0;
}

int FlexGrid::ansiCodeOf(QChar ch) {
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    // The characters Windows-1252 places in 0x80..0x9F.
    static constexpr char16_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        if (high[i] != 0 && high[i] == u) return 0x80 + i;
    return '?';
}

void FlexGrid::moveCurrent(int row, int col) {
    row_ = std::clamp(row, std::min(fixedRows_, rows_ - 1), rows_ - 1);
    col_ = std::clamp(col, std::min(fixedCols_, cols_ - 1), cols_ - 1);
    update();
}

void FlexGrid::keyPressEvent(QKeyEvent *event) {
    const int code = keyCodeOf(event->key());
    const int shift = shiftState(event->modifiers());
    emit keyDownEarly(code, shift);
    emit keyDown(code, shift);
    if (rows_ > 0 && cols_ > 0) {
        switch (code) {
        case 33:
            moveCurrent(fixedRows_, col_);
            break;
        case 34:
            moveCurrent(rows_ - 1, col_);
            break;
        case 35:
            moveCurrent(row_, cols_ - 1);
            break;
        case 36:
            moveCurrent(row_, fixedCols_);
            break;
        case 37:
            moveCurrent(row_, col_ - 1);
            break;
        case 38:
            moveCurrent(row_ - 1, col_);
            break;
        case 39:
            moveCurrent(row_, col_ + 1);
            break;
        case 40:
            moveCurrent(row_ + 1, col_);
            break;
        default:
            break;
        }
    }
    // A typed character is reported, never written into a cell: the windows decide. Delete is
    // a key, not a character, whatever character code the X server attaches to it.
    const QString text = event->text();
    if (!text.isEmpty() && code != 46 &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        for (QChar ch : text) emit keyPress(ansiCodeOf(ch));
    event->accept();
}

void FlexGrid::updateMouseCell(const QPointF &pos) {
    mouseRow_ = rowAt(int(pos.y()));
    mouseCol_ = colAt(int(pos.x()));
}

static int vbButton(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

void FlexGrid::mousePressEvent(QMouseEvent *event) {
    updateMouseCell(event->position());
    setFocus(Qt::MouseFocusReason);
    if (mouseRow_ >= 0 && mouseCol_ >= 0 && !isFixed(mouseRow_, mouseCol_)) {
        row_ = mouseRow_;
        col_ = mouseCol_;
        update();
    }
    pressed_ = event->button() == Qt::LeftButton;
    const QPoint p = event->position().toPoint() * TwipsPerPixel;
    emit mouseDown(vbButton(event->button()), shiftState(event->modifiers()), p.x(), p.y());
}

void FlexGrid::mouseReleaseEvent(QMouseEvent *event) {
    updateMouseCell(event->position());
    const QPoint p = event->position().toPoint() * TwipsPerPixel;
    emit mouseUp(vbButton(event->button()), shiftState(event->modifiers()), p.x(), p.y());
    if (pressed_ && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
    pressed_ = false;
}

void FlexGrid::mouseMoveEvent(QMouseEvent *event) {
    updateMouseCell(event->position());
}

void FlexGrid::leaveEvent(QEvent *) {
    mouseRow_ = mouseCol_ = -1;
}

void FlexGrid::focusInEvent(QFocusEvent *) {
    update();
}
void FlexGrid::focusOutEvent(QFocusEvent *) {
    update();
}

void FlexGrid::inputMethodEvent(QInputMethodEvent *event) {
    for (QChar ch : event->commitString()) emit keyPress(ansiCodeOf(ch));
    event->accept();
}

QVariant FlexGrid::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return QRect(colLeft(col_), rowTop(row_), colLeft(col_ + 1) - colLeft(col_),
                     rowTop(row_ + 1) - rowTop(row_));
    default:
        return QWidget::inputMethodQuery(query);
    }
}
