#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>

class QWidget;

// Message boxes and clipboard, as every window uses them.
namespace desktop {

inline const QString AppTitle = QStringLiteral("Quadrilex");

enum class Buttons { Ok, YesNo, OkCancel, SaveDiscardCancel };
enum class Icon { None, Exclamation, Information, Critical };
enum class Answer { Ok, Yes, No, Cancel, Save, Discard };

struct MessageRequest {
    QString text;
    Buttons buttons;
    Icon icon;
    QString title;
};

// Shows a modal message box and returns the button pressed. An empty title is the
// application's title.
Answer msgBox(const QString &text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
              const QString &title = QString());

// Qt's own texts (context menus, standard buttons, file dialogs) in French, whatever the
// user's language; false when Qt's French translations are not installed.
bool installFrenchTranslations();

// Tests answer message boxes through this seam: while a handler is set, no box is shown and
// the handler's answer is returned at once.
using MessageHandler = std::function<Answer(const MessageRequest &)>;
void setMessageHandler(MessageHandler handler);

// Clipboard. A copy replaces whatever the clipboard held. Text is read with CR LF line ends,
// whatever line ends the program that put it there used.
QString clipboardText();
// The text with every line feed that no carriage return precedes turned into CR LF.
QString withCrLf(const QString &text);
void setClipboardText(const QString &text);
// Offers the picture as image/png (what a browser's editor pastes) and as an image.
void setClipboardImage(const QImage &image);
QImage clipboardImage();
QByteArray clipboardPng();
void clearClipboard();

} // namespace desktop

namespace desktop {
// While it lives, input (mouse, keys, wheel, touch) reaches no widget, and pending events are
// processed without it: the windows repaint while work in progress cannot be disturbed.
class InputBlocker : public QObject {
public:
    InputBlocker();
    ~InputBlocker() override;
    static void processPendingEvents();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
} // namespace desktop

namespace desktop {
// A file to open or to save, chosen in Qt's own file dialog with French captions (the same on
// every desktop). The chosen path, or "" when the user gave up.
struct FileRequest {
    bool save = false;
    QString caption;
    QString suggested; // a folder, or a path with a file name
    QString filter;    // "Grilles ipuz (*.ipuz)"
    QString suffix;    // added to a saved name given without one
};
QString chooseFile(const FileRequest &request, QWidget *parent);
// Tests choose through this seam: while a chooser is set, no dialog is shown.
using FileChooser = std::function<QString(const FileRequest &)>;
void setFileChooser(FileChooser chooser);
} // namespace desktop
