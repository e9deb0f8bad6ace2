#pragma once
// The buttons under the program's own windows, in the window's language: Qt's standard buttons
// carry Qt's English texts wherever Qt's own translation is not installed.

class QDialog;
class QDialogButtonBox;

namespace pestrel {

// A row holding one button "关闭" that closes `window`.
QDialogButtonBox* CloseButtons(QDialog* window);

} // namespace pestrel
