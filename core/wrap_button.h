#pragma once

#include <QPushButton>

// A push button whose caption wraps onto several lines, as narrow buttons need.
class WrapButton : public QPushButton {
    Q_OBJECT
public:
    explicit WrapButton(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
