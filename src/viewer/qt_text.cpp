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

void Information(QWidget* parent, std::string_view text) {
    QMessageBox::information(parent, QApplication::applicationDisplayName(), MessageText(text));
}

void Warning(QWidget* parent, std::string_view text) {
    QMessageBox::warning(parent, QApplication::applicationDisplayName(), MessageText(text));
}

bool AskYesNo(QWidget* parent, std::string_view text) {
    return QMessageBox::question(parent, QApplication::applicationDisplayName(), MessageText(text),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace velview::viewer
