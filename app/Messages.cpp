#include "app/Messages.h"

#include "app/Printer.h"

#include <cstdio>

namespace pestrel {

std::string Message(const QString& text, const std::string& field) {
    std::string message = text.toLocal8Bit().toStdString();
    if (const std::size_t at = message.find("%1"); at != std::string::npos)
        message.replace(at, 2, field);
    return message;
}

void Complain(const std::string& message) {
    std::fprintf(stderr, "pestrel: %s\n", Printable(message).c_str());
}

int Refuse(const std::string& message) {
    Complain(message);
    return kBadInput;
}

} // namespace pestrel
