#pragma once
// A skinned button as a screen reader sees it: a push button that presses, or a check box or
// radio button that toggles and says whether it is checked; named by its caption.

class QAccessibleInterface;

namespace pestrel {

class TsuiCustomButton;

QAccessibleInterface* SkinButtonAccessible(TsuiCustomButton* button);

} // namespace pestrel
