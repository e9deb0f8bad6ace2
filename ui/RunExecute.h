#pragma once
// The window's one worker class. It is made for one job, is started at once by the window's
// worker gate, runs that job and is deleted by the gate when it has ended. It reaches the window
// only through calls carried out on the UI thread; the worker waits for each of them, except for
// the moves of the list's marker, which it hands over at most once a frame.

#include <QThread>

namespace pestrel {

class TMainForm;

// The status text a kill pass that went through leaves standing for a while.
inline constexpr const char* kKillPassDoneText = "列表中的病毒已经清杀完毕,建议重新启动一下计算机!";

// How long the timed jobs wait; the program uses these, tests shorten them.
struct RunWaits {
    unsigned killPassDoneMs = 6000;      // the completion message of a kill pass stays
    unsigned clearProcessListMs = 30000; // until the process list is emptied
    unsigned lockAllPathsMs = 8000;      // the all-paths button stays disabled
    unsigned clearStatusMs = 8000;       // until a save message is cleared
};

// What a worker is started for.
enum class WorkerJob {
    KillPass,           // the kill pass over the virus list
    ClearProcessList,   // the process list emptied after a while
    LockAllPathsButton, // the all-paths button disabled for a while
    ClearStatusText,    // a save message cleared after a while
};

class TRunExecute final : public QThread {
public:
    TRunExecute(TMainForm& form, WorkerJob job);

protected:
    void run() override;

private:
    TMainForm& form_;
    const WorkerJob job_;
};

} // namespace pestrel
