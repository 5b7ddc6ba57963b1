#include "app/ViewPane.h"

#include "app/ImageBrowser.h"
#include "app/QuietLoad.h"
#include "app/SceneView.h"
#include "pictures/Scene.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

CViewPane::CViewPane(QWidget* parent) : QWidget(parent) {
    m_scene = new CSceneView;
    m_images = new CImageBrowser;
    m_fit = new QPushButton(QStringLiteral("Fit"));
    m_fit->setAutoDefault(false);
    m_axes = new QComboBox;
    m_axes->addItem(QStringLiteral("Top view (x, z)"));
    m_axes->addItem(QStringLiteral("Front view (x, y)"));
    m_status = new QLabel(QStringLiteral(" "));
    m_status->setTextFormat(Qt::PlainText);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_fit);
    bar->addWidget(m_axes);
    bar->addWidget(m_status, 1);
    auto* sceneSide = new QWidget;
    auto* sceneLayout = new QVBoxLayout(sceneSide);
    sceneLayout->setContentsMargins(0, 0, 0, 0);
    sceneLayout->addLayout(bar);
    sceneLayout->addWidget(m_scene, 1);

    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(sceneSide);
    split->addWidget(m_images);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    connect(m_fit, &QPushButton::clicked, m_scene, &CSceneView::Fit);
    connect(m_axes, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_scene->SetAxes(index == 1 ? SceneAxes::Front : SceneAxes::Top);
    });
    connect(m_scene, &CSceneView::Hovered, this, [this](const QString& text) {
        m_status->setText(text.isEmpty() ? QStringLiteral(" ") : text);
    });
}

void CViewPane::Reload(const std::string& ravPath, const std::string& fshPath) {
    m_images->Reload(fshPath);
    if (ravPath.empty()) {
        m_scene->SetScene(nullptr, QStringLiteral("Choose a RAV file to see its scene."));
        return;
    }
    CRavFile rav;
    std::string problem;
    if (!LoadQuietly(rav, ravPath, problem)) {
        m_scene->SetScene(nullptr, QString::fromStdString(problem));
        return;
    }
    // The browser's archive fills the quads too; its message, if it did
    // not load, stands over the untextured scene.
    const CFshFile* archive = m_images->Archive();
    m_scene->SetScene(std::make_unique<const CScene>(CScene::From(rav, archive)),
                      archive != nullptr || fshPath.empty() ? QString() : m_images->Problem());
}
