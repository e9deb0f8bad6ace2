#pragma once
// The shutdown test runs the window in a child process that plays the real program: it starts
// long workers, closes the main window and ends when the message loop ends.

namespace pestrel::test {

inline constexpr const char* kShutdownChildOption = "--shutdown-child";
int RunShutdownChild();

} // namespace pestrel::test
