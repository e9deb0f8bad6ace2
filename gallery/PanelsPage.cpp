// The panels page: image panels in the three draw modes, the progress bars, the track bars that
// drive them and a tool bar.

#include "gallery/GalleryLog.h"
#include "gallery/GalleryPages.h"
#include "skin/SkinBitmaps.h"
#include "skin/bars/SUIProgressBar.h"
#include "skin/bars/SUIToolBar.h"
#include "skin/bars/SUITrackBar.h"
#include "skin/containers/SUIImagePanel.h"
#include "skin/containers/SUIPageControl.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace pestrel::gallery {
namespace {

TsuiImagePanel* ImagePanel(TsuiTabSheet* page, const char* name, const char* picture,
                           TsuiDrawStyle drawStyle, TAlignment alignment, const char* caption) {
    auto* panel = new TsuiImagePanel(page);
    panel->setObjectName(name);
    panel->setPicture(SkinBitmap(picture));
    panel->setDrawStyle(drawStyle);
    panel->setAlignment(alignment);
    panel->setCaption(caption);
    panel->setMinimumSize(160, 44);
    QObject::connect(panel, &TsuiImagePanel::OnClick, panel,
                     [panel] { LogEvent(panel, "OnClick", panel->Caption()); });
    return panel;
}

TsuiProgressBar* ProgressBar(TsuiTabSheet* page, const char* name,
                             TsuiProgressBarOrientation orientation) {
    auto* bar = new TsuiProgressBar(page);
    bar->setObjectName(name);
    bar->setAccessibleName(QStringLiteral("Progress"));
    bar->setOrientation(orientation);
    return bar;
}

// A track bar whose position the progress bar `shows` follows.
TsuiTrackBar* TrackBar(TsuiTabSheet* page, const char* name, TsuiProgressBarOrientation orientation,
                       TsuiProgressBar* shows) {
    auto* bar = new TsuiTrackBar(page);
    bar->setObjectName(name);
    bar->setAccessibleName(QStringLiteral("Progress to show"));
    bar->setOrientation(orientation);
    bar->setPosition(shows->Position());
    QObject::connect(bar, &TsuiTrackBar::OnChange, bar, [bar, shows] {
        LogEvent(bar, "OnChange", bar->Position());
        shows->setPosition(bar->Position());
    });
    return bar;
}

TsuiToolBar* ToolBar(TsuiTabSheet* page) {
    auto* bar = new TsuiToolBar(page);
    bar->setObjectName("toolBar1");
    bar->setShowCaptions(true);
    const QStyle* style = page->style();
    struct Button {
        const char* name;
        const char* caption;
        QStyle::StandardPixmap icon;
        bool checkable;
    };
    const Button buttons[] = {
        {"toolButtonNew", "New", QStyle::SP_FileIcon, false},
        {"toolButtonOpen", "Open", QStyle::SP_DirOpenIcon, false},
        {"toolButtonSave", "Save", QStyle::SP_DialogSaveButton, false},
        {"toolButtonPin", "Pin", QStyle::SP_DialogApplyButton, true},
    };
    for (const Button& b : buttons) {
        QAction* action = bar->addAction(style->standardIcon(b.icon), b.caption);
        action->setCheckable(b.checkable);
        action->setChecked(b.checkable); // so that the checked look shows from the start
        QWidget* button = bar->widgetForAction(action);
        button->setObjectName(b.name);
        QObject::connect(action, &QAction::triggered, button,
                         [button](bool checked) { LogEvent(button, "OnClick", checked ? 1 : 0); });
    }
    return bar;
}

} // namespace

void CreatePanelsPage(TsuiTabSheet* page) {
    using enum TsuiProgressBarOrientation;
    auto* progress1 = ProgressBar(page, "progressBar1", suiHorizontal);
    auto* progress2 = ProgressBar(page, "progressBar2", suiVertical);
    progress2->setPosition(30);

    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(10);
    grid->addWidget(ToolBar(page), 0, 0, 1, 3);
    grid->addWidget(ImagePanel(page, "imagePanel1", "MACOS_FORM_BACKGROUND", TsuiDrawStyle::suiTile,
                               TAlignment::taCenter, "Tiled picture"),
                    1, 0);
    grid->addWidget(ImagePanel(page, "imagePanel2", "WINXP_TITLE_CLIENT", TsuiDrawStyle::suiStretch,
                               TAlignment::taLeftJustify, "Stretched picture"),
                    2, 0);
    auto* transparent = ImagePanel(page, "imagePanel3", "MAINICON", TsuiDrawStyle::suiNormal,
                                   TAlignment::taRightJustify, "Transparent, as is");
    transparent->setTransparent(true);
    grid->addWidget(transparent, 3, 0);
    grid->addWidget(new QLabel("Progress bar, driven by the track bar below", page), 4, 0);
    grid->addWidget(progress1, 5, 0);
    grid->addWidget(TrackBar(page, "trackBar1", suiHorizontal, progress1), 6, 0);
    grid->addWidget(progress2, 1, 1, 6, 1, Qt::AlignHCenter);
    grid->addWidget(TrackBar(page, "trackBar2", suiVertical, progress2), 1, 2, 6, 1,
                    Qt::AlignHCenter);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(0, 1);
}

} // namespace pestrel::gallery
