#include "core/textbox.h"

TextBox::TextBox(QWidget *parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // A grid's text has no tabs: Tab goes on to the next control.
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &TextBox::userEdited);
}

void TextBox::setText(const QString &text) {
    text_ = text;
    settingText_ = true;
    // A pasted text can be huge; laying it all out would freeze the window for nothing.
    const bool whole = text.size() <= DisplayLimit;
    setPlainText(whole ? text : text.left(DisplayLimit) + QStringLiteral("\n[…]"));
    setReadOnly(!whole);
    settingText_ = false;
}

void TextBox::userEdited() {
    if (settingText_) return;
    text_ = toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}
