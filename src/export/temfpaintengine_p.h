#pragma once

// The paint engine behind TEmfDevice: turns QPainter calls into EMF records.

#include <QBrush>
#include <QByteArray>
#include <QFont>
#include <QPaintEngine>
#include <QPen>
#include <QTransform>

class TEmfDevice;

class TEmfPaintEngine : public QPaintEngine {
public:
    // Record types of the Enhanced Metafile format.
    enum Record : quint32 {
        EmrHeader = 1,
        EmrPolygon = 3,
        EmrPolyline = 4,
        EmrPolyBezierTo = 5,
        EmrEof = 14,
        EmrSetMapMode = 17,
        EmrSetBkMode = 18,
        EmrSetPolyFillMode = 19,
        EmrSetTextAlign = 22,
        EmrSetTextColor = 24,
        EmrMoveToEx = 27,
        EmrSelectObject = 37,
        EmrCreateBrushIndirect = 39,
        EmrDeleteObject = 40,
        EmrRectangle = 43,
        EmrLineTo = 54,
        EmrBeginPath = 59,
        EmrEndPath = 60,
        EmrCloseFigure = 61,
        EmrFillPath = 62,
        EmrStrokeAndFillPath = 63,
        EmrStrokePath = 64,
        EmrStretchDIBits = 81,
        EmrExtCreateFontIndirectW = 82,
        EmrExtTextOutW = 84,
        EmrExtCreatePen = 95,
    };
    //! Object table slots: 0 is reserved, then pen, brush and font.
    static constexpr quint32 HandleCount = 4;

    explicit TEmfPaintEngine(TEmfDevice *device);

    bool begin(QPaintDevice *device) override;
    bool end() override;
    void updateState(const QPaintEngineState &state) override;
    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override;
    void drawRects(const QRectF *rects, int count) override;
    void drawLines(const QLineF *lines, int count) override;
    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override;
    void drawImage(const QRectF &r, const QImage &image, const QRectF &sr,
        Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF &p, const QTextItem &textItem) override;
    Type type() const override { return User; }

    const QByteArray &records() const { return m_records; }
    quint32 recordCount() const { return m_recordCount; }

private:
    void emitRecord(quint32 type, const QByteArray &payload);
    void emitDefaults();
    void selectPen();
    void selectBrush();
    void selectFont(const QFont &font);
    void replaceObject(quint32 slot, quint32 stockObject, quint32 type, const QByteArray &body);
    bool fillable() const { return m_brush.style() != Qt::NoBrush; }
    bool strokable() const { return m_pen.style() != Qt::NoPen; }

    TEmfDevice *m_device;
    QByteArray m_records;
    quint32 m_recordCount = 0;
    QTransform m_transform;
    QPen m_pen;
    QBrush m_brush;
    QFont m_font;
    bool m_penDirty = true;
    bool m_brushDirty = true;
    QString m_fontKey;
    quint32 m_textColour = 0xFFFFFFFF;
    int m_fillMode = 0;
    bool m_defaultsWritten = false;
};
