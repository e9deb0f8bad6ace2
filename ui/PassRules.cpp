#include "ui/PassRules.h"

#include "engine/Context.h"
#include "ui/ListEntries.h"
#ifndef _WIN32
#include "rules/YaraRules.h"
#endif

#include <QCoreApplication>

namespace pestrel {

PassRules LoadPassRules([[maybe_unused]] const Context& context) {
    PassRules pass;
#ifndef _WIN32
    RulesLoad load = LoadListRules(context.platform, context.AppPath);
    pass.rules = std::move(load.rules);
    QStringList lines;
    for (const std::string& problem : load.problems)
        lines << ShownText(problem);
    if (!lines.isEmpty())
        pass.problems = QCoreApplication::translate("pestrel::PassRules", "规则未用：%1")
                            .arg(lines.join(QStringLiteral("; ")));
#endif
    return pass;
}

} // namespace pestrel
