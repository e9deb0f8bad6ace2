#include "ui/Clicks.h"

#include <QObject>

namespace pestrel {
namespace {

class ClickRelay : public QObject {
    Q_OBJECT
public:
    ClickRelay(QObject* button, std::function<void()> action)
        : QObject(button), action_(std::move(action)) {
        connect(button, SIGNAL(clicked()), this, SLOT(relay()));
    }

private slots:
    void relay() { action_(); }

private:
    std::function<void()> action_;
};

} // namespace

void OnClicked(QObject* button, std::function<void()> action) {
    new ClickRelay(button, std::move(action));
}

} // namespace pestrel

#include "Clicks.moc"
