#include "ui/ActionText.h"

#include "ui/ListEntries.h"

#include <QCoreApplication>
#include <map>

namespace pestrel {
namespace {

constexpr const char* kContext = "pestrel::ActionText";

// What each verb of the engine did or would do, in the source language; translated when shown.
const std::map<std::string, const char*> kVerbTexts = {
    {"match", QT_TRANSLATE_NOOP("pestrel::ActionText", "内容匹配")},
    {"scan", QT_TRANSLATE_NOOP("pestrel::ActionText", "扫描")},
    {"terminate", QT_TRANSLATE_NOOP("pestrel::ActionText", "结束进程")},
    {"backup", QT_TRANSLATE_NOOP("pestrel::ActionText", "备份")},
    {"delete", QT_TRANSLATE_NOOP("pestrel::ActionText", "删除")},
    {"pending", QT_TRANSLATE_NOOP("pestrel::ActionText", "下次启动时删除")},
    {"regdelete", QT_TRANSLATE_NOOP("pestrel::ActionText", "删除启动项")},
    {"autostart", QT_TRANSLATE_NOOP("pestrel::ActionText", "删除自启动项")},
    {"shortcut", QT_TRANSLATE_NOOP("pestrel::ActionText", "删除快捷方式")},
    {"task", QT_TRANSLATE_NOOP("pestrel::ActionText", "删除计划任务")},
    {"desktop", QT_TRANSLATE_NOOP("pestrel::ActionText", "删除自启动文件")},
    {"link", QT_TRANSLATE_NOOP("pestrel::ActionText", "删除链接")},
    {"unit", QT_TRANSLATE_NOOP("pestrel::ActionText", "删除服务单元")},
    {"cron", QT_TRANSLATE_NOOP("pestrel::ActionText", "删除定时任务行")},
    {"repair", QT_TRANSLATE_NOOP("pestrel::ActionText", "修复")},
    {"restore", QT_TRANSLATE_NOOP("pestrel::ActionText", "恢复")},
    {"regrestore", QT_TRANSLATE_NOOP("pestrel::ActionText", "恢复注册表值")},
    {"relink", QT_TRANSLATE_NOOP("pestrel::ActionText", "恢复链接")},
    {"cronrestore", QT_TRANSLATE_NOOP("pestrel::ActionText", "恢复定时任务行")},
    {"skip", QT_TRANSLATE_NOOP("pestrel::ActionText", "跳过")},
    {"denied", QT_TRANSLATE_NOOP("pestrel::ActionText", "拒绝运行")},
};

// A verb without a text of its own shows as the engine names it.
QString VerbText(const std::string& verb) {
    const auto found = kVerbTexts.find(verb);
    return found == kVerbTexts.end() ? FieldText(verb)
                                     : QCoreApplication::translate(kContext, found->second);
}

} // namespace

QString FieldText(const std::string& field) {
    QString text = ShownText(field);
    for (QChar& character : text) {
        if (character.category() == QChar::Other_Control)
            character = QLatin1Char('?');
    }
    return text;
}

QString ActionText(const PassAction& action) {
    QString line = action.failed ? QCoreApplication::translate("pestrel::ActionText", "失败") +
                                       QStringLiteral("  ")
                                 : QString();
    line += VerbText(action.verb);
    for (const std::string& field : action.fields)
        line += QStringLiteral("  ") + FieldText(field);
    return line;
}

} // namespace pestrel
