#include "app/SceneView.h"

#include "pictures/Scene.h"
#include "pictures/SceneHit.h"
#include "pictures/ScenePainter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

CSceneView::CSceneView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(200, 150);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::OpenHandCursor);
}

CSceneView::~CSceneView() = default;

void CSceneView::SetScene(std::unique_ptr<const CScene> scene, const QString& message) {
    m_scene = std::move(scene);
    m_message = message;
    update();
}

void CSceneView::SetAxes(SceneAxes axes) {
    if (axes != m_axes) {
        m_axes = axes;
        Fit(); // the other plane has other bounds
    }
}

void CSceneView::Fit() {
    // Done at the next paint, when the layout has given the widget its size.
    m_fitDue = true;
    update();
}

void CSceneView::FitIfDue() {
    if (!m_fitDue || !m_scene || width() <= 0 || height() <= 0) {
        return;
    }
    const QTransform fitted = CScenePainter::Fit(m_scene->Bounds(m_axes), QRectF(rect()));
    m_scale = fitted.m11();
    m_centre = fitted.inverted().map(QRectF(rect()).center());
    m_fitDue = false;
}

QTransform CSceneView::ToPicture() {
    FitIfDue();
    return QTransform(m_scale, 0, 0, -m_scale, width() / 2.0 - m_scale * m_centre.x(),
                      height() / 2.0 + m_scale * m_centre.y());
}

void CSceneView::ZoomAt(QPointF at, double factor) {
    // The game point under `at` stays there.
    const QPointF held = ToPicture().inverted().map(at);
    m_scale *= factor;
    m_centre = QPointF(held.x() - (at.x() - width() / 2.0) / m_scale,
                       held.y() + (at.y() - height() / 2.0) / m_scale);
    update();
}

void CSceneView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_scene) {
        painter.fillRect(rect(), palette().window());
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                         m_message);
        return;
    }
    CScenePainter::Draw(painter, *m_scene, m_axes, ToPicture(), QRectF(rect()));
    if (!m_message.isEmpty()) {
        painter.setPen(QColor(255, 200, 120));
        painter.drawText(rect().adjusted(12, 36, -12, -12),
                         Qt::AlignTop | Qt::AlignLeft | Qt::TextWordWrap, m_message);
    }
}

void CSceneView::wheelEvent(QWheelEvent* event) {
    // One notch (120) zooms by a fifth.
    const double factor = std::pow(1.2, event->angleDelta().y() / 120.0);
    ZoomAt(event->position(), factor);
    event->accept();
}

void CSceneView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragFrom = event->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
    }
}

void CSceneView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_dragFrom) {
        const QPoint moved = at - *m_dragFrom;
        m_centre -= QPointF(moved.x() / m_scale, -moved.y() / m_scale);
        m_dragFrom = at;
        update();
    }
    ReportHit(event->position());
}

void CSceneView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragFrom.reset();
        setCursor(Qt::OpenHandCursor);
    }
}

void CSceneView::leaveEvent(QEvent*) {
    emit Hovered(QString());
}

void CSceneView::ReportHit(QPointF at) {
    if (!m_scene) {
        return;
    }
    const std::optional<SceneHit> hit = HitTest(*m_scene, m_axes, ToPicture(), at);
    if (!hit) {
        emit Hovered(QString());
        return;
    }
    emit Hovered(QStringLiteral("Object %1 \"%2\", kind %3, %4 vertices%5")
                     .arg(hit->index)
                     .arg(QString::fromStdString(hit->name))
                     .arg(hit->kind)
                     .arg(hit->vertexCount)
                     .arg(hit->textureName.empty()
                              ? QString()
                              : QStringLiteral(", texture %1").arg(QString::fromStdString(hit->textureName))));
}
