#include "skin/SUIMessages.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <utility>

namespace pestrel {
namespace {

TsuiInformationHandler& InformationHandler() {
    static TsuiInformationHandler handler = [](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                        QMessageBox::Ok);
        box.exec();
    };
    return handler;
}

} // namespace

TsuiInformationHandler SetSkinInformationHandler(TsuiInformationHandler handler) {
    return std::exchange(InformationHandler(), std::move(handler));
}

void ShowSkinInformation(const QString& text) {
    if (InformationHandler())
        InformationHandler()(text);
}

} // namespace pestrel
