#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <optional>
#include <vector>

class QPainter;

// The grid control of every window: a widget that holds its cells and draws them.
// Cells are addressed through the current cell (Row/Col), as the windows' code expects;
// sizes are given in twips and drawn at one pixel per 15 twips.
class FlexGrid : public QWidget {
    Q_OBJECT
public:
    // Cell alignment codes: 0..8 are left/centre/right by top/centre/bottom, 9 is "general".
    enum Alignment { AlignLeftTop = 0, AlignCenterCenter = 4, AlignGeneral = 9 };
    enum Shift { ShiftMask = 1, CtrlMask = 2, AltMask = 4 };

    static constexpr int TwipsPerPixel = 15;
    static int twipsToPixels(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }

    explicit FlexGrid(QWidget *parent = nullptr);

    // Shape.
    int Rows() const { return rows_; }
    int Cols() const { return cols_; }
    void setRows(int rows);
    void setCols(int cols);
    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }
    void setFixedRows(int n);
    void setFixedCols(int n);
    int RowHeight(int row) const;
    int ColWidth(int col) const;
    void setRowHeight(int row, int twips);
    void setColWidth(int col, int twips);
    void setColAlignment(int col, int alignment);
    int ColAlignment(int col) const;

    // Grid-wide appearance.
    void setFontSize(int points);
    int FontSize() const { return fontSize_; }
    void setFontBold(bool bold);
    bool FontBold() const { return fontBold_; }
    void setFontName(const QString &family);
    QColor BackColorBkg() const { return backColorBkg_; }
    void setBackColorBkg(const QColor &c);
    QColor BackColorSel() const { return backColorSel_; }
    void setBackColorSel(const QColor &c) { backColorSel_ = c; }
    void setAllowSelection(bool on) { allowSelection_ = on; }
    bool AllowSelection() const { return allowSelection_; }

    // Current cell.
    int Row() const { return row_; }
    int Col() const { return col_; }
    void setRow(int row);
    void setCol(int col);

    // Properties of the current cell.
    QString Text() const { return cell().text; }
    void setText(const QString &text);
    QColor CellBackColor() const;
    void setCellBackColor(const QColor &c);
    QColor CellForeColor() const;
    void setCellForeColor(const QColor &c);
    bool CellFontBold() const;
    void setCellFontBold(bool bold);
    int CellFontSize() const;
    void setCellFontSize(int points);
    int CellAlignment() const;
    void setCellAlignment(int alignment);

    // Direct access by index, for code that must not move the current cell.
    QString TextMatrix(int row, int col) const;

    // The cell under the mouse pointer; -1 when the pointer is not over a cell.
    int MouseRow() const { return mouseRow_; }
    int MouseCol() const { return mouseCol_; }

    // The whole grid as drawn, one image pixel per 15 twips.
    QImage Picture() const;
    // Size of the cell area in pixels.
    QSize cellAreaSize() const;

    // Key codes of the navigation keys and the ones the windows read.
    static int keyCodeOf(int qtKey);
    // Windows-1252 code of a typed character, 63 ("?") outside that set.
    static int ansiCodeOf(QChar ch);

signals:
    void keyDownEarly(int keyCode, int shift); // raised first, for every key
    void keyDown(int keyCode, int shift);
    void keyPress(int charCode);
    void mouseDown(int button, int shift, int x, int y);
    void mouseUp(int button, int shift, int x, int y);
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    // Tab and Shift+Tab leave the grid for the window's next or previous control; the arrow
    // keys move inside it.
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
    // Characters composed by the input method (dead keys, compose sequences) are typed
    // characters like any other.
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    struct Cell {
        QString text;
        std::optional<QRgb> back;
        std::optional<QRgb> fore;
        std::optional<bool> bold;
        std::optional<int> size;
        std::optional<int> alignment;
    };
    Cell &cell() { return cells_[index(row_, col_)]; }
    const Cell &cell() const { return cells_[index(row_, col_)]; }
    size_t index(int row, int col) const { return size_t(row) * size_t(cols_) + size_t(col); }
    bool isFixed(int row, int col) const { return row < fixedRows_ || col < fixedCols_; }
    void reshape(int rows, int cols);
    void paintCells(QPainter &p, bool showFocus) const;
    int rowTop(int row) const;
    int colLeft(int col) const;
    int rowAt(int y) const;
    int colAt(int x) const;
    void updateMouseCell(const QPointF &pos);
    void moveCurrent(int row, int col);
    static int shiftState(Qt::KeyboardModifiers m);

    int rows_ = 0, cols_ = 0, fixedRows_ = 1, fixedCols_ = 1;
    int row_ = 0, col_ = 0;
    std::vector<Cell> cells_;
    std::vector<int> rowHeights_, colWidths_, colAlign_;
    QString fontFamily_;
    int fontSize_ = 8;
    bool fontBold_ = false;
    QColor backColorBkg_{128, 128, 128};
    QColor backColorSel_{0, 0, 128};
    bool allowSelection_ = true;
    int mouseRow_ = -1, mouseCol_ = -1;
    bool pressed_ = false;
};
