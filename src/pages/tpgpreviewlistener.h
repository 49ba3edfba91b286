#pragma once

/// @file tpgpreviewlistener.h
/// How controls follow a preview.

#include <QList>

class TPgPreview;

/// Kinds of change a preview reports to its registered controls. The values are fixed.
enum class TPgNotification {
    PagesPerSheetChanged = 7034,
    AppearanceChanged = 7035,
    OrientationChanged = 7036,
    PagesChanged = 7038,
    PageCountChanged = 7039,
    PrinterChanged = 7042,
    BeginUpdate = 7043,
    EndUpdate = 7044,
    PaperSizeChanged = 7045,
    CurrentPageChanged = 7047,
};

/// A control that follows a preview (thumbnails, navigator, property lists). Register it
/// with TPgPreview::RegisterControl(); notifications arrive synchronously, in registration
/// order, never while the preview's page list is in an update. A listener that is
/// destroyed unregisters itself, and a destroyed preview forgets its listeners.
class TPgPreviewListener
{
public:
    virtual ~TPgPreviewListener();
    virtual void PreviewNotification(TPgPreview *preview, TPgNotification kind) = 0;

private:
    friend class TPgPreview;
    QList<TPgPreview *> m_previews;
};
