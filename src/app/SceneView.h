#pragma once

#include "pictures/SceneAxes.h"

#include <QPoint>
#include <QTransform>
#include <QWidget>

#include <memory>
#include <optional>

class CScene;

// The scene picture of the View tab: the mouse wheel zooms at the cursor,
// dragging pans, and the object under the cursor is reported for the status
// line. A new scene keeps the zoom and pan; only Fit() resets them.
class CSceneView : public QWidget {
    Q_OBJECT

public:
    explicit CSceneView(QWidget* parent = nullptr);
    ~CSceneView() override;

    // Shows `scene`, or, when it is null, `message` in its place; with a
    // scene, a message is written over it.
    void SetScene(std::unique_ptr<const CScene> scene, const QString& message = {});
    void SetAxes(SceneAxes axes);
    [[nodiscard]] SceneAxes Axes() const { return m_axes; }
    // Fits the whole scene into the widget.
    void Fit();

    // From the game's plane to the widget, as drawn now.
    [[nodiscard]] QTransform ToPicture();
    [[nodiscard]] const CScene* Scene() const { return m_scene.get(); }

    // Zooms by `factor` keeping the point `at` (widget pixels) in place.
    void ZoomAt(QPointF at, double factor);

signals:
    // What lies under the cursor, or an empty text.
    void Hovered(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void ReportHit(QPointF at);
    // Fits now if a fit waits for the widget's final size.
    void FitIfDue();

    std::unique_ptr<const CScene> m_scene;
    QString m_message;
    SceneAxes m_axes = SceneAxes::Top;
    // What is shown: the game point at the widget's centre and the pixels
    // per game unit. Kept as such, so that a resize or a tab change keeps
    // the centre where it was.
    QPointF m_centre;
    double m_scale = 1;
    bool m_fitDue = true; // a fit waits for the first scene or for "Fit"
    std::optional<QPoint> m_dragFrom;
};
