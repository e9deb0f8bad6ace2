#include "ui/ActionText.h"

#include "ui/ListEntries.h"

#include <QCoreApplication>
#include <map>

namespace pestrel {
namespace {

constexpr const char* kContext = "pestrel::ActionText";

// What each verb of the engine did or would do, in the source language; translated when shown.
const std::map<PassVerb, const char*> kVerbTexts = {
    {PassVerb::Match, QT_TRANSLATE_NOOP("pestrel::ActionText", "内容匹配")},
    {PassVerb::Scan, QT_TRANSLATE_NOOP("pestrel::ActionText", "扫描")},
    {PassVerb::Terminate, QT_TRANSLATE_NOOP("pestrel::ActionText", "结束进程")},
    {PassVerb::Backup, QT_TRANSLATE_NOOP("pestrel::ActionText", "备份")},
    {PassVerb::Delete, QT_TRANSLATE_NOOP("pestrel::ActionText", "删除")},
    {PassVerb::Pending, QT_TRANSLATE_NOOP("pestrel::ActionText", "下次启动时删除")},
    {PassVerb::RegDelete, QT_TRANSLATE_NOOP("pestrel::ActionText", "删除启动项")},
    {PassVerb::Autostart, QT_TRANSLATE_NOOP("pestrel::ActionText", "删除自启动项")},
    {PassVerb::Shortcut, QT_TRANSLATE_NOOP("pestrel::ActionText", "删除快捷方式")},
    {PassVerb::Task, QT_TRANSLATE_NOOP("pestrel::ActionText", "删除计划任务")},
    {PassVerb::Desktop, QT_TRANSLATE_NOOP("pestrel::ActionText", "删除自启动文件")},
    {PassVerb::Link, QT_TRANSLATE_NOOP("pestrel::ActionText", "删除链接")},
    {PassVerb::Unit, QT_TRANSLATE_NOOP("pestrel::ActionText", "删除服务单元")},
    {PassVerb::Cron, QT_TRANSLATE_NOOP("pestrel::ActionText", "删除定时任务行")},
    {PassVerb::Repair, QT_TRANSLATE_NOOP("pestrel::ActionText", "修复")},
    {PassVerb::Restore, QT_TRANSLATE_NOOP("pestrel::ActionText", "恢复")},
    {PassVerb::RegRestore, QT_TRANSLATE_NOOP("pestrel::ActionText", "恢复注册表值")},
    {PassVerb::Relink, QT_TRANSLATE_NOOP("pestrel::ActionText", "恢复链接")},
    {PassVerb::CronRestore, QT_TRANSLATE_NOOP("pestrel::ActionText", "恢复定时任务行")},
    {PassVerb::Skip, QT_TRANSLATE_NOOP("pestrel::ActionText", "跳过")},
    {PassVerb::Denied, QT_TRANSLATE_NOOP("pestrel::ActionText", "拒绝运行")},
};

// A verb without a text of its own shows as the engine names it.
QString VerbText(PassVerb verb) {
    const auto found = kVerbTexts.find(verb);
    return found == kVerbTexts.end() ? FieldText(VerbName(verb))
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
