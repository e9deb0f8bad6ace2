#pragma once
// What a command-line run says on standard error, and the status it ends with.

#include <QString>
#include <string>

namespace pestrel {

enum ExitStatus : int {
    kDone = 0,       // everything asked for was done
    kIncomplete = 1, // the run went through, but something failed or was left as it was
    kBadInput = 2,   // nothing was done: the options, the list or the folders were refused
};

// `text` in the user's language with `field` in place of its %1, byte for byte.
std::string Message(const QString& text, const std::string& field = {});
// "pestrel: " and the message on standard error, each control byte shown as '?'.
void Complain(const std::string& message);
// Complains, then answers kBadInput.
int Refuse(const std::string& message);

} // namespace pestrel
