#pragma once

#include <QPlainTextEdit>

// A multi-line text box that hands back exactly the text it was given, line breaks (CR LF)
// included; what the user types is stored with CR LF line breaks.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);
    QString Text() const { return text_; }
    void setText(const QString &text);

    // Longest text shown whole; beyond it the box shows the start, read-only.
    static constexpr qsizetype DisplayLimit = 64 * 1024;

private:
    void userEdited();
    QString text_;
    bool settingText_ = false;
};
