#pragma once
// The skin's one way to tell the user something: a refused property value is reported through a
// single handler. The standard handler shows a box titled with the application name with one OK
// button; tests install their own to collect the texts.

#include <QString>
#include <functional>

namespace pestrel {

using TsuiInformationHandler = std::function<void(const QString& text)>;

// Returns the handler it replaces; an empty handler silences the messages.
TsuiInformationHandler SetSkinInformationHandler(TsuiInformationHandler handler);
void ShowSkinInformation(const QString& text);

} // namespace pestrel
