#pragma once
// Windows: the forms name 宋体 (SimSun), Tahoma and MS Sans Serif. Where Windows has no Chinese
// face (a Windows of another language, a new Wine prefix), the program carries WenQuanYi Micro
// Hei in fonts\ beside itself and loads it for itself alone; the interface font then draws the
// named faces that are missing with it.

#include <QString>

namespace pestrel {

// The stand-in file beside the program, relative to the program's folder.
inline constexpr const char* kStandInFaceFile = "fonts/wqy-microhei.ttc";

// Loads the stand-in from `programFolder` when no face of the system covers Simplified Chinese;
// whether it was loaded. Call once the application object exists, before UseInterfaceFont.
bool LoadStandInFaceWhereMissing(const QString& programFolder);

} // namespace pestrel
