#include "viewer/qt_text.h"

#include <QApplication>
#include <QMessageBox>

namespace velview::viewer {

QString MessageText(std::string_view text) {
    QString t = Q(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    return t;
}

namespace {
MessageHandler& Handler() {
    static MessageHandler h;
    return h;
}
}  // namespace

void SetMessageHandler(MessageHandler handler) { Handler() = std::move(handler); }

void Information(QWidget* parent, std::string_view text) {
    if (Handler()) {
        Handler()(MessageKind::Information, std::string(text));
        return;
    }
    QMessageBox::information(parent, QApplication::applicationDisplayName(), MessageText(text));
}

void Warning(QWidget* parent, std::string_view text) {
    if (Handler()) {
        Handler()(MessageKind::Warning, std::string(text));
        return;
    }
    QMessageBox::warning(parent, QApplication::applicationDisplayName(), MessageText(text));
}

bool AskYesNo(QWidget* parent, std::string_view text) {
    if (Handler()) return Handler()(MessageKind::Question, std::string(text));
    return QMessageBox::question(parent, QApplication::applicationDisplayName(), MessageText(text),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace velview::viewer
