#include "core/form.h"

#include "core/flexgrid.h"
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace {
std::vector<Form *> &loadedForms() {
    static std::vector<Form *> forms;
    return forms;
}
std::function<void()> &lastWindowHandler() {
    static std::function<void()> handler;
    return handler;
}
} // namespace

Form::Form(QWidget *parent)
    : QMainWindow(parent), client_(new QWidget(this)),
      escape_(new QShortcut(QKeySequence(Qt::Key_Escape), this)) {
    setCentralWidget(client_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // No maximise button: the controls stand where the layout puts them.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    connect(escape_, &QShortcut::activated, this, &QWidget::close);
}

void Form::keepOpenOnEscape() {
    escape_->setEnabled(false);
}

void Form::keyPressEvent(QKeyEvent *event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
        for (QPushButton *button : findChildren<QPushButton *>())
            if (button->isDefault() && button->isVisible() && button->isEnabled()) {
                button->click();
                return;
            }
    QMainWindow::keyPressEvent(event);
}

// A window destroyed by other means (the application's end) must not stay registered.
Form::~Form() {
    auto &forms = loadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (detach_) detach_();
}

void Form::setClientSize(int widthTwips, int heightTwips) {
    client_->setFixedSize(FlexGrid::twipsToPixels(widthTwips),
                          FlexGrid::twipsToPixels(heightTwips));
}

void Form::unload() {
    hide();
    FormRegistry::unloaded(this);
}

void Form::closeEvent(QCloseEvent *event) {
    // The window goes through its global instance, so that the next reference loads it anew.
    event->ignore();
    if (Form_QueryUnload(UnloadMode::User)) unload();
}

void placeTwips(QWidget *widget, QWidget *parent, const char *name, int left, int top, int width,
                int height) {
    widget->setParent(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(FlexGrid::twipsToPixels(left), FlexGrid::twipsToPixels(top),
                        FlexGrid::twipsToPixels(width), FlexGrid::twipsToPixels(height));
}

void FormRegistry::loaded(Form *form, std::function<void()> detach) {
    form->detach_ = std::move(detach);
    loadedForms().push_back(form);
}

void FormRegistry::unloaded(Form *form) {
    auto &forms = loadedForms();
    const auto it = std::find(forms.begin(), forms.end(), form);
    if (it == forms.end()) return;
    forms.erase(it);
    if (form->detach_) form->detach_();
    form->detach_ = nullptr;
    // Deleted once the running handler (maybe the window's own) has returned.
    form->deleteLater();
    if (forms.empty() && lastWindowHandler()) {
        // Checked after the handler: a mode switch unloads one window and loads the other.
        QTimer::singleShot(0, [] {
            if (loadedForms().empty() && lastWindowHandler()) lastWindowHandler()();
        });
    }
}

int FormRegistry::count() {
    return int(loadedForms().size());
}

void FormRegistry::setLastWindowHandler(std::function<void()> handler) {
    lastWindowHandler() = std::move(handler);
}

void FormRegistry::unloadAll() {
    while (!loadedForms().empty()) loadedForms().back()->unload();
}
