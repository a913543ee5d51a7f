#include "core/desktop.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTranslator>

namespace desktop {

namespace {
MessageHandler &handler() {
    static MessageHandler h;
    return h;
}

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void setMessageHandler(MessageHandler h) {
    handler() = std::move(h);
}

Answer msgBox(const QString &text, Buttons buttons, Icon icon, const QString &title) {
    const MessageRequest request{text, buttons, icon, title.isEmpty() ? AppTitle : title};
    if (handler()) return handler()(request);

    QMessageBox box(qtIcon(icon), request.title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    // French captions whatever the machine's locale and installed translations.
    auto add = [&box](QMessageBox::StandardButton b, const char *caption) {
        box.addButton(b)->setText(QString::fromUtf8(caption));
    };
    switch (buttons) {
    case Buttons::Ok:
        add(QMessageBox::Ok, "OK");
        break;
    case Buttons::YesNo:
        add(QMessageBox::Yes, "Oui");
        add(QMessageBox::No, "Non");
        break;
    case Buttons::OkCancel:
        add(QMessageBox::Ok, "OK");
        add(QMessageBox::Cancel, "Annuler");
        break;
    case Buttons::SaveDiscardCancel:
        add(QMessageBox::Save, "Sauvegarder");
        add(QMessageBox::Discard, "Ne pas sauvegarder");
        add(QMessageBox::Cancel, "Annuler");
        box.setDefaultButton(QMessageBox::Save);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Save:
        return Answer::Save;
    case QMessageBox::Discard:
        return Answer::Discard;
    default:
        break;
    }
    // A box closed another way counts as its cautious answer.
    switch (buttons) {
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::SaveDiscardCancel:
        return Answer::Cancel;
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}

bool installFrenchTranslations() {
    static QTranslator *translator = nullptr;
    if (translator) return true;
    auto *candidate = new QTranslator(QCoreApplication::instance());
    if (!candidate->load(QStringLiteral("qtbase_fr"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete candidate;
        return false;
    }
    QCoreApplication::installTranslator(candidate);
    translator = candidate;
    // Dates, numbers and the file dialog's details in French as well.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    return true;
}

QString withCrLf(const QString &text) {
    if (!text.contains(QLatin1Char('\n'))) return text;
    QString out;
    out.reserve(text.size() + text.size() / 10);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n') && (i == 0 || text[i - 1] != QLatin1Char('\r')))
            out += QLatin1Char('\r');
        out += text[i];
    }
    return out;
}

QString clipboardText() {
    // Other programs on this desktop (browsers among them) end lines with a line feed alone.
    return withCrLf(QGuiApplication::clipboard()->text());
}

void setClipboardText(const QString &text) {
    auto *data = new QMimeData;
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
}

void setClipboardImage(const QImage &image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/png"), png);
    data->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(data);
}

QImage clipboardImage() {
    return QGuiApplication::clipboard()->image();
}

QByteArray clipboardPng() {
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data ? data->data(QStringLiteral("image/png")) : QByteArray();
}

void clearClipboard() {
    QGuiApplication::clipboard()->clear();
}

} // namespace desktop

namespace desktop {

InputBlocker::InputBlocker() {
    QCoreApplication::instance()->installEventFilter(this);
}
InputBlocker::~InputBlocker() {
    QCoreApplication::instance()->removeEventFilter(this);
}

void InputBlocker::processPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool InputBlocker::eventFilter(QObject *, QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

} // namespace desktop

namespace desktop {
namespace {
FileChooser &fileChooser() {
    static FileChooser chooser;
    return chooser;
}
} // namespace

void setFileChooser(FileChooser chooser) {
    fileChooser() = std::move(chooser);
}

QString chooseFile(const FileRequest &request, QWidget *parent) {
    if (fileChooser()) return fileChooser()(request);
    QFileDialog dialog(parent, request.caption, request.suggested, request.filter);
    // Replacing a file is asked by the caller, in French.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.suffix.isEmpty()) dialog.setDefaultSuffix(request.suffix);
    if (!QFileInfo(request.suggested).isDir()) dialog.selectFile(request.suggested);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Dossier :"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nom du fichier :"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Type :"));
    dialog.setLabelText(QFileDialog::Accept,
                        request.save ? QStringLiteral("Enregistrer") : QStringLiteral("Ouvrir"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Annuler"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}
} // namespace desktop
