// Conversions between the library's UTF-8 texts and Qt's strings, and the message boxes of the
// viewer with the texts as the library words them.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace velview::viewer {

inline QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string S(const QString& s) { return s.toStdString(); }

// Message texts break lines with "\r" (and "\r\n"); Qt wants "\n".
QString MessageText(std::string_view text);

enum class MessageKind { Information, Warning, Question };
// Where messages go instead of message boxes (tests answer questions with it); an empty
// handler restores the boxes.
using MessageHandler = std::function<bool(MessageKind kind, const std::string& text)>;
void SetMessageHandler(MessageHandler handler);

void Information(QWidget* parent, std::string_view text);
void Warning(QWidget* parent, std::string_view text);
// Yes / No with No focused; true for Yes.
bool AskYesNo(QWidget* parent, std::string_view text);

}  // namespace velview::viewer
