// A program folder where nothing can be written: the window opens with the list on disk, saving
// says nothing, and a kill pass runs to its end; the stored list stays as it was.

#include "tests/ui/UiTest.h"

#include <QAction>
#include <filesystem>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pestrel::test {
namespace {

namespace fs = std::filesystem;

// Folder permissions bind the administrator too while this lives: the rights to override them
// leave the current thread, and the threads it starts meanwhile.
class WithoutOverrideRights {
public:
    WithoutOverrideRights() {
        ::syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        ::syscall(SYS_capset, &header_, reduced);
    }
    ~WithoutOverrideRights() { ::syscall(SYS_capset, &header_, saved_); }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

class UnwritableFolderTest : public UiTest {};

TEST_F(UnwritableFolderTest, WindowWorksAndTheStoredListIsKept) {
    const std::string list = "ui-a.exe\r\n\r\nui-b.exe\r\n";
    WriteFile(appFile("VirusList.txt"), list);
    fs::permissions(appFile(""), fs::perms::owner_read | fs::perms::owner_exec);
    {
        WithoutOverrideRights rights;
        showForm();
        EXPECT_EQ(form->virusEntryCount(), 2);
        EXPECT_FALSE(fs::exists(appFile("Config.ini")));

        form->setStatusText("");
        control<QAction>("NSave")->trigger();
        EXPECT_EQ(status(), "");

        press("SBPestrel");
        finishWorkers();
        EXPECT_FALSE(fs::exists(appFile("Temp")));
        form.reset();
    }
    fs::permissions(appFile(""), fs::perms::owner_all);
    EXPECT_EQ(ReadFile(appFile("VirusList.txt")), list);
}

} // namespace
} // namespace pestrel::test
