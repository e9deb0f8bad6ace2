<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutForm</name>
    <message>
        <source>作者：Pestrel 开发组</source>
        <translation>By the Pestrel developers</translation>
    </message>
    <message>
        <source>pestrel@example.org</source>
        <translation>pestrel@example.org</translation>
    </message>
    <message>
        <source>https://pestrel.example.org/</source>
        <translation>https://pestrel.example.org/</translation>
    </message>
    <message>
        <source>2026</source>
        <translation>2026</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Pestrel</source>
        <translation>Pestrel</translation>
    </message>
    <message>
        <source>杀毒</source>
        <translation>Kill</translation>
    </message>
    <message>
        <source>病毒列表</source>
        <translation>Virus list</translation>
    </message>
    <message>
        <source>清空列表</source>
        <translation>Clear list</translation>
    </message>
    <message>
        <source>添加病毒进程名</source>
        <translation>Add a virus</translation>
    </message>
    <message>
        <source>或者可疑程序：</source>
        <translation>name or file:</translation>
    </message>
    <message>
        <source>添加到列表</source>
        <translation>Add to list</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>进程列表</source>
        <translation>Processes</translation>
    </message>
    <message>
        <source>结束进程</source>
        <translation>End process</translation>
    </message>
    <message>
        <source>进程路径</source>
        <translation>Paths</translation>
    </message>
    <message>
        <source>病毒路径</source>
        <translation>Virus paths</translation>
    </message>
    <message>
        <source>所有进程路径</source>
        <translation>All paths</translation>
    </message>
    <message>
        <source>请先点击&quot;进程路径&quot;-&gt;&quot;所有进程路径&quot;,将可疑进程添加到列表中.</source>
        <translation>Find suspects under Paths, All paths; add them.</translation>
    </message>
    <message>
        <source>删除此项</source>
        <translation>Delete this item</translation>
    </message>
    <message>
        <source>编辑此项</source>
        <translation>Edit this item</translation>
    </message>
    <message>
        <source>保存列表</source>
        <translation>Save list</translation>
    </message>
</context>
<context>
    <name>pestrel::ActionText</name>
    <message>
        <source>内容匹配</source>
        <translation>Content match</translation>
    </message>
    <message>
        <source>扫描</source>
        <translation>Scan</translation>
    </message>
    <message>
        <source>结束进程</source>
        <translation>End process</translation>
    </message>
    <message>
        <source>备份</source>
        <translation>Back up</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>下次启动时删除</source>
        <translation>Delete at next start</translation>
    </message>
    <message>
        <source>删除启动项</source>
        <translation>Delete start-up value</translation>
    </message>
    <message>
        <source>删除自启动项</source>
        <translation>Remove autostart entry</translation>
    </message>
    <message>
        <source>删除快捷方式</source>
        <translation>Delete shortcut</translation>
    </message>
    <message>
        <source>删除计划任务</source>
        <translation>Delete scheduled task</translation>
    </message>
    <message>
        <source>删除自启动文件</source>
        <translation>Delete autostart file</translation>
    </message>
    <message>
        <source>删除链接</source>
        <translation>Delete link</translation>
    </message>
    <message>
        <source>删除服务单元</source>
        <translation>Delete service unit</translation>
    </message>
    <message>
        <source>删除定时任务行</source>
        <translation>Remove crontab line</translation>
    </message>
    <message>
        <source>修复</source>
        <translation>Repair</translation>
    </message>
    <message>
        <source>恢复</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>恢复注册表值</source>
        <translation>Restore registry value</translation>
    </message>
    <message>
        <source>恢复链接</source>
        <translation>Restore link</translation>
    </message>
    <message>
        <source>恢复定时任务行</source>
        <translation>Restore crontab line</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>拒绝运行</source>
        <translation>Refuse to run</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
</context>
<context>
    <name>pestrel::CommandLine</name>
    <message>
        <source>Removes harmful programs by the name of their program file. Without options the window opens.</source>
        <translation>Removes harmful programs by the name of their program file. Without options the window opens.</translation>
    </message>
    <message>
        <source>Run one kill pass over the list, without a window.</source>
        <translation>Run one kill pass over the list, without a window.</translation>
    </message>
    <message>
        <source>Read the names from FILE instead of VirusList.txt.</source>
        <translation>Read the names from FILE instead of VirusList.txt.</translation>
    </message>
    <message>
        <source>Skip the repairs of hijacked settings.</source>
        <translation>Skip the repairs of hijacked settings.</translation>
    </message>
    <message>
        <source>Show what --kill would do and change nothing.</source>
        <translation>Show what --kill would do and change nothing.</translation>
    </message>
    <message>
        <source>Show every deletion kept for undo.</source>
        <translation>Show every deletion kept for undo.</translation>
    </message>
    <message>
        <source>Put back the latest deleted files and start-up values of each NAME (of every name without one).</source>
        <translation>Put back the latest deleted files and start-up values of each NAME (of every name without one).</translation>
    </message>
    <message>
        <source>With --wine-prefix: let a registry change end the prefix&apos;s wineserver.</source>
        <translation>With --wine-prefix: let a registry change end the prefix&apos;s wineserver.</translation>
    </message>
    <message>
        <source>With --restore: the names to put back.</source>
        <translation>With --restore: the names to put back.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Unexpected argument &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>--stop-wine goes with --wine-prefix.</source>
        <translation>--stop-wine goes with --wine-prefix.</translation>
    </message>
    <message>
        <source>Also match the files below DIR against the list&apos;s hash lines (links are not followed). May be given more than once.</source>
        <translation>Also match the files below DIR against the list&apos;s hash lines (links are not followed). May be given more than once.</translation>
    </message>
    <message>
        <source>Also match files with the YARA rules of every *.yar file in DIR (those of the Rules folder beside the list always count). May be given more than once.</source>
        <translation>Also match files with the YARA rules of every *.yar file in DIR (those of the Rules folder beside the list always count). May be given more than once.</translation>
    </message>
    <message>
        <source>Write one JSON object per line instead of TAB-separated fields.</source>
        <translation>Write one JSON object per line instead of TAB-separated fields.</translation>
    </message>
    <message>
        <source>Keep the listed programs from running until ended by SIGTERM: refuse their start (as root), end them, and remove listed files as they appear. SIGHUP reloads the list.</source>
        <translation>Keep the listed programs from running until ended by SIGTERM: refuse their start (as root), end them, and remove listed files as they appear. SIGHUP reloads the list.</translation>
    </message>
    <message>
        <source>--kill, --guard, --list-backups, --restore and --autostart go alone.</source>
        <translation>--kill, --guard, --list-backups, --restore and --autostart go alone.</translation>
    </message>
    <message>
        <source>--list goes with --kill, --autostart or --guard.</source>
        <translation>--list goes with --kill, --autostart or --guard.</translation>
    </message>
    <message>
        <source>--json goes with --kill, --list-backups, --restore or --autostart.</source>
        <translation>--json goes with --kill, --list-backups, --restore or --autostart.</translation>
    </message>
    <message>
        <source>Nothing to do: give --kill, --guard, --list-backups, --restore or --autostart.</source>
        <translation>Nothing to do: give --kill, --guard, --list-backups, --restore or --autostart.</translation>
    </message>
    <message>
        <source>Clean the Wine prefix DIR (its folders, programs and registry). With --guard it may be given more than once: one guard watches every prefix.</source>
        <translation>Clean the Wine prefix DIR (its folders, programs and registry). With --guard it may be given more than once: one guard watches every prefix.</translation>
    </message>
    <message>
        <source>--wine-prefix goes more than once only with --guard.</source>
        <translation>--wine-prefix goes more than once only with --guard.</translation>
    </message>
    <message>
        <source>Hash and scan by rules only files up to SIZE bytes (a K, M, G or T after the number counts 1024s; 256M when not given). Larger files are skipped, a line each.</source>
        <translation>Hash and scan by rules only files up to SIZE bytes (a K, M, G or T after the number counts 1024s; 256M when not given). Larger files are skipped, a line each.</translation>
    </message>
    <message>
        <source>--scan, --rules, --max-file-size, --no-repair and --dry-run go with --kill.</source>
        <translation>--scan, --rules, --max-file-size, --no-repair and --dry-run go with --kill.</translation>
    </message>
    <message>
        <source>--max-file-size takes a size such as 512M or 2G, not &apos;%1&apos;.</source>
        <translation>--max-file-size takes a size such as 512M or 2G, not &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>Besides the start-up values named like an entry, take a listed program out of every autostart place that starts it, whatever the place calls it, and delete the program files those places name (each with the rights of the place&apos;s owner).</source>
        <translation>Besides the start-up values named like an entry, take a listed program out of every autostart place that starts it, whatever the place calls it, and delete the program files those places name (each with the rights of the place&apos;s owner).</translation>
    </message>
    <message>
        <source>List every autostart entry: place, name, program, &apos;listed&apos; when a name of the list matches, and which pass takes it: &apos;pass&apos; (every pass: a start-up value named like an entry) or &apos;clean-autostart&apos; (only with --clean-autostart).</source>
        <translation>List every autostart entry: place, name, program, &apos;listed&apos; when a name of the list matches, and which pass takes it: &apos;pass&apos; (every pass: a start-up value named like an entry) or &apos;clean-autostart&apos; (only with --clean-autostart).</translation>
    </message>
    <message>
        <source>--clean-autostart goes with --kill or --guard.</source>
        <translation>--clean-autostart goes with --kill or --guard.</translation>
    </message>
</context>
<context>
    <name>pestrel::DialogButtons</name>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>pestrel::EngineText</name>
    <message>
        <source>列表中的病毒已经清杀完毕,建议重新启动一下计算机!</source>
        <translation>Viruses removed; please restart the computer!</translation>
    </message>
    <message>
        <source>Pestrel 以 root 身份运行，但其他用户也能改动这些文件夹（不属于 root，或组和其他用户可写）：%1。为免有人借 root 的权限改写或删除别处的文件，Pestrel 不做任何改动。请把这些文件夹交给 root 并去掉组和其他用户的写权限，或者不用 root 运行。</source>
        <translation>Pestrel runs as root, but other users can change these folders (not owned by root, or writable by group and others): %1. So that nobody can use root&apos;s rights to rewrite or delete files elsewhere, Pestrel changes nothing. Give these folders to root and take away the write permission of group and others, or do not run as root.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>pestrel::PassRules</name>
    <message>
        <source>规则未用：%1</source>
        <translation>Rules left out: %1</translation>
    </message>
</context>
<context>
    <name>pestrel::RunCommandLine</name>
    <message>
        <source>cannot read the list &apos;%1&apos;</source>
        <translation>cannot read the list &apos;%1&apos;</translation>
    </message>
    <message>
        <source>the list &apos;%1&apos; is not text (it holds control bytes)</source>
        <translation>the list &apos;%1&apos; is not text (it holds control bytes)</translation>
    </message>
    <message>
        <source>dry run, %1 changes not made</source>
        <translation>dry run, %1 changes not made</translation>
    </message>
    <message>
        <source>cannot read the journal &apos;%1&apos;</source>
        <translation>cannot read the journal &apos;%1&apos;</translation>
    </message>
    <message>
        <source>no deletion of &apos;%1&apos; is recorded</source>
        <translation>no deletion of &apos;%1&apos; is recorded</translation>
    </message>
    <message>
        <source>cannot mark the restored items in &apos;%1&apos;</source>
        <translation>cannot mark the restored items in &apos;%1&apos;</translation>
    </message>
    <message>
        <source>stopped: %1</source>
        <translation>stopped: %1</translation>
    </message>
    <message>
        <source>rules are not matched on Windows: use hash lines</source>
        <translation>rules are not matched on Windows: use hash lines</translation>
    </message>
</context>
<context>
    <name>pestrel::RunGuard</name>
    <message>
        <source>guarding: listed programs are refused before they start</source>
        <translation>guarding: listed programs are refused before they start</translation>
    </message>
    <message>
        <source>cannot refuse program starts (%1): listed programs are ended as soon as they are seen, not refused</source>
        <translation>cannot refuse program starts (%1): listed programs are ended as soon as they are seen, not refused</translation>
    </message>
    <message>
        <source>program starts are not watched on %1</source>
        <translation>program starts are not watched on %1</translation>
    </message>
    <message>
        <source>cannot watch the folder &apos;%1&apos;</source>
        <translation>cannot watch the folder &apos;%1&apos;</translation>
    </message>
    <message>
        <source>cannot read the list &apos;%1&apos;: the last one stays</source>
        <translation>cannot read the list &apos;%1&apos;: the last one stays</translation>
    </message>
</context>
<context>
    <name>pestrel::TMainForm</name>
    <message>
        <source>Readme.txt</source>
        <translation>Readme.en.txt</translation>
    </message>
    <message>
        <source>错误：文件%1不存在！</source>
        <translation>Error: the file %1 does not exist!</translation>
    </message>
    <message>
        <source>列表已经保存！</source>
        <translation>The list has been saved!</translation>
    </message>
    <message>
        <source>确实要清空病毒列表吗?</source>
        <translation>Do you really want to clear the virus list?</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>恢复...</source>
        <translation>Restore...</translation>
    </message>
    <message>
        <source>病毒文件(*.exe;*.dll)</source>
        <translation>Virus files (*.exe;*.dll)</translation>
    </message>
    <message>
        <source>所有文件(*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>清除所有自启动项</source>
        <translation>Clean every autostart place</translation>
    </message>
</context>
<context>
    <name>pestrel::TRestoreWindow</name>
    <message>
        <source>恢复</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Place</translation>
    </message>
    <message>
        <source>无法读取 %1</source>
        <translation>Cannot read %1</translation>
    </message>
    <message>
        <source>无法读取或改写 %1</source>
        <translation>Cannot read or update %1</translation>
    </message>
</context>
<context>
    <name>pestrel::TTextWindow</name>
    <message>
        <source>错误：无法读取文件%1！</source>
        <translation>Error: cannot read the file %1!</translation>
    </message>
</context>
<context>
    <name>pestrel::TsuiSideChannel</name>
    <message>
        <source>Keep %1 open</source>
        <translation>Keep %1 open</translation>
    </message>
</context>
<context>
    <name>pestrel::TsuiTitleBar</name>
    <message>
        <source>最大化</source>
        <translation>Maximize</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>窗口菜单</source>
        <translation>Window menu</translation>
    </message>
    <message>
        <source>按钮 %1</source>
        <translation>Button %1</translation>
    </message>
</context>
<context>
    <name>pestrel::TsuiToolBar</name>
    <message>
        <source>More buttons</source>
        <translation>More buttons</translation>
    </message>
</context>
<context>
    <name>pestrel::WatchWine</name>
    <message>
        <source>Wine 正在运行，注册表暂不改动</source>
        <translation>Wine runs: registry not changed yet</translation>
    </message>
    <message>
        <source>Wine 正在运行，注册表未改动</source>
        <translation>Wine runs: registry left unchanged</translation>
    </message>
</context>
</TS>
