#include "skin/window/SUITitleBarAccessible.h"

#include "skin/PaintedPartsAccessible.h"
#include "skin/window/SUITitleBar.h"

#include <QCoreApplication>

namespace pestrel {
namespace {

QString ButtonName(TsuiTitleBar* bar, int index) {
    switch (bar->Buttons()[index].ButtonType()) {
    case TsuiTitleBarBtnType::suiMax:
        return QCoreApplication::translate("pestrel::TsuiTitleBar", "最大化");
    case TsuiTitleBarBtnType::suiMin:
        return QCoreApplication::translate("pestrel::TsuiTitleBar", "最小化");
    case TsuiTitleBarBtnType::suiClose:
        return QCoreApplication::translate("pestrel::TsuiTitleBar", "关闭");
    case TsuiTitleBarBtnType::suiHelp:
        return QCoreApplication::translate("pestrel::TsuiTitleBar", "帮助");
    case TsuiTitleBarBtnType::suiControlBox:
        return QCoreApplication::translate("pestrel::TsuiTitleBar", "窗口菜单");
    case TsuiTitleBarBtnType::suiCustom:
        break;
    }
    return QCoreApplication::translate("pestrel::TsuiTitleBar", "按钮 %1").arg(index + 1);
}

} // namespace

QAccessibleInterface* TitleBarAccessible(TsuiTitleBar* bar) {
    return PaintedPartsAccessible(bar, {QAccessible::TitleBar,
                                        QAccessible::Button,
                                        [bar] { return bar->Buttons().count(); },
                                        [bar](int i) { return ButtonName(bar, i); },
                                        [bar](int i) {
                                            const std::vector<QRect> rects = bar->buttonRects();
                                            return i < int(rects.size()) ? rects[std::size_t(i)]
                                                                         : QRect();
                                        },
                                        {},
                                        [bar](int i) { bar->clickButton(i); }});
}

} // namespace pestrel
