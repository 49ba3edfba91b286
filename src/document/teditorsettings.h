#pragma once

#include <QColor>
#include <QString>

/// The editor settings kept in "TessaryEditor.ini": the editor's colour, the default font,
/// the zoom bar position and the page geometry in millimetres.
///
/// The file is the classic key-value text: sections in square brackets, then lines of
/// key, equals sign, value; keys contain spaces and integers are written in decimal.
/// Lines of other sections and keys are kept when the file is written again.
struct TEditorSettings {
    /// The platform colour value that names the system's window background colour.
    static constexpr int WindowBackground = -2147483643; // 0x80000005

    int EditorColour = WindowBackground;
    int DefaultFontSize = 12;
    QString DefaultFontName = QStringLiteral("Arial");
    int Zoom = 100;
    int TopMarginMm = 15;
    int LeftMarginMm = 25;
    int BottomMarginMm = 15;
    int RightMarginMm = 25;
    int HeaderMarginMm = 10;
    int FooterMarginMm = 10;

    bool operator==(const TEditorSettings &) const = default;

    /// The values of the file at @p path; a missing file, key or unreadable value gives
    /// the default.
    static TEditorSettings Load(const QString &path);
    /// Writes the values (QSaveFile: a failure leaves the old file intact).
    bool Save(const QString &path, QString *error = nullptr) const;

    static QString FileName() { return QStringLiteral("TessaryEditor.ini"); }
    /// Beside the executable, or in the user's configuration folder when the
    /// executable's folder is not writable; SetPathOverride() replaces it (tests).
    static QString Path();
    static void SetPathOverride(const QString &path);

    /// A colour value of the file as a colour: R + 256 G + 65536 B, or, with the top bit
    /// set, a system colour (the window background and the others the palette knows).
    static QColor ToColor(int value);
    /// R + 256 G + 65536 B.
    static int FromColor(const QColor &colour);
};

/// One row of the zoom table: the editor's zoom ratio (0/0 is 100 %) and the texts of
/// the status bar and the zoom label.
struct TZoomStep {
    bool applies = false; ///< false above 200: nothing changes
    int numerator = 0;
    int denominator = 0;
    QString status;
    QString label;
};

/// The zoom table for a zoom bar position.
TZoomStep ZoomForPosition(int position);
