#pragma once
// The About window: the maker's line, a mail link and a homepage link. Made when first asked for,
// shown without being modal, hidden again when closed.

#include <QDialog>
#include <memory>

namespace Ui {
class AboutForm;
}

namespace pestrel {

class DesktopOpener;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    // Takes the application title as its caption now.
    explicit TAboutForm(DesktopOpener& desktop, QWidget* parent = nullptr);
    ~TAboutForm() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void Image1Click();
    void LemailClick();
    void LHomePageClick();

    std::unique_ptr<Ui::AboutForm> ui_;
    DesktopOpener& desktop_;
};

} // namespace pestrel
