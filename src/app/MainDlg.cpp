#include "app/MainDlg.h"

#include "app/WindowServices.h"
#include "filters/Filter.h"
#include "output/Format.h"
#include "output/LogBuffer.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace {

constexpr char kWelcome[] = "Welcome to Polyport 0.4 (second beta release)";
constexpr char kAllFiles[] = "All files|*.*||";

constexpr std::array<const char*, 4> kTabs{"Import/Export", "RAV Tools", "FSH Tools", "About"};

enum class Kind { Label, Edit, Button, Group, Combo, Radio };

// Bit t set: the control is shown on tab t.
constexpr unsigned kExchangeTab = 1u << 0;
constexpr unsigned kRavToolsTab = 1u << 1;
constexpr unsigned kFshToolsTab = 1u << 2;
constexpr unsigned kAboutTab = 1u << 3;
constexpr unsigned kPathTabs = kExchangeTab | kRavToolsTab | kFshToolsTab;

// The controls of the input area, in tab order. The tab strip and the log
// pane are always shown and are not listed.
struct ControlRow {
    int id;
    Kind kind;
    const char* text;
    unsigned tabs;
};

constexpr ControlRow kControls[] = {
    {1000, Kind::Label, "Ravfile", kPathTabs},
    {1020, Kind::Edit, "", kPathTabs},
    {1035, Kind::Button, "...", kPathTabs},
    {1001, Kind::Label, "Textfile", kExchangeTab},
    {1021, Kind::Edit, "", kExchangeTab},
    {1036, Kind::Button, "...", kExchangeTab},
    {1003, Kind::Group, "Input / Ouput format", kExchangeTab},
    {1023, Kind::Combo, "", kExchangeTab},
    {1016, Kind::Button, "Filter options", kExchangeTab},
    {1050, Kind::Button, "Import to rav", kExchangeTab},
    {1051, Kind::Button, "Export from rav", kExchangeTab},
    {1004, Kind::Group, "Move / scale ravfile", kRavToolsTab},
    {1024, Kind::Radio, "Move (in ammount)", kRavToolsTab},
    {1025, Kind::Radio, "Scale (in factor)", kRavToolsTab},
    {1005, Kind::Label, "X:", kRavToolsTab},
    {1028, Kind::Edit, "", kRavToolsTab},
    {1007, Kind::Label, "Y:", kRavToolsTab},
    {1026, Kind::Edit, "", kRavToolsTab},
    {1006, Kind::Label, "Z:", kRavToolsTab},
    {1027, Kind::Edit, "", kRavToolsTab},
    {1052, Kind::Button, "Execute", kRavToolsTab},
    {1010, Kind::Group, "Vandomar G2 texture tools:", kRavToolsTab},
    {1053, Kind::Button, "Normalize", kRavToolsTab},
    {1054, Kind::Button, "Shader", kRavToolsTab},
    {1009, Kind::Label, "darkest Shade in %", kRavToolsTab},
    {1030, Kind::Edit, "", kRavToolsTab},
    {1002, Kind::Label, "Fshfile", kFshToolsTab},
    {1022, Kind::Edit, "", kFshToolsTab},
    {1037, Kind::Button, "...", kFshToolsTab},
    {1055, Kind::Button, "Import names to rav", kFshToolsTab},
    {1056, Kind::Button, "Create TPL file", kFshToolsTab},
    {1011, Kind::Label, "Static", kAboutTab},
};

// Each label names the field after it, for keyboard and screen-reader users.
constexpr std::pair<int, int> kBuddies[] = {{1000, 1020}, {1001, 1021}, {1002, 1022}, {1005, 1028},
                                            {1007, 1026}, {1006, 1027}, {1009, 1030}};

constexpr int kBrowseRav = 1035;
constexpr int kBrowseExchange = 1036;
constexpr int kBrowseFsh = 1037;
constexpr int kFirstCommand = kCommandImport;
constexpr int kLastCommand = kCommandCreateTpl;

constexpr char kAboutText[] = "Polyport, Version 0.4 (public beta 2)\n"
                              "Freeware: you may use it and pass it on freely, free of charge.\n"
                              "\n"
                              "No warranty: its makers take no responsibility for lost or\n"
                              "damaged data or for crashes. Keep a copy of your game files.\n"
                              "\n"
                              "Error reports and ideas are welcome on the project's issue tracker.";

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The log separates its lines with CR LF; the pane shows each as a line. A
// CR or LF of its own (a file name may hold one) is shown as a space, so that
// it does not start a line.
QString PaneText(std::string_view text) {
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "\r\n") {
            lines += '\n';
            ++i;
        } else {
            lines += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
        }
    }
    return QString::fromUtf8(lines.data(), qsizetype(lines.size()));
}

int LineEnds(std::string_view text) {
    int count = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos;
         at = text.find("\r\n", at + 2)) {
        ++count;
    }
    return count;
}

QWidget* MakeControl(const ControlRow& row) {
    const QString text = QString::fromUtf8(row.text);
    switch (row.kind) {
    case Kind::Label:
        return new QLabel(text);
    case Kind::Edit:
        return new QLineEdit;
    case Kind::Button: {
        auto* button = new QPushButton(text);
        // A dialog's buttons take Enter by default; here Enter must do nothing.
        button->setAutoDefault(false);
        return button;
    }
    case Kind::Group:
        return new QGroupBox(text);
    case Kind::Combo:
        return new QComboBox;
    case Kind::Radio:
        return new QRadioButton(text);
    }
    return nullptr;
}

} // namespace

CMainDlg::CMainDlg(CWindowServices& services, QWidget* parent)
    : QDialog(parent), m_services(services) {
    m_dispatcher.SetServices(m_services);
    CreateControls();
    LayOutControls();
    ConnectControls();
    OnInitDialog();
    FitInputAreaToTabs();
    // Room for a long path from the start.
    resize(sizeHint().expandedTo(QSize(36 * fontMetrics().height(), 0)));
}

CMainDlg::~CMainDlg() {
    // The log and the services outlive the window; leave them nothing of it.
    TheLog().SetView(nullptr);
    m_services.SetParentWindow(nullptr);
}

QIcon CMainDlg::AppIcon() {
    return QIcon(QStringLiteral(":/icons/polyport.png"));
}

QWidget* CMainDlg::Control(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

void CMainDlg::SetStartPaths(const QString& rav, const QString& fsh) {
    SetFieldText(1020, rav);
    SetFieldText(1022, fsh);
}

void CMainDlg::CreateControls() {
    // A normal top-level window that can be minimised and resized, though it
    // runs modally like the dialog it is.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    setWindowTitle(QStringLiteral("Polyport 0.4 (public beta 2)"));

    m_tab = new QTabBar(this);
    m_tab->setExpanding(false);
    m_controls[kTabId] = m_tab;
    for (const ControlRow& row : kControls) {
        QWidget* control = MakeControl(row);
        control->setParent(this);
        m_controls[row.id] = control;
    }
    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setUndoRedoEnabled(false); // changed in place for the whole run
    m_controls[kLogId] = m_log;
    for (auto& [id, control] : m_controls) {
        control->setObjectName(QString::number(id));
    }
    m_filterCombo = static_cast<QComboBox*>(Control(1023));
    for (const auto& [label, field] : kBuddies) {
        static_cast<QLabel*>(Control(label))->setBuddy(Control(field));
    }
}

// Rows and groups sit where the dialog template has them; sizes come from
// the font, so the window scales with it and with the screen.
void CMainDlg::LayOutControls() {
    const auto C = [this](int id) { return Control(id); };
    const int em = fontMetrics().height();

    // The path rows: the RAV row on three tabs, below it the exchange file on
    // the first tab and the archive on the third, in the same place.
    auto* paths = new QGridLayout;
    paths->setColumnStretch(1, 1);
    const int pathRows[][4] = {{0, 1000, 1020, 1035}, {1, 1001, 1021, 1036}, {1, 1002, 1022, 1037}};
    for (const auto& [line, label, field, browse] : pathRows) {
        paths->addWidget(C(label), line, 0);
        paths->addWidget(C(field), line, 1);
        paths->addWidget(C(browse), line, 2);
        C(field)->setMinimumWidth(16 * em);
        C(browse)->setMaximumWidth(2 * em + fontMetrics().horizontalAdvance(QStringLiteral("...")));
    }

    auto* format = new QVBoxLayout(C(1003));
    format->addWidget(C(1023));
    auto* options = new QHBoxLayout;
    options->addWidget(C(1016));
    options->addStretch();
    format->addLayout(options);
    // No stretch in the tab-specific layouts: an empty layout keeps taking
    // space when it can grow, and would push the other tabs' rows down.
    auto* exchangeButtons = new QVBoxLayout;
    exchangeButtons->addWidget(C(1050));
    exchangeButtons->addWidget(C(1051));
    auto* exchange = new QHBoxLayout;
    exchange->addWidget(C(1003), 3);
    exchange->addSpacing(em);
    exchange->addLayout(exchangeButtons, 1);
    exchange->setAlignment(exchangeButtons, Qt::AlignVCenter);

    auto* move = new QVBoxLayout(C(1004));
    auto* modes = new QHBoxLayout;
    modes->addWidget(C(1024));
    modes->addWidget(C(1025));
    modes->addStretch();
    move->addLayout(modes);
    auto* vector = new QHBoxLayout;
    for (const int id : {1005, 1028, 1007, 1026, 1006, 1027}) {
        vector->addWidget(C(id));
    }
    vector->addStretch();
    vector->addWidget(C(1052));
    move->addLayout(vector);
    for (const int id : {1028, 1026, 1027, 1030}) {
        C(id)->setMaximumWidth(5 * em);
    }

    auto* crowd = new QGridLayout(C(1010));
    crowd->addWidget(C(1053), 0, 0);
    crowd->addWidget(C(1054), 0, 1);
    crowd->setColumnStretch(2, 1);
    auto* shade = new QHBoxLayout;
    shade->addStretch();
    shade->addWidget(C(1009));
    shade->addWidget(C(1030));
    crowd->addLayout(shade, 1, 0, 1, 3);

    auto* fshButtons = new QHBoxLayout;
    fshButtons->addWidget(C(1055));
    fshButtons->addWidget(C(1056));
    fshButtons->addStretch();

    auto* about = static_cast<QLabel*>(C(1011));
    about->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    about->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_inputArea = new QFrame(this);
    m_inputArea->setFrameShape(QFrame::StyledPanel);
    auto* area = new QVBoxLayout(m_inputArea);
    area->addLayout(paths);
    area->addLayout(exchange);
    area->addWidget(C(1004));
    area->addWidget(C(1010));
    area->addLayout(fshButtons);
    area->addWidget(C(1011));
    area->addStretch();

    // The label column is as wide as its widest label, so that the RAV row
    // stays in place when the tab changes.
    int labels = 0;
    for (const int id : {1000, 1001, 1002}) {
        labels = std::max(labels, C(id)->sizeHint().width());
    }
    paths->setColumnMinimumWidth(0, labels);

    auto* top = new QVBoxLayout(this);
    top->setSpacing(0);
    top->addWidget(m_tab);
    top->addWidget(m_inputArea);
    top->addSpacing(em / 2);
    top->addWidget(m_log, 1);
    m_log->setMinimumHeight(6 * em);

    // Tab order, set once every control has its final parent: the tab strip,
    // the input area as listed, the log last.
    QWidget* previous = m_tab;
    for (const ControlRow& row : kControls) {
        if (row.kind != Kind::Label && row.kind != Kind::Group) {
            setTabOrder(previous, Control(row.id));
            previous = Control(row.id);
        }
    }
    setTabOrder(previous, m_log);
}

// The input area is as large as the largest tab needs, with the texts and
// list items in place, so that the log pane stays put when the tab changes.
void CMainDlg::FitInputAreaToTabs() {
    QSize largest;
    for (int tab = 0; tab < int(kTabs.size()); ++tab) {
        ShowControlsOfTab(tab);
        m_inputArea->layout()->invalidate();
        largest = largest.expandedTo(m_inputArea->sizeHint());
    }
    m_inputArea->setMinimumSize(largest);
    ShowControlsOfTab(m_tab->currentIndex());
}

void CMainDlg::ConnectControls() {
    connect(m_tab, &QTabBar::currentChanged, this, [this] { OnSelchangeTab(); });
    connect(static_cast<QPushButton*>(Control(1016)), &QPushButton::clicked, this,
            [this] { OnFilterOptions(); });
    for (const int id : {1024, 1025}) {
        connect(static_cast<QRadioButton*>(Control(id)), &QRadioButton::clicked, this,
                [this, id] { OnTransformMode(id); });
    }
    for (const int id : {kBrowseRav, kBrowseExchange, kBrowseFsh}) {
        connect(static_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this,
                [this, id] { OnBrowse(id); });
    }
    for (int id = kFirstCommand; id <= kLastCommand; ++id) {
        connect(static_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this,
                [this, id] { OnCommand(id); });
    }
}

void CMainDlg::OnInitDialog() {
    setWindowIcon(AppIcon());
    m_services.SetParentWindow(this);

    ClearLog();
    TheLog().SetView([this](const std::string& text) { ShowLog(text); });

    // The workers report into the log; the filters follow with the list.
    m_dispatcher.SetLog(AppendLog);
    m_dispatcher.Rav().SetOutput(AppendLog);
    m_dispatcher.Fsh().SetOutput(AppendLog);
    m_dispatcher.Tools().SetOutput(AppendLog);

    for (const char* name : kTabs) {
        m_tab->addTab(QString::fromUtf8(name));
    }

    m_filterCombo->clear();
    const CFilterTable& filters = m_dispatcher.Filters();
    for (std::size_t i = 0; i < filters.Count(); ++i) {
        CFilter* filter = filters.Get(i);
        m_filterCombo->addItem(QString::fromUtf8(filter->GetName()), int(i));
        filter->SetOutput(AppendLog);
    }
    m_filterCombo->setCurrentIndex(0);

    static_cast<QRadioButton*>(Control(1024))->setChecked(true);
    OnTransformMode(1024);

    m_tab->setCurrentIndex(0);
    ShowControlsOfTab(0);

    // The rerouting notices of the workers are of no use to the user.
    ClearLog();
    AppendLog(kWelcome, 0);

    static_cast<QLabel*>(Control(1011))->setText(QString::fromUtf8(kAboutText));
}

void CMainDlg::OnSelchangeTab() {
    ShowControlsOfTab(m_tab->currentIndex());
}

// A tab outside the four (no selection) hides the whole input area.
void CMainDlg::ShowControlsOfTab(int tab) {
    const unsigned bit = tab >= 0 && tab < int(kTabs.size()) ? 1u << tab : 0u;
    for (const ControlRow& row : kControls) {
        Control(row.id)->setVisible((row.tabs & bit) != 0);
    }
}

CFilter* CMainDlg::SelectedFilter() {
    const QVariant data = m_filterCombo->currentData();
    return data.isValid() ? m_dispatcher.Filters().Get(std::size_t(data.toUInt())) : nullptr;
}

void CMainDlg::OnFilterOptions() {
    if (CFilter* filter = SelectedFilter()) {
        filter->Configure();
    }
}

void CMainDlg::OnTransformMode(int id) {
    const QString value = id == kTransformScale ? QStringLiteral("1") : QStringLiteral("0");
    for (const int field : {1028, 1026, 1027}) {
        SetFieldText(field, value);
    }
}

void CMainDlg::OnBrowse(int id) {
    std::string title;
    std::string filterList;
    int field = 0;
    switch (id) {
    case kBrowseRav:
        title = "Select a Fifa 2001 ravfile for input/output";
        filterList = "EA RAV files (*.rav)|*.rav|";
        field = 1020;
        break;
    case kBrowseExchange: {
        const CFilter* filter = SelectedFilter();
        title = Format("Select a %s file for input/output", filter ? filter->GetName() : "");
        filterList = filter ? filter->GetFileFilter() : "";
        field = 1021;
        break;
    }
    case kBrowseFsh:
        title = "Select a Fifa 2001 fshfile for input";
        filterList = "EA FSH files (*.fsh)|*.fsh|";
        field = 1022;
        break;
    default:
        return;
    }
    filterList += kAllFiles;
    if (const std::optional<std::string> path = m_services.OpenFileName(title, filterList)) {
        SetFieldText(field, FromUtf8(*path));
    }
}

void CMainDlg::OnCommand(int id) {
    if (id < kFirstCommand || id > kLastCommand) {
        return;
    }
    // The dispatcher reports every outcome into the log itself.
    (void)m_dispatcher.Run(id, GatherInputs());
}

// Paths go to the core whole and as UTF-8 bytes; the numbers stay text until
// the core reads them, always with "." as the decimal point.
CommandInputs CMainDlg::GatherInputs() const {
    CommandInputs inputs;
    if (static_cast<QRadioButton*>(Control(1024))->isChecked()) {
        inputs.transformMode = kTransformMove;
    } else if (static_cast<QRadioButton*>(Control(1025))->isChecked()) {
        inputs.transformMode = kTransformScale;
    }
    const QVariant filter = m_filterCombo->currentData();
    inputs.filterIndex = filter.isValid() ? filter.toInt() : -1;
    inputs.ravPath = FieldText(1020).toStdString();
    inputs.exchangePath = FieldText(1021).toStdString();
    inputs.x = FieldText(1028).toStdString();
    inputs.y = FieldText(1026).toStdString();
    inputs.z = FieldText(1027).toStdString();
    inputs.shade = FieldText(1030).toStdString();
    inputs.fshPath = FieldText(1022).toStdString();
    return inputs;
}

QString CMainDlg::FieldText(int id) const {
    return static_cast<const QLineEdit*>(Control(id))->text();
}

void CMainDlg::SetFieldText(int id, const QString& text) {
    static_cast<QLineEdit*>(Control(id))->setText(text);
}

// Shows the log as it changed, newest line in view. Rather than setting the
// pane's whole text after every message, which takes a millisecond and adds
// up to seconds when a command sends thousands of warnings, it drops the
// leading lines the log dropped and appends the new one.
void CMainDlg::ShowLog(const std::string& text) {
    // Where in what is shown `text` begins: after the lines the log dropped.
    std::size_t kept = 0;
    while (kept < m_shown.size() && text.compare(0, m_shown.size() - kept, m_shown, kept) != 0) {
        const std::size_t separator = m_shown.find("\r\n", kept);
        kept = separator == std::string::npos ? m_shown.size() : separator + 2;
    }
    const std::string_view added = std::string_view(text).substr(m_shown.size() - kept);
    bool whole = kept == m_shown.size() || (!added.empty() && !added.starts_with("\r\n"));
    if (!whole) {
        QTextCursor dropped(m_log->document());
        dropped.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                             LineEnds(std::string_view(m_shown).substr(0, kept)));
        dropped.removeSelectedText();
        if (!added.empty()) {
            m_log->appendPlainText(PaneText(added.substr(2)));
        }
        // A character the pane takes for a paragraph end is the one case
        // where lines and blocks disagree; then the text is set afresh.
        whole = m_log->blockCount() != LineEnds(text) + 1;
    }
    if (whole) {
        m_log->setPlainText(PaneText(text));
    }
    m_shown = text;
    QScrollBar* bar = m_log->verticalScrollBar();
    bar->setValue(bar->maximum());
}
