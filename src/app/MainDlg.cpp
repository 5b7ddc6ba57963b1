#include "app/MainDlg.h"

#include "app/UndoButtons.h"
#include "app/ViewPane.h"
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
#include <QScreen>
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

constexpr std::array<const char*, 5> kTabs{"Import/Export", "RAV Tools", "FSH Tools", "View",
                                           "About"};

enum class Kind { Label, Edit, Button, Group, Combo, Radio };

// Bit t set: the control is shown on tab t.
constexpr unsigned kExchangeTab = 1u << 0;
constexpr unsigned kRavToolsTab = 1u << 1;
constexpr unsigned kFshToolsTab = 1u << 2;
constexpr int kViewTabIndex = 3;
constexpr unsigned kViewTab = 1u << kViewTabIndex;
constexpr unsigned kAboutTab = 1u << 4;
constexpr unsigned kPathTabs = kExchangeTab | kRavToolsTab | kFshToolsTab | kViewTab;
constexpr unsigned kArchiveTabs = kFshToolsTab | kViewTab;

using enum ControlId;

// The controls of the input area, in tab order. The tab strip and the log
// pane are always shown and are not listed.
struct ControlRow {
    ControlId id;
    Kind kind;
    const char* text;
    unsigned tabs;
};

constexpr ControlRow kControls[] = {
    {RavLabel, Kind::Label, "Ravfile", kPathTabs},
    {RavPath, Kind::Edit, "", kPathTabs},
    {BrowseRav, Kind::Button, "...", kPathTabs},
    {ExchangeLabel, Kind::Label, "Textfile", kExchangeTab},
    {ExchangePath, Kind::Edit, "", kExchangeTab},
    {BrowseExchange, Kind::Button, "...", kExchangeTab},
    {FormatGroup, Kind::Group, "Input / Ouput format", kExchangeTab},
    {FilterList, Kind::Combo, "", kExchangeTab},
    {FilterOptions, Kind::Button, "Filter options", kExchangeTab},
    {ImportButton, Kind::Button, "Import to rav", kExchangeTab},
    {ExportButton, Kind::Button, "Export from rav", kExchangeTab},
    {TransformGroup, Kind::Group, "Move / scale ravfile", kRavToolsTab},
    {MoveRadio, Kind::Radio, "Move (in ammount)", kRavToolsTab},
    {ScaleRadio, Kind::Radio, "Scale (in factor)", kRavToolsTab},
    {XLabel, Kind::Label, "X:", kRavToolsTab},
    {XField, Kind::Edit, "", kRavToolsTab},
    {YLabel, Kind::Label, "Y:", kRavToolsTab},
    {YField, Kind::Edit, "", kRavToolsTab},
    {ZLabel, Kind::Label, "Z:", kRavToolsTab},
    {ZField, Kind::Edit, "", kRavToolsTab},
    {ExecuteButton, Kind::Button, "Execute", kRavToolsTab},
    {CrowdGroup, Kind::Group, "Vandomar G2 texture tools:", kRavToolsTab},
    {NormalizeButton, Kind::Button, "Normalize", kRavToolsTab},
    {ShaderButton, Kind::Button, "Shader", kRavToolsTab},
    {ShadeLabel, Kind::Label, "darkest Shade in %", kRavToolsTab},
    {ShadeField, Kind::Edit, "", kRavToolsTab},
    {FshLabel, Kind::Label, "Fshfile", kArchiveTabs},
    {FshPath, Kind::Edit, "", kArchiveTabs},
    {BrowseFsh, Kind::Button, "...", kArchiveTabs},
    {ImportNamesButton, Kind::Button, "Import names to rav", kFshToolsTab},
    {CreateTplButton, Kind::Button, "Create TPL file", kFshToolsTab},
    {AboutText, Kind::Label, "Static", kAboutTab},
};

// Each label names the field after it, for keyboard and screen-reader users.
constexpr std::pair<ControlId, ControlId> kBuddies[] = {
    {RavLabel, RavPath}, {ExchangeLabel, ExchangePath}, {FshLabel, FshPath}, {XLabel, XField},
    {YLabel, YField},    {ZLabel, ZField},              {ShadeLabel, ShadeField}};

// The action buttons and the commands they run: the window's edge of the
// dispatcher.
constexpr std::pair<ControlId, Command> kCommandButtons[] = {
    {ImportButton, Command::Import},           {ExportButton, Command::Export},
    {ExecuteButton, Command::Execute},         {NormalizeButton, Command::Normalize},
    {ShaderButton, Command::Shade},            {ImportNamesButton, Command::ImportNames},
    {CreateTplButton, Command::CreateTpl},
};

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

QWidget* CMainDlg::Control(ControlId id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

void CMainDlg::SetStartPaths(const QString& rav, const QString& fsh) {
    SetFieldText(RavPath, rav);
    SetFieldText(FshPath, fsh);
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
    m_controls[Tabs] = m_tab;
    for (const ControlRow& row : kControls) {
        QWidget* control = MakeControl(row);
        control->setParent(this);
        m_controls[row.id] = control;
    }
    m_view = new CViewPane(this);
    m_controls[ViewPane] = m_view;
    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setUndoRedoEnabled(false); // changed in place for the whole run
    m_controls[Log] = m_log;
    m_undo = new CUndoButtons(m_dispatcher, this);
    m_controls[UndoButton] = m_undo->UndoButton();
    m_controls[RedoButton] = m_undo->RedoButton();
    for (auto& [id, control] : m_controls) {
        control->setObjectName(QString::number(static_cast<int>(id)));
    }
    m_filterCombo = static_cast<QComboBox*>(Control(FilterList));
    for (const auto& [label, field] : kBuddies) {
        static_cast<QLabel*>(Control(label))->setBuddy(Control(field));
    }
}

// Rows and groups sit where the dialog template has them; sizes come from
// the font, so the window scales with it and with the screen.
void CMainDlg::LayOutControls() {
    const int em = fontMetrics().height();
    QGridLayout* paths = LayOutPathRows();
    m_inputArea = new QFrame(this);
    m_inputArea->setFrameShape(QFrame::StyledPanel);
    auto* area = new QVBoxLayout(m_inputArea);
    area->addLayout(paths);
    area->addLayout(LayOutExchangeTab());
    area->addWidget(LayOutTransformGroup());
    area->addWidget(LayOutCrowdGroup());
    area->addLayout(LayOutFshToolsTab());
    area->addWidget(LayOutAboutTab());
    area->addStretch();

    auto* top = new QVBoxLayout(this);
    top->setSpacing(0);
    top->addWidget(m_tab);
    top->addWidget(m_inputArea);
    top->addWidget(m_view, 4);
    top->addSpacing(em / 2);
    // Undo and redo beside the log, out of the tabs' way.
    auto* logRow = new QHBoxLayout;
    logRow->addWidget(m_log, 1);
    logRow->addWidget(m_undo);
    top->addLayout(logRow, 1);
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
    setTabOrder(previous, m_view);
    setTabOrder(m_view, m_log);
}

// The path rows: the RAV row on three tabs, below it the exchange file on
// the first tab and the archive on the third, in the same place. The label
// column is as wide as its widest label, so that the RAV row stays in place
// when the tab changes.
QGridLayout* CMainDlg::LayOutPathRows() {
    const int em = fontMetrics().height();
    auto* paths = new QGridLayout;
    paths->setColumnStretch(1, 1);
    constexpr std::array<std::array<ControlId, 3>, 3> kRows{{
        {RavLabel, RavPath, BrowseRav},
        {ExchangeLabel, ExchangePath, BrowseExchange},
        {FshLabel, FshPath, BrowseFsh},
    }};
    int labels = 0;
    for (const auto& [label, field, browse] : kRows) {
        const int line = label == RavLabel ? 0 : 1;
        paths->addWidget(Control(label), line, 0);
        paths->addWidget(Control(field), line, 1);
        paths->addWidget(Control(browse), line, 2);
        Control(field)->setMinimumWidth(16 * em);
        Control(browse)->setMaximumWidth(2 * em +
                                         fontMetrics().horizontalAdvance(QStringLiteral("...")));
        labels = std::max(labels, Control(label)->sizeHint().width());
    }
    paths->setColumnMinimumWidth(0, labels);
    return paths;
}

// No stretch in the tab-specific layouts: an empty layout keeps taking space
// when it can grow, and would push the other tabs' rows down.
QBoxLayout* CMainDlg::LayOutExchangeTab() {
    const int em = fontMetrics().height();
    auto* format = new QVBoxLayout(Control(FormatGroup));
    format->addWidget(Control(FilterList));
    auto* options = new QHBoxLayout;
    options->addWidget(Control(FilterOptions));
    options->addStretch();
    format->addLayout(options);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Control(ImportButton));
    buttons->addWidget(Control(ExportButton));
    auto* exchange = new QHBoxLayout;
    exchange->addWidget(Control(FormatGroup), 3);
    exchange->addSpacing(em);
    exchange->addLayout(buttons, 1);
    exchange->setAlignment(buttons, Qt::AlignVCenter);
    return exchange;
}

QWidget* CMainDlg::LayOutTransformGroup() {
    const int em = fontMetrics().height();
    auto* group = Control(TransformGroup);
    auto* move = new QVBoxLayout(group);
    auto* modes = new QHBoxLayout;
    modes->addWidget(Control(MoveRadio));
    modes->addWidget(Control(ScaleRadio));
    modes->addStretch();
    move->addLayout(modes);
    auto* vector = new QHBoxLayout;
    for (const ControlId id : {XLabel, XField, YLabel, YField, ZLabel, ZField}) {
        vector->addWidget(Control(id));
    }
    vector->addStretch();
    vector->addWidget(Control(ExecuteButton));
    move->addLayout(vector);
    for (const ControlId id : {XField, YField, ZField}) {
        Control(id)->setMaximumWidth(5 * em);
    }
    return group;
}

QWidget* CMainDlg::LayOutCrowdGroup() {
    const int em = fontMetrics().height();
    auto* group = Control(CrowdGroup);
    auto* crowd = new QGridLayout(group);
    crowd->addWidget(Control(NormalizeButton), 0, 0);
    crowd->addWidget(Control(ShaderButton), 0, 1);
    crowd->setColumnStretch(2, 1);
    auto* shade = new QHBoxLayout;
    shade->addStretch();
    shade->addWidget(Control(ShadeLabel));
    shade->addWidget(Control(ShadeField));
    crowd->addLayout(shade, 1, 0, 1, 3);
    Control(ShadeField)->setMaximumWidth(5 * em);
    return group;
}

QBoxLayout* CMainDlg::LayOutFshToolsTab() {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Control(ImportNamesButton));
    buttons->addWidget(Control(CreateTplButton));
    buttons->addStretch();
    return buttons;
}

QWidget* CMainDlg::LayOutAboutTab() {
    auto* about = static_cast<QLabel*>(Control(AboutText));
    about->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    about->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return about;
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
    m_inputAreaMinimum = largest;
    ShowControlsOfTab(m_tab->currentIndex());
}

void CMainDlg::ConnectControls() {
    connect(m_tab, &QTabBar::currentChanged, this, [this] { OnSelchangeTab(); });
    connect(static_cast<QPushButton*>(Control(FilterOptions)), &QPushButton::clicked, this,
            [this] { OnFilterOptions(); });
    for (const ControlId id : {MoveRadio, ScaleRadio}) {
        connect(static_cast<QRadioButton*>(Control(id)), &QRadioButton::clicked, this,
                [this, id] { OnTransformMode(id); });
    }
    for (const ControlId id : {BrowseRav, BrowseExchange, BrowseFsh}) {
        connect(static_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this,
                [this, id] { OnBrowse(id); });
    }
    for (const auto& [id, command] : kCommandButtons) {
        connect(static_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this,
                [this, id = id] { OnCommand(id); });
    }
    for (const ControlId id : {RavPath, FshPath}) {
        connect(static_cast<QLineEdit*>(Control(id)), &QLineEdit::editingFinished, this,
                [this] { RefreshView(); });
    }
    connect(m_undo, &CUndoButtons::Stepped, this, [this] { RefreshView(); });
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

    static_cast<QRadioButton*>(Control(MoveRadio))->setChecked(true);
    OnTransformMode(MoveRadio);

    m_tab->setCurrentIndex(0);
    ShowControlsOfTab(0);

    // The rerouting notices of the workers are of no use to the user.
    ClearLog();
    AppendLog(kWelcome, 0, Severity::Note);

    static_cast<QLabel*>(Control(AboutText))->setText(QString::fromUtf8(kAboutText));
}

void CMainDlg::OnSelchangeTab() {
    ShowControlsOfTab(m_tab->currentIndex());
    if (m_tab->currentIndex() == kViewTabIndex) {
        GrowForTheView();
        RefreshView();
    }
}

// The scene needs room: the first time the View tab shows, the window grows
// to 1024 x 768, or to what the screen has.
void CMainDlg::GrowForTheView() {
    if (m_grownForView) {
        return;
    }
    m_grownForView = true;
    QSize wanted(1024, 768);
    if (const QScreen* shown = screen()) {
        wanted = wanted.boundedTo(shown->availableGeometry().size());
    }
    resize(size().expandedTo(wanted));
}

void CMainDlg::RefreshView() {
    if (m_tab->currentIndex() == kViewTabIndex) {
        m_view->Reload(FieldText(RavPath).toStdString(), FieldText(FshPath).toStdString());
    }
}

// A tab outside the four (no selection) hides the whole input area.
void CMainDlg::ShowControlsOfTab(int tab) {
    const unsigned bit = tab >= 0 && tab < int(kTabs.size()) ? 1u << tab : 0u;
    for (const ControlRow& row : kControls) {
        Control(row.id)->setVisible((row.tabs & bit) != 0);
    }
    // The other tabs keep the log in place; the View tab takes all the room
    // the path rows leave.
    const bool view = tab == kViewTabIndex;
    m_view->setVisible(view);
    const QSize least = m_inputAreaMinimum.expandedTo(QSize(0, 0));
    m_inputArea->setMinimumSize(view ? QSize(least.width(), 0) : least);
    m_inputArea->setSizePolicy(QSizePolicy::Preferred,
                               view ? QSizePolicy::Maximum : QSizePolicy::Preferred);
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

void CMainDlg::OnTransformMode(ControlId radio) {
    const QString value = radio == ScaleRadio ? QStringLiteral("1") : QStringLiteral("0");
    for (const ControlId field : {XField, YField, ZField}) {
        SetFieldText(field, value);
    }
}

void CMainDlg::OnBrowse(ControlId button) {
    std::string title;
    std::string filterList;
    ControlId field{};
    switch (button) {
    case BrowseRav:
        title = "Select a Fifa 2001 ravfile for input/output";
        filterList = "EA RAV files (*.rav)|*.rav|";
        field = RavPath;
        break;
    case BrowseExchange: {
        const CFilter* filter = SelectedFilter();
        title = Format("Select a %s file for input/output", filter ? filter->GetName() : "");
        filterList = filter ? filter->GetFileFilter() : "";
        field = ExchangePath;
        break;
    }
    case BrowseFsh:
        title = "Select a Fifa 2001 fshfile for input";
        filterList = "EA FSH files (*.fsh)|*.fsh|";
        field = FshPath;
        break;
    default:
        return;
    }
    filterList += kAllFiles;
    // An export needs a name that does not exist yet.
    const bool mustExist = button != BrowseExchange;
    if (const std::optional<std::string> path =
            m_services.OpenFileName(title, filterList, mustExist)) {
        SetFieldText(field, FromUtf8(*path));
        RefreshView();
    }
}

void CMainDlg::OnCommand(ControlId button) {
    for (const auto& [id, command] : kCommandButtons) {
        if (id != button) {
            continue;
        }
        const CommandInputs inputs = GatherInputs();
        if ((command == Command::Import || command == Command::Export) &&
            !ConfirmFilterForFile(inputs)) {
            return;
        }
        // A filter that writes images takes them from the archive in the
        // FSH field; an empty field writes none.
        CFilter* filter = m_dispatcher.Filters().Get(static_cast<std::size_t>(inputs.filterIndex));
        if (command == Command::Export && filter != nullptr &&
            std::ranges::any_of(filter->Traits().options, [](const FilterOption& option) {
                return option.name == "--fsh";
            })) {
            (void)filter->ApplyOptions({{"--fsh", inputs.fshPath}});
        }
        m_undo->BeginCommand(static_cast<QPushButton*>(Control(id))->text());
        // The dispatcher reports every outcome into the log itself.
        (void)m_dispatcher.Run(command, inputs);
        RefreshView();
    }
}

// A file whose extension belongs to another filter ("scene.txt" with the
// LightWave filter) is most likely a slip: ask before using it.
bool CMainDlg::ConfirmFilterForFile(const CommandInputs& inputs) {
    const CFilterTable& filters = m_dispatcher.Filters();
    const int byName = filters.IndexForPath(inputs.exchangePath);
    const CFilter* chosen = filters.Get(static_cast<std::size_t>(inputs.filterIndex));
    if (byName < 0 || byName == inputs.filterIndex || chosen == nullptr) {
        return true;
    }
    return m_services.AskYesNo(Format(
        "%s looks like a file of the %s, but the %s is selected. Use the %s anyway?",
        inputs.exchangePath.c_str(), filters.Get(static_cast<std::size_t>(byName))->GetName(),
        chosen->GetName(), chosen->GetName()));
}

// Paths go to the core whole and as UTF-8 bytes; the numbers stay text until
// the core reads them, always with "." as the decimal point.
CommandInputs CMainDlg::GatherInputs() const {
    CommandInputs inputs;
    if (static_cast<QRadioButton*>(Control(MoveRadio))->isChecked()) {
        inputs.transform = CRavTools::TransformMode::Move;
    } else if (static_cast<QRadioButton*>(Control(ScaleRadio))->isChecked()) {
        inputs.transform = CRavTools::TransformMode::Scale;
    }
    const QVariant filter = m_filterCombo->currentData();
    inputs.filterIndex = filter.isValid() ? filter.toInt() : -1;
    inputs.ravPath = FieldText(RavPath).toStdString();
    inputs.exchangePath = FieldText(ExchangePath).toStdString();
    inputs.x = FieldText(XField).toStdString();
    inputs.y = FieldText(YField).toStdString();
    inputs.z = FieldText(ZField).toStdString();
    inputs.shade = FieldText(ShadeField).toStdString();
    inputs.fshPath = FieldText(FshPath).toStdString();
    return inputs;
}

QString CMainDlg::FieldText(ControlId field) const {
    return static_cast<const QLineEdit*>(Control(field))->text();
}

void CMainDlg::SetFieldText(ControlId field, const QString& text) {
    static_cast<QLineEdit*>(Control(field))->setText(text);
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
