#pragma once
// Commands hang on the clicked() signal of any button class: the toolkit's own push buttons and
// the skinned ones share no base class beyond QWidget.

#include <functional>

class QObject;

namespace pestrel {

// Runs `action` on every click of `button` until the button is gone.
void OnClicked(QObject* button, std::function<void()> action);

} // namespace pestrel
