#include "ui/EngineText.h"

#include "engine/RootCheck.h"
#include "ui/ListEntries.h"

#include <QCoreApplication>
#include <QStringList>
#include <string_view>

namespace pestrel {
namespace {

constexpr const char* kContext = "pestrel::EngineText";

// Every fixed text the engine shows in the window.
constexpr const char* kFixedTexts[] = {
    QT_TRANSLATE_NOOP("pestrel::EngineText", "列表中的病毒已经清杀完毕,建议重新启动一下计算机!"),
};

// The refusal to act as root, with %1 for its folders, and what separates them.
constexpr const char* kRefusal = QT_TRANSLATE_NOOP(
    "pestrel::EngineText",
    "Pestrel 以 root 身份运行，但其他用户也能改动这些文件夹（不属于 "
    "root，或组和其他用户可写）：%1。"
    "为免有人借 root 的权限改写或删除别处的文件，Pestrel 不做任何改动。请把这些文件夹交给 root "
    "并去掉组和其他用户的写权限，或者不用 root 运行。");
constexpr const char* kRefusalSeparator = QT_TRANSLATE_NOOP("pestrel::EngineText", "、");
static_assert(std::string_view(kRefusal) == kRootRefusalText);
static_assert(std::string_view(kRefusalSeparator) == kRootRefusalSeparator);

} // namespace

QString RootRefusalText(const std::vector<std::string>& folders) {
    QStringList shown;
    for (const std::string& folder : folders)
        shown << ShownText(folder);
    return QCoreApplication::translate(kContext, kRefusal)
        .arg(shown.join(QCoreApplication::translate(kContext, kRefusalSeparator)));
}

QString EngineText(const std::string& text) {
    for (const char* fixed : kFixedTexts) {
        if (text == fixed)
            return QCoreApplication::translate(kContext, fixed);
    }
    return ShownText(text);
}

} // namespace pestrel
