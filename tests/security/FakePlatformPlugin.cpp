// A library that says it is Qt's wayland platform plugin. Loading it runs its constructor,
// which creates the file PESTREL_FAKE_PLUGIN_MARK names: the mark that code of the user's ran.
#include <QObject>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

__attribute__((constructor)) void MarkLoading() {
    if (const char* mark = std::getenv("PESTREL_FAKE_PLUGIN_MARK")) {
        const int fd = ::open(mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::close(fd);
    }
}

} // namespace

class FakePlatformPlugin : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3" FILE
                          "FakePlatformPlugin.json")
};

#include "FakePlatformPlugin.moc"
