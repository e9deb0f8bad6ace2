#include "ui/EngineText.h"

#include "ui/ListEntries.h"

#include <QCoreApplication>

namespace pestrel {
namespace {

constexpr const char* kContext = "pestrel::EngineText";

// Every fixed text the engine shows in the window.
constexpr const char* kFixedTexts[] = {
    QT_TRANSLATE_NOOP("pestrel::EngineText", "列表中的病毒已经清杀完毕,建议重新启动一下计算机!"),
};

} // namespace

QString EngineText(const std::string& text) {
    for (const char* fixed : kFixedTexts) {
        if (text == fixed)
            return QCoreApplication::translate(kContext, fixed);
    }
    return ShownText(text);
}

} // namespace pestrel
