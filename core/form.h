#pragma once

#include <QMainWindow>
#include <functional>

// A window of the program. Each window class has one global instance, held by a FormSlot:
// referring to it loads it (runs Form_Load without showing it), unloading closes it, and the
// next reference loads a fresh one. The program ends when its last window is unloaded.
class Form : public QMainWindow {
    Q_OBJECT
public:
    enum class UnloadMode { User, Code };

    explicit Form(QWidget *parent = nullptr);
    ~Form() override;
    virtual void Form_Load() {}
    // Return false to keep the window open.
    virtual bool Form_QueryUnload(UnloadMode) { return true; }

    // Unloads this window without asking (as code does).
    void unload();

    // The area under the menu bar, of a fixed size in twips; the window keeps the size of this
    // area and its menu bar (its layout is fixed: it cannot be maximised or resized).
    QWidget *client() const { return client_; }
    void setClientSize(int widthTwips, int heightTwips);

protected:
    void closeEvent(QCloseEvent *event) override;
    // Return presses the window's default button, as in a dialog.
    void keyPressEvent(QKeyEvent *event) override;
    // Escape closes a window, as it cancels a dialog, unless the window calls this: a main window
    // (the master's, the player's, the start-up choice), or one holding work not saved that
    // Escape would throw away without a word (the grid being typed in the editor).
    void keepOpenOnEscape();

private:
    friend class FormRegistry;
    QWidget *client_;
    class QShortcut *escape_;
    std::function<void()> detach_;
};

// Places a child widget at a position and size given in twips, and names it.
template <class W>
W *place(W *widget, QWidget *parent, const char *name, int left, int top, int width, int height);
void placeTwips(QWidget *widget, QWidget *parent, const char *name, int left, int top, int width,
                int height);
template <class W>
W *place(W *widget, QWidget *parent, const char *name, int left, int top, int width, int height) {
    placeTwips(widget, parent, name, left, top, width, height);
    return widget;
}

class FormRegistry {
public:
    static void loaded(Form *form, std::function<void()> detach);
    static void unloaded(Form *form);
    static int count();
    // Called once the last window has been unloaded (the program's end).
    static void setLastWindowHandler(std::function<void()> handler);
    // Unloads every window still loaded, without asking.
    static void unloadAll();
};

template <class W> class FormSlot {
public:
    W &operator()() {
        if (!window_) {
            window_ = new W;
            FormRegistry::loaded(window_, [this] { window_ = nullptr; });
            window_->Form_Load();
        }
        return *window_;
    }
    bool loaded() const { return window_ != nullptr; }
    W *get() const { return window_; }
    // Shows the window; one already open comes to the front with the focus, so that a command
    // that shows it never seems to do nothing.
    void show() {
        W &w = (*this)();
        w.show();
        w.raise();
        w.activateWindow();
    }
    void unload() {
        if (window_) window_->unload();
    }

private:
    W *window_ = nullptr;
};
